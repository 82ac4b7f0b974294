// The drawing to plot from standard input and from pipes, in both formats,
// plots exactly as the same drawing from a file; files that are no drawing
// at all are named for what they are.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::readWholeFile;
using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;
using testing::contains;

class DrawingInput : public ::testing::Test {
protected:
    void SetUp() override {
        testing::Ran ran = testing::runTavix({"configure", "--defaults", "--paper", "A3", "--colour", "colour"});
        ASSERT_EQ(0, ran.status) << ran.err;
        writeWholeFile("d.txt", "pen 2\nmove 100 100\ndraw 4000 3000\ndraw 100 3000\n");
        // Lines, a circle, an arc and a text: the drawing's own bytes decide
        // every stroke. (The bundled examples' MTEXT is left out: dxflib reads
        // its rotation through a member it leaves uninitialised.)
        std::string dxf = "0\nSECTION\n2\nENTITIES\n";
        for (int i = 0; i < 200; ++i)
            dxf += "0\nLINE\n8\n0\n62\n" + std::to_string(1 + i % 7) + "\n10\n" + std::to_string(i) + "\n20\n0\n11\n" +
                   std::to_string(i / 2) + "\n21\n100\n";
        dxf += "0\nCIRCLE\n8\n0\n10\n50\n20\n50\n40\n20\n0\nARC\n8\n0\n10\n150\n20\n50\n40\n30\n50\n10\n51\n200\n"
               "0\nTEXT\n8\n0\n10\n10\n20\n120\n40\n8\n1\nPlan A-3\n0\nENDSEC\n0\nEOF\n";
        writeWholeFile("d.dxf", dxf);
    }
    // `tavix plot` run by bash, so that pipes and <(...) are bash's own.
    static testing::Ran shell(const std::string& line) {
        return testing::runProgram("bash", {"-c", "set -o pipefail; T='" TAVIX_BINARY "'; " + line});
    }
    ScratchDirectory scratch;
};

TEST_F(DrawingInput, standardInputAndPipesPlotAsTheFileDoes) {
    for (const char* drawing : {"d.txt", "d.dxf"}) {
        testing::Ran ran = testing::runTavix({"plot", "-q", drawing, "-o", "file.plt"});
        ASSERT_EQ(0, ran.status) << ran.err;
        std::string expected = readWholeFile("file.plt");
        ASSERT_FALSE(expected.empty());
        std::string d = drawing;
        const std::string lines[] = {
            "\"$T\" plot -q - -o pipe.plt < " + d,
            "cat " + d + " | \"$T\" plot -q - -o pipe.plt",
            "cat " + d + " | \"$T\" plot -q /dev/stdin -o pipe.plt",
            "\"$T\" plot -q <(cat " + d + ") -o pipe.plt",
        };
        for (const std::string& line : lines) {
            std::filesystem::remove("pipe.plt");
            ran = shell(line);
            EXPECT_EQ(0, ran.status) << line << "\n" << ran.err;
            EXPECT_EQ("", ran.err) << line;
            EXPECT_TRUE(readWholeFile("pipe.plt") == expected) << line << ": not the stream of the file";
        }
    }
}

TEST_F(DrawingInput, messagesNameStandardInput) {
    testing::Ran ran = shell("printf 'move 1 1\\ncircle 5 5 3\\n' | \"$T\" plot -q - -o out.plt");
    EXPECT_EQ(1, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: standard input: line 2: unknown request 'circle'")) << ran.err;
    ran = shell("\"$T\" plot -q - -o out.plt < /dev/null");
    EXPECT_EQ(1, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: standard input: the drawing draws nothing")) << ran.err;
    EXPECT_FALSE(std::filesystem::exists("out.plt"));
    // At a terminal (script(1) gives one) nobody means to type a drawing.
    ran = testing::runProgram("script", {"-qec", "'" TAVIX_BINARY "' plot -q - -o out.plt", "/dev/null"});
    EXPECT_NE(0, ran.status) << ran.out;
    EXPECT_TRUE(contains(ran.out, "tavix: standard input is a terminal: name a drawing file, or pipe one in"))
        << ran.out;
    EXPECT_FALSE(std::filesystem::exists("out.plt"));
}

TEST_F(DrawingInput, filesThatAreNoDrawingAreNamedForWhatTheyAre) {
    struct Case {
        std::string bytes;
        const char* says;
    } cases[] = {
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "this is a PNG image, not a drawing: place it with an 'image' request"},
        // A PDF is a drawing, by its content whatever its name: this one is cut short.
        {"%PDF-1.5\n%\xE2\xE3\xCF\xD3\n1 0 obj\n", "the PDF is damaged beyond repair"},
        {"\xFF\xD8\xFF\xE0\0\x10JFIF", "this is a JPEG image, not a drawing"},
        {"\x1B%-12345X@PJL\r\n", "this is a printer stream, not a drawing: 'tavix preview' draws printer streams"},
    };
    for (const Case& c : cases) {
        writeWholeFile("plan.dxf", c.bytes);
        writeWholeFile("out.plt", "before");
        testing::Ran ran = testing::runTavix({"plot", "plan.dxf", "-o", "out.plt"});
        EXPECT_EQ(1, ran.status) << ran.err;
        EXPECT_TRUE(contains(ran.err, std::string("tavix: plan.dxf: ") + c.says)) << ran.err;
        EXPECT_FALSE(contains(ran.err, "unknown request")) << ran.err;
        EXPECT_EQ("before", readWholeFile("out.plt"));
    }
}

}  // namespace
}  // namespace tavix::host
