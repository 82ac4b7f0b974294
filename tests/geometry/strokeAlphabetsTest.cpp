// The stroke font itself covers the letters of Latin-1, Latin Extended-A,
// Greek and Cyrillic with strokes (the Hershey Greek and Cyrillic sets, and
// accented letters composed of their base and a mark); what it does not
// build is listed here and comes from an outline font when text is drawn.
#include <filesystem>
#include <string>

#include "strokeFixture.h"

namespace tavix::geometry::test {
namespace {

struct Range {
  const char* name;
  char32_t first, last;
  std::u32string leftOut;  // drawn from an installed outline font instead
};

const Range RANGES[] = {
    {"latin1Letters", 0xC0, 0xFF, U"ÆÞßæðþ"},
    {"latin1Signs", 0xA0, 0xBF, U"¢£¤¥¦§¨©ª«¬®¯´¶¸º»¼½¾"},
    {"latinExtendedA", 0x100, 0x17F, U"ĲĳĸŉŊŋŒœſ"},
    {"greekCapitals", 0x391, 0x3A9, U"\u03A2"},
    {"greekSmall", 0x3B1, 0x3C9, U"ς"},
    {"cyrillic", 0x400, 0x45F, U"ЂЄЉЊЋЏђєљњћџ"},
};

class StrokeAlphabets : public StrokeFontTest, public ::testing::WithParamInterface<Range> {};

TEST_P(StrokeAlphabets, lettersAreStrokesOfTheFontItself) {
  const Range& r = GetParam();
  for (char32_t c = r.first; c <= r.last; ++c) {
    const Glyph* glyph = font().find(c);
    if (r.leftOut.find(c) != std::u32string::npos) {
      EXPECT_EQ(nullptr, glyph) << "U+" << std::hex << static_cast<unsigned>(c) << " is built after all";
      continue;
    }
    ASSERT_NE(nullptr, glyph) << "U+" << std::hex << static_cast<unsigned>(c);
    EXPECT_FALSE(glyph->filled);
    if (c != 0xA0) {  // the no-break space draws nothing
      EXPECT_FALSE(glyph->strokes.empty()) << "U+" << std::hex << static_cast<unsigned>(c);
    }
    EXPECT_GT(glyph->advance, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Sets, StrokeAlphabets, ::testing::ValuesIn(RANGES),
                         [](const ::testing::TestParamInfo<Range>& info) { return std::string(info.param.name); });

TEST_F(StrokeFontTest, accentedLettersAreTheirBaseWithAMarkAboveOrBelow) {
  const Glyph* e = font().find(U'e');
  const Glyph* acute = font().find(U'é');
  const Glyph* cedilla = font().find(U'ç');
  const Glyph* c = font().find(U'c');
  ASSERT_TRUE(e && acute && cedilla && c);
  EXPECT_EQ(e->advance, acute->advance);
  ASSERT_EQ(e->strokes.size() + 1, acute->strokes.size());
  // The mark lies wholly above the letter, below the capitals' top and a half.
  double letterTop = -INFINITY, markBottom = INFINITY, markTop = -INFINITY;
  for (const Point& p : e->strokes.front()) letterTop = std::max(letterTop, p.y);
  for (const Point& p : acute->strokes.back()) markBottom = std::min(markBottom, p.y), markTop = std::max(markTop, p.y);
  EXPECT_GT(markBottom, letterTop);
  EXPECT_LT(markTop, font().capHeight * 1.5);
  double cedillaBottom = INFINITY;
  for (const Point& p : cedilla->strokes.back()) cedillaBottom = std::min(cedillaBottom, p.y);
  EXPECT_LT(cedillaBottom, 0);
  // A mark above "i" takes the place of its dot.
  EXPECT_EQ(font().find(U'ı')->strokes.size() + 1, font().find(U'í')->strokes.size());
  EXPECT_EQ(font().find(U'i')->strokes.size(), font().find(U'ı')->strokes.size() + 1);
}

TEST_F(StrokeFontTest, superscriptDigitsAreSmallDigitsRaised) {
  const Glyph* two = font().find(U'2');
  const Glyph* squared = font().find(U'²');
  ASSERT_TRUE(two && squared);
  EXPECT_NEAR(squared->advance, two->advance * 0.6, 1e-9);
  double bottom = INFINITY;
  for (const Polyline& s : squared->strokes)
    for (const Point& p : s) bottom = std::min(bottom, p.y);
  EXPECT_GT(bottom, font().capHeight * 0.35);
}

TEST_F(StrokeFontTest, theAlphabetsAreLeftOutWhenTheirFilesAreMissing) {
  // A copy of the font folder's ASCII font alone: Greek and Cyrillic can
  // not be read, the composed Latin letters are still there.
  const std::string folder = ::testing::TempDir() + "/tavix-hershey-ascii";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(DEFAULT_STROKE_FONT, folder + "/futural.jhf",
                             std::filesystem::copy_options::overwrite_existing);
  const auto alone = loadStrokeFont(folder + "/futural.jhf");
  ASSERT_TRUE(alone);
  EXPECT_EQ(nullptr, alone->find(U'Ж'));
  EXPECT_EQ(nullptr, alone->find(U'Ω'));
  EXPECT_NE(nullptr, alone->find(U'Ž'));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace tavix::geometry::test
