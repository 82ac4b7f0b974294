// Values the drawing format accepts only when they print as meant: pens the
// printer has, widths that are widths, image rectangles with an inside; and
// what lies beyond the plot area is plotted with a warning that says how far
// it reaches, since the printer clips it.
#include <gtest/gtest.h>

#include <cstdio>

#include "drawingFile.h"
#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;

using testing::contains;

TEST(DrawingValues, valuesThatCannotPrintAsMeantAreRefusedWithTheLine) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"pen 0\n", "line 1: pen takes a pen number 1..255"},
        {"move 1 1\npen 256\n", "line 2: pen takes a pen number 1..255"},
        {"pen -3\n", "line 1: pen takes a pen number 1..255"},
        {"width -1\n", "line 1: a width cannot be negative"},
        {"width -0.5mm\n", "line 1: a width cannot be negative"},
        {"image a.png 50 50 10 10\n", "line 1: the image rectangle X0 Y0 X1 Y1 needs X0 < X1 and Y0 < Y1"},
        {"image a.png 10 50 50 10\n", "line 1: the image rectangle X0 Y0 X1 Y1 needs X0 < X1 and Y0 < Y1"},
        {"image a.png 10 10 10 50\n", "line 1: the image rectangle X0 Y0 X1 Y1 needs X0 < X1 and Y0 < Y1"},
    };
    for (const Case& c : cases) {
        Drawing d;
        std::string error;
        EXPECT_FALSE(parseDrawing(c.text, d, error)) << c.text;
        EXPECT_EQ(c.error, error) << c.text;
    }
    // The limits themselves are accepted.
    Drawing d;
    std::string error;
    EXPECT_TRUE(parseDrawing("pen 1\npen 255\nwidth 0\nimage a.png 0 0 1 1\n", d, error)) << error;
    EXPECT_EQ(4u, d.requests.size());
}

class PlotArea : public ::testing::Test {
protected:
    void SetUp() override {
        testing::Ran ran = testing::runTavix({"configure", "--defaults", "--paper", "A4"});
        ASSERT_EQ(0, ran.status) << ran.err;
        HostConfig config;
        bool exists = false;
        std::string error;
        ASSERT_TRUE(loadHostConfig("tavix.cfg", config, exists, error)) << error;
        widthMm = config.plotWidth * 25.4;
        heightMm = config.plotHeight * 25.4;
    }
    static std::string mm(double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f mm", v);
        return text;
    }
    ScratchDirectory scratch;
    double widthMm = 0, heightMm = 0;
};

TEST_F(PlotArea, whatLiesBeyondThePlotAreaIsPlottedWithAWarning) {
    struct Case {
        const char* name;
        std::string drawing;
        std::vector<std::string> says;
    } cases[] = {
        {"right", "units mm\nmove 10 10\ndraw 400 10\n",
         {"tavix: warning: d.txt: line 3: beyond the plot area (", "1 of 2 points lie beyond the plot area, by up to " +
                                                                      mm(400 - widthMm) + "; the printer clips what lies outside it"}},
        {"top, fill and image", "units mm\nfill 1 10 10 20 10 20 " + std::to_string(int(heightMm) + 30) +
                                    "\nmove 5 5\ndraw 6 6\n",
         {"line 2: beyond the plot area", "1 of 5 points lie beyond the plot area, by up to " +
                                              mm(int(heightMm) + 30 - heightMm)}},
    };
    for (const Case& c : cases) {
        writeWholeFile("d.txt", c.drawing);
        testing::Ran ran = testing::runTavix({"plot", "d.txt", "-o", "out.plt"});
        EXPECT_EQ(0, ran.status) << c.name << ": " << ran.err;
        for (const std::string& s : c.says) EXPECT_TRUE(contains(ran.err, s)) << c.name << ": " << s << "\n" << ran.err;
    }
    // A rectangle that rounds to no width: refused before the image is read.
    writeWholeFile("d.txt", "units mm\nimage a.png 1 1 1.001 5\n");
    testing::Ran empty = testing::runTavix({"plot", "d.txt", "-o", "out.plt"});
    EXPECT_EQ(1, empty.status) << empty.err;
    EXPECT_TRUE(contains(empty.err, "tavix: d.txt: line 2: the image rectangle X0 Y0 X1 Y1 needs X0 < X1 and Y0 < Y1"))
        << empty.err;
    // Inside: no warning.
    writeWholeFile("d.txt", "units mm\nmove 10 10\ndraw 100 100\n");
    testing::Ran ran = testing::runTavix({"plot", "d.txt", "-o", "out.plt"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_FALSE(contains(ran.err, "warning")) << ran.err;
}

}  // namespace
}  // namespace tavix::host
