// SVG and PDF previews: what they show is what the PNG shows, as read by
// renderers of their own (rsvg-convert, poppler's pdftoppm); the SVG has
// the paper's true size in millimetres; and their memory does not grow with
// the stream, as the PNG's does not.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

namespace fs = std::filesystem;
using tavix::testing::readWholeFile;
using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;

// Short vectors all over an A4 page in seven pens, the pen changing with
// every vector: nothing for a writer to merge.
std::string scatteredVectors(int count) {
    std::string text;
    uint32_t seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
    };
    for (int i = 0; i < count; ++i) {
        int x = 400 + next(9000), y = 400 + next(6000);
        text += "pen " + std::to_string(1 + i % 7) + "\nmove " + std::to_string(x) + " " + std::to_string(y) +
                "\ndraw " + std::to_string(x + next(300)) + " " + std::to_string(y + next(300)) + "\n";
    }
    return text;
}

// The attribute `name` of the <svg> element.
std::string svgAttribute(const std::string& svg, const std::string& name) {
    size_t at = svg.find(" " + name + "=\"", svg.find("<svg"));
    if (at == std::string::npos) return "";
    at += name.size() + 3;
    return svg.substr(at, svg.find('"', at) - at);
}

class PreviewVectors : public ::testing::Test {
protected:
    void SetUp() override {
        testing::Ran ran = testing::runTavix({"configure", "--defaults", "--paper", "A4", "--colour", "colour"});
        ASSERT_EQ(0, ran.status) << ran.err;
    }
    ScratchDirectory scratch;
};

TEST_F(PreviewVectors, svgAndPdfShowWhatThePngShows) {
    ASSERT_TRUE(testing::writePng("tile.png", 40, 30, [](int x, int y, uint8_t rgb[3]) {
        rgb[0] = static_cast<uint8_t>(x * 6);
        rgb[1] = static_cast<uint8_t>(y * 8);
        rgb[2] = (x / 10 + y / 10) % 2 ? 255 : 0;
    }));
    writeWholeFile("d.txt",
                   "units mm\npen 1\nwidth 1mm\nmove 20 20\ndraw 150 20\ndraw 150 120\ndraw 20 20\n"
                   "pen 3\nwidth 0.3mm\nmove 30 30\ndraw 60 30\ndraw 90 30\ndraw 120 30\n"
                   "linetype 2\nmove 20 150\ndraw 250 150\nlinetype 0\n"
                   "fill 5 170 30 270 30 220 120\nimage tile.png 160 130 260 190\n"
                   "pen 2\nwidth 3mm\nmove 30 180\ndraw 120 180\ndraw 120 130\n");
    testing::Ran ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "d.plt"});
    ASSERT_EQ(0, ran.status) << ran.err;
    // At 72 dpi the PDF's points are the PNG's pixels.
    for (const char* name : {"d.png", "d.svg", "d.pdf"}) {
        ran = testing::runTavix({"preview", "-q", "d.plt", "-o", name, "--dpi", "72", "--no-panel"});
        ASSERT_EQ(0, ran.status) << name << ": " << ran.err;
    }
    testing::Picture png, svg, pdf;
    std::string error;
    ASSERT_TRUE(testing::readPicture("d.png", png, error)) << error;
    ran = testing::runProgram("rsvg-convert", {"-w", std::to_string(png.width), "-h", std::to_string(png.height),
                                               "d.svg", "-o", "svg.png"});
    ASSERT_EQ(0, ran.status) << ran.err;
    ran = testing::runProgram("pdftoppm", {"-r", "72", "-png", "-singlefile", "d.pdf", "pdf"});
    ASSERT_EQ(0, ran.status) << ran.err;
    ASSERT_TRUE(testing::readPicture("svg.png", svg, error)) << error;
    ASSERT_TRUE(testing::readPicture("pdf.png", pdf, error)) << error;
    // Antialiased edges and the image's cell edges (each renderer samples
    // an enlarged image its own way) differ a little: some hundreds of
    // pixels. A shape out of place, a lost image or a wrong colour makes
    // thousands differ.
    size_t allowed = static_cast<size_t>(png.width) * png.height / 250;
    EXPECT_EQ("", testing::comparePictures(png, svg, 80, allowed)) << "SVG";
    EXPECT_EQ("", testing::comparePictures(png, pdf, 80, allowed)) << "PDF";
}

