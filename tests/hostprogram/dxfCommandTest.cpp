// `tavix plot` with DXF drawings that cannot plot as they are: each gives a
// clear message (with the line when the file is at fault), exit status 1,
// and no printer file: one that existed is left as it was. And the
// warnings of plots that go ahead: what is clipped, what is skipped.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::readWholeFile;
using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;

const std::vector<std::string> A3_COLOUR = {"--defaults", "--model", "tx90", "--paper", "A3", "--colour", "colour"};
const char* const PREVIOUS = "the previous printer file";

std::string groups(std::initializer_list<std::pair<int, const char*>> g) {
    std::string out;
    for (const auto& [code, value] : g) out += std::to_string(code) + "\n" + value + "\n";
    return out;
}

std::string entities(const std::string& body, const std::string& blocks = "", const std::string& tables = "") {
    std::string out;
    if (!tables.empty()) out += groups({{0, "SECTION"}, {2, "TABLES"}}) + tables + groups({{0, "ENDSEC"}});
    if (!blocks.empty()) out += groups({{0, "SECTION"}, {2, "BLOCKS"}}) + blocks + groups({{0, "ENDSEC"}});
    return out + groups({{0, "SECTION"}, {2, "ENTITIES"}}) + body + groups({{0, "ENDSEC"}, {0, "EOF"}});
}

const std::string A_LINE = groups({{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "100"}, {21, "50"}});

struct Refused {
    const char* name;
    std::string drawing;
    std::vector<std::string> options;
    const char* message;  // what standard error must contain
};

void PrintTo(const Refused& r, std::ostream* os) { *os << r.name; }

class DxfRefused : public ::testing::TestWithParam<Refused> {
protected:
    ScratchDirectory scratch;
};

TEST_P(DxfRefused, saysWhyAndLeavesThePrinterFileAlone) {
    const Refused& r = GetParam();
    std::string messages;
    ASSERT_EQ(0, testing::configure("dxf.cfg", A3_COLOUR, &messages)) << messages;
    writeWholeFile("drawing.dxf", r.drawing);
    writeWholeFile("pens.txt", "1 2\n1 300\n");
    for (bool existing : {false, true}) {
        std::filesystem::remove("out.plt");
        if (existing) writeWholeFile("out.plt", PREVIOUS);
        std::vector<std::string> args = {"--config", "dxf.cfg", "plot", "drawing.dxf", "-o", "out.plt"};
        args.insert(args.end(), r.options.begin(), r.options.end());
        testing::Ran ran = testing::runTavix(args);
        EXPECT_EQ(1, ran.status) << ran.err;
        EXPECT_NE(std::string::npos, ran.err.find(r.message)) << ran.err;
        EXPECT_EQ(existing, std::filesystem::exists("out.plt"));
        if (existing) {
            EXPECT_EQ(PREVIOUS, readWholeFile("out.plt"));
        }
        EXPECT_FALSE(std::filesystem::exists("out.plt.part"));
    }
}

const std::string SELF_BLOCK = groups({{0, "BLOCK"}, {2, "LOOP"}, {10, "0"}, {20, "0"}, {0, "INSERT"}, {2, "LOOP"},
                                       {10, "1"}, {20, "0"}, {0, "ENDBLK"}});
const std::string ALL_OFF = groups({{0, "TABLE"}, {2, "LAYER"}, {0, "LAYER"}, {2, "0"}, {70, "0"}, {62, "-7"},
                                    {0, "ENDTAB"}});

