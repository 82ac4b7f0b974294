// `tavix plot` reads and plots in one pass: its memory does not grow with
// the drawing, a bad line late in a long drawing still leaves no printer
// file, and the stream is the same as the plot run's of the whole drawing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

namespace fs = std::filesystem;
using tavix::testing::readWholeFile;
using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;

void writeSegments(const std::string& path, int count, const std::string& last = "") {
    std::ofstream out(path);
    out << "pen 1\nmove 0 0\n";
    for (int i = 0; i < count; ++i) out << "draw " << (i % 2 ? 9000 : 10) << ' ' << (i % 7000) << '\n';
    out << last;
}

class StreamingPlot : public ::testing::Test {
protected:
    void SetUp() override {
        testing::Ran ran = testing::runTavix({"configure", "--defaults", "--paper", "A4"});
        ASSERT_EQ(0, ran.status) << ran.err;
    }
    ScratchDirectory scratch;
};

TEST_F(StreamingPlot, memoryDoesNotGrowWithTheDrawing) {
    writeSegments("small.txt", 50000);
    writeSegments("large.txt", 400000);
    testing::Ran small = testing::runTavix({"plot", "-q", "small.txt", "-o", "small.plt"});
    testing::Ran large = testing::runTavix({"plot", "-q", "large.txt", "-o", "large.plt"});
    ASSERT_EQ(0, small.status) << small.err;
    ASSERT_EQ(0, large.status) << large.err;
    ASSERT_GT(small.maxRssKb, 0);
    // Eight times the requests: held in memory they would take tens of MB more.
    EXPECT_LT(large.maxRssKb - small.maxRssKb, 4 * 1024)
        << "small " << small.maxRssKb << " kB, large " << large.maxRssKb << " kB";
}

TEST_F(StreamingPlot, aBadLineLateInTheDrawingLeavesNoFile) {
    writeWholeFile("out.plt", "the last good plot");
    writeSegments("late.txt", 200000, "draw 1 x\n");
    testing::Ran ran = testing::runTavix({"plot", "-q", "late.txt", "-o", "out.plt"});
    EXPECT_EQ(1, ran.status) << ran.err;
    EXPECT_EQ("tavix: late.txt: line 200003: 'x' is not a number\n", ran.err);
    EXPECT_EQ("the last good plot", readWholeFile("out.plt"));
    EXPECT_FALSE(fs::exists("out.plt.part"));
}

TEST_F(StreamingPlot, theStreamIsTheSameAsFromTheWholeDrawing) {
    // Long lines, lines split across the reader's buffer, comments, CR LF.
    std::string drawing = "units mm\r\npen 2\n";
    for (int i = 0; i < 3000; ++i) {
        drawing += "move " + std::to_string(10 + i % 50) + " 10   # " + std::string(static_cast<size_t>(i % 97), '#') +
                   "\ndraw 100 " + std::to_string(20 + i % 90) + "\r\n";
        if (i % 500 == 0) {
            drawing += "fill 3";
            for (int k = 0; k < 2000; ++k) drawing += " " + std::to_string(10 + k % 100) + " " + std::to_string(10 + k % 3);
            drawing += "\n";
        }
    }
    writeWholeFile("d.txt", drawing);
    testing::Ran ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "out.plt"});
    ASSERT_EQ(0, ran.status) << ran.err;
    testing::Plotted whole = testing::plot("tavix.cfg", drawing);
    ASSERT_TRUE(whole.ok) << whole.error;
    EXPECT_TRUE(whole.stream == readWholeFile("out.plt"));
}

}  // namespace
}  // namespace tavix::host
