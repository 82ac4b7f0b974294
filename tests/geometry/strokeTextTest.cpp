// TEXT in the Hershey stroke font: glyphs against the font file itself,
// placement by alignment, the %% codes and hostile input.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <numbers>
#include <sstream>

#include "geometry/strokeFont.h"
#include "geometry/strokeText.h"
#include "strokeFixture.h"

namespace tavix::geometry {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A reader of the .jhf format written from its description, apart from the
// font loader: per glyph a 5-column number, a 3-column vertex count, then
// pairs of letters with 'R' as 0 (the first pair the left and right side,
// " R" lifting the pen), wrapped over lines. Hershey's y grows downwards and
// the baseline of these fonts is y = 9.
struct FileGlyph {
  int left = 0, right = 0;
  std::vector<std::vector<std::pair<int, int>>> strokes;
};

std::vector<FileGlyph> readJhf(const std::string& path) {
  std::ifstream in(path);
  std::string text, line;
  while (std::getline(in, line)) text += line + '\n';
  std::vector<FileGlyph> glyphs;
  std::size_t i = 0;
  while (i + 8 <= text.size()) {
    if (text[i] == '\n') {
      ++i;
      continue;
    }
    const int count = std::stoi(text.substr(i + 5, 3));
    i += 8;
    std::vector<std::pair<char, char>> pairs;
    while (static_cast<int>(pairs.size()) < count && i + 1 < text.size()) {
      if (text[i] == '\n') {
        ++i;
        continue;
      }
      pairs.push_back({text[i], text[i + 1]});
      i += 2;
    }
    FileGlyph g;
    g.left = pairs[0].first - 'R';
    g.right = pairs[0].second - 'R';
    g.strokes.emplace_back();
    for (std::size_t k = 1; k < pairs.size(); ++k) {
      if (pairs[k].first == ' ' && pairs[k].second == 'R') g.strokes.emplace_back();
      else g.strokes.back().push_back({pairs[k].first - 'R', pairs[k].second - 'R'});
    }
    glyphs.push_back(g);
  }
  return glyphs;
}

class StrokeTextTest : public test::StrokeFontTest {
 protected:
  static StrokedText stroke(const TextStyle& textStyle) {
    const auto text = strokeText(font(), textStyle);
    EXPECT_TRUE(text.has_value());
    return text.value_or(StrokedText{});
  }
};

TEST_F(StrokeTextTest, glyphStrokesAreTheFontFilesAtCapitalHeight) {
  const std::vector<FileGlyph> file = readJhf(DEFAULT_STROKE_FONT);
  ASSERT_GE(file.size(), 95u);  // printable ASCII from the space on
  const double cap = 9 - file['H' - 32].strokes[0][0].second;  // top of "H"
  for (const char* sample : {"A", "g", "Hello, World!", "0123456789", "~{|}"}) {
    SCOPED_TRACE(sample);
    TextStyle textStyle;
    textStyle.text = sample;
    textStyle.height = cap;  // one font unit per drawing unit
    const StrokedText text = stroke(textStyle);
    std::vector<Polyline> expected;
    double x = 0;
    for (const char* c = sample; *c; ++c) {
      const FileGlyph& g = file[*c - 32];
      for (const auto& s : g.strokes) {
        if (s.empty()) continue;
        expected.emplace_back();
        for (const auto& [hx, hy] : s) expected.back().push_back({x + hx - g.left, 9.0 - hy});
      }
      x += g.right - g.left;
    }
    ASSERT_EQ(text.strokes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(text.strokes[i].size(), expected[i].size()) << "stroke " << i;
      for (std::size_t k = 0; k < expected[i].size(); ++k) {
        EXPECT_NEAR(text.strokes[i][k].x, expected[i][k].x, 1e-9);
        EXPECT_NEAR(text.strokes[i][k].y, expected[i][k].y, 1e-9);
      }
    }
    EXPECT_EQ(text.missingGlyphs, 0);
  }
}

TEST_F(StrokeTextTest, alignmentPlacesTheTextAtItsPoint) {
  // "HH" at height 21: one font unit per drawing unit, 44 wide, the strokes
  // 4 units in from both sides, the descenders of the font 7 deep.
  const Point insertion{5, 5}, alignment{100, 50};
  const struct {
    const char* name;
    HorizontalAlignment h;
    VerticalAlignment v;
    double minX, minY, maxX, maxY;
  } table[] = {
      {"left baseline uses the insertion", HorizontalAlignment::Left, VerticalAlignment::Baseline, 9, 5, 45, 26},
      {"left top", HorizontalAlignment::Left, VerticalAlignment::Top, 104, 29, 140, 50},
      {"right baseline", HorizontalAlignment::Right, VerticalAlignment::Baseline, 60, 50, 96, 71},
      {"center middle", HorizontalAlignment::Center, VerticalAlignment::Middle, 82, 39.5, 118, 60.5},
      {"center bottom", HorizontalAlignment::Center, VerticalAlignment::Bottom, 82, 57, 118, 78},
      {"right top", HorizontalAlignment::Right, VerticalAlignment::Top, 60, 29, 96, 50},
      {"middle: centre of capitals and descenders", HorizontalAlignment::Middle, VerticalAlignment::Baseline, 82, 43,
       118, 64},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    TextStyle textStyle{"HH", insertion, alignment, 21, 0, 1, 0, row.h, row.v};
    const Box b = bounds(stroke(textStyle));
    EXPECT_NEAR(b.minX, row.minX, 1e-9);
    EXPECT_NEAR(b.minY, row.minY, 1e-9);
    EXPECT_NEAR(b.maxX, row.maxX, 1e-9);
    EXPECT_NEAR(b.maxY, row.maxY, 1e-9);
  }
}

TEST_F(StrokeTextTest, alignedAndFitRunBetweenTheirPoints) {
  // Upwards from (0, 0) to (0, 88): twice the natural 44, turned a quarter.
  const struct {
    HorizontalAlignment h;
    double thickness;  // extent across the line: the capital height
  } table[] = {{HorizontalAlignment::Aligned, 42}, {HorizontalAlignment::Fit, 21}};
  for (const auto& row : table) {
    SCOPED_TRACE(static_cast<int>(row.h));
    TextStyle textStyle{"HH", {0, 0}, {0, 88}, 21, 33, 1, 0, row.h, VerticalAlignment::Top};
    const Box b = bounds(stroke(textStyle));
    EXPECT_NEAR(b.minY, 8, 1e-9);   // 4 units of side, doubled
    EXPECT_NEAR(b.maxY, 80, 1e-9);
    EXPECT_NEAR(b.maxX, 0, 1e-9);
    EXPECT_NEAR(b.minX, -row.thickness, 1e-9);
  }
}

TEST_F(StrokeTextTest, rotationWidthAndSlantTransformEachPoint) {
  TextStyle textStyle{"H", {10, 20}, {0, 0}, 42, 90, 2, 15};
  const StrokedText text = stroke(textStyle);
  // The top of H's first stem, (4, 21) in the font, at scale 2, doubled in
  // width, slanted by 15 degrees, then turned a quarter about the insertion.
  const double x = 4 * 2 * 2 + 21 * 2 * std::tan(15 * std::numbers::pi / 180), y = 42;
  ASSERT_FALSE(text.strokes.empty());
  EXPECT_NEAR(text.strokes[0][0].x, 10 - y, 1e-9);
  EXPECT_NEAR(text.strokes[0][0].y, 20 + x, 1e-9);
}

TEST_F(StrokeTextTest, percentCodesAndMissingGlyphs) {
  const struct {
    const char* text;
    int strokes;
    int missing;
  } table[] = {
      {"%%d", 1, 0},                 // the degree ring
      {"%%p", 3, 0},                 // plus, and the bar under it
      {"%%c", 2, 0},                 // ring and slash
      {"%%%", 3, 0},                 // a plain "%" (three strokes in this font)
      {"%%065", 3, 0},               // "A"
      {"%%uHH%%u", 3 * 2 + 1, 0},    // one underline for both letters
      {"%%oH%%o H", 3 * 2 + 1, 0},   // the overline stops at the code
      {"\xE6\x97\xA5\xE6\x9C\xAC", 2, 2},  // 日本: a box each
      {"A\xE6\x97\xA5", 3 + 1, 1},
      {"\xFF", 1, 1},                // not UTF-8
      {"\xC0\xAF", 2, 2},            // an overlong "/": both bytes
      {"\xED\xA0\x80", 3, 3},        // a surrogate
      {"\xE6\x97", 2, 2},            // cut short
      {"%%", 6, 0},                  // two plain percent signs
      {"", 0, 0},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.text);
    TextStyle textStyle;
    textStyle.text = row.text;
    const StrokedText text = stroke(textStyle);
    EXPECT_EQ(static_cast<int>(text.strokes.size()), row.strokes);
    EXPECT_EQ(text.missingGlyphs, row.missing);
  }
}

