// The tavix program as a user meets it: help for every command, exit
// status 0 only on success (1 failed, 2 wrong use), and bad input of every
// kind — malformed drawings, missing or broken PNG files, values the
// driver's dialogs refuse, broken configuration files, truncated and
// garbage printer streams — answered with a clear message and no crash.
#include <gtest/gtest.h>

#include <unistd.h>

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

// A program that ended by itself, not by a signal.
#define EXPECT_STATUS(expected, ran) \
    EXPECT_EQ(expected, (ran).status) << "stderr: " << (ran).err

TEST(TavixProgram, everyCommandHasHelp) {
    ScratchDirectory scratch;
    struct Help {
        std::vector<std::string> args;
        std::vector<const char*> says;
    } helps[] = {
        {{"--help"}, {"Usage: tavix [OPTIONS] SUBCOMMAND", "configure", "plot", "preview", "--config"}},
        {{"configure", "--help"},
         {"Usage: tavix configure [OPTIONS]", "--paper", "--colour", "--pen-width", "nothing is saved"}},
        {{"plot", "--help"}, {"Usage: tavix plot [OPTIONS] drawing", "-o,--output", "--preview", "--dpi", "-q,--quiet"}},
        {{"preview", "--help"}, {"Usage: tavix preview [OPTIONS] FILE", "-o,--output", "--no-panel", "--strict"}},
        {{"plot", "-h"}, {"Usage: tavix plot"}},
        {{"plot", "--help"}, {"--layout", "--plot-style"}},
        {{"layouts", "--help"}, {"Usage: tavix layouts [OPTIONS] drawing", "--layout NAME"}},
    };
    for (const Help& h : helps) {
        testing::Ran ran = testing::runTavix(h.args);
        EXPECT_STATUS(0, ran);
        EXPECT_EQ("", ran.err);
        for (const char* s : h.says) EXPECT_TRUE(contains(ran.out, s)) << h.args[0] << " help lacks " << s << ":\n" << ran.out;
    }
    // No configuration file comes of asking for help.
    EXPECT_FALSE(fs::exists("tavix.cfg"));
}

TEST(TavixProgram, wrongUseExitsWith2) {
    ScratchDirectory scratch;
    writeWholeFile("d.txt", "move 1 1\n");
    struct Case {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{}, "A subcommand is required"},
        {{"frobnicate"}, "tavix: unknown command 'frobnicate': the commands are configure, plot, preview, models, papers and layouts"},
        {{"plot"}, "drawing is required"},
        {{"plot", "d.txt", "--colour", "mono"}, "--colour"},
        {{"configure", "--model", "tx99"}, "'tx99' is not one of: tx90, tx70, tx30, lumen-q1, tx-series"},
        {{"configure", "--pen-gray", "0=50"}, "is not a pen list like 5, 1-10 or 1,3,5"},
        {{"configure", "--pen-width", "3"}, "expected PENS=VALUE"},
        {{"plot", "d.txt", "--preview", "p.png"}, "tavix: --preview needs the printer file named with -o"},
        {{"plot", "d.txt", "-o", "/dev/null", "--preview", "p.png"}, "/dev/null is not a file"},
        {{"plot", "d.txt", "--dpi", "0"}, "--dpi"},
        {{"preview", "x.plt"}, "--output is required"},
        {{"preview", "x.plt", "-o", "x.png", "--format", "gif"}, "--format"},
    };
    for (const Case& c : cases) {
        testing::Ran ran = testing::runTavix(c.args);
        std::string line;
        for (const auto& a : c.args) line += a + " ";
        EXPECT_EQ(2, ran.status) << "tavix " << line << "\n" << ran.err;
        EXPECT_TRUE(contains(ran.err, c.says)) << "tavix " << line << "\n" << ran.err;
        EXPECT_EQ("", ran.out) << "tavix " << line;
    }
    EXPECT_FALSE(fs::exists("tavix.cfg"));
    EXPECT_FALSE(fs::exists("p.png"));
}

