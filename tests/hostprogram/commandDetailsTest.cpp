// What a user meets at the edges of the commands: words in any case and
// the names offered, the settings shown in full and pens grouped, pen
// files refused with the line at fault, a scale that says which way it
// goes, and the settings summary in the user's language.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

namespace fs = std::filesystem;
using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;
using testing::contains;

TEST(CommandDetails, modelsAreTakenInAnyCaseAndOfferedByName) {
    ScratchDirectory scratch;
    testing::Ran ran = testing::runTavix({"configure", "--defaults", "--model", "TX70"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.err, "configured TX-70-TAVIX E")) << ran.err;
    ran = testing::runTavix({"configure", "--model", "Lumen-Q1"});
    EXPECT_EQ(0, ran.status) << ran.err;
    ran = testing::runTavix({"papers", "--model", "TX30"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.out, "Papers of TX-30-TAVIX E")) << ran.out;
    ran = testing::runTavix({"configure", "--model", "tx99"});
    EXPECT_EQ(2, ran.status);
    EXPECT_EQ("tavix: --model: 'tx99' is not one of: tx90, tx70, tx30, lumen-q1, tx-series\n", ran.err);
}

TEST(CommandDetails, showGroupsEqualPensAndShowsTheStamp) {
    ScratchDirectory scratch;
    testing::Ran ran = testing::runTavix(
        {"configure", "--defaults", "--model", "tx90", "--output", "option", "--stamp", "on", "--pen-setting", "on",
         "--stamp-position", "bottom-right", "--stamp-font-size", "24", "--stamp-mode", "transparent",
         "--date-stamp", "on", "--stamp-offset-x", "1.5", "--stamp-offset-y", "-2", "--draw-name",
         "\xE5\x9B\xB3\xE9\x9D\xA2 A-1", "--comment", "rev. 3", "--pen-width", "3-4=0.5", "--pen-gray", "255=40"});
    ASSERT_EQ(0, ran.status) << ran.err;
    ran = testing::runTavix({"configure", "--show"});
    ASSERT_EQ(0, ran.status) << ran.err;
    for (const char* line :
         {"stamp:      on\n",
          "  position: bottom-right, font size: 24 pt, mode: transparent, date and time: on, orientation: landscape\n",
          "  offset:   1.50 mm across, -2.00 mm along\n", "  drawing name: \"\xE5\x9B\xB3\xE9\x9D\xA2 A-1\"\n",
          "  comment:      \"rev. 3\"\n", "pens 1-2:    width 0.254 mm, gray 100\n",
          "pens 3-4:    width 0.500 mm, gray 100\n", "pens 5-254:  width 0.254 mm, gray 100\n",
          "pen 255:     width 0.254 mm, gray 40\n"})
        EXPECT_TRUE(contains(ran.out, line)) << "lacks " << line << "in:\n" << ran.out;
    EXPECT_FALSE(contains(ran.out, "pen   6:")) << ran.out;
}

class DxfOptions : public ::testing::Test {
protected:
    void SetUp() override {
        testing::Ran ran = testing::runTavix({"configure", "--defaults", "--paper", "A3", "--colour", "colour"});
        ASSERT_EQ(0, ran.status) << ran.err;
        fs::copy_file(testing::sourcePath("examples/floor-plan.dxf"), "d.dxf");
    }
    ScratchDirectory scratch;
};

