// What `tavix plot` and `tavix preview` do with the user's files when a run
// has nothing to plot, is aborted, is given one file for two jobs, is
// interrupted, or meets input it cannot handle: existing files are left as
// they were, nothing half-written stays behind, and every failure ends with
// one plain `tavix:` message and exit status 1 (2 for wrong use).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

extern char** environ;

namespace tavix::host {
namespace {

namespace fs = std::filesystem;
using tavix::testing::readWholeFile;
using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;

using testing::contains;

// The run (quiet) ends with one `tavix:` message and nothing raw.
void expectPlainMessages(const std::string& err, const std::string& what) {
    EXPECT_FALSE(contains(err, "terminate called")) << what << ": " << err;
    EXPECT_FALSE(contains(err, "std::")) << what << ": " << err;
    EXPECT_EQ(0u, err.rfind("tavix: ", 0)) << what << ": " << err;
    EXPECT_EQ(1, std::count(err.begin(), err.end(), '\n')) << what << ": " << err;
}

class PlotSafety : public ::testing::Test {
protected:
    void SetUp() override {
        testing::Ran ran = testing::runTavix({"configure", "--defaults", "--paper", "A4", "--colour", "colour"});
        ASSERT_EQ(0, ran.status) << ran.err;
        writeWholeFile("out.plt", "the last good plot");
    }
    ScratchDirectory scratch;
};

TEST_F(PlotSafety, aDrawingThatDrawsNothingIsAnErrorAndWritesNoFile) {
    fs::create_directory("folder.txt");
    struct Case {
        const char* name;
        const char* drawing;  // null: the folder
        const char* says;
    } cases[] = {
        {"empty", "", "tavix: empty.txt: the drawing draws nothing (no draw, fill or image request); no printer file was written"},
        {"comments", "# only a comment\n\n", "tavix: comments.txt: the drawing draws nothing"},
        {"settings", "units mm\npen 3\nwidth 0.5mm\nlinetype 2\n", "tavix: settings.txt: the drawing draws nothing"},
        {"folder", nullptr, "tavix: cannot read folder.txt: it is a directory"},
    };
    for (const Case& c : cases) {
        std::string file = c.drawing ? std::string(c.name) + ".txt" : "folder.txt";
        if (c.drawing) writeWholeFile(file, c.drawing);
        testing::Ran ran = testing::runTavix({"plot", file, "-o", "out.plt"});
        EXPECT_EQ(1, ran.status) << c.name << ": " << ran.err;
        EXPECT_TRUE(contains(ran.err, c.says)) << c.name << ": " << ran.err;
        EXPECT_EQ("the last good plot", readWholeFile("out.plt")) << c.name;
        EXPECT_FALSE(fs::exists("out.plt.part")) << c.name;
    }
}

TEST_F(PlotSafety, anAbortedPlotSaysSoAndLeavesTheOldFile) {
    writeWholeFile("abort.txt", "pen 1\nmove 10 10\ndraw 100 100\nabort\n");
    testing::Ran ran = testing::runTavix({"plot", "abort.txt", "-o", "out.plt"});
    EXPECT_EQ(1, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: abort.txt: line 4: the plot was aborted; no printer file was written"))
        << ran.err;
    EXPECT_FALSE(contains(ran.err, "the driver failed the request")) << ran.err;
    EXPECT_EQ("the last good plot", readWholeFile("out.plt"));
    EXPECT_FALSE(fs::exists("out.plt.part"));
}

TEST_F(PlotSafety, oneFileForTwoJobsIsRefused) {
    writeWholeFile("d.txt", "move 1 1\ndraw 100 100\n");
    fs::create_directory("sub");
    std::string drawing = readWholeFile("d.txt");
    struct Case {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"plot", "d.txt", "-o", "d.txt"}, "tavix: the drawing and the printer file are the same file (d.txt)"},
        {{"plot", "d.txt", "-o", "./sub/../d.txt"}, "the drawing and the printer file are the same file"},
        {{"plot", "d.txt", "-o", "x.plt", "--preview", "x.plt"},
         "tavix: the printer file and the preview are the same file (x.plt)"},
        {{"plot", "d.txt", "-o", "x.plt", "--preview", "d.txt"},
         "tavix: the drawing and the preview are the same file (d.txt)"},
    };
    for (const Case& c : cases) {
        testing::Ran ran = testing::runTavix(c.args);
        EXPECT_EQ(2, ran.status) << c.args[3] << ": " << ran.err;
        EXPECT_TRUE(contains(ran.err, c.says)) << ran.err;
        EXPECT_EQ(drawing, readWholeFile("d.txt"));
        EXPECT_FALSE(fs::exists("x.plt"));
    }
    // A hard link is the same file under another name.
    fs::create_hard_link("d.txt", "linked.plt");
    testing::Ran ran = testing::runTavix({"plot", "d.txt", "-o", "linked.plt"});
    EXPECT_EQ(2, ran.status) << ran.err;
    EXPECT_EQ(drawing, readWholeFile("d.txt"));
    // The preview command reads and writes: the same file for both is refused too.
    writeWholeFile("s.plt", "IN;");
    ran = testing::runTavix({"preview", "s.plt", "-o", "s.plt"});
    EXPECT_EQ(2, ran.status) << ran.err;
    EXPECT_EQ("IN;", readWholeFile("s.plt"));
}

// Starts tavix without waiting for it.
pid_t startTavix(const std::vector<std::string>& args) {
    std::vector<std::string> all{TAVIX_BINARY};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int started = posix_spawn(&pid, TAVIX_BINARY, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return started == 0 ? pid : -1;
}

TEST_F(PlotSafety, anInterruptedPlotLeavesNoPartFile) {
    // Long enough that the signal comes while the printer file is written.
    {
        std::ofstream big("big.txt");
        big << "move 0 0\n";
        for (int i = 0; i < 1500000; ++i) big << "draw " << (i % 2 ? 9000 : 10) << ' ' << (i % 7000) << '\n';
    }
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal == SIGINT ? "SIGINT" : "SIGTERM");
        pid_t pid = startTavix({"plot", "-q", "big.txt", "-o", "out.plt"});
        ASSERT_GT(pid, 0);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!fs::exists("out.plt.part") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        bool seen = fs::exists("out.plt.part");
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(seen) << "the plot never began";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
        EXPECT_FALSE(fs::exists("out.plt.part"));
        EXPECT_EQ("the last good plot", readWholeFile("out.plt"));
    }
}