class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        testing::Ran ran = testing::runTavix({"configure", "--defaults", "--paper", "A4", "--colour", "colour"});
        ASSERT_EQ(0, ran.status) << ran.err;
        // An image that is not a PNG file.
        writeWholeFile("broken.png", "\x89PNG\r\n\x1a\n and then nothing of a PNG");
        // An older printer file that a failed plot must leave alone.
        writeWholeFile("out.plt", "the last good plot");
    }
    ScratchDirectory scratch;
};

TEST_F(BadInput, malformedDrawingsNameTheLineAndPlotNothing) {
    struct Case {
        const char* drawing;
        const char* says;
    } cases[] = {
        {"pen 1\nmove 1 2\ncircle 5 5 3\n", "tavix: bad.txt: line 3: unknown request 'circle'"},
        {"\n# comment\nmove 10\n", "tavix: bad.txt: line 3: move takes X and Y"},
        {"draw 1,5 2\n", "tavix: bad.txt: line 1: '1,5' is not a number"},
        {"pen 1\nwidth wide\n", "tavix: bad.txt: line 2: width takes a width in inches, or with mm / in"},
        {"fillarray 3 1 2 3\n", "tavix: bad.txt: line 1: vertices come in X Y pairs"},
        {"units mm\nmove 10 10\ndraw 2000 10\n",
         "tavix: bad.txt: line 3: coordinate 2000 mm is beyond the host's 65535 units (64.503 in"},
        {"move 1 1\nimage missing.png 10 10 500 500\n", "tavix: bad.txt: line 2: ./missing.png: No such file or directory"},
        {"move 1 1\ndraw 5 5\nimage broken.png 10 10 500 500 rgb\n", "tavix: bad.txt: line 3: ./broken.png: "},
        {"image x.png 1 2 3 4 sepia\n", "tavix: bad.txt: line 1: unknown image option 'sepia'"},
    };
    for (const Case& c : cases) {
        writeWholeFile("bad.txt", c.drawing);
        testing::Ran ran = testing::runTavix({"plot", "bad.txt", "-o", "out.plt"});
        EXPECT_EQ(1, ran.status) << c.drawing << ran.err;
        EXPECT_TRUE(contains(ran.err, c.says)) << "expected: " << c.says << "\ngot: " << ran.err;
        EXPECT_EQ("the last good plot", readWholeFile("out.plt")) << c.drawing;
        EXPECT_FALSE(fs::exists("out.plt.part")) << c.drawing;
    }
    testing::Ran ran = testing::runTavix({"plot", "no-such-drawing.txt", "-o", "out.plt"});
    EXPECT_STATUS(1, ran);
    EXPECT_EQ("tavix: cannot read no-such-drawing.txt: No such file or directory\n", ran.err);
}

TEST_F(BadInput, missingOrBrokenConfigurationIsReported) {
    writeWholeFile("d.txt", "move 1 1\ndraw 100 100\n");
    testing::Ran ran = testing::runTavix({"--config", "none.cfg", "plot", "d.txt", "-o", "out.plt"});
    EXPECT_STATUS(1, ran);
    EXPECT_EQ("tavix: no configuration in none.cfg: run 'tavix configure' first\n", ran.err);
    writeWholeFile("broken.cfg", "# settings\nblock=0102\n");
    ran = testing::runTavix({"--config", "broken.cfg", "plot", "d.txt", "-o", "out.plt"});
    EXPECT_STATUS(1, ran);
    EXPECT_EQ("tavix: broken.cfg:2: block needs 80 hex digits\n", ran.err);
    // A broken configuration is not overwritten by a configuration run either.
    ran = testing::runTavix({"--config", "broken.cfg", "configure", "--copies", "3"});
    EXPECT_STATUS(1, ran);
    EXPECT_EQ("# settings\nblock=0102\n", readWholeFile("broken.cfg"));
    EXPECT_EQ("the last good plot", readWholeFile("out.plt"));
}

