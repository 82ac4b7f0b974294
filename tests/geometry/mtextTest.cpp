// MTEXT: line breaks, wrapping, attachment and the inline codes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "geometry/mtext.h"
#include "geometry/strokeFont.h"
#include "strokeFixture.h"

namespace tavix::geometry {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// At height 21 one font unit is one drawing unit: "H" is 22 wide with its
// stems 4 in from each side, a space 16; lines are 35 apart.
class MTextTest : public test::StrokeFontTest {
 protected:
  static StrokedText stroke(const std::string& text, Attachment attachment = Attachment::TopLeft,
                            double width = 0, double spacing = 1, double rotation = 0) {
    MTextStyle textStyle{text, {0, 0}, 21, rotation, width, attachment, spacing};
    const auto out = strokeMText(font(), textStyle);
    EXPECT_TRUE(out.has_value()) << text;
    return out.value_or(StrokedText{});
  }
  static void expectSameStrokes(const StrokedText& a, const StrokedText& b) {
    ASSERT_EQ(a.strokes.size(), b.strokes.size());
    for (std::size_t i = 0; i < a.strokes.size(); ++i) {
      ASSERT_EQ(a.strokes[i].size(), b.strokes[i].size());
      for (std::size_t k = 0; k < a.strokes[i].size(); ++k) {
        EXPECT_NEAR(a.strokes[i][k].x, b.strokes[i][k].x, 1e-9);
        EXPECT_NEAR(a.strokes[i][k].y, b.strokes[i][k].y, 1e-9);
      }
    }
    EXPECT_EQ(a.missingGlyphs, b.missingGlyphs);
  }
};

TEST_F(MTextTest, linesAndAttachmentPlaceTheBlock) {
  const struct {
    const char* name;
    std::string text;
    Attachment attachment;
    double width, spacing;
    double minX, minY, maxX, maxY;
  } table[] = {
      {"two lines from the top", "HH\\PHH", Attachment::TopLeft, 0, 1, 4, -56, 40, 0},
      {"double spacing", "HH\\PHH", Attachment::TopLeft, 0, 2, 4, -91, 40, 0},
      {"column break as a line", "HH\\NHH", Attachment::TopLeft, 0, 1, 4, -56, 40, 0},
      {"from the bottom", "HH\\PHH", Attachment::BottomLeft, 0, 1, 4, 0, 40, 56},
      {"from the middle", "HH\\PHH", Attachment::MiddleCenter, 0, 1, -18, -28, 18, 28},
      {"from the top right", "HH\\PHH", Attachment::TopRight, 0, 1, -40, -56, -4, 0},
      {"wrapped at every space", "HH HH HH", Attachment::TopLeft, 100, 1, 4, -91, 40, 0},
      {"two words fit a line", "HH HH HH", Attachment::TopLeft, 110, 1, 4, -56, 100, 0},
      {"a long word stands alone", "HHHHHH", Attachment::TopLeft, 10, 1, 4, -21, 128, 0},
      {"no break at \\~", "HH\\~HH", Attachment::TopLeft, 50, 1, 4, -21, 100, 0},
      {"spaces before a break are dropped", "HH   \\PHH", Attachment::TopRight, 0, 1, -40, -56, -4, 0},
      {"taller letters push the first line down", "{\\H2x;H}H", Attachment::TopLeft, 0, 1, 8, -42, 62, 0},
      {"wider letters", "\\W2;H", Attachment::TopLeft, 0, 1, 8, -21, 36, 0},
      {"absolute height", "\\H42;H", Attachment::TopLeft, 0, 1, 8, -42, 36, 0},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    const Box b = bounds(stroke(row.text, row.attachment, row.width, row.spacing));
    EXPECT_NEAR(b.minX, row.minX, 1e-9);
    EXPECT_NEAR(b.minY, row.minY, 1e-9);
    EXPECT_NEAR(b.maxX, row.maxX, 1e-9);
    EXPECT_NEAR(b.maxY, row.maxY, 1e-9);
  }
}

TEST_F(MTextTest, inlineCodesDrawWhatTheyStandFor) {
  const struct {
    const char* name;
    std::string codes, plain;
  } table[] = {
      {"font switch skipped", "\\fArial|b0|i0|c0|p34;H", "H"},
      {"other switches skipped", "\\C1;\\c16711680;\\A1;\\T1.5;\\pxqc;H", "H"},
      {"groups", "{H}{{H}}", "HH"},
      {"unicode escape", "\\U+0048\\U+00b0", "H%%d"},
      {"escaped braces and backslash", "\\\\\\{\\}", "\\\\\\{\\}"},
      {"unknown code drawn as it stands", "\\ZH", "\\\\ZH"},
      {"broken unicode escape drawn as it stands", "\\U+12", "\\\\U+12"},
      {"control characters dropped", "H\x01\x1fH", "HH"},
      {"bad sizes ignored", "\\H;\\Hx;\\H-1;\\HNaN;\\H1e400;\\W0;\\Q90;H", "H"},
      {"unbalanced braces", "}}H{{", "H"},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    expectSameStrokes(stroke(row.codes), stroke(row.plain));
  }
}

TEST_F(MTextTest, decorationsAndMissingGlyphs) {
  const struct {
    std::string text;
    int strokes, missing;
  } table[] = {
      {"\\LHH\\l", 3 * 2 + 1, 0},
      {"\\OH\\oH", 3 * 2 + 1, 0},
      {"\\KH\\k", 3 + 1, 0},
      {"{\\LH}H", 3 * 2 + 1, 0},
      {"%%d", 1, 0},
      {"\xE6\x97\xA5\xE6\x9C\xAC\\P\xE8\xAA\x9E", 3, 3},
      {"H\\", 3 + 1, 0},  // a backslash at the end is drawn
      {"", 0, 0},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.text);
    const StrokedText text = stroke(row.text);
    EXPECT_EQ(static_cast<int>(text.strokes.size()), row.strokes);
    EXPECT_EQ(text.missingGlyphs, row.missing);
  }
}

TEST_F(MTextTest, rotationTurnsTheBlockAboutTheInsertion) {
  const Box b = bounds(stroke("H", Attachment::TopLeft, 0, 1, 90));
  EXPECT_NEAR(b.minX, 0, 1e-9);
  EXPECT_NEAR(b.maxX, 21, 1e-9);
  EXPECT_NEAR(b.minY, 4, 1e-9);
  EXPECT_NEAR(b.maxY, 18, 1e-9);
}

TEST_F(MTextTest, badParagraphsGiveNothing) {
  const struct {
    const char* name;
    MTextStyle textStyle;
  } table[] = {
      {"NaN height", {"H", {0, 0}, NaN}},
      {"zero height", {"H", {0, 0}, 0}},
      {"infinite insertion", {"H", {0, -INFINITY}, 1}},
      {"NaN rotation", {"H", {0, 0}, 1, NaN}},
      {"NaN width", {"H", {0, 0}, 1, 0, NaN}},
      {"zero spacing", {"H", {0, 0}, 1, 0, 0, Attachment::TopLeft, 0}},
      {"attachment 0", {"H", {0, 0}, 1, 0, 0, static_cast<Attachment>(0)}},
      {"attachment 10", {"H", {0, 0}, 1, 0, 0, static_cast<Attachment>(10)}},
      {"overflowing size", {"HHHHHHHHHHHHHHHHHHHH", {0, 0}, 1e307}},
  };
  for (const auto& row : table) EXPECT_FALSE(strokeMText(font(), row.textStyle).has_value()) << row.name;
}

}  // namespace
}  // namespace tavix::geometry
