// Every character of Latin-1, Latin Extended-A, Greek and Cyrillic, and
// Japanese, has a glyph in the fonts of both kinds of text style: their own
// or an installed font's. A style naming a font that is not installed gets
// a stand-in and a warning naming the font.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "geometry/strokeFont.h"
#include "textFonts.h"

namespace tavix::fonts {
namespace {

struct Range {
    const char* name;
    char32_t first, last;
};

const Range RANGES[] = {
    {"latin1", 0xA0, 0xFF},
    {"latinExtendedA", 0x100, 0x17F},
    {"greekCapitals", 0x391, 0x3A9},
    {"greekSmall", 0x3B1, 0x3C9},
    {"cyrillic", 0x400, 0x45F},
};
const std::u32string JAPANESE = U"東京都千代田区の平面図、縮尺１：１００。カタカナ・ひらがな";

// The characters of a range that Unicode assigns.
std::u32string charactersOf(const Range& r) {
    std::u32string out;
    for (char32_t c = r.first; c <= r.last; ++c)
        if (c != 0x3A2) out.push_back(c);  // Greek has no capital final sigma
    return out;
}

struct Style {
    const char* name;
    FontRequest request;
};

const Style STYLES[] = {
    {"shapeFontTxt", {"", "", false, false}},
    {"shapeFontSimplex", {"simplex.shx", "", false, false}},
    {"trueTypeArial", {"arial.ttf", "", false, false}},
    {"trueTypeTimesBold", {"timesbd.ttf", "", false, false}},
    {"trueTypeFamilyOnly", {"", "Courier New", false, false}},
};

class TextCoverage : public ::testing::TestWithParam<Style> {
protected:
    void SetUp() override {
        stroke = geometry::loadStrokeFont();
        ASSERT_TRUE(stroke);
    }
    std::optional<geometry::StrokeFont> stroke;
};

TEST_P(TextCoverage, everyCharacterHasAGlyph) {
    TextFonts fonts(&*stroke);
    const geometry::StrokeFont* font = fonts.fontFor(GetParam().request);
    ASSERT_NE(nullptr, font);
    EXPECT_TRUE(fonts.warnings().empty()) << fonts.warnings().front();
    for (const Range& r : RANGES)
        for (char32_t c : charactersOf(r)) {
            const geometry::Glyph* glyph = font->find(c);
            ASSERT_NE(nullptr, glyph) << r.name << " U+" << std::hex << static_cast<unsigned>(c);
            EXPECT_GT(glyph->advance, 0) << r.name << " U+" << std::hex << static_cast<unsigned>(c);
            // Letters have something to draw (the no-break space has not).
            if (c != 0xA0 && c != 0xAD) {
                EXPECT_FALSE(glyph->strokes.empty()) << std::hex << static_cast<unsigned>(c);
            }
        }
    for (char32_t c : JAPANESE) {
        const geometry::Glyph* glyph = font->find(c);
        ASSERT_NE(nullptr, glyph) << "U+" << std::hex << static_cast<unsigned>(c);
        EXPECT_TRUE(glyph->filled);
        EXPECT_FALSE(glyph->strokes.empty());
    }
}

TEST_P(TextCoverage, malformedAndControlCharactersStayMissing) {
    TextFonts fonts(&*stroke);
    const geometry::StrokeFont* font = fonts.fontFor(GetParam().request);
    ASSERT_NE(nullptr, font);
    for (char32_t c : {char32_t{0xFFFD}, char32_t{0x01}, char32_t{0x9F}, char32_t{0xF0000}, char32_t{0x10FFFD}})
        EXPECT_EQ(nullptr, font->find(c)) << std::hex << static_cast<unsigned>(c);
}

INSTANTIATE_TEST_SUITE_P(Styles, TextCoverage, ::testing::ValuesIn(STYLES),
                         [](const ::testing::TestParamInfo<Style>& info) { return std::string(info.param.name); });

TEST(TextFonts, aStyleFontThatIsNotInstalledIsReplacedWithAWarningNamingIt) {
    TextFonts fonts(nullptr);
    const geometry::StrokeFont* font = fonts.fontFor({"NoSuchDrawingFont.ttf", "", false, false});
    ASSERT_NE(nullptr, font);
    EXPECT_NE(nullptr, font->find(U'A'));
    ASSERT_EQ(1u, fonts.warnings().size());
    EXPECT_NE(std::string::npos, fonts.warnings()[0].find("NoSuchDrawingFont.ttf")) << fonts.warnings()[0];
    // Asked again (by another text of the style): no second warning.
    EXPECT_EQ(font, fonts.fontFor({"NoSuchDrawingFont.ttf", "", false, false}));
    EXPECT_EQ(1u, fonts.warnings().size());
}

TEST(TextFonts, metricCompatibleStandInsDrawWithoutAWarning) {
    TextFonts fonts(nullptr);
    for (const char* file : {"arial.ttf", "ARIALBD.TTF", "times.ttf", "cour.ttf"})
        EXPECT_NE(nullptr, fonts.fontFor({file, "", false, false})) << file;
    EXPECT_TRUE(fonts.warnings().empty()) << fonts.warnings().front();
}

TEST(TextFonts, aFontFileInstalledHereIsUsedByItsName) {
    TextFonts fonts(nullptr);
    // As ezdxf's own styles name them (fonts-liberation2 installs them).
    const geometry::StrokeFont* byFile = fonts.fontFor({"LiberationSerif-Italic.ttf", "", false, false});
    const geometry::StrokeFont* byFamily = fonts.fontFor({"", "Liberation Serif", false, true});
    ASSERT_TRUE(byFile && byFamily);
    EXPECT_TRUE(fonts.warnings().empty()) << fonts.warnings().front();
    const geometry::Glyph* a = byFile->find(U'f');
    const geometry::Glyph* b = byFamily->find(U'f');
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->strokes.size(), b->strokes.size());
    EXPECT_DOUBLE_EQ(a->advance, b->advance);
    EXPECT_DOUBLE_EQ(a->strokes.front().front().x, b->strokes.front().front().x);
}

TEST(TextFonts, aDrawingAskingForTooManyFontsGetsTheStrokeFontForTheRest) {
    const auto stroke = geometry::loadStrokeFont();
    ASSERT_TRUE(stroke);
    TextFonts fonts(&*stroke);
    const geometry::StrokeFont* shape = fonts.fontFor({"txt", "", false, false});
    for (std::size_t i = 0; i < MAX_TEXT_FONTS; ++i)
        EXPECT_NE(shape, fonts.fontFor({"", "Family " + std::to_string(i), false, false}));
    const size_t warned = fonts.warnings().size();
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_EQ(shape, fonts.fontFor({"", "More " + std::to_string(i), false, false}));
    // One warning for all that are left out.
    ASSERT_EQ(warned + 1, fonts.warnings().size());
    EXPECT_NE(std::string::npos, fonts.warnings().back().find("more than 64 fonts"));
    // Those asked for before are still theirs.
    EXPECT_NE(shape, fonts.fontFor({"", "Family 3", false, false}));
}

TEST(TextFonts, shapeFontStylesWithoutAStrokeFontHaveNoFont) {
    TextFonts fonts(nullptr);
    EXPECT_EQ(nullptr, fonts.fontFor({"romans.shx", "", false, false}));
    EXPECT_EQ(nullptr, fonts.fontFor({"", "", false, false}));
}

TEST(TextFonts, boldAndItalicPickTheirFaces) {
    TextFonts fonts(nullptr);
    const geometry::StrokeFont* regular = fonts.fontFor({"arial.ttf", "", false, false});
    const geometry::StrokeFont* bold = fonts.fontFor({"arial.ttf", "", true, false});
    const geometry::StrokeFont* boldByName = fonts.fontFor({"arialbd.ttf", "", false, false});
    ASSERT_TRUE(regular && bold && boldByName);
    // The stem of a bold "I" is wider, the same in both ways of asking.
    auto stem = [](const geometry::StrokeFont* font) {
        double left = INFINITY, right = -INFINITY;
        for (const geometry::Polyline& outline : font->find(U'I')->strokes)
            for (const geometry::Point& p : outline) left = std::min(left, p.x), right = std::max(right, p.x);
        return (right - left) / font->capHeight;
    };
    EXPECT_GT(stem(bold), stem(regular) * 1.3);
    EXPECT_DOUBLE_EQ(stem(bold), stem(boldByName));
}

}  // namespace
}  // namespace tavix::fonts
