// MTEXT's font switches and tracking: \f and \F ask for the font they name
// (with bold and italic), the characters after them are drawn with what the
// caller gives, until their group ends; \T stretches the advances. Style
// width factor and slant apply to the whole text.
#include <vector>

#include "geometry/mtext.h"
#include "strokeFixture.h"

namespace tavix::geometry::test {
namespace {

class MTextFontSwitch : public StrokeFontTest {
 protected:
  // A font whose "I" is a square box three times as wide as the text font's.
  static StrokeFont wideFont() {
    StrokeFont wide;
    wide.capHeight = 10;
    wide.glyphs[U'I'] = Glyph{30, {{{0, 0}, {30, 0}, {30, 10}, {0, 10}, {0, 0}}}, true};
    return wide;
  }
  static MTextStyle style(const std::string& text) {
    MTextStyle s;
    s.text = text;
    s.height = 10;
    s.attachment = Attachment::BottomLeft;
    return s;
  }
};

TEST_F(MTextFontSwitch, switchesNameTheirFontWithBoldAndItalic) {
  std::vector<FontSwitch> asked;
  MTextStyle s = style("{\\fArial Narrow|b1|i0|c0|p34;I}{\\Fromans.shx;I}{\\fTimes|i1;I}");
  s.fonts = [&](const FontSwitch& wanted) {
    asked.push_back(wanted);
    return nullptr;
  };
  ASSERT_TRUE(strokeMText(font(), s));
  ASSERT_EQ(3u, asked.size());
  EXPECT_EQ("Arial Narrow", asked[0].name);
  EXPECT_TRUE(asked[0].bold);
  EXPECT_FALSE(asked[0].italic);
  EXPECT_FALSE(asked[0].file);
  EXPECT_EQ("romans.shx", asked[1].name);
  EXPECT_TRUE(asked[1].file);
  EXPECT_EQ("Times", asked[2].name);
  EXPECT_FALSE(asked[2].bold);
  EXPECT_TRUE(asked[2].italic);
}

TEST_F(MTextFontSwitch, charactersAfterASwitchUseTheFontUntilTheGroupEnds) {
  const StrokeFont wide = wideFont();
  MTextStyle s = style("I{\\fWide;I}I");
  s.fonts = [&](const FontSwitch& wanted) { return wanted.name == "Wide" ? &wide : nullptr; };
  const auto switched = strokeMText(font(), s);
  const auto plain = strokeMText(font(), style("III"));
  ASSERT_TRUE(switched && plain);
  // The middle "I" is the wide font's filled box (30 units at capitals of
  // 10, scaled to the height 10); the other two are the stroke font's.
  ASSERT_EQ(1u, switched->fills.size());
  EXPECT_EQ(plain->strokes.size() * 2 / 3, switched->strokes.size());
  const auto two = strokeMText(font(), style("II"));
  ASSERT_TRUE(two);
  const double strokeI = bounds(*plain).maxX - bounds(*two).maxX;  // the stroke font's advance
  EXPECT_NEAR(bounds(*switched).maxX - bounds(*plain).maxX, 30 - strokeI, 1e-9);
}

TEST_F(MTextFontSwitch, unknownFontsAndNoResolverLeaveTheTextFont) {
  const auto plain = strokeMText(font(), style("AB"));
  MTextStyle s = style("{\\fNowhere;A}B");
  const auto unresolved = strokeMText(font(), s);
  s.fonts = [](const FontSwitch&) { return nullptr; };
  const auto refused = strokeMText(font(), s);
  ASSERT_TRUE(plain && unresolved && refused);
  EXPECT_EQ(plain->strokes.size(), unresolved->strokes.size());
  EXPECT_EQ(bounds(*plain).maxX, bounds(*refused).maxX);
}

TEST_F(MTextFontSwitch, trackingStretchesTheAdvances) {
  const auto plain = strokeMText(font(), style("HH"));
  const auto tracked = strokeMText(font(), style("\\T2;HH"));
  ASSERT_TRUE(plain && tracked);
  const double advance = bounds(*plain).maxX - bounds(*plain).maxX / 2;  // about one H and its gap
  EXPECT_GT(bounds(*tracked).maxX, bounds(*plain).maxX + advance * 0.5);
}

TEST_F(MTextFontSwitch, styleWidthFactorAndSlantApplyToTheWholeText) {
  const auto plain = strokeMText(font(), style("HH"));
  MTextStyle s = style("HH");
  s.widthFactor = 0.5;
  const auto narrow = strokeMText(font(), s);
  s.widthFactor = 1;
  s.obliqueDegrees = 30;
  const auto slanted = strokeMText(font(), s);
  s.obliqueDegrees = 89;
  ASSERT_TRUE(plain && narrow && slanted);
  EXPECT_NEAR(bounds(*narrow).maxX - bounds(*narrow).minX, (bounds(*plain).maxX - bounds(*plain).minX) / 2, 0.01);
  EXPECT_GT(bounds(*slanted).maxX, bounds(*plain).maxX + 5);
  EXPECT_FALSE(strokeMText(font(), s));  // a slant beyond 85 degrees
  s.obliqueDegrees = 0;
  s.widthFactor = 0;
  EXPECT_FALSE(strokeMText(font(), s));
}

}  // namespace
}  // namespace tavix::geometry::test
