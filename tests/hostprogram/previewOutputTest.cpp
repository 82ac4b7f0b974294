// Where a preview goes: a picture that cannot be written is said before any
// drawing (and before the plot, for `plot --preview`), with the system's
// own reason; a name without a picture format is wrong use.
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

class PreviewOutput : public ::testing::Test {
protected:
    void SetUp() override {
        testing::Ran ran = testing::runTavix({"configure", "--defaults", "--paper", "A4", "--colour", "colour"});
        ASSERT_EQ(0, ran.status) << ran.err;
        writeWholeFile("d.txt", "pen 2\nmove 100 100\ndraw 4000 3000\n");
        ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "s.plt"});
        ASSERT_EQ(0, ran.status) << ran.err;
        writeWholeFile("note.txt", "a file, not a folder");
        fs::create_directory("folder.png");
    }
    ScratchDirectory scratch;
};

TEST_F(PreviewOutput, picturesThatCannotBeWrittenNameTheCause) {
    struct Case {
        std::string output;
        std::string says;
    } cases[] = {
        {"missing-folder/x.png", "tavix: cannot write missing-folder/x.png: No such file or directory\n"},
        {"note.txt/x.svg", "tavix: cannot write note.txt/x.svg: Not a directory\n"},
        {"folder.png", "tavix: cannot write folder.png: it is a directory\n"},
        {"missing-folder/x.pdf", "tavix: cannot write missing-folder/x.pdf: No such file or directory\n"},
    };
    for (const Case& c : cases) {
        testing::Ran ran = testing::runTavix({"preview", "s.plt", "-o", c.output});
        EXPECT_EQ(1, ran.status) << ran.err;
        EXPECT_EQ(c.says, ran.err);
        // The same for `plot --preview`, before the plot: no printer file.
        ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "new.plt", "--preview", c.output});
        EXPECT_EQ(1, ran.status) << ran.err;
        EXPECT_EQ(c.says, ran.err);
        EXPECT_FALSE(fs::exists("new.plt"));
    }
    // A write that fails on the way says why, not a guess; the device
    // written to is left alone (only a half-written file is removed).
    for (const char* format : {"png", "svg", "pdf"}) {
        testing::Ran ran = testing::runTavix({"preview", "s.plt", "-o", "/dev/full", "--format", format});
        EXPECT_EQ(1, ran.status) << ran.err;
        EXPECT_EQ("tavix: cannot write /dev/full: No space left on device\n", ran.err) << format;
        EXPECT_TRUE(fs::is_character_file("/dev/full")) << format;
    }
}

TEST_F(PreviewOutput, previewNamesWithoutAFormatAreWrongUse) {
    testing::Ran ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "new.plt", "--preview", "x.jpg"});
    EXPECT_EQ(2, ran.status) << ran.err;
    EXPECT_EQ("tavix: --preview x.jpg: name the preview .png, .svg or .pdf\n", ran.err);
    EXPECT_FALSE(fs::exists("new.plt"));
    for (const char* name : {"x.PNG", "x.svg", "x.pdf"}) {
        ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "new.plt", "--preview", name});
        EXPECT_EQ(0, ran.status) << name << ": " << ran.err;
        EXPECT_TRUE(fs::file_size(name) > 0) << name;
    }
}

TEST_F(PreviewOutput, helpNamesEveryPictureFormat) {
    testing::Ran ran = testing::runTavix({"--help"});
    EXPECT_TRUE(contains(ran.out, "Draw a printer stream as a PNG, SVG or PDF picture")) << ran.out;
    ran = testing::runTavix({"plot", "--help"});
    EXPECT_TRUE(contains(ran.out, ".png, or .svg or .pdf for vectors")) << ran.out;
}

}  // namespace
}  // namespace tavix::host
