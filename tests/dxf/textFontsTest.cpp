// Text in the fonts its styles name, through the whole DXF plot: drawings
// written by ezdxf whose characters each print as a glyph (none as a box),
// in code page ANSI_932 too, and a style naming a font that is not
// installed, which plots with a stand-in and a warning naming the font.
#include <gtest/gtest.h>

#include <memory>

#include "dxfPlot.h"
#include "oracleRun.h"

namespace tavix::dxf {
namespace {

constexpr double UNITS_PER_INCH = 1016;

struct Plotted {
    bool ok = false;
    std::string error;
    DxfPlotReport report;
};

Plotted plotKind(const std::string& kind) {
    Plotted p;
    const std::string file = testing::temporaryFile();
    std::string out;
    if (file.empty() || !testing::runOracleScript("fontsOracle.py " + kind, file, out)) {
        p.error = "ezdxf could not write the drawing";
        return p;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.c_str(), "rb"), &std::fclose);
    DxfPlotOptions options;
    PlotArea area{400 / 25.4 * UNITS_PER_INCH, 300 / 25.4 * UNITS_PER_INCH, UNITS_PER_INCH};
    RequestSink sink = [](const host::DrawingRequest&, std::string&) { return true; };
    p.ok = in && plotDxf(in.get(), options, area, sink, p.report, p.error);
    std::remove(file.c_str());
    return p;
}

bool mentions(const std::vector<std::string>& warnings, const std::string& words) {
    for (const std::string& w : warnings)
        if (w.find(words) != std::string::npos) return true;
    return false;
}

struct Case {
    const char* kind;
    int minimumFills, maximumFills;  // glyphs of outline fonts filled
    int minimumStrokes;              // the frame, stroke text and outlined glyphs
    const char* warningNamed;  // a word the one warning must hold; nullptr: no warning
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.kind; }

const Case CASES[] = {
    // Three styles of about 350 characters each; the shape font's own
    // glyphs are strokes, the rest fills.
    {"coverage", 600, 2000, 500, nullptr},
    {"codepage932", 30, 40, 1, nullptr},
    {"missingFont", 15, 20, 1, "NoSuchDrawingFont.ttf"},
    {"mtextFonts", 29, 29, 1, nullptr},
    // "Größe" and "FREE", a fill each letter.
    {"attributes", 9, 9, 1, nullptr},
    // Glyphs too small to fill are outlined: a stroke for each of the 13
    // contours of "Schnitt A-A", none filled.
    {"smallText", 0, 0, 14, nullptr},
};

class TextFonts : public ::testing::TestWithParam<Case> {};

TEST_P(TextFonts, everyCharacterPrintsAsAGlyph) {
    const Case& c = GetParam();
    const Plotted p = plotKind(c.kind);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_FALSE(mentions(p.report.warnings, "drawn as boxes"));
    EXPECT_GE(p.report.fills, c.minimumFills);
    EXPECT_LE(p.report.fills, c.maximumFills);
    EXPECT_GE(p.report.strokes, c.minimumStrokes);
    if (c.warningNamed == nullptr) {
        EXPECT_TRUE(p.report.warnings.empty()) << p.report.warnings.front();
    } else {
        ASSERT_EQ(1u, p.report.warnings.size());
        EXPECT_TRUE(mentions(p.report.warnings, c.warningNamed)) << p.report.warnings.front();
    }
}

INSTANTIATE_TEST_SUITE_P(Drawings, TextFonts, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.kind); });

}  // namespace
}  // namespace tavix::dxf
