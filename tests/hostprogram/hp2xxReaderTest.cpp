// An independent reader of what the driver writes: hp2xx (a Debian package
// that knows HP-GL/2 Polyline Encoded coordinates) decodes the vectors of a
// plotted drawing, and they must be the drawing's own vectors, in order and
// in their pens. Both PE forms (7-bit "PE7" and 8-bit "PE"), colour and
// monochrome, and a long paper whose host unit is two plotter units. hp2xx
// reads neither the job ticket nor PJL: the HP-GL/2 text is given alone.
#include <gtest/gtest.h>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::ScratchDirectory;

// Host units, inside the plot area of both papers (the window clips the
// rest, in hp2xx as on the printer). Long steps (several PE digits), steps of one unit, negative
// steps, a lifted pen, pens above 8, fills from both vertex sources, and a
// draw right after a fill (the pen is chosen again).
const char* const VECTORS = R"(
pen 1
move 0 0
draw 16000 0
draw 16000 12000
draw 3 5
lift
draw 500 500
pen 2
move 1000 1000
draw 1001 1000
draw 1001 1001
move 20000 100
draw 20000 15000
lift
lift
move 20010 15000
pen 200
draw 100 15000
fill 3 2000 2000 6000 2000 4000 5000
draw 7100 7100
fillarray 4 8000 8000 9000 8000 8500 9500 8100 9000
pen 9
move 30000 16000
draw 31000 17000
draw 30000 18000
)";

struct Case {
    const char* name;
    std::vector<std::string> settings;
    bool eightBit;
    bool colour;
    bool halftone;  // monochrome polygons filled in their own pen
    double hostUnitsPerInch;
    int divisor;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Hp2xxReader : public ::testing::TestWithParam<Case> {
protected:
    ScratchDirectory scratch;
};

TEST_P(Hp2xxReader, decodesTheDrawingsVectors) {
    const Case& c = GetParam();
    std::string messages;
    ASSERT_EQ(0, testing::configure("reader.cfg", c.settings, &messages)) << messages;
    testing::editConfig("reader.cfg", [&c](HostConfig& config) {
        testing::setFlag(config, testing::FLAGS_A, testing::EIGHT_BIT_PE, c.eightBit);
        EXPECT_EQ(c.hostUnitsPerInch, config.stepsPerInch);
    });
    testing::Plotted p = testing::plot("reader.cfg", VECTORS);
    ASSERT_TRUE(p.ok) << p.error;
    std::string hpgl = testing::hpglOnly(p.stream);
    // The vectors really are Polyline Encoded in the chosen form.
    std::string firstVector = std::string(c.colour ? "TR0SP1" : "TR0SP7") + (c.eightBit ? "PE<" : "PE7<");
    EXPECT_NE(std::string::npos, hpgl.find(firstVector)) << firstVector;

    std::vector<testing::Segment> decoded;
    std::string error;
    ASSERT_TRUE(testing::hp2xxSegments(hpgl, decoded, error)) << error;
    std::vector<testing::Segment> expected =
        testing::drawingSegments(VECTORS, c.hostUnitsPerInch, c.divisor, c.colour, c.halftone);
    ASSERT_EQ(18u, expected.size());
    EXPECT_EQ("", testing::compareSegments(expected, decoded));

    // The comparison sees a vector one plotter unit and a half away, and a
    // pen it does not expect.
    std::vector<testing::Segment> moved = expected;
    moved[3].x1 += 1.5;
    EXPECT_NE("", testing::compareSegments(moved, decoded));
    std::vector<testing::Segment> otherPen = expected;
    otherPen[5].pen = 6;
    EXPECT_NE("", testing::compareSegments(otherPen, decoded));
    otherPen.pop_back();
    EXPECT_NE("", testing::compareSegments(expected, std::vector<testing::Segment>(decoded.begin(), decoded.end() - 1)));
}

const std::vector<std::string> A1_COLOUR = {"--defaults", "--model", "tx90", "--paper", "A1", "--colour", "colour"};
const std::vector<std::string> A1_MONO_BLACK = {"--defaults", "--model", "tx90", "--paper",
                                                "A1",         "--colour", "mono", "--fill", "black"};
const std::vector<std::string> A1_MONO_HALFTONE = {"--defaults", "--model", "tx90", "--paper",
                                                   "A1",         "--colour", "mono", "--fill", "halftone"};
// 129 x 36 inches: beyond 64.5 inches, so a host unit is 2 plotter units.
const std::vector<std::string> LONG_COLOUR = {"--defaults", "--model",  "tx90",  "--paper",
                                              "Long plot 3276",  "--colour", "colour"};

INSTANTIATE_TEST_SUITE_P(Forms, Hp2xxReader,
                         ::testing::Values(Case{"colour7Bit", A1_COLOUR, false, true, false, 1016, 1},
                                           Case{"colour8Bit", A1_COLOUR, true, true, false, 1016, 1},
                                           Case{"monoBlackFill7Bit", A1_MONO_BLACK, false, false, false, 1016, 1},
                                           Case{"monoHalftone8Bit", A1_MONO_HALFTONE, true, false, true, 1016, 1},
                                           Case{"longPaper8Bit", LONG_COLOUR, true, true, false, 508, 2},
                                           Case{"longPaper7Bit", LONG_COLOUR, false, true, false, 508, 2}),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavix::host
