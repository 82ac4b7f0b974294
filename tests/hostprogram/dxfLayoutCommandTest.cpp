// `tavix layouts` and the layout and plot style options of `tavix plot`:
// the listing, the pens a plot style table gives the printer stream (the
// same bytes as the pen file of what ezdxf reads in the table), the
// table a layout names, and bad input refused with exit status 1 and no
// printer file.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <initializer_list>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::ScratchDirectory;

bool python(const std::vector<std::string>& args, std::string& out) {
    testing::Ran ran = testing::runProgram(TAVIX_SYSTEM_PYTHON, args);
    out = ran.status == 0 ? ran.out : ran.err;
    return ran.status == 0;
}

class DxfLayoutCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::string out;
        ASSERT_EQ(0, testing::configure("layout.cfg", {"--defaults", "--model", "tx90", "--paper", "A2", "--colour",
                                                       "colour"}, &out)) << out;
    }
    // The drawings of these layout cases, and the plot style oracle's tables (table-*.ctb).
    void make(std::initializer_list<const char*> cases, bool tables) {
        std::string out;
        for (const char* c : cases) ASSERT_TRUE(python({layouts, "make", c, std::string(c) + ".dxf"}, out)) << out;
        if (tables) {
            ASSERT_TRUE(python({styles, "table"}, out)) << out;
        }
    }
    testing::Ran plot(std::vector<std::string> options, const std::string& output = "out.plt") {
        std::vector<std::string> args = {"--config", "layout.cfg", "plot"};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), {"-o", output, "-q"});
        return testing::runTavix(args);
    }
    ScratchDirectory scratch;
    std::string layouts = testing::sourcePath("tests/dxf/oracle/layoutOracle.py");
    std::string styles = testing::sourcePath("tests/dxf/oracle/plotStyleOracle.py");
};

TEST_F(DxfLayoutCommand, listsTheLayoutsWithTheirPaperScaleAndViewports) {
    ASSERT_NO_FATAL_FAILURE(make({"scale", "frozen"}, true));
    testing::Ran ran = testing::runTavix({"layouts", "scale.dxf"});
    ASSERT_EQ(0, ran.status) << ran.err;
    EXPECT_EQ("Layout1\t420 x 297 mm (ezdxf_(420.00_x_297.00_MM))\t1:1\t2 viewports\n", ran.out);
    ran = testing::runTavix({"layouts", "frozen.dxf"});
    ASSERT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(testing::contains(ran.out, "Plot frozen\t420 x 297 mm")) << ran.out;
    ran = testing::runTavix({"layouts", "missing.dxf"});
    EXPECT_EQ(1, ran.status);
    EXPECT_TRUE(testing::contains(ran.err, "cannot read missing.dxf")) << ran.err;
    tavix::testing::writeWholeFile("request.txt", "pen 1\nmove 0 0\ndraw 10 10\n");
    ran = testing::runTavix({"layouts", "request.txt"});
    EXPECT_EQ(1, ran.status);
    EXPECT_TRUE(testing::contains(ran.err, "request.txt is not an ASCII DXF drawing")) << ran.err;
    ran = testing::runTavix({"layouts", "table-cad.ctb"});
    EXPECT_EQ(1, ran.status);
    EXPECT_EQ("", ran.out);
}

// The table's pens are those ezdxf reads in it: physical pens 9, 200 and 1,
// lineweights 0.5, 0.35, 2.11 and 0.13 mm, colour 9 left as it is.
const char* PENS_OF_TABLE = "1 9 0.5\n5 5 0.35\n6 200\n7 7 2.11\n250 1 0.13\n";

TEST_F(DxfLayoutCommand, plotStyleTableGivesThePensOfAPenFile) {
    ASSERT_NO_FATAL_FAILURE(make({"pens"}, true));
    tavix::testing::writeWholeFile("pens.txt", PENS_OF_TABLE);
    for (const char* table : {"table-ezdxf.ctb", "table-cad.ctb"}) {
        testing::Ran ran = plot({"pens.dxf", "--plot-style", table}, "styled.plt");
        ASSERT_EQ(0, ran.status) << ran.err;
        ran = plot({"pens.dxf", "--pens", "pens.txt"}, "penned.plt");
        ASSERT_EQ(0, ran.status) << ran.err;
        std::string styled = tavix::testing::readWholeFile("styled.plt");
        EXPECT_EQ(tavix::testing::readWholeFile("penned.plt"), styled) << table;
        ran = plot({"pens.dxf"}, "plain.plt");
        ASSERT_EQ(0, ran.status) << ran.err;
        EXPECT_NE(tavix::testing::readWholeFile("plain.plt"), styled);
    }
}