TEST_F(DxfOptions, penFilesAndScalesThatCannotBeMeantAreRefused) {
    fs::create_directory("pens-folder");
    writeWholeFile("twice.txt", "# colour pen\n1 2\n3 4\n\n1 5 0.3\n");
    struct Case {
        std::vector<std::string> options;
        const char* says;
    } cases[] = {
        {{"--pens", "pens-folder"}, "tavix: cannot read pens-folder: it is a directory\n"},
        {{"--pens", "twice.txt"}, "tavix: twice.txt: line 5: colour 1 has its pen on line 2 already\n"},
        {{"--scale", "50"},
         "tavix: --scale 50: give the scale as paper:real with the colon, such as 1:50 (50 real units to one on "
         "paper) or 50:1 (enlarged)\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"plot", "-q", "d.dxf", "-o", "out.plt"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        testing::Ran ran = testing::runTavix(args);
        EXPECT_EQ(1, ran.status) << ran.err;
        EXPECT_EQ(c.says, ran.err);
        EXPECT_FALSE(fs::exists("out.plt"));
    }
    testing::Ran ran = testing::runTavix({"plot", "-q", "d.dxf", "-o", "out.plt", "--scale", "1:50"});
    EXPECT_EQ(0, ran.status) << ran.err;
}

TEST_F(DxfOptions, bothPassesShowTheirProgressOnATerminal) {
    std::string dxf = "0\nSECTION\n2\nENTITIES\n";
    for (int i = 0; i < 40000; ++i) {
        std::string x = std::to_string(i % 400), y = std::to_string(i / 400);
        dxf += "0\nLINE\n8\n0\n10\n" + x + "\n20\n" + y + "\n11\n" + x + ".5\n21\n" + y + ".5\n";
    }
    writeWholeFile("big.dxf", dxf + "0\nENDSEC\n0\nEOF\n");
    // script(1) gives the program a terminal, where the bar is drawn.
    testing::Ran ran = testing::runProgram(
        "script", {"-qec", "'" TAVIX_BINARY "' plot big.dxf -o out.plt", "/dev/null"});
    ASSERT_EQ(0, ran.status) << ran.out;
    for (const char* stage : {"reading DXF", "drawing DXF"})
        EXPECT_TRUE(contains(ran.out, stage)) << "no " << stage << " in:\n" << ran.out.substr(0, 2000);
    // Quiet is quiet.
    ran = testing::runProgram("script", {"-qec", "'" TAVIX_BINARY "' plot -q big.dxf -o out.plt", "/dev/null"});
    ASSERT_EQ(0, ran.status) << ran.out;
    EXPECT_FALSE(contains(ran.out, "DXF")) << ran.out;
}

TEST_F(DxfOptions, theSummaryIsInTheUsersLanguage) {
    writeWholeFile("d.txt", "move 1 1\ndraw 100 100\n");
    struct Case {
        std::vector<std::string> args;
        std::string locale;
        bool japanese;
    } cases[] = {
        {{}, "LANG=C.UTF-8", false},
        {{}, "LANG=de_DE.UTF-8", false},
        {{}, "LANG=ja_JP.UTF-8", true},
        {{}, "LC_ALL=ja_JP.UTF-8", true},
        {{"--language", "ja"}, "LANG=C", true},
        {{"--language", "en"}, "LANG=ja_JP.UTF-8", false},
    };
    for (const Case& c : cases) {
        std::string line = "env -u LC_ALL -u LC_MESSAGES -u LANG " + c.locale + " '" TAVIX_BINARY "' plot d.txt -o out.plt";
        for (const std::string& a : c.args) line += " " + a;
        testing::Ran ran = testing::runProgram("sh", {"-c", line});
        ASSERT_EQ(0, ran.status) << line << "\n" << ran.err;
        if (c.japanese) {
            EXPECT_TRUE(contains(ran.err, " ﾌﾟﾛｯﾀ： TX-90-TAVIX E\n")) << line << "\n" << ran.err;
        } else {
            for (const char* english : {" Plotter : TX-90-TAVIX E\n", " Paper size : A3", " Plot Margin: On",
                                        " Line End:   Rounded", " Number of plots :  1", " Plotter port : PARALLEL"})
                EXPECT_TRUE(contains(ran.err, english)) << line << " lacks " << english << "\n" << ran.err;
            EXPECT_FALSE(contains(ran.err, "ﾌﾟﾛｯﾀ")) << line << "\n" << ran.err;
        }
    }
    testing::Ran ran = testing::runTavix({"plot", "d.txt", "-o", "out.plt", "--language", "fr"});
    EXPECT_EQ(2, ran.status) << ran.err;
}

}  // namespace
}  // namespace tavix::host