// A PNG header for a large image, and no pixel data worth the name.
std::string pngHeaderOnly(uint32_t width, uint32_t height) {
    auto be32 = [](std::string& s, uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>((v >> shift) & 0xff);
    };
    auto chunk = [&](std::string& s, const char* type, const std::string& data) {
        be32(s, static_cast<uint32_t>(data.size()));
        std::string body = std::string(type) + data;
        s += body;
        // CRC-32 of type and data.
        uint32_t crc = 0xffffffffu;
        for (unsigned char ch : body) {
            crc ^= ch;
            for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
        be32(s, crc ^ 0xffffffffu);
    };
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    be32(ihdr, width);
    be32(ihdr, height);
    ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB
    chunk(png, "IHDR", ihdr);
    chunk(png, "IDAT", std::string("\x78\x9c\x03\x00\x00\x00\x00\x01", 8));
    chunk(png, "IEND", "");
    return png;
}

TEST_F(PlotSafety, rawErrorsBecomePlainMessages) {
    writeWholeFile("huge.png", pngHeaderOnly(20000, 20000));
    // A real PNG cut short in its pixel data.
    ASSERT_TRUE(testing::writePng("whole.png", 64, 64, [](int x, int y, uint8_t rgb[3]) {
        rgb[0] = static_cast<uint8_t>(x * 7 + y);
        rgb[1] = static_cast<uint8_t>(y * 13);
        rgb[2] = static_cast<uint8_t>(x * y);
    }));
    std::string whole = readWholeFile("whole.png");
    writeWholeFile("cut.png", whole.substr(0, whole.size() / 2));
    std::string longToken(1 << 20, 'x');
    struct Case {
        const char* name;
        std::string drawing;
        std::vector<std::string> says;
        std::vector<std::string> never;
    } cases[] = {
        {"truncated png", "move 1 1\ndraw 5 5\nimage cut.png 10 10 500 500\n",
         {"tavix: d.txt: line 3: ./cut.png: the PNG file is damaged or cut short"},
         {"Read Error"}},
        {"image too large", "move 1 1\nimage huge.png 10 10 500 500\n",
         {"tavix: d.txt: line 2: ./huge.png: 20000 x 20000 pixels is too large; an image may have at most "
          "268435456 pixels (16384 x 16384)"},
         {"is not supported"}},
        {"long token", "move " + longToken + " 1\n",
         {"tavix: d.txt: line 1: 'xxxxxxxxxxxxxxxxxxxxxxxx...' is not a number"},
         {std::string(100, 'x')}},
    };
    for (const Case& c : cases) {
        writeWholeFile("d.txt", c.drawing);
        testing::Ran ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "out.plt"});
        EXPECT_EQ(1, ran.status) << c.name << ": " << ran.err.substr(0, 300);
        for (const std::string& s : c.says) EXPECT_TRUE(contains(ran.err, s)) << c.name << ": " << ran.err.substr(0, 300);
        for (const std::string& s : c.never) EXPECT_FALSE(contains(ran.err, s)) << c.name << ": " << ran.err.substr(0, 300);
        EXPECT_LT(ran.err.size(), 400u) << c.name;
        EXPECT_EQ("the last good plot", readWholeFile("out.plt"));
    }
}