// A named table (.stb): the line on layer THICK takes the layer's style
// (pen 20, 0.70 mm), the line naming "Red" the pen of red, the others the
// Normal style (their own pens); the style the table lacks is said.
TEST_F(DxfLayoutCommand, namedTableGivesEachEntityThePenOfItsStyle) {
    ASSERT_NO_FATAL_FAILURE(make({"pens"}, false));
    std::string out;
    ASSERT_TRUE(python({testing::sourcePath("tests/dxf/oracle/namedStyleOracle.py"), "named"}, out)) << out;
    tavix::testing::writeWholeFile("named.txt", out);
    testing::Ran ran = plot({"named.dxf", "--scale", "1:1000", "--plot-style", "named.stb"}, "styled.plt");
    ASSERT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(testing::contains(ran.err, "1 lines and fills have a plot style the table does not have")) << ran.err;
    ASSERT_EQ(0, plot({"named.dxf", "--scale", "1:1000", "--pens", "named.txt"}, "penned.plt").status);
    std::string styled = tavix::testing::readWholeFile("styled.plt");
    EXPECT_EQ(tavix::testing::readWholeFile("penned.plt"), styled);
    EXPECT_TRUE(testing::contains(styled, "SP20PW0.700")) << "the layer's style";
    // The same table for a drawing that gives colours their styles: all Normal, and said.
    ran = plot({"pens.dxf", "--plot-style", "named.stb"}, "normal.plt");
    ASSERT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(testing::contains(ran.err, "every entity takes the named table's Normal style")) << ran.err;
}

TEST_F(DxfLayoutCommand, layoutUsesThePlotStyleTableItNamesBesideTheDrawing) {
    ASSERT_NO_FATAL_FAILURE(make({"pens"}, true));
    testing::Ran ran = plot({"pens.dxf", "--layout", "plot pens"}, "bare.plt");
    ASSERT_EQ(0, ran.status) << ran.err;
    std::filesystem::copy_file("table-cad.ctb", "pens.ctb");
    ran = plot({"pens.dxf", "--layout", "Plot Pens"}, "named.plt");
    ASSERT_EQ(0, ran.status) << ran.err;
    ran = plot({"pens.dxf", "--layout", "Plot Pens", "--plot-style", "table-cad.ctb"}, "given.plt");
    ASSERT_EQ(0, ran.status) << ran.err;
    std::string named = tavix::testing::readWholeFile("named.plt");
    EXPECT_EQ(tavix::testing::readWholeFile("given.plt"), named);
    EXPECT_NE(tavix::testing::readWholeFile("bare.plt"), named);
}

std::vector<testing::Segment> vectorsOf(const std::string& plt) {
    std::vector<testing::Segment> out;
    std::string error;
    EXPECT_TRUE(testing::hp2xxSegments(testing::hpglOnly(tavix::testing::readWholeFile(plt)), out, error)) << error;
    return out;
}

struct Box {
    double x0 = 1e18, y0 = 1e18, x1 = -1e18, y1 = -1e18;
};

Box boxOf(const std::vector<testing::Segment>& segments) {
    Box b;
    for (const testing::Segment& s : segments)
        for (auto [x, y] : {std::pair{s.x0, s.y0}, {s.x1, s.y1}})
            b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y), b.x1 = std::max(b.x1, x), b.y1 = std::max(b.y1, y);
    return b;
}

