// MTEXT's colour codes: \C gives the following characters a colour number,
// \c a true colour (stored blue first), a closing brace restores the colour
// before it; each stroke carries its character's colour.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "geometry/mtext.h"
#include "strokeFixture.h"

namespace tavix::geometry {
namespace {

class MTextColourTest : public test::StrokeFontTest {
 protected:
  // The colours of the strokes, runs of one colour merged, with the
  // number of characters' strokes each run spans.
  static std::vector<TextColour> runs(const std::string& text) {
    MTextStyle textStyle{text, {0, 0}, 21, 0, 0, Attachment::TopLeft, 1};
    const auto out = strokeMText(font(), textStyle);
    EXPECT_TRUE(out.has_value()) << text;
    if (!out) return {};
    EXPECT_EQ(out->strokes.size(), out->colours.size()) << text;
    std::vector<TextColour> merged;
    for (const TextColour& c : out->colours)
      if (merged.empty() || !(merged.back() == c)) merged.push_back(c);
    return merged;
  }
};

constexpr TextColour OWN{-1, -1};
constexpr TextColour number(int n) { return {n, -1}; }
constexpr TextColour rgb(int value) { return {-1, value}; }

struct Case {
  const char* name;
  const char* text;
  std::vector<TextColour> runs;
};

TEST_F(MTextColourTest, codesColourWhatFollows) {
  const Case cases[] = {
      {"none", "AB", {OWN}},
      {"numberInBraces", "A{\\C1;B}C", {OWN, number(1), OWN}},
      {"numberToTheEnd", "A\\C3;BC", {OWN, number(3)}},
      {"byLayerAndByBlockKept", "\\C256;A\\C0;B", {number(256), number(0)}},
      {"trueColourBlueFirst", "\\c255;A\\c16711680;B\\c65280;C", {rgb(0xFF0000), rgb(0x0000FF), rgb(0x00FF00)}},
      {"nestedBraces", "{\\C1;A{\\C2;B}C}D", {number(1), number(2), number(1), OWN}},
      {"badValuesIgnored", "\\C1;A\\C257;B\\Cx;C\\c16777216;D\\C-1;E", {number(1)}},
      {"underlineTakesItsColour", "\\LA{\\C5;B}", {OWN, number(5)}},
  };
  for (const Case& c : cases) {
    const std::vector<TextColour> got = runs(c.text);
    ASSERT_EQ(c.runs.size(), got.size()) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(c.runs[i].number, got[i].number) << c.name << " run " << i;
      EXPECT_EQ(c.runs[i].rgb, got[i].rgb) << c.name << " run " << i;
    }
  }
}

}  // namespace
}  // namespace tavix::geometry