TEST_F(BadInput, refusedDialogValuesEndTheRunWithTheDialogsWarning) {
    std::string before = readWholeFile("tavix.cfg");
    std::string penFile = readWholeFile("tavixdrv.def");
    struct Case {
        std::vector<std::string> args;
        std::vector<const char*> says;
    } cases[] = {
        {{"--density", "99"},
         {"tavix: refused: --density 99: 印刷濃度は、1～64の整数を入力して下さい。",
          "(Input the integer of 1 to 64 in the 'Density'.)"}},
        {{"--pen-setting", "on", "--pen-width", "3=30"},
         {"tavix: refused: --pen-width 3=30: ﾍﾟﾝ幅の入力が正しくありません。", "(Value of 'Pen Width' is invalid.)"}},
        {{"--pen-setting", "on", "--pen-gray", "1-5=101"},
         {"tavix: refused: --pen-gray 1-5=101: ", "(Input the integer of 0 to 100 in the Gray Value of pen."}},
        {{"--stamp", "on", "--stamp-offset-x", "abc"},
         {"tavix: refused: --stamp-offset-x abc: ", "(Offset value is invalid."}},
        {{"--copies", "1000"}, {"tavix: refused: --copies 1000: the copy count is 1 to 999"}},
        {{"--fill", "halftone"}, {"tavix: refused: --fill halftone: colour output fills in black"}},
        {{"--paper", "A9"}, {"tavix: refused: --paper A9: this model has no such paper; its papers are:", "14  A1 "}},
        {{"--output", "standard", "--media", "film"}, {"tavix: refused: the option settings need --output option"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"configure"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        testing::Ran ran = testing::runTavix(args);
        EXPECT_EQ(1, ran.status) << c.args[0] << "\n" << ran.err;
        for (const char* s : c.says) EXPECT_TRUE(contains(ran.err, s)) << "expected: " << s << "\ngot: " << ran.err;
        EXPECT_TRUE(contains(ran.err, "tavix: nothing was saved\n")) << ran.err;
        EXPECT_EQ(before, readWholeFile("tavix.cfg")) << c.args[0];
        EXPECT_EQ(penFile, readWholeFile("tavixdrv.def")) << c.args[0];
    }
}

TEST_F(BadInput, theDriversOwnMessagesReachTheUserInUtf8WithTheirEnglishText) {
    // A printer port that takes nothing: the driver's plotting error.
    writeWholeFile("d.txt", "move 1 1\ndraw 100 100\n");
    std::error_code error;
    fs::create_symlink("/dev/full", "full.plt", error);
    ASSERT_FALSE(error) << error.message();
    testing::Ran ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "full.plt"});
    EXPECT_STATUS(1, ran);
    // Standard error at the end of the run: the buffered stream fails at close.
    EXPECT_TRUE(contains(ran.err, "tavix: cannot write the printer file full.plt: No space left on device")) << ran.err;
    EXPECT_TRUE(fs::is_symlink("full.plt"));
    // A drawing larger than what the C library buffers fails in the driver.
    std::string big = "move 0 0\n";
    for (int i = 0; i < 3000; ++i) big += "draw " + std::to_string(i % 2 ? 9000 : 10) + " " + std::to_string(i + 1) + "\n";
    writeWholeFile("big.txt", big);
    ran = testing::runTavix({"plot", "-q", "big.txt", "-o", "full.plt"});
    EXPECT_STATUS(1, ran);
    EXPECT_TRUE(contains(ran.err, "プロッタへ出力中、エラーが発生しました。")) << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: the printer file could not be written: プロッタへ出力中、エラーが発生しました。 "
                                  "(Plotting error occured.)"))
        << ran.err;
    EXPECT_TRUE(fs::is_symlink("full.plt"));
}

TEST_F(BadInput, printerFilesBehindLinksAndDevicesAreWrittenInPlace) {
    writeWholeFile("d.txt", "move 1 1\ndraw 100 100\n");
    std::error_code error;
    fs::create_symlink("out.plt", "link.plt", error);
    fs::create_symlink("/dev/null", "null.plt", error);
    ASSERT_FALSE(error) << error.message();
    testing::Ran ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "link.plt"});
    EXPECT_STATUS(0, ran);
    EXPECT_TRUE(fs::is_symlink("link.plt"));
    EXPECT_EQ(0u, readWholeFile("out.plt").find("##DOZ START"));
    ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "null.plt"});
    EXPECT_STATUS(0, ran);
    EXPECT_TRUE(fs::is_symlink("null.plt"));
    EXPECT_FALSE(fs::exists("null.plt.part"));
    ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "no-such-folder/out.plt"});
    EXPECT_STATUS(1, ran);
    EXPECT_EQ("tavix: cannot create no-such-folder/out.plt: No such file or directory\n", ran.err);
}

