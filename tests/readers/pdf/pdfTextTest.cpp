// Text as glyph outlines, checked against poppler's own rendering: pdftoppm
// rasterises the same page and the ink of its glyphs must span what the
// plotted outlines span, to within a pixel and the chord tolerance.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>

#include "pdfFiles.h"
#include "pdfRequests.h"

namespace tavix::pdf {
namespace {

using testing::onePagePdf;
using testing::plot;
using testing::Plotted;
using testing::UNITS_PER_POINT;

constexpr int PIXELS_PER_POINT = 4;

struct Box {
    double x0 = std::numeric_limits<double>::max(), y0 = x0;
    double x1 = std::numeric_limits<double>::lowest(), y1 = x1;
    void add(double x, double y) {
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
};

// The ink of the page as pdftoppm draws it (without antialiasing), in points.
bool inkOfRendering(const std::string& pdf, double pageHeight, Box& ink, std::string& error) {
    std::string dir = ::testing::TempDir();
    std::string in = dir + "/tavix-pdf-text.pdf", out = dir + "/tavix-pdf-text";
    std::ofstream(in, std::ios::binary) << pdf;
    std::string command = "pdftoppm -r " + std::to_string(72 * PIXELS_PER_POINT) +
                          " -gray -aa no -aaVector no -singlefile " + in + " " + out;
    if (std::system(command.c_str()) != 0) {
        error = "pdftoppm failed: " + command;
        return false;
    }
    std::ifstream pgm(out + ".pgm", std::ios::binary);
    std::string magic;
    int width = 0, height = 0, max = 0;
    pgm >> magic >> width >> height >> max;
    pgm.get();
    if (magic != "P5" || width <= 0 || height <= 0 || max != 255) {
        error = "not a PGM from pdftoppm";
        return false;
    }
    std::string pixels(static_cast<size_t>(width) * height, '\0');
    pgm.read(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    std::remove(in.c_str());
    std::remove((out + ".pgm").c_str());
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col)
            if (static_cast<unsigned char>(pixels[static_cast<size_t>(row) * width + col]) < 128) {
                // The pixel's square, in points with y up.
                ink.add(double(col) / PIXELS_PER_POINT, pageHeight - double(row + 1) / PIXELS_PER_POINT);
                ink.add(double(col + 1) / PIXELS_PER_POINT, pageHeight - double(row) / PIXELS_PER_POINT);
            }
    return true;
}

Box fillsOf(const Plotted& p, int& fills) {
    Box box;
    fills = 0;
    for (const auto& r : p.requests) {
        if (r.op != host::DrawingOp::FillArray) continue;
        ++fills;
        for (size_t i = 0; i + 1 < r.coords.size(); i += 2)
            box.add(r.coords[i] / UNITS_PER_POINT, r.coords[i + 1] / UNITS_PER_POINT);
    }
    return box;
}

std::string withFont(const std::string& content) {
    testing::PageParts parts = testing::page(content, "0 0 400 300", "/Resources << /Font << /F1 5 0 R >> >>");
    parts.extraObject = "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>";
    return onePagePdf(parts);
}

TEST(PdfText, glyphOutlinesCoverWhatPopplerInks) {
    for (const char* content : {"BT /F1 100 Tf 50 100 Td (Tag) Tj ET",
                                "BT /F1 40 Tf 0.5 0.866 -0.866 0.5 200 50 Tm (Rotated) Tj ET",
                                "BT /F1 30 Tf 150 Tz 20 20 Td (Wide) Tj ET"}) {
        std::string pdf = withFont(content);
        Box ink;
        std::string error;
        ASSERT_TRUE(inkOfRendering(pdf, 300, ink, error)) << error;
        Plotted p = plot(pdf);
        ASSERT_TRUE(p.ok) << p.error;
        int fills = 0;
        Box drawn = fillsOf(p, fills);
        EXPECT_GE(fills, 1) << content;
        // A pixel of the rendering, and the chord tolerance.
        double reach = 1.0 / PIXELS_PER_POINT + 0.05 / 25.4 * 72;
        EXPECT_NEAR(ink.x0, drawn.x0, reach) << content;
        EXPECT_NEAR(ink.y0, drawn.y0, reach) << content;
        EXPECT_NEAR(ink.x1, drawn.x1, reach) << content;
        EXPECT_NEAR(ink.y1, drawn.y1, reach) << content;
        // The text's height within 1 %.
        EXPECT_NEAR((ink.y1 - ink.y0) / (drawn.y1 - drawn.y0), 1.0, 0.01) << content;
    }
}

TEST(PdfText, strokedTextIsOutlinedInvisibleTextPlotsNothing) {
    Plotted stroked = plot(withFont("1 0 0 RG 2 w BT /F1 60 Tf 1 Tr 50 100 Td (H) Tj ET"));
    ASSERT_TRUE(stroked.ok) << stroked.error;
    int fills = 0;
    fillsOf(stroked, fills);
    EXPECT_EQ(0, fills);
    EXPECT_GE(testing::linesOf(stroked).size(), 12u);  // the H's twelve edges at least
    ASSERT_NE(nullptr, testing::first(stroked, host::DrawingOp::Width));
    EXPECT_NEAR(2.0 / 72, testing::first(stroked, host::DrawingOp::Width)->widthInches, 1e-9);

    Plotted invisible = plot(withFont("BT /F1 60 Tf 3 Tr 50 100 Td (H) Tj ET 0 0 m 10 0 l S"));
    ASSERT_TRUE(invisible.ok) << invisible.error;
    fillsOf(invisible, fills);
    EXPECT_EQ(0, fills);
    EXPECT_EQ(1u, testing::linesOf(invisible).size());
}

TEST(PdfText, aPageOfInvisibleTextAloneIsRefused) {
    Plotted p = plot(withFont("BT /F1 60 Tf 3 Tr 50 100 Td (scanned words) Tj ET"));
    EXPECT_FALSE(p.ok);
    EXPECT_EQ("nothing on page 1 plots", p.error);
}

}  // namespace
}  // namespace tavix::pdf