TEST_F(StrokeTextTest, missingGlyphsAreCapitalHighBoxes) {
  TextStyle textStyle;
  textStyle.text = "\xE2\x98\x83";  // a snowman
  textStyle.height = 10;
  const StrokedText text = stroke(textStyle);
  ASSERT_EQ(text.strokes.size(), 1u);
  ASSERT_EQ(text.strokes[0].size(), 5u);
  const Box b = bounds(text);
  EXPECT_NEAR(b.minY, 0, 1e-12);
  EXPECT_NEAR(b.maxY, 10, 1e-12);
  EXPECT_GT(b.maxX - b.minX, 3);
}

TEST_F(StrokeTextTest, badTextGivesNothing) {
  const struct {
    const char* name;
    TextStyle textStyle;
  } table[] = {
      {"NaN height", {"A", {0, 0}, {0, 0}, NaN}},
      {"zero height", {"A", {0, 0}, {0, 0}, 0}},
      {"negative height", {"A", {0, 0}, {0, 0}, -2}},
      {"zero width factor", {"A", {0, 0}, {0, 0}, 1, 0, 0}},
      {"NaN rotation", {"A", {0, 0}, {0, 0}, 1, NaN}},
      {"oblique folding flat", {"A", {0, 0}, {0, 0}, 1, 0, 1, 89}},
      {"infinite insertion", {"A", {INFINITY, 0}, {0, 0}, 1}},
      {"NaN alignment point", {"A", {0, 0}, {NaN, 0}, 1}},
      {"overflowing size", {"HHHHHHHHHH", {0, 0}, {0, 0}, 1e308}},
  };
  for (const auto& row : table) EXPECT_FALSE(strokeText(font(), row.textStyle).has_value()) << row.name;
}

TEST(StrokeFonts, aMissingFontFileIsRefused) {
  EXPECT_FALSE(loadStrokeFont("/nonexistent/font.jhf").has_value());
  EXPECT_FALSE(loadStrokeFont("/dev/null").has_value());
}

}  // namespace
}  // namespace tavix::geometry
