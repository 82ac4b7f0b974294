#pragma once
// A Hershey stroke font (the .jhf files of Debian's hershey-fonts-data),
// as the glyph outlines text is drawn with.
#include <map>
#include <optional>
#include <string>

#include "point.h"

namespace tavix::geometry {

constexpr const char* DEFAULT_STROKE_FONT = "/usr/share/hershey-fonts/futural.jhf";

// A glyph in font units: x from the glyph's left side, y up from the baseline.
struct Glyph {
  double advance = 0;
  std::vector<Polyline> strokes;
};

struct StrokeFont {
  std::map<char32_t, Glyph> glyphs;
  // Height of the capitals above the baseline ("H"): a text height is this.
  double capHeight = 0;
  // Depth of the descenders below the baseline ("g", "p", ...), positive.
  double descent = 0;
};

// Loads a .jhf file (printable ASCII) and adds the drawing symbols the text
// codes ask for: degree sign U+00B0, plus-minus U+00B1, diameter U+2300.
// nullopt when the file can not be read or has no "H".
std::optional<StrokeFont> loadStrokeFont(const std::string& jhfPath = DEFAULT_STROKE_FONT);

}  // namespace tavix::geometry
