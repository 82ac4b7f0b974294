// The four HP RTL forms of the driver, decoded by the stream reader: each
// gives the known row, skips are unprinted paper, the raster lies where
// the HP-GL/2 pen was.
#include <gtest/gtest.h>

#include "previewStreams.h"
#include "rowDecoding.h"
#include "streamParser.h"

namespace tavix::preview {
namespace {

using testing::bytes;
using testing::preamble;
using testing::rtlBegin;
using testing::rtlEnd;
using testing::rtlRow;

const uint8_t MONO_DITHER[6] = {0, 0, 1, 8, 8, 8};
const uint8_t COLOUR_DITHER[6] = {0, 0, 0xFF, 8, 8, 8};
const uint8_t MONO_TONE[6] = {0, 1, 0xFF, 8, 8, 8};
const uint8_t COLOUR_TONE[6] = {0, 3, 8, 8, 8, 8};

const std::string MONO_PALETTE = "\x1b*v255a255b255c0I\x1b*v0a0b0c1I";

// A page with the raster's corner at (2000, 2000), as the image request
// writes it: ";PU" and "PA" to the corner, the raster, then back.
std::string imageStream(const std::string& raster, long paperW = 33528, long paperH = 22352) {
    return preamble(paperW, paperH) + ";PU2000,2000PA2000,2000" + raster + rtlEnd() +
           "PA2000,2000PU0,0PRIW0,0,33528,22352SP7;PUSP0;PG;";
}

std::string warningsText(const ParsedStream& s) {
    std::string text;
    for (const auto& w : s.warnings) text += std::to_string(w.offset) + ": " + w.text + "\n";
    return text;
}

struct Pixel {
    int r, g, b, a;
    bool operator==(const Pixel&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Pixel& p) {
    return os << "(" << p.r << "," << p.g << "," << p.b << "," << p.a << ")";
}

Pixel at(const RasterImage& image, int x, int row) {
    size_t i = (static_cast<size_t>(row) * image.storedWidth + x) * 4;
    return {image.rgba[i], image.rgba[i + 1], image.rgba[i + 2], image.rgba[i + 3]};
}

const RasterImage& onlyRaster(const ParsedStream& s) {
    EXPECT_EQ(s.pages.size(), 1u);
    EXPECT_EQ(s.pages.at(0).rasters.size(), 1u);
    return s.pages.at(0).rasters.at(0);
}

TEST(PreviewRaster, PackBitsVariantDecodesTheWorkedResults) {
    std::vector<uint8_t> out;
    auto decode = [&](std::string in) {
        decodeRow(2, in, out, 1000);
        return std::string(out.begin(), out.end());
    };
    EXPECT_EQ(decode(bytes({0xF9, 0xFF, 0x00, 0x00})), std::string(8, '\xFF') + '\0');
    EXPECT_EQ(decode(bytes({0x02, 0x00, 0x80, 0xFF, 0x00, 0x00})), bytes({0x00, 0x80, 0xFF, 0x00}));
    EXPECT_EQ(decode(bytes({0x01, 0x01, 0x02, 0xFD, 0x03, 0x00, 0x04, 0x00, 0x00})),
              bytes({1, 2, 3, 3, 3, 3, 4, 0}));
    EXPECT_EQ(decode(bytes({0x85, 0x07, 0x85, 0x07, 0xCD, 0x07, 0x00, 0x00})),
              std::string(300, '\x07') + '\0');
    // A piece cut by the end of the transfer keeps what is there.
    RowDecodeResult cut = decodeRow(2, bytes({0x05, 0x41, 0x42}), out, 1000);
    EXPECT_TRUE(cut.cutPiece);
    EXPECT_EQ(std::string(out.begin(), out.end()), "AB");
    // The kept bytes are bounded; the decoded count is not.
    RowDecodeResult big = decodeRow(2, bytes({0x81, 0x01, 0x81, 0x01}), out, 100);
    EXPECT_EQ(out.size(), 100u);
    EXPECT_EQ(big.produced, 256u);
}

TEST(PreviewRaster, DitheredMonochromeRowsAtThePenPosition) {
    // The worked fragment: 16 x 2 at 400 dpi, a black row then a white row.
    std::string raster = rtlBegin(MONO_DITHER, 16, 2, 400, MONO_PALETTE) +
                         rtlRow(0, bytes({0xFF, 0xFF})) + rtlRow(0, bytes({0x00, 0x00}));
    ParsedStream s = parseStream(imageStream(raster));
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    const RasterImage& image = onlyRaster(s);
    EXPECT_EQ(image.dpi, 400);
    EXPECT_EQ(image.width, 16);
    EXPECT_EQ(image.rows, 2);
    EXPECT_EQ(image.printedRows, 2);
    EXPECT_EQ(image.origin, (Point{2000, 2000}));
    // Wide paper: pixels run along Y, rows along X, 2.54 plotter units each.
    EXPECT_EQ(image.pixelStep, (Point{0, 2.54}));
    EXPECT_EQ(image.rowStep, (Point{2.54, 0}));
    ASSERT_EQ(image.storedWidth, 16);
    ASSERT_EQ(image.storedHeight, 2);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(at(image, x, 0), (Pixel{0, 0, 0, 255}));
        EXPECT_EQ(at(image, x, 1), (Pixel{255, 255, 255, 255}));
    }
}

TEST(PreviewRaster, DitheredColourPlanesCombineThroughThePalette) {
    // 16 red pixels: yellow and magenta planes set, cyan clear -> index 3.
    std::string plane = bytes({0xFF, 0xFF, 0, 0, 0});
    std::string raster = rtlBegin(COLOUR_DITHER, 16, 1, 300, testing::COLOUR_PLANE_PALETTE) + rtlRow(0, plane, 'V') +
                         rtlRow(0, plane, 'V') + rtlRow(2, bytes({0xFC, 0, 0, 0}), 'W');
    ParsedStream s = parseStream(imageStream(raster));
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    const RasterImage& image = onlyRaster(s);
    EXPECT_EQ(image.dpi, 300);
    ASSERT_EQ(image.storedHeight, 1);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(at(image, x, 0), (Pixel{255, 0, 0, 255})) << x;
}

TEST(PreviewRaster, DitheredColourIndexBitsAreYellowMagentaCyan) {
    // Pixel k of 8 takes index k: plane p holds bit p of k.
    std::string yellow = bytes({0x55, 0, 0}), magenta = bytes({0x33, 0, 0}), cyan = bytes({0x0F, 0, 0});
    std::string raster = rtlBegin(COLOUR_DITHER, 8, 1, 300, testing::COLOUR_PLANE_PALETTE) + rtlRow(0, yellow, 'V') +
                         rtlRow(0, magenta, 'V') + rtlRow(0, cyan, 'W');
    ParsedStream s = parseStream(imageStream(raster));
    const RasterImage& image = onlyRaster(s);
    // Bits are most significant first: pixel 0 has the 0x80 bits, so
    // pixel k shows palette entry k (white, yellow, magenta, red, ...).
    const Pixel expected[8] = {{255, 255, 255, 255}, {255, 255, 0, 255}, {255, 0, 255, 255},
                               {255, 0, 0, 255},     {0, 255, 255, 255}, {0, 255, 0, 255},
                               {0, 0, 255, 255},     {0, 0, 0, 255}};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(at(image, x, 0), expected[x]) << x;
}

TEST(PreviewRaster, ContoneMonochromeUsesTheGrayPaletteAndSkipsAreUnprinted) {
    // Row 1: 16 bytes of gray 128 packed; row 2 skipped by the Y offset;
    // row 3: raw ramp.
    std::string ramp;
    for (int i = 0; i < 16; ++i) ramp += static_cast<char>(i * 16);
    std::string raster = rtlBegin(MONO_TONE, 16, 3, 400, testing::grayPalette()) +
                         rtlRow(2, bytes({0xF1, 0x80, 0x00, 0x00})) + "\x1b*b1Y" + rtlRow(0, ramp);
    ParsedStream s = parseStream(imageStream(raster));
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    const RasterImage& image = onlyRaster(s);
    EXPECT_EQ(image.rows, 3);
    EXPECT_EQ(image.printedRows, 2);
    EXPECT_EQ(image.skippedRows, 1);
    ASSERT_EQ(image.storedHeight, 3);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(at(image, x, 0), (Pixel{128, 128, 128, 255}));
        EXPECT_EQ(at(image, x, 1).a, 0);
        EXPECT_EQ(at(image, x, 2), (Pixel{x * 16, x * 16, x * 16, 255}));
    }
}

TEST(PreviewRaster, ContoneBlankImageIsOneSkipAndNothingPrinted) {
    std::string raster = rtlBegin(MONO_TONE, 16, 4, 400, testing::grayPalette()) + "\x1b*b4Y";
    ParsedStream s = parseStream(imageStream(raster));
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    const RasterImage& image = onlyRaster(s);
    EXPECT_EQ(image.skippedRows, 4);
    EXPECT_EQ(image.printedRows, 0);
    for (int row = 0; row < image.storedHeight; ++row)
        for (int x = 0; x < image.storedWidth; ++x) EXPECT_EQ(at(image, x, row).a, 0);
}

TEST(PreviewRaster, ContoneColourRowsAreRgbTriples) {
    std::string row;
    for (int i = 0; i < 16; ++i) row += bytes({0xFF, 0x00, 0x00});
    std::string mixed = bytes({0x00, 0x80, 0xFF, 0x10, 0x20, 0x30});
    std::string raster = rtlBegin(COLOUR_TONE, 16, 2, 300, "") + rtlRow(0, row) +
                         rtlRow(2, bytes({0x05}) + mixed + bytes({0xF1, 0xEE, 0x00, 0x00}));
    ParsedStream s = parseStream(imageStream(raster));
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    const RasterImage& image = onlyRaster(s);
    for (int x = 0; x < 16; ++x) EXPECT_EQ(at(image, x, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(at(image, 0, 1), (Pixel{0, 128, 255, 255}));
    EXPECT_EQ(at(image, 1, 1), (Pixel{16, 32, 48, 255}));
    // 16 bytes of 0xEE cover pixels 2..6 and the first byte of pixel 7;
    // pixel 7 lacks its green and blue and is not printed.
    EXPECT_EQ(at(image, 6, 1), (Pixel{0xEE, 0xEE, 0xEE, 255}));
    EXPECT_EQ(at(image, 7, 1).a, 0);
}

TEST(PreviewRaster, ReplicatedRowsDecodeAsSent) {
    // magnify 2: a 2-pixel source row black, white is sent as 4 pixels, twice.
    std::string raster = rtlBegin(MONO_TONE, 4, 4, 400, testing::grayPalette());
    for (int pass = 0; pass < 2; ++pass) raster += rtlRow(0, bytes({0, 0, 255, 255}));
    raster += "\x1b*b2Y";
    ParsedStream s = parseStream(imageStream(raster));
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    const RasterImage& image = onlyRaster(s);
    EXPECT_EQ(image.rows, 4);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(at(image, 0, row), (Pixel{0, 0, 0, 255}));
        EXPECT_EQ(at(image, 1, row), (Pixel{0, 0, 0, 255}));
        EXPECT_EQ(at(image, 2, row), (Pixel{255, 255, 255, 255}));
        EXPECT_EQ(at(image, 3, row), (Pixel{255, 255, 255, 255}));
    }
    EXPECT_EQ(at(image, 0, 2).a, 0);
    EXPECT_EQ(at(image, 0, 3).a, 0);
}

TEST(PreviewRaster, TallPaperTurnsTheRasterFrame) {
    std::string raster = rtlBegin(MONO_DITHER, 16, 1, 400, MONO_PALETTE) + rtlRow(0, bytes({0xFF, 0x00}));
    ParsedStream s = parseStream(imageStream(raster, 22352, 33528));
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    const RasterImage& image = onlyRaster(s);
    // Rows run along Y, pixels towards smaller X from the corner.
    EXPECT_EQ(image.origin, (Point{2000, 2000}));
    EXPECT_EQ(image.pixelStep, (Point{-2.54, 0}));
    EXPECT_EQ(image.rowStep, (Point{0, 2.54}));
    EXPECT_EQ(at(image, 7, 0), (Pixel{0, 0, 0, 255}));
    EXPECT_EQ(at(image, 8, 0), (Pixel{255, 255, 255, 255}));
}

TEST(PreviewRaster, PalettePushAndPopRestoreTheEntries) {
    // The first raster changes entry 1 to red inside a push; after the pop
    // the second raster (no configuration of its own) uses black again.
    std::string first = rtlBegin(MONO_DITHER, 8, 1, 400, "\x1b*v255a0b0c1I") + rtlRow(0, bytes({0xFF}));
    std::string second = "\x1b%1A\x1b*r8S\x1b*r1T\x1b*r1A" + rtlRow(0, bytes({0xFF}));
    std::string stream = preamble() + ";PU2000,2000PA2000,2000" + first + rtlEnd() + second + "\x1b*rC\x1b%0B" +
                         ";PG;";
    ParsedStream s = parseStream(stream);
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    ASSERT_EQ(s.pages.size(), 1u);
    ASSERT_EQ(s.pages[0].rasters.size(), 2u);
    EXPECT_EQ(at(s.pages[0].rasters[0], 0, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(at(s.pages[0].rasters[1], 0, 0), (Pixel{0, 0, 0, 255}));
}

TEST(PreviewRaster, VectorsAfterTheRasterGoOnFromTheSavedPosition) {
    // After ESC%0B the pen is where HP-GL/2 left it; "PA x,y PU x0,y0 PR"
    // returns it to the vector chain.
    std::string raster = rtlBegin(MONO_DITHER, 8, 1, 400, MONO_PALETTE) + rtlRow(0, bytes({0xFF}));
    std::string stream = preamble() + "SP1PE7<" + testing::pePair(500, 500, true) + ";PU2000,2000PA2000,2000" +
                         raster + rtlEnd() + "PA2000,2000PU500,500PRIW0,0,33528,22352SP1PE7" +
                         testing::pePair(100, 0, true) + ";PUSP0;PG;";
    ParsedStream s = parseStream(stream);
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    ASSERT_EQ(s.pages.size(), 1u);
    ASSERT_EQ(s.pages[0].strokes.size(), 1u);
    EXPECT_EQ(s.pages[0].strokes[0].points, (std::vector<Point>{{500, 500}, {600, 500}}));
    EXPECT_EQ(s.pages[0].order[0].kind, OpKind::Raster);
}

}  // namespace
}  // namespace tavix::preview
