// MTEXT's caret notation and \U+ escapes, as CAD programs write them: each
// form must draw what its plain spelling draws.
#include <gtest/gtest.h>

#include "geometry/mtext.h"
#include "strokeFixture.h"

namespace tavix::geometry {
namespace {

class MTextCaretTest : public test::StrokeFontTest {
 protected:
  static StrokedText stroke(const std::string& text) {
    MTextStyle textStyle{text, {0, 0}, 21, 0, 0, Attachment::TopLeft, 1};
    const auto out = strokeMText(font(), textStyle);
    EXPECT_TRUE(out.has_value()) << text;
    return out.value_or(StrokedText{});
  }
};

TEST_F(MTextCaretTest, drawsWhatItStandsFor) {
  const struct {
    const char* caret;
    const char* plain;
  } rows[] = {
      {"AB^JCD", "AB\\PCD"},             // line feed: a new line
      {"A^IB", "A B"},                   // tab
      {"A^MB", "A B"},                   // other control characters
      {"A^ x", "A\\U+005Ex"},            // the caret itself
      {"A^x^z", "A\\U+005Ex\\U+005Ez"},  // not caret notation: drawn as written
      {"A^", "A\\U+005E"},               // a caret at the end
  };
  for (const auto& row : rows) {
    const StrokedText a = stroke(row.caret), b = stroke(row.plain);
    ASSERT_EQ(b.strokes.size(), a.strokes.size()) << row.caret;
    for (std::size_t i = 0; i < a.strokes.size(); ++i) {
      ASSERT_EQ(b.strokes[i].size(), a.strokes[i].size()) << row.caret;
      for (std::size_t k = 0; k < a.strokes[i].size(); ++k) {
        EXPECT_NEAR(b.strokes[i][k].x, a.strokes[i][k].x, 1e-9) << row.caret;
        EXPECT_NEAR(b.strokes[i][k].y, a.strokes[i][k].y, 1e-9) << row.caret;
      }
    }
    EXPECT_EQ(b.missingGlyphs, a.missingGlyphs) << row.caret;
  }
}

// \U+ escapes take exactly four digits: what follows is text of its own.
TEST_F(MTextCaretTest, unicodeEscapesTakeFourDigits) {
  const struct {
    const char* escaped;
    const char* plain;
  } rows[] = {
      {"25\\U+00B0C", "25\xC2\xB0" "C"},
      {"\\U+00b0\\U+00B1", "\xC2\xB0\xC2\xB1"},
      {"\\U+0041BCDEF", "ABCDEF"},
  };
  for (const auto& row : rows) {
    const StrokedText a = stroke(row.escaped), b = stroke(row.plain);
    EXPECT_EQ(b.missingGlyphs, a.missingGlyphs) << row.escaped;
    ASSERT_EQ(b.strokes.size(), a.strokes.size()) << row.escaped;
    for (std::size_t i = 0; i < a.strokes.size(); ++i) {
      ASSERT_EQ(b.strokes[i].size(), a.strokes[i].size()) << row.escaped;
      for (std::size_t k = 0; k < a.strokes[i].size(); ++k) {
        EXPECT_NEAR(b.strokes[i][k].x, a.strokes[i][k].x, 1e-9) << row.escaped;
        EXPECT_NEAR(b.strokes[i][k].y, a.strokes[i][k].y, 1e-9) << row.escaped;
      }
    }
  }
}

}  // namespace
}  // namespace tavix::geometry