INSTANTIATE_TEST_SUITE_P(
    Plot, DxfRefused,
    ::testing::Values(
        Refused{"truncated", entities(A_LINE).substr(0, 60), {}, "drawing.dxf: line 16: the file ends"},
        Refused{"textForANumber", entities(groups({{0, "LINE"}, {10, "x1"}})), {},
                "drawing.dxf: line 8: 'x1' is not a number (group code 10)"},
        Refused{"wrongGroupCode", entities("1.5\nLINE\n"), {}, "drawing.dxf: line 5: '1.5' is not a group code"},
        Refused{"notANumberCoordinate", entities(groups({{0, "LINE"}, {10, "NaN"}})), {},
                "drawing.dxf: line 8: 'NaN' is not a finite number"},
        Refused{"infiniteCoordinate", entities(groups({{0, "CIRCLE"}, {40, "inf"}})), {},
                "drawing.dxf: line 8: 'inf' is not a finite number"},
        Refused{"hugeCoordinate", entities(groups({{0, "LINE"}, {10, "1e300"}})), {},
                "drawing.dxf: line 8: the value 1e300 is too large"},
        Refused{"blockInsertsItself", entities(groups({{0, "INSERT"}, {2, "LOOP"}, {10, "0"}, {20, "0"}}), SELF_BLOCK),
                {}, "drawing.dxf: line 13: the block LOOP inserts itself (LOOP > LOOP)"},
        Refused{"codePage932Broken",
                groups({{0, "SECTION"}, {2, "HEADER"}, {9, "$DWGCODEPAGE"}, {3, "ANSI_932"}, {0, "ENDSEC"}}) +
                    entities(groups({{0, "TEXT"}, {10, "0"}, {20, "0"}, {40, "2"}, {1, "\x82"}})),
                {}, "drawing.dxf: line 15: the text of TEXT: the text is not valid CP932"},
        Refused{"emptyDrawing", entities(""), {}, "the drawing has no entities in model space"},
        Refused{"nothingPlots", entities(A_LINE, "", ALL_OFF), {}, "nothing in the drawing plots"},
        Refused{"onlyKindsNotDrawn",
                entities(groups({{0, "REGION"}, {8, "0"}, {0, "TOLERANCE"}, {8, "0"}, {0, "REGION"}, {8, "0"}})), {},
                "nothing in the drawing plots: it holds only entities of kinds tavix does not draw "
                "(2 REGION, 1 TOLERANCE)"},
        Refused{"zeroSizeExtents", entities(groups({{0, "POINT"}, {10, "5"}, {20, "5"}})), {},
                "extents have zero size"},
        Refused{"windowBesideTheDrawing", entities(A_LINE), {"--window", "500,500,600,600"},
                "nothing of the drawing falls inside the plot area"},
        Refused{"scaleZero", entities(A_LINE), {"--scale", "0"}, "--scale 0: give a positive scale"},
        Refused{"scaleNegative", entities(A_LINE), {"--scale", "-1:100"}, "--scale -1:100: give a positive scale"},
        Refused{"scaleOfZeroReal", entities(A_LINE), {"--scale", "1:0"}, "--scale 1:0: give a positive scale"},
        Refused{"scaleNotANumber", entities(A_LINE), {"--scale", "1:abc"}, "--scale 1:abc: give a positive scale"},
        Refused{"windowOfThreeNumbers", entities(A_LINE), {"--window", "1,2,3"}, "--window 1,2,3: give two corners"},
        Refused{"penFileBadPen", entities(A_LINE), {"--pens", "pens.txt"},
                "pens.txt: line 2: the pen must be a number from 1 to 255"},
        Refused{"binaryDxfCutShort", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "rest", {},
                "the binary DXF file ends inside a number (group code 114) at byte 26"},
        Refused{"dwg", std::string("AC1018\0\0\0\0", 10), {}, "DWG drawing"}),
    [](const ::testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

class DxfWarnings : public ::testing::Test {
protected:
    ScratchDirectory scratch;
    void SetUp() override {
        std::string messages;
        ASSERT_EQ(0, testing::configure("dxf.cfg", A3_COLOUR, &messages)) << messages;
    }
};

TEST_F(DxfWarnings, whatFallsOutsideIsClippedAndMeasured) {
    // 100 mm by 50 mm at 5:1 is 500 mm wide: the A3 area (410 mm) cuts the rest.
    writeWholeFile("drawing.dxf", entities(groups({{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "100"}, {21, "0"}})));
    testing::Ran ran = testing::runTavix({"--config", "dxf.cfg", "plot", "drawing.dxf", "-o", "out.plt", "--scale", "5:1"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_NE(std::string::npos, ran.err.find("tavix: warning: drawing.dxf: 90 mm of lines (18.0% of their length) fall outside "
                                              "the plot area and are clipped"))
        << ran.err;
}

TEST_F(DxfWarnings, skippedKindsAreReportedOnceWithTheirCounts) {
    writeWholeFile("drawing.dxf", entities(A_LINE + groups({{0, "REGION"}, {0, "REGION"}, {0, "REGION"}, {0, "MESH"}})));
    testing::Ran ran = testing::runTavix({"--config", "dxf.cfg", "plot", "drawing.dxf", "-o", "out.plt"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_NE(std::string::npos, ran.err.find("warning: drawing.dxf: skipped 3 REGION entities")) << ran.err;
    EXPECT_NE(std::string::npos, ran.err.find("warning: drawing.dxf: skipped 1 MESH entity")) << ran.err;
}

// An image whose file is not beside the drawing is named in a warning; the
// rest of the drawing plots.
TEST_F(DxfWarnings, anImageNotFoundIsNamed) {
    std::string drawing = entities(A_LINE + groups({{0, "IMAGE"}, {8, "0"}, {10, "10"}, {20, "10"}, {11, "1"},
                                                    {21, "0"}, {12, "0"}, {22, "1"}, {13, "40"}, {23, "20"},
                                                    {340, "2A"}}));
    drawing.insert(drawing.rfind("0\nEOF"), groups({{0, "SECTION"}, {2, "OBJECTS"}, {0, "IMAGEDEF"}, {5, "2A"},
                                                     {1, "C:\\Plans\\site photo.png"}, {0, "ENDSEC"}}));
    writeWholeFile("drawing.dxf", drawing);
    testing::Ran ran = testing::runTavix({"--config", "dxf.cfg", "plot", "drawing.dxf", "-o", "out.plt"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_NE(std::string::npos,
              ran.err.find("warning: drawing.dxf: left out 1 x IMAGE file C:\\Plans\\site photo.png not found"))
        << ran.err;
}

TEST_F(DxfWarnings, anEscapeOfNoCharacterIsDrawnAsABox) {
    writeWholeFile("drawing.dxf", entities(A_LINE + groups({{0, "TEXT"}, {10, "0"}, {20, "0"}, {40, "2"},
                                                             {1, "\\U+DFFF"}})));
    testing::Ran ran = testing::runTavix({"--config", "dxf.cfg", "plot", "drawing.dxf", "-o", "out.plt"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_NE(std::string::npos, ran.err.find("warning: drawing.dxf: line 15: the text of TEXT: \\U+DFFF is not a "
                                              "character: drawn as a box"))
        << ran.err;
}

TEST_F(DxfWarnings, aByteOrderMarkBeforeTheFirstGroupIsSkipped) {
    writeWholeFile("drawing.dxf", "\xEF\xBB\xBF" + entities(A_LINE));
    testing::Ran ran = testing::runTavix({"--config", "dxf.cfg", "plot", "drawing.dxf", "-o", "out.plt", "-q"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_EQ("", ran.err);
}

TEST_F(DxfWarnings, raysAreCutToThePlotWithoutAWord) {
    const std::string rays = groups({{0, "XLINE"}, {10, "50"}, {20, "25"}, {11, "1"}, {21, "0.2"}, {0, "RAY"},
                                     {10, "10"}, {20, "10"}, {11, "0"}, {21, "-1"}});
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{}, {"--rotate", "90"}, {"--window", "20,0,80,50"}, {"--scale", "1:1"}}) {
        std::vector<std::string> args = {"--config", "dxf.cfg", "plot", "drawing.dxf", "-o", "out.plt", "-q"};
        args.insert(args.end(), options.begin(), options.end());
        writeWholeFile("drawing.dxf", entities(A_LINE));
        testing::Ran plain = testing::runTavix(args);
        ASSERT_EQ(0, plain.status) << plain.err;
        std::string without = readWholeFile("out.plt");
        writeWholeFile("drawing.dxf", entities(A_LINE + rays));
        testing::Ran ran = testing::runTavix(args);
        EXPECT_EQ(0, ran.status) << ran.err;
        EXPECT_EQ(plain.err, ran.err) << "nothing is clipped: the rays end at the plot's edges";
        EXPECT_GT(readWholeFile("out.plt").size(), without.size() + 8) << "the rays are drawn";
    }
}

TEST_F(DxfWarnings, aLineWithoutHeightFitsByItsWidth) {
    writeWholeFile("drawing.dxf", entities(groups({{0, "LINE"}, {10, "0"}, {20, "7"}, {11, "10"}, {21, "7"}})));
    testing::Ran ran = testing::runTavix({"--config", "dxf.cfg", "plot", "drawing.dxf", "-o", "out.plt", "-q"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_EQ("", ran.err);
}

TEST_F(DxfWarnings, theBundledExamplesPlotWithoutAWord) {
    for (const char* example : {"examples/floor-plan.dxf", "examples/mechanical-part.dxf"}) {
        testing::Ran ran = testing::runTavix(
            {"--config", "dxf.cfg", "plot", testing::sourcePath(example), "-o", "out.plt", "-q"});
        EXPECT_EQ(0, ran.status) << example << ": " << ran.err;
        EXPECT_EQ("", ran.err) << example;
        // Lines in several pens, and filled areas.
        std::string stream = readWholeFile("out.plt");
        EXPECT_NE(std::string::npos, stream.find("PM2FP")) << example;
        EXPECT_NE(std::string::npos, stream.find("SP1")) << example;
        EXPECT_NE(std::string::npos, stream.find("SP3")) << example;
    }
}

}  // namespace
}  // namespace tavix::host
