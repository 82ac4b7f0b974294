#pragma once
// Paragraph text (DXF MTEXT) drawn with a stroke font.
#include <functional>
#include <optional>
#include <string>

#include "point.h"
#include "strokeFont.h"
#include "strokeText.h"

namespace tavix::geometry {

// Group 71 of MTEXT.
enum class Attachment {
  TopLeft = 1, TopCenter, TopRight,
  MiddleLeft, MiddleCenter, MiddleRight,
  BottomLeft, BottomCenter, BottomRight
};

// A font switch of MTEXT: \f<family>|b1|i0...; (a TrueType family, bold
// and italic) or \F<file>; (a shape font, txt.shx).
struct FontSwitch {
  std::string name;
  bool file = false;
  bool bold = false, italic = false;
};

struct MTextStyle {
  std::string text;           // UTF-8 with MTEXT codes (\P, \~, {\H2x;...}, ...)
  Point insertion{0, 0};      // group 10
  double height = 1;          // group 40, capital height
  double rotationDegrees = 0; // group 50 (or the angle of the direction, group 11)
  double referenceWidth = 0;  // group 41; 0 means no wrapping
  Attachment attachment = Attachment::TopLeft;
  double lineSpacingFactor = 1;  // group 44
  double widthFactor = 1;        // the text style's (group 41 of STYLE)
  double obliqueDegrees = 0;     // the text style's slant (group 50 of STYLE)
  // The font of a switch, valid while the text is drawn; none (or nullptr
  // from it): the switch is ignored.
  std::function<const StrokeFont*(const FontSwitch&)> fonts = nullptr;
};

// The strokes of the paragraph: lines break at \P (and \N) and, with a
// reference width, at spaces before a word would pass it (a word longer
// than the width stands alone). Understood codes: \P \N \~ \\ \{ \} braces
// for groups, \H<h>; and \H<f>x;, \W<f>;, \Q<deg>;, \L \l \O \o, \U+XXXX,
// stacks \S<a>/<b>; (a over a bar over b), \S<a>^<b>; (a over b, no bar:
// a superscript when b is empty, a subscript when a is), \S<a>#<b>; (a
// and b across a slash), the parts at 70 % of the height; %%d %%p %%c, colours
// \C<number>; and \c<BGR>; (in the strokes' colours); font switches \f and
// \F (through `fonts`), tracking \T<f>; (advances stretched by f); other
// switches (\A \p \X) are skipped up to their ';'. Caret notation:
// ^J breaks the line, "^ " is a caret, ^I and other control characters a space.
// The line pitch is 5/3 of the text height times the spacing factor.
// nullopt on the same faults as strokeText, or a spacing factor <= 0.
std::optional<StrokedText> strokeMText(const StrokeFont& font, const MTextStyle& textStyle);

}  // namespace tavix::geometry
