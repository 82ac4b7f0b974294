// TrueType text against matplotlib's font machinery (what ezdxf's text2path
// draws with): each string's outlines within the chord tolerance, its
// advance within 1 %, for the styles' fonts or their metric-compatible
// stand-ins as fontconfig finds them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

#include "fontFiles.h"
#include "geometry/strokeText.h"
#include "geometry/textLayout.h"
#include "textFonts.h"

namespace tavix::fonts {
namespace {

using geometry::Point;
using geometry::Polyline;

constexpr double HEIGHT = 10;
// The plot's usual chord tolerance on text of this height.
constexpr double TOLERANCE = 0.01;

struct Case {
    const char* name;
    const char* file;    // as a STYLE names it
    const char* family;  // what fontconfig is asked for
    bool bold, italic;
    const char* text;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const Case CASES[] = {
    {"arialGermanAndUnits", "arial.ttf", "Arial", false, false, "Grüße aus Köln: 25 m² × 4 µm – 12 €"},
    {"arialKerningPairs", "arial.ttf", "Arial", false, false, "AVATAR Ty Wo LT"},
    {"arialBoldCzech", "arialbd.ttf", "Arial", true, false, "Žluťoučký kůň úpěl ďábelské ódy"},
    {"timesFrenchAndGreek", "times.ttf", "Times New Roman", false, false, "Façade — été Ωμέγα λόγος"},
    {"timesItalic", "timesi.ttf", "Times New Roman", false, true, "Schnitt A–A, Maßstab 1:50"},
    {"courierCyrillic", "cour.ttf", "Courier New", false, false, "Чертёж № 12, лист 3"},
};

struct Oracle {
    double advance = -1;
    double grid = 0;  // how far its layout may shift a glyph by rounding
    std::vector<Polyline> contours;
};

Oracle runOracle(const std::string& fontFile, const std::string& text) {
    Oracle oracle;
    std::string command = std::string(TAVIX_SYSTEM_PYTHON) + " " + TAVIX_FONTS_TEST_DIR + "/textPathOracle.py '" +
                          fontFile + "' " + std::to_string(HEIGHT) + " '" + text + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return oracle;
    std::string out;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    if (pclose(pipe) != 0) return Oracle{};
    std::istringstream lines(out);
    std::string word;
    while (lines >> word) {
        if (word == "advance") lines >> oracle.advance;
        else if (word == "grid") lines >> oracle.grid;
        else if (word == "contour") oracle.contours.emplace_back();
        else if (!oracle.contours.empty()) {
            Point p{std::stod(word), 0};
            lines >> p.y;
            oracle.contours.back().push_back(p);
        }
    }
    return oracle;
}

double segmentDistance(Point p, Point a, Point b) {
    const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    double t = l2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

// The farthest any vertex of `from` lies from the outlines `to`.
double farthest(const std::vector<Polyline>& from, const std::vector<Polyline>& to) {
    double worst = 0;
    for (const Polyline& line : from)
        for (const Point& p : line) {
            double best = INFINITY;
            for (const Polyline& other : to)
                for (size_t i = 0; i + 1 < other.size() && best > 0; ++i)
                    best = std::min(best, segmentDistance(p, other[i], other[i + 1]));
            worst = std::max(worst, best);
        }
    return worst;
}

class TextOutlineOracle : public ::testing::TestWithParam<Case> {};

TEST_P(TextOutlineOracle, outlinesAndAdvanceMatchMatplotlib) {
    const Case& c = GetParam();
    const std::optional<FontFile> file = matchFamily(c.family, c.bold, c.italic);
    ASSERT_TRUE(file) << "no font for " << c.family;
    TextFonts fonts(nullptr);
    const geometry::StrokeFont* font = fonts.fontFor({c.file, "", false, false});
    ASSERT_NE(nullptr, font);
    EXPECT_TRUE(fonts.warnings().empty()) << fonts.warnings().front();

    geometry::TextStyle style;
    style.text = c.text;
    style.height = HEIGHT;
    const std::optional<geometry::StrokedText> drawn = geometry::strokeText(*font, style);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(0, drawn->missingGlyphs);
    EXPECT_TRUE(drawn->strokes.empty());
    std::vector<Polyline> ours;
    for (const geometry::TextFill& fill : drawn->fills) ours.insert(ours.end(), fill.outlines.begin(), fill.outlines.end());

    const Oracle oracle = runOracle(file->path, c.text);
    ASSERT_GT(oracle.advance, 0) << "the oracle failed";
    ASSERT_FALSE(oracle.contours.empty());

    geometry::CharStyle charStyle;
    charStyle.height = HEIGHT;
    const std::u32string codes = geometry::decodeUtf8(c.text);
    double advance = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        advance += geometry::advanceOf(*font, codes[i], charStyle);
        if (i + 1 < codes.size()) advance += geometry::kerningOf(*font, codes[i], codes[i + 1], charStyle);
    }
    EXPECT_NEAR(oracle.advance, advance, oracle.advance * 0.01);

    EXPECT_EQ(oracle.contours.size(), ours.size());
    EXPECT_LE(farthest(ours, oracle.contours), TOLERANCE + oracle.grid);
    EXPECT_LE(farthest(oracle.contours, ours), TOLERANCE + oracle.grid);
}

INSTANTIATE_TEST_SUITE_P(Fonts, TextOutlineOracle, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavix::fonts
