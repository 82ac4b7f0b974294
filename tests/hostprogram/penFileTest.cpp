// The pen settings file seen from the host program: the driver falls back to
// default pens without a word when tavixdrv.def cannot be read, and rewrites
// it with those defaults at the next configuration; the program warns before
// it hands over, keeps the old file as tavixdrv.def.bak, and fails when the
// pens the user set were not saved. --pen-file runs the driver beside another
// pen file.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

namespace fs = std::filesystem;
using tavix::testing::readWholeFile;
using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;

using testing::contains;

// The job ticket lists every pen's width in hundredths of a millimetre.
const char* const PEN3_HALF_MM = "Width=25,25,50,25,";
const char* const PEN3_DEFAULT = "Width=25,25,25,25,";

class PenFile : public ::testing::Test {
protected:
    void SetUp() override {
        testing::Ran ran = testing::runTavix({"configure", "--defaults", "--paper", "A4", "--output", "option",
                                              "--pen-setting", "on", "--pen-width", "3=0.5"});
        ASSERT_EQ(0, ran.status) << ran.err;
        writeWholeFile("d.txt", "move 10 10\ndraw 100 100\n");
    }
    std::string plotted(const std::vector<std::string>& more = {}) {
        std::vector<std::string> args = {"plot", "-q", "d.txt", "-o", "out.plt"};
        args.insert(args.end(), more.begin(), more.end());
        last = testing::runTavix(args);
        return readWholeFile("out.plt");
    }
    ScratchDirectory scratch;
    testing::Ran last;
};

TEST_F(PenFile, anUnreadableFileIsReportedAndKeptBeforeItIsReplaced) {
    std::string good = readWholeFile("tavixdrv.def");
    ASSERT_TRUE(contains(plotted(), PEN3_HALF_MM));
    std::string bad = good;
    bad.replace(bad.find("PenGray5=100"), 12, "PenGray5=101");
    writeWholeFile("tavixdrv.def", bad);

    std::string stream = plotted();
    EXPECT_EQ(0, last.status) << last.err;
    EXPECT_TRUE(contains(last.err, "tavix: warning: ./tavixdrv.def cannot be read (line 5: PenGray5=101): "
                                   "the driver uses the default pens"))
        << last.err;
    EXPECT_TRUE(contains(stream, PEN3_DEFAULT));

    testing::Ran ran = testing::runTavix({"configure", "--copies", "2"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: warning: ./tavixdrv.def cannot be read")) << ran.err;
    EXPECT_TRUE(contains(ran.err, "the old file is kept as ./tavixdrv.def.bak")) << ran.err;
    EXPECT_EQ(bad, readWholeFile("tavixdrv.def.bak"));
}

TEST_F(PenFile, aConfigurationKeepsThePreviousFileAsBackup) {
    std::string before = readWholeFile("tavixdrv.def");
    testing::Ran ran = testing::runTavix({"configure", "--pen-width", "4=0.7"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_EQ(before, readWholeFile("tavixdrv.def.bak"));
    EXPECT_NE(before, readWholeFile("tavixdrv.def"));
}

TEST_F(PenFile, pensThatCannotBeSavedFailTheConfiguration) {
    std::string before = readWholeFile("tavixdrv.def");
    // The driver writes a new file beside the old one first: a folder in its
    // place makes the write fail, whoever runs the test.
    fs::create_directory("tavixdrv.def.new");
    testing::Ran ran = testing::runTavix({"configure", "--pen-width", "4=0.7"});
    EXPECT_EQ(1, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: the pen settings were not saved: ./tavixdrv.def could not be written"))
        << ran.err;
    EXPECT_EQ(before, readWholeFile("tavixdrv.def"));
    // Without pens to save the configuration stands, with a warning.
    ran = testing::runTavix({"configure", "--copies", "3"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: warning: ./tavixdrv.def could not be written")) << ran.err;
}

TEST_F(PenFile, theConfigurationsFolderAndPenFileOption) {
    fs::create_directory("job");
    fs::rename("tavix.cfg", "job/tavix.cfg");
    fs::rename("tavixdrv.def", "job/tavixdrv.def");
    writeWholeFile("job/d.txt", "move 10 10\ndraw 100 100\n");
    // From another folder: the driver reads the pen file where it runs.
    std::string stream = plotted({"--config", "job/tavix.cfg"});
    EXPECT_EQ(0, last.status) << last.err;
    EXPECT_TRUE(contains(last.err, "tavix: warning: the driver reads its pens from ./tavixdrv.def (missing: "
                                   "default pens), not from job/tavixdrv.def beside the configuration; "
                                   "--pen-file job/tavixdrv.def uses that one"))
        << last.err;
    EXPECT_TRUE(contains(stream, PEN3_DEFAULT));
    stream = plotted({"--config", "job/tavix.cfg", "--pen-file", "job/tavixdrv.def"});
    EXPECT_EQ(0, last.status) << last.err;
    EXPECT_EQ("", last.err);
    EXPECT_TRUE(contains(stream, PEN3_HALF_MM));
    EXPECT_FALSE(fs::exists("tavixdrv.def"));

    // A configuration through --pen-file writes that file.
    testing::Ran ran = testing::runTavix({"--config", "job/tavix.cfg", "configure", "--pen-file", "job/tavixdrv.def",
                                          "--pen-width", "3=0.7"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(contains(readWholeFile("job/tavixdrv.def"), "LumenWide3=0.700"));
    EXPECT_FALSE(fs::exists("tavixdrv.def"));

    // The driver's file name is fixed.
    ran = testing::runTavix({"plot", "d.txt", "-o", "out.plt", "--config", "job/tavix.cfg", "--pen-file", "pens.txt"});
    EXPECT_EQ(2, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: --pen-file: the driver's pen file is always named tavixdrv.def"))
        << ran.err;
}

}  // namespace
}  // namespace tavix::host
