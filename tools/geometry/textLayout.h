#pragma once
// What TEXT and MTEXT share: decoding the characters, the size of a glyph,
// and drawing placed glyphs with their under- and overlines.
#include <string>
#include <string_view>
#include <vector>

#include "point.h"
#include "strokeFont.h"
#include "strokeText.h"

namespace tavix::geometry {

// How one character is drawn, in drawing units before the text's rotation.
struct CharStyle {
  double height = 1;       // capital height
  double widthFactor = 1;
  double slant = 0;        // tan of the oblique angle
  bool underline = false, overline = false, strike = false;
  TextColour colour;
  double rise = 0;         // the baseline raised by this much (stacked text)
  double tracking = 1;     // advances stretched by this (MTEXT \T)
  const StrokeFont* font = nullptr;  // a font of its own (MTEXT \f); none: the text's
};

// The font a character is drawn with: its own or the text's.
inline const StrokeFont& fontOf(const StrokeFont& textFont, const CharStyle& style) {
  return style.font != nullptr ? *style.font : textFont;
}

struct PlacedChar {
  char32_t code;
  double x, baseline;      // left side of the glyph on its baseline
  CharStyle style;
};

// The code points of UTF-8 text; a malformed sequence becomes U+FFFD (which
// no font has, so it is drawn and counted as missing).
std::u32string decodeUtf8(std::string_view text);

// The characters of text with the %% codes of the CAD host replaced:
// %%d degree, %%p plus-minus, %%c diameter, %%% percent, %%nnn the character
// nnn; %%u and %%o switch underline and overline for what follows.
// Anything else stays as it is.
using StyledText = std::vector<std::pair<char32_t, CharStyle>>;
StyledText decodePercentCodes(const StyledText& text);

// The advance of one character in drawing units.
double advanceOf(const StrokeFont& font, char32_t code, const CharStyle& style);

// What the font's kerning adds between `left` and `right` (drawn in
// `style`), in drawing units.
double kerningOf(const StrokeFont& font, char32_t left, char32_t right, const CharStyle& style);

// Draws the characters: local (x, y) goes to anchor + rotate(x, y) by
// `rotationRadians`. Decorations of neighbouring characters join into one line.
void drawChars(const StrokeFont& font, const std::vector<PlacedChar>& chars, Point anchor,
               double rotationRadians, StrokedText& out);

}  // namespace tavix::geometry