TEST_F(BadInput, plotWithPreviewWritesBoth) {
    writeWholeFile("d.txt", "units mm\npen 1\nmove 10 10\ndraw 100 100\n");
    testing::Ran ran = testing::runTavix({"plot", "d.txt", "-o", "out.plt", "--preview", "out.png", "--dpi", "20"});
    EXPECT_STATUS(0, ran);
    EXPECT_TRUE(contains(ran.err, "tavix: 3 requests, ")) << ran.err;  // units is no request
    EXPECT_TRUE(contains(ran.err, "tavix: preview in out.png\n")) << ran.err;
    testing::Picture picture;
    std::string error;
    EXPECT_TRUE(testing::readPicture("out.png", picture, error)) << error;
}

TEST_F(BadInput, deviceControlStringsGoToStandardErrorNotToThePrinterFile) {
    writeWholeFile("d.txt", "move 1 1\ndraw 100 100\n");
    // A plotter on a serial port, with hardware handshake, then Xon/Xoff:
    // bits no dialog sets.
    testing::editConfig("tavix.cfg", [](HostConfig& c) { testing::setFlag(c, testing::FLAGS_A, 0x01, true); });
    testing::Ran ran = testing::runTavix({"plot", "d.txt", "-o", "out.plt"});
    EXPECT_STATUS(0, ran);
    EXPECT_TRUE(contains(ran.err, "device control: ESC.R\ndevice control: ESC.@;1:\n")) << ran.err;
    EXPECT_EQ(0u, readWholeFile("out.plt").find("##DOZ START\r\n"));
    testing::editConfig("tavix.cfg", [](HostConfig& c) { testing::setFlag(c, testing::FLAGS_A, 0x08, true); });
    ran = testing::runTavix({"plot", "d.txt", "-o", "out.plt"});
    EXPECT_STATUS(0, ran);
    EXPECT_TRUE(contains(ran.err, "device control: ESC.R\ndevice control: ESC.I81;0;17:\n"
                                  "device control: ESC.N10;19:\ndevice control: ESC.@;0:\n"))
        << ran.err;
    // Quiet leaves only what must be seen: nothing, when all goes well.
    ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "out.plt"});
    EXPECT_STATUS(0, ran);
    EXPECT_TRUE(contains(ran.err, "device control: ESC.R")) << ran.err;
    EXPECT_FALSE(contains(ran.err, "TX-90-TAVIX E")) << ran.err;
}

// Printer streams cut short, or not printer streams at all: the preview
// warns with byte offsets, still draws what it read, and never crashes.
class BrokenStreams : public ::testing::Test {
protected:
    // The first row transfer of the stream's raster.
    size_t firstRow() const {
        size_t packed = stream.find("\x1b*b2m"), raw = stream.find("\x1b*b0m");
        return std::min(packed, raw);
    }

    void SetUp() override {
        std::string messages;
        ASSERT_EQ(0, testing::configure("s.cfg", {"--defaults", "--paper", "A4", "--colour", "colour"}, &messages))
            << messages;
        ASSERT_TRUE(testing::writePng("square.png", 16, 16, [](int x, int y, uint8_t rgb[3]) {
            rgb[0] = static_cast<uint8_t>(x * 16);
            rgb[1] = static_cast<uint8_t>(y * 16);
            rgb[2] = 128;
        }));
        testing::Plotted p = testing::plot(
            "s.cfg", "units mm\npen 1\nmove 10 10\ndraw 100 100\nfill 3 20 20 60 20 40 50\n"
                     "image square.png 120 20 160 60\npen 5\nmove 10 100\ndraw 200 100\n");
        ASSERT_TRUE(p.ok) << p.error;
        stream = p.stream;
    }