// Triangular line ends, which SVG and PDF strokes lack, are written as
// filled outlines: a thick pen's ends match the PNG's triangles, while
// round ends (what a stroke would give) differ from them by far more.
TEST_F(PreviewVectors, triangularEndsAreTrianglesInSvgAndPdf) {
    writeWholeFile("d.txt", "units mm\npen 1\nwidth 8mm\nmove 30 40\ndraw 150 40\nmove 40 80\ndraw 40 80\n"
                            "move 30 120\ndraw 90 160\ndraw 200 160\nlinetype 2\nmove 30 190\ndraw 250 190\n");
    testing::Ran ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "d.plt"});
    ASSERT_EQ(0, ran.status) << ran.err;
    std::string stream = readWholeFile("d.plt");
    size_t ends = stream.find("LA1,4");
    ASSERT_NE(std::string::npos, ends);
    auto pictures = [&](char kind, testing::Picture& png, testing::Picture& svg, testing::Picture& pdf) {
        stream[ends + 4] = kind;
        writeWholeFile("d.plt", stream);
        for (const char* name : {"d.png", "d.svg", "d.pdf"}) {
            ran = testing::runTavix({"preview", "-q", "d.plt", "-o", name, "--dpi", "72", "--no-panel"});
            ASSERT_EQ(0, ran.status) << name << ": " << ran.err;
        }
        std::string error;
        ASSERT_TRUE(testing::readPicture("d.png", png, error)) << error;
        ran = testing::runProgram("rsvg-convert", {"-w", std::to_string(png.width), "-h",
                                                   std::to_string(png.height), "d.svg", "-o", "svg.png"});
        ASSERT_EQ(0, ran.status) << ran.err;
        ran = testing::runProgram("pdftoppm", {"-r", "72", "-png", "-singlefile", "d.pdf", "pdf"});
        ASSERT_EQ(0, ran.status) << ran.err;
        ASSERT_TRUE(testing::readPicture("svg.png", svg, error)) << error;
        ASSERT_TRUE(testing::readPicture("pdf.png", pdf, error)) << error;
    };
    testing::Picture roundPng, roundSvg, roundPdf, png, svg, pdf;
    ASSERT_NO_FATAL_FAILURE(pictures('4', roundPng, roundSvg, roundPdf));
    ASSERT_NO_FATAL_FAILURE(pictures('3', png, svg, pdf));
    EXPECT_NE("", testing::comparePictures(roundPng, png, 80, 300)) << "round and triangular ends look alike";
    EXPECT_EQ("", testing::comparePictures(png, svg, 80, 40)) << "SVG";
    EXPECT_EQ("", testing::comparePictures(png, pdf, 80, 40)) << "PDF";
}

TEST_F(PreviewVectors, theSvgHasThePapersTrueSizeInMillimetres) {
    writeWholeFile("d.txt", "move 100 100\ndraw 2000 1500\n");
    testing::Ran ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "d.plt"});
    ASSERT_EQ(0, ran.status) << ran.err;
    // The stream's paper is the plot area: "plot area:  W x H in (X x Y mm)".
    ran = testing::runTavix({"configure", "--show"});
    double areaW = 0, areaH = 0;
    size_t at = ran.out.find("plot area:");
    ASSERT_NE(std::string::npos, at) << ran.out;
    ASSERT_EQ(2, std::sscanf(ran.out.c_str() + ran.out.find('(', at), "(%lf x %lf mm)", &areaW, &areaH)) << ran.out;
    for (double dpi : {20.0, 50.0, 150.0}) {
        ran = testing::runTavix({"preview", "-q", "d.plt", "-o", "d.svg", "--no-panel", "--dpi", std::to_string(dpi)});
        ASSERT_EQ(0, ran.status) << ran.err;
        std::string svg = readWholeFile("d.svg");
        std::string width = svgAttribute(svg, "width"), height = svgAttribute(svg, "height");
        ASSERT_TRUE(width.size() > 2 && width.substr(width.size() - 2) == "mm") << width;
        ASSERT_TRUE(height.size() > 2 && height.substr(height.size() - 2) == "mm") << height;
        double w = 0, h = 0, boxW = 0, boxH = 0;
        ASSERT_EQ(2, std::sscanf(svgAttribute(svg, "viewBox").c_str(), "0 0 %lf %lf", &boxW, &boxH)) << svg.substr(0, 300);
        w = std::atof(width.c_str());
        h = std::atof(height.c_str());
        // The picture is the paper and a 12-pixel margin on each side; the
        // paper measures its own size on screen (within a pixel's rounding).
        double mmPerPixel = 25.4 / dpi;
        EXPECT_NEAR(w, boxW * mmPerPixel, 0.01) << dpi;
        EXPECT_NEAR(h, boxH * mmPerPixel, 0.01) << dpi;
        EXPECT_NEAR(areaW, w - 24 * mmPerPixel, mmPerPixel + 0.01) << dpi;
        EXPECT_NEAR(areaH, h - 24 * mmPerPixel, mmPerPixel + 0.01) << dpi;
    }
}

TEST_F(PreviewVectors, memoryDoesNotGrowWithTheStream) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine: the program's size says nothing here";
#endif
    long rss[2][2] = {};  // [svg, pdf][small, large]
    const int counts[2] = {20'000, 200'000};
    for (int size = 0; size < 2; ++size) {
        writeWholeFile("d.txt", scatteredVectors(counts[size]));
        testing::Ran ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "d.plt"});
        ASSERT_EQ(0, ran.status) << ran.err;
        const char* names[2] = {"d.svg", "d.pdf"};
        for (int format = 0; format < 2; ++format) {
            ran = testing::runTavix({"preview", "-q", "d.plt", "-o", names[format]});
            ASSERT_EQ(0, ran.status) << ran.err;
            rss[format][size] = ran.maxRssKb;
        }
    }
    // Ten times the vectors: the pictures' memory stays where it was (cairo's
    // vector surfaces took some 1.2 kB more per vector).
    for (int format = 0; format < 2; ++format)
        EXPECT_LT(rss[format][1] - rss[format][0], 30'000)
            << (format ? "PDF" : "SVG") << ": " << rss[format][0] << " kB, then " << rss[format][1] << " kB";
}

}  // namespace
}  // namespace tavix::host