TEST_F(PlotSafety, countsAndByteOrderMarks) {
    // Notepad starts a UTF-8 file with a byte-order mark.
    writeWholeFile("bom.txt", "\xEF\xBB\xBFmove 10 10\ndraw 100 100\n");
    testing::Ran ran = testing::runTavix({"plot", "bom.txt", "-o", "out.plt"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: 2 requests, ")) << ran.err;
    writeWholeFile("one.txt", "draw 100 100\n");
    ran = testing::runTavix({"plot", "one.txt", "-o", "out.plt"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: 1 request, ")) << ran.err;
}

TEST_F(PlotSafety, commandLineErrorsCarryThePrefix) {
    writeWholeFile("d.txt", "move 1 1\n");
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"plot", "d.txt", "--dpi", "0"}, {"plot"}, {"configure", "--no-such-option"}, {}}) {
        testing::Ran ran = testing::runTavix(args);
        EXPECT_EQ(2, ran.status) << ran.err;
        EXPECT_EQ(0u, ran.err.rfind("tavix: ", 0)) << ran.err;
    }
}

TEST_F(PlotSafety, previewFailuresArePlainMessages) {
    writeWholeFile("d.txt", "move 10 10\ndraw 100 100\n");
    ASSERT_EQ(0, testing::runTavix({"plot", "d.txt", "-o", "d.plt"}).status);
    fs::create_directory("folder.plt");
    struct Case {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"preview", "folder.plt", "-o", "x.png"}, "tavix: cannot read folder.plt: it is a directory"},
        {{"preview", "d.plt", "-o", "/dev/full"}, "tavix: cannot write /dev/full"},
    };
    for (const Case& c : cases) {
        testing::Ran ran = testing::runTavix(c.args);
        EXPECT_EQ(1, ran.status) << ran.err;
        EXPECT_TRUE(contains(ran.err, c.says)) << ran.err;
        expectPlainMessages(ran.err, c.args[1]);
        EXPECT_FALSE(contains(ran.err, "error while writing to output stream")) << ran.err;
    }
}

#if !defined(__SANITIZE_ADDRESS__)
// Under a memory limit (sanitizer builds reserve too much address space for one).
TEST_F(PlotSafety, runningOutOfMemorySaysWhatWasTooBig) {
    writeWholeFile("big.png", pngHeaderOnly(16000, 16000));  // 768 MB of RGB, within the pixel limit
    writeWholeFile("d.txt", "move 1 1\nimage big.png 10 10 500 500\n");
    std::string tavix = TAVIX_BINARY;
    testing::Ran ran = testing::runProgram(
        "sh", {"-c", "ulimit -v 300000; exec '" + tavix + "' plot -q d.txt -o out.plt"});
    EXPECT_EQ(1, ran.status) << ran.err;
    expectPlainMessages(ran.err, "plot");
    EXPECT_TRUE(contains(ran.err, "line 2: ./big.png: not enough memory for 16000 x 16000 pixels")) << ran.err;
    EXPECT_EQ("the last good plot", readWholeFile("out.plt"));

    writeWholeFile("l.txt", "move 10 10\ndraw 100 100\n");
    ASSERT_EQ(0, testing::runTavix({"plot", "-q", "l.txt", "-o", "l.plt"}).status);
    ran = testing::runProgram(
        "sh", {"-c", "ulimit -v 120000; exec '" + tavix + "' preview -q l.plt -o l.png --dpi 600"});
    EXPECT_EQ(1, ran.status) << ran.err;
    expectPlainMessages(ran.err, "preview");
    EXPECT_TRUE(contains(ran.err, "out of memory")) << ran.err;
}
#endif

}  // namespace
}  // namespace tavix::host