    testing::Ran preview(const std::string& bytes, std::vector<std::string> more = {}) {
        writeWholeFile("in.plt", bytes);
        std::remove("out.png");
        std::vector<std::string> args = {"preview", "in.plt", "-o", "out.png", "--dpi", "10"};
        args.insert(args.end(), more.begin(), more.end());
        return testing::runTavix(args);
    }

    ScratchDirectory scratch;
    std::string stream;
};

TEST_F(BrokenStreams, truncatedStreamsWarnWithOffsetsAndStillDraw) {
    size_t rows = firstRow();
    ASSERT_NE(std::string::npos, rows);
    struct Cut {
        const char* where;
        size_t at;
        const char* warns;
    } cuts[] = {
        {"in the job ticket", 40, "nothing is drawn"},
        {"in the palette", stream.find("PC100,"), "nothing is drawn"},
        {"in a PE number", stream.find("PE7<") != std::string::npos ? stream.find("PE7<") + 6 : stream.find("PE<") + 5,
         "data ends inside PE"},
        {"in a raster row", rows + 12, "cut off at the end of data"},
        {"before the trailer", stream.size() - 4, "the last page is not ended"},
    };
    for (const Cut& c : cuts) {
        ASSERT_NE(std::string::npos, c.at) << c.where;
        testing::Ran ran = preview(stream.substr(0, c.at));
        EXPECT_STATUS(0, ran) << c.where;
        EXPECT_TRUE(contains(ran.err, "tavix: in.plt: warning: ")) << c.where << ": " << ran.err;
        EXPECT_TRUE(contains(ran.err, c.warns)) << c.where << ": " << ran.err;
        EXPECT_TRUE(fs::exists("out.png")) << c.where;
        // --strict makes warnings fail the command.
        EXPECT_STATUS(1, preview(stream.substr(0, c.at), {"--strict", "-q"})) << c.where;
    }
    // The cut raster row names its place: the offset of its transfer.
    testing::Ran ran = preview(stream.substr(0, rows + 12));
    EXPECT_TRUE(contains(ran.err, "offset " + std::to_string(rows))) << ran.err;
    // The whole stream previews without a warning.
    ran = preview(stream, {"--strict"});
    EXPECT_STATUS(0, ran);
    EXPECT_EQ("tavix: preview in out.png\n", ran.err);
}

TEST_F(BrokenStreams, garbageEmptyAndMissingStreams) {
    // Reproducible garbage, with and without escape characters.
    std::string noise(64 * 1024, '\0');
    uint32_t x = 12345;
    for (char& c : noise) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    testing::Ran ran = preview(noise);
    EXPECT_STATUS(0, ran);
    EXPECT_TRUE(contains(ran.err, "warning")) << ran.err;
    // The stream's set-up followed by noise, and noise inside a raster.
    size_t rows = firstRow();
    ran = preview(stream.substr(0, stream.find("PUPA0,0PR")) + noise);
    EXPECT_LT(ran.status, 2) << ran.err;
    ran = preview(stream.substr(0, rows) + noise + stream.substr(rows));
    EXPECT_LT(ran.status, 2) << ran.err;
    EXPECT_TRUE(fs::exists("out.png"));

    ran = preview("");
    EXPECT_STATUS(0, ran);
    EXPECT_TRUE(contains(ran.err, "warning: nothing is drawn in this stream")) << ran.err;

    ran = testing::runTavix({"preview", "no-such.plt", "-o", "out.png"});
    EXPECT_STATUS(1, ran);
    EXPECT_EQ("tavix: cannot read no-such.plt\n", ran.err);
    writeWholeFile("in.plt", stream);
    ran = testing::runTavix({"preview", "in.plt", "-o", "no-such-folder/out.png"});
    EXPECT_STATUS(1, ran);
    EXPECT_TRUE(contains(ran.err, "no-such-folder/out.png")) << ran.err;
}

}  // namespace
}  // namespace tavix::host
