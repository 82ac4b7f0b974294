#pragma once
// A Hershey stroke font (the .jhf files of Debian's hershey-fonts-data),
// as the glyph outlines text is drawn with.
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "point.h"

namespace tavix::geometry {

constexpr const char* DEFAULT_STROKE_FONT = "/usr/share/hershey-fonts/futural.jhf";

// A glyph in font units: x from the glyph's left side, y up from the baseline.
struct Glyph {
  double advance = 0;
  std::vector<Polyline> strokes;
  // The strokes are the closed outlines of an outline font's glyph, filled
  // (even-odd) rather than drawn as lines.
  bool filled = false;
};

// Where a font finds the glyphs it does not hold itself: another font's,
// fetched on first use.
class GlyphSource {
public:
  virtual ~GlyphSource() = default;
  // The glyph of `code` in units whose capitals are `capHeight` high;
  // nullopt when no font has it.
  virtual std::optional<Glyph> glyph(char32_t code, double capHeight) = 0;
  // What the font's kerning adds to the advance of `left` followed by
  // `right`, in the same units; 0 where the font has no such pair.
  virtual double kerning(char32_t left, char32_t right, double capHeight) = 0;
};

struct StrokeFont {
  std::map<char32_t, Glyph> glyphs;
  // Height of the capitals above the baseline ("H"): a text height is this.
  double capHeight = 0;
  // Depth of the descenders below the baseline ("g", "p", ...), positive.
  double descent = 0;
  // Asked for the characters `glyphs` lacks; none: those are missing.
  std::shared_ptr<GlyphSource> more;
  // What `more` answered, kept for the next use of the character.
  mutable std::map<char32_t, std::optional<Glyph>> fetched;

  // The glyph of `code`, its own or fetched; nullptr when missing. Control
  // characters, U+FFFD (a malformed character) and the private planes are
  // never fetched: they stay visible as missing.
  const Glyph* find(char32_t code) const;
  // The kerning of a pair, in font units (0 for a font without a source).
  double kerning(char32_t left, char32_t right) const { return more ? more->kerning(left, right, capHeight) : 0; }
};

// The glyphs of a .jhf file by their ASCII position (space to tilde), in
// its own units; nullopt when the file can not be read.
std::optional<std::map<char32_t, Glyph>> readJhfGlyphs(const std::string& jhfPath);

// Loads a .jhf file (printable ASCII) and adds the drawing symbols the text
// codes ask for: degree sign U+00B0, plus-minus U+00B1, diameter U+2300.
// nullopt when the file can not be read or has no "H".
std::optional<StrokeFont> loadStrokeFont(const std::string& jhfPath = DEFAULT_STROKE_FONT);

}  // namespace tavix::geometry
