// `tavix layouts` and the layout and plot style options of `tavix plot`:
// the listing, the pens a plot style table gives the printer stream (the
// same bytes as the pen file of what ezdxf reads in the table), the
// table a layout names, and bad input refused with exit status 1 and no
// printer file.
#include <gtest/gtest.h>

#include <filesystem>

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
        for (const char* c : {"scale", "frozen", "pens", "zero"})
            ASSERT_TRUE(python({layouts, "make", c, std::string(c) + ".dxf"}, out)) << out;
        ASSERT_TRUE(python({styles, "table"}, out)) << out;
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
    testing::Ran ran = testing::runTavix({"layouts", "scale.dxf"});
    ASSERT_EQ(0, ran.status) << ran.err;
    EXPECT_EQ("Layout1\t420 x 297 mm (ezdxf_(420.00_x_297.00_MM))\t1:1\t2 viewports\n", ran.out);
    ran = testing::runTavix({"layouts", "frozen.dxf"});
    ASSERT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(testing::contains(ran.out, "Plot frozen\t420 x 297 mm")) << ran.out;
    ran = testing::runTavix({"layouts", "missing.dxf"});
    EXPECT_EQ(1, ran.status);
    EXPECT_TRUE(testing::contains(ran.err, "cannot read missing.dxf")) << ran.err;
}

// The table's pens are those ezdxf reads in it: physical pens 9, 200 and 1,
// lineweights 0.5, 0.35, 2.11 and 0.13 mm, colour 9 left as it is.
const char* PENS_OF_TABLE = "1 9 0.5\n5 5 0.35\n6 200\n7 7 2.11\n250 1 0.13\n";

TEST_F(DxfLayoutCommand, plotStyleTableGivesThePensOfAPenFile) {
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

TEST_F(DxfLayoutCommand, layoutUsesThePlotStyleTableItNamesBesideTheDrawing) {
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

TEST_F(DxfLayoutCommand, badInputFailsWithAMessageAndNoPrinterFile) {
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