// Empty when every point of `a` (sampled a unit apart), moved back by
// (dx, dy), lies within `reach` of a segment of `b` in the same pen, and
// the other way round; else the first point that does not.
std::string movedCopy(const std::vector<testing::Segment>& a, const std::vector<testing::Segment>& b, double dx,
                      double dy, double reach) {
    auto near = [&](const std::vector<testing::Segment>& from, const std::vector<testing::Segment>& to, double sx,
                    double sy) -> std::string {
        for (const testing::Segment& s : from) {
            int steps = static_cast<int>(std::ceil(std::hypot(s.x1 - s.x0, s.y1 - s.y0))) + 1;
            for (int k = 0; k <= steps; ++k) {
                double t = static_cast<double>(k) / steps;
                double x = s.x0 + t * (s.x1 - s.x0) + sx, y = s.y0 + t * (s.y1 - s.y0) + sy;
                bool found = false;
                for (const testing::Segment& o : to)
                    if (o.pen == s.pen && testing::distanceToSegment(x, y, o) <= reach) {
                        found = true;
                        break;
                    }
                if (!found) return "no line near (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
        }
        return "";
    };
    std::string one = near(a, b, -dx, -dy);
    return one.empty() ? near(b, a, dx, dy) : one;
}

// Without --scale, --fit or --window the layout's plot settings place it:
// its scale 1:2 and its plot origin 10 mm right and 20 mm up; the user's
// --scale 1:2 draws the same at the corner, and --scale 1:1 twice the size.
TEST_F(DxfLayoutCommand, layoutsPlotSettingsPlaceItUnlessTheUserDoes) {
    ASSERT_NO_FATAL_FAILURE(make({"settings"}, false));
    testing::Ran ran = testing::runTavix({"layouts", "settings.dxf"});
    EXPECT_TRUE(testing::contains(ran.out, "Plot settings\t420 x 297 mm")) << ran.out;
    EXPECT_TRUE(testing::contains(ran.out, "\t1:2\t1 viewport")) << ran.out;
    ASSERT_EQ(0, plot({"settings.dxf", "--layout", "plot settings"}, "own.plt").status);
    ASSERT_EQ(0, plot({"settings.dxf", "--layout", "plot settings", "--scale", "1:2"}, "half.plt").status);
    ASSERT_EQ(0, plot({"settings.dxf", "--layout", "plot settings", "--scale", "1:1"}, "full.plt").status);
    std::vector<testing::Segment> own = vectorsOf("own.plt"), half = vectorsOf("half.plt"), full = vectorsOf("full.plt");
    ASSERT_FALSE(own.empty());
    const double units = 1016 / 25.4;
    EXPECT_EQ("", movedCopy(own, half, 10 * units, 20 * units, 2));
    EXPECT_NE("", movedCopy(own, half, 0, 0, 2));
    Box o = boxOf(own), h = boxOf(half), f = boxOf(full);
    EXPECT_NEAR(o.x0, h.x0 + 10 * units, 2);
    EXPECT_NEAR(o.y0, h.y0 + 20 * units, 2);
    EXPECT_NEAR(f.x1 - f.x0, 2 * (h.x1 - h.x0), 4);
    EXPECT_NEAR(f.y1 - f.y0, 2 * (h.y1 - h.y0), 4);
}

TEST_F(DxfLayoutCommand, badInputFailsWithAMessageAndNoPrinterFile) {
    ASSERT_NO_FATAL_FAILURE(make({"scale", "zero"}, true));
    std::string damaged = tavix::testing::readWholeFile("table-cad.ctb");
    damaged.resize(damaged.size() / 2);
    tavix::testing::writeWholeFile("damaged.ctb", damaged);
    const struct {
        std::vector<std::string> options;
        const char* message;
    } cases[] = {
        {{"scale.dxf", "--layout", "Nope"}, "the drawing has no layout \"Nope\"; its layouts are Layout1"},
        {{"zero.dxf", "--layout", "Plot zero"}, "the viewport has zero height on the sheet"},
        {{"scale.dxf", "--plot-style", "damaged.ctb"}, "cannot use the plot style table damaged.ctb: its compressed content is damaged"},
        {{"scale.dxf", "--plot-style", "scale.dxf"}, "not a plot style table"},
        {{"scale.dxf", "--plot-style", "none.ctb"}, "cannot use the plot style table none.ctb"},
    };
    for (const auto& c : cases) {
        testing::Ran ran = plot(c.options, "bad.plt");
        EXPECT_EQ(1, ran.status) << c.message;
        EXPECT_TRUE(testing::contains(ran.err, c.message)) << ran.err;
        EXPECT_FALSE(std::filesystem::exists("bad.plt")) << c.message;
    }
    testing::Ran ran = plot({"scale.dxf", "--plot-style", "table-cad.ctb", "--pens", "x"}, "bad.plt");
    EXPECT_EQ(2, ran.status);
    EXPECT_TRUE(testing::contains(ran.err, "--pens and --plot-style exclude each other")) << ran.err;
}

}  // namespace
}  // namespace tavix::host
