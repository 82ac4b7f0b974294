#pragma once
// Single-line text (DXF TEXT) drawn with a stroke font.
#include <optional>
#include <string>
#include <vector>

#include "point.h"
#include "strokeFont.h"

namespace tavix::geometry {

// Group 72 of TEXT.
enum class HorizontalAlignment { Left = 0, Center = 1, Right = 2, Aligned = 3, Middle = 4, Fit = 5 };
// Group 73 of TEXT.
enum class VerticalAlignment { Baseline = 0, Bottom = 1, Middle = 2, Top = 3 };

struct TextStyle {
  std::string text;        // UTF-8; %%d %%p %%c %%u %%o %%% and %%nnn are decoded here
  Point insertion{0, 0};   // group 10
  Point alignment{0, 0};   // group 11: the anchor unless left/baseline
  double height = 1;       // capital height, group 40
  double rotationDegrees = 0;
  double widthFactor = 1;  // group 41
  double obliqueDegrees = 0;  // group 51, slant to the right
  HorizontalAlignment horizontal = HorizontalAlignment::Left;
  VerticalAlignment vertical = VerticalAlignment::Baseline;
};

// The colour MTEXT's \C and \c codes give a character: a colour number
// (0 BYBLOCK, 256 BYLAYER), a true colour 0xRRGGBB, or neither (-1): the
// entity's own.
struct TextColour {
  int number = -1;
  int rgb = -1;
  bool operator==(const TextColour&) const = default;
};

// The outlines of one glyph of an outline font, to fill (even-odd).
struct TextFill {
  std::vector<Polyline> outlines;
  TextColour colour;
};

struct StrokedText {
  std::vector<Polyline> strokes;
  std::vector<TextColour> colours;  // of each stroke; a stroke beyond the list is the entity's
  std::vector<TextFill> fills;      // glyphs of outline fonts
  // Characters the font has no glyph for; each is drawn as an open box the
  // size of a capital so the reader sees something is missing.
  int missingGlyphs = 0;
};

// The strokes of the text placed as the CAD host places TEXT: left/baseline
// at the insertion point; otherwise at the alignment point (aligned and fit
// run from the insertion to the alignment point: aligned scales the height,
// fit the width). nullopt for non-finite values, a height <= 0, a width
// factor <= 0, an oblique angle beyond +-85 degrees, or placed coordinates
// that do not fit in doubles.
std::optional<StrokedText> strokeText(const StrokeFont& font, const TextStyle& textStyle);

}  // namespace tavix::geometry
