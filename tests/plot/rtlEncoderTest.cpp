// The HP RTL encoder on the wire: the worked images of the four forms,
// magnification, the key colour, blank rows, the buffer limits and a dead
// port.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "plot/rtlEncoder.h"
#include "support/recordingHost.h"
#include "tavix/driverState.h"
#include "tavix/messageSlots.h"

namespace tavix {
namespace {

std::string bin(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

std::string repeat(const std::string& s, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += s;
    return out;
}

std::vector<uint8_t> rgbRow(int n, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> row;
    for (int i = 0; i < n; ++i) row.insert(row.end(), {r, g, b});
    return row;
}

const std::string ENTER = "\x1b%1A\x1b*p0P\x1b&a1N\x1b*v6W";
const std::string END = "\x1b*rC\x1b*p1P\x1b%0B";
const std::string COLOUR_PALETTE =
    "\x1b*v255A\x1b*v255B\x1b*v255C\x1b*v0I\x1b*v255A\x1b*v255B\x1b*v000C\x1b*v1I"
    "\x1b*v255A\x1b*v000B\x1b*v255C\x1b*v2I\x1b*v255A\x1b*v000B\x1b*v000C\x1b*v3I"
    "\x1b*v000A\x1b*v255B\x1b*v255C\x1b*v4I\x1b*v000A\x1b*v255B\x1b*v000C\x1b*v5I"
    "\x1b*v000A\x1b*v000B\x1b*v255C\x1b*v6I\x1b*v000A\x1b*v000B\x1b*v000C\x1b*v7I";

std::string grayPalette() {
    std::string s;
    for (int i = 0; i < 256; ++i) {
        std::string n = std::to_string(i);
        s += "\x1b*v" + n + "A\x1b*v" + n + "B\x1b*v" + n + "C\x1b*v" + n + "I";
    }
    return s;
}

class RtlEncoderTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.install();
        std::strcpy(state.messages[MSG_PLOTTING_ERROR], "Plotting error occured. ");
    }

    void row(const std::vector<uint8_t>& rgb) {
        encodeRow(static_cast<int32_t>(rgb.size() / 3), rgb.data(), 0, 0, 0, 0);
    }

    testing::RecordingHost host;
};

TEST_F(RtlEncoderTest, ditheredMonochromeSixteenByTwo) {
    beginRaster(16, 2, 0, 0, 0, 0, 1, 2, 1);
    row(rgbRow(16, 0, 0, 0));
    row(rgbRow(16, 255, 255, 255));
    endRaster();
    std::string expected = ENTER + bin({0, 0, 1, 8, 8, 8});
    EXPECT_EQ(25u, expected.size());
    expected += "\x1b*r16S\x1b*r2T\x1b*b2M\x1b*t400R\x1b*v255a255b255c0I\x1b*v0a0b0c1I\x1b*r1A";
    expected += "\x1b*b0m2W" + bin({0xFF, 0xFF});  // packed FF FF 00 00 is not shorter
    expected += "\x1b*b0m2W" + bin({0x00, 0x00});  // dithered rows are never skipped
    expected += END;
    EXPECT_BYTES(expected, host.output);
    EXPECT_EQ(16, state.image.nonWhitePixels);
}

TEST_F(RtlEncoderTest, continuousToneMonochromeSkipsTheWhiteRow) {
    beginRaster(16, 2, 2, 0, 0, 0, 1, 2, 1);
    row(rgbRow(16, 0, 0, 0));
    row(rgbRow(16, 255, 255, 255));
    EXPECT_EQ(1, state.raster.pendingSkip);
    endRaster();
    std::string expected = ENTER + bin({0, 1, 0xFF, 8, 8, 8});
    expected += "\x1b*r16S\x1b*r2T\x1b*b2M\x1b*t400R" + grayPalette() + "\x1b*r1A";
    expected += "\x1b*b2m4W" + bin({0xF1, 0, 0, 0});
    expected += "\x1b*b1Y" + END;
    EXPECT_BYTES(expected, host.output);
}

TEST_F(RtlEncoderTest, ditheredColourRedRowSendsThreePlanes) {
    beginRaster(16, 1, 0, 1, 0, 0, 1, 2, 1);
    row(rgbRow(16, 255, 0, 0));
    endRaster();
    std::string expected = ENTER + bin({0, 0, 0xFF, 8, 8, 8});
    expected += "\x1b*r16S\x1b*r1T\x1b*b2M\x1b*t300R" + COLOUR_PALETTE + "\x1b*r1A";
    EXPECT_EQ(208u, COLOUR_PALETTE.size());
    expected += "\x1b*b0m5V" + bin({0xFF, 0xFF, 0, 0, 0});  // yellow, from blue 0
    expected += "\x1b*b0m5V" + bin({0xFF, 0xFF, 0, 0, 0});  // magenta, from green 0
    expected += "\x1b*b2m4W" + bin({0xFC, 0, 0, 0});        // cyan, from red 255
    expected += END;
    EXPECT_BYTES(expected, host.output);
}

TEST_F(RtlEncoderTest, continuousToneColourRowGoesRaw) {
    beginRaster(16, 1, 2, 1, 0, 0, 1, 2, 1);
    row(rgbRow(16, 255, 0, 0));
    endRaster();
    std::string expected = ENTER + bin({0, 3, 8, 8, 8, 8});
    expected += "\x1b*r16S\x1b*r1T\x1b*b2M\x1b*t300R\x1b*r1A";  // no palette
    expected += "\x1b*b0m48W" + repeat(bin({0xFF, 0, 0}), 16);  // packed it would take 66
    expected += END;
    EXPECT_BYTES(expected, host.output);
}

TEST_F(RtlEncoderTest, level255LightsEveryCellOfTheTile) {
    beginRaster(16, 16, 0, 0, 0, 0, 1, 2, 1);
    size_t start = host.output.size();
    for (int r = 0; r < 16; ++r) row(rgbRow(16, 0, 0, 0));
    EXPECT_BYTES(repeat("\x1b*b0m2W" + bin({0xFF, 0xFF}), 16), host.output.substr(start));
}

TEST_F(RtlEncoderTest, magnifyTwoDoublesWidthHeightAndPasses) {
    beginRaster(10, 3, 0, 0, 0, 0, 1, 2, 2);
    EXPECT_NE(std::string::npos, host.output.find("\x1b*r20S\x1b*r6T"));
    size_t start = host.output.size();
    row(rgbRow(10, 0, 0, 0));
    // 20 replicated pixels: ceil(20 / 8) = 3 bytes, sent twice.
    EXPECT_BYTES(repeat("\x1b*b0m3W" + bin({0xFF, 0xFF, 0xF0}), 2), host.output.substr(start));
    EXPECT_EQ(2, state.raster.ditherRowIndex);
    EXPECT_EQ(10, state.image.nonWhitePixels);  // source pixels, not replicated ones
}

TEST_F(RtlEncoderTest, keyColourTurnsWhiteOnlyWhenEnabled) {
    const std::vector<uint8_t> keyRow = rgbRow(16, 0, 1, 2);
    beginRaster(16, 1, 2, 0, 1, 0, 1, 2, 1);
    size_t start = host.output.size();
    row(keyRow);
    EXPECT_EQ(start, host.output.size());
    EXPECT_EQ(1, state.raster.pendingSkip);

    beginRaster(16, 1, 2, 0, 0, 0, 1, 2, 1);
    start = host.output.size();
    row(keyRow);
    // (0, 1, 2) is a gray of 0: sixteen zero bytes.
    EXPECT_BYTES("\x1b*b2m4W" + bin({0xF1, 0, 0, 0}), host.output.substr(start));
}

TEST_F(RtlEncoderTest, allWhiteContinuousToneImageIsOneSkip) {
    beginRaster(16, 5, 2, 1, 0, 0, 1, 2, 2);
    size_t start = host.output.size();
    for (int r = 0; r < 5; ++r) row(rgbRow(16, 255, 255, 255));
    endRaster();
    EXPECT_BYTES("\x1b*b10Y" + END, host.output.substr(start));
    EXPECT_EQ(0, state.image.nonWhitePixels);
}

TEST_F(RtlEncoderTest, allWhiteDitheredRowsAreAllSentPackedWhenShorter) {
    beginRaster(64, 3, 0, 0, 0, 0, 1, 2, 1);
    size_t start = host.output.size();
    for (int r = 0; r < 3; ++r) row(rgbRow(64, 255, 255, 255));
    EXPECT_BYTES(repeat("\x1b*b2m4W" + bin({0xF9, 0, 0, 0}), 3), host.output.substr(start));
}

TEST_F(RtlEncoderTest, bitonalRowTakesItsColourAndWhiteIndexIsBlank) {
    const uint8_t bits[16] = {1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 9};
    beginRaster(16, 1, 2, 1, 0, 0, 1, 2, 1);
    size_t start = host.output.size();
    encodeRow(16, bits, 1, 255, 255, 255);  // colour index 0: white
    EXPECT_EQ(start, host.output.size());
    EXPECT_EQ(1, state.raster.pendingSkip);
    encodeRow(16, bits, 1, 0, 0, 255);
    std::string sent = host.output.substr(start);
    EXPECT_EQ(0u, sent.find("\x1b*b1Y\x1b*b2m"));
    EXPECT_EQ(9, state.image.nonWhitePixels);
}

// The row limits: 30000 replicated pixels, and 60000 bytes for the packer
// (20000 pixels of a continuous-tone colour row). A wider row is clipped,
// and the declared width is the clipped one.
TEST_F(RtlEncoderTest, rowsWiderThanTheBuffersAreClipped) {
    std::vector<uint8_t> wide = rgbRow(40000, 0, 0, 0);

    beginRaster(40000, 1, 0, 0, 0, 0, 1, 2, 1);
    EXPECT_NE(std::string::npos, host.output.find("\x1b*r30000S"));
    size_t start = host.output.size();
    row(wide);
    EXPECT_EQ(0u, host.output.find("\x1b*b2m64W", start) - start);  // 3750 bytes of FF: 31 pieces

    beginRaster(10000, 1, 0, 1, 0, 0, 1, 2, 4);
    EXPECT_NE(std::string::npos, host.output.find("\x1b*r30000S\x1b*r4T"));

    beginRaster(25000, 1, 2, 1, 0, 0, 1, 2, 1);
    EXPECT_NE(std::string::npos, host.output.find("\x1b*r20000S"));
    std::vector<uint8_t> varied(3 * 40000);
    for (size_t i = 0; i < varied.size(); ++i) varied[i] = static_cast<uint8_t>(i * 7 % 251);
    start = host.output.size();
    state.image.nonWhitePixels = 0;
    row(varied);
    EXPECT_EQ(0u, host.output.find("\x1b*b0m60000W", start) - start);
    EXPECT_EQ(start + 11 + 60000, host.output.size());
    EXPECT_EQ(20000, state.image.nonWhitePixels);
}

TEST_F(RtlEncoderTest, missingOrNegativeRowIsEmpty) {
    beginRaster(16, 2, 2, 0, 0, 0, 1, 2, 1);
    size_t start = host.output.size();
    encodeRow(16, nullptr, 0, 0, 0, 0);
    encodeRow(-3, reinterpret_cast<const uint8_t*>("abc"), 0, 0, 0, 0);
    EXPECT_EQ(start, host.output.size());
    EXPECT_EQ(2, state.raster.pendingSkip);
}

// A dead port: message 77 once, the latch, and nothing more is offered.
TEST_F(RtlEncoderTest, refusedWriteLatchesAndStopsTheRaster) {
    host.failWriteAtCall = 3;
    beginRaster(16, 4, 0, 0, 0, 0, 1, 2, 1);
    int callsAtFailure = host.writeCalls;
    for (int r = 0; r < 4; ++r) row(rgbRow(16, 0, 0, 0));
    endRaster();
    EXPECT_EQ(callsAtFailure, host.writeCalls);
    EXPECT_EQ(4, host.writeCalls);
    EXPECT_EQ(LATCH_OUTPUT, state.errorLatch);
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_EQ("\nPlotting error occured. \n", host.messages[0]);
    EXPECT_EQ(1, state.copiesToPlot);
}

TEST_F(RtlEncoderTest, nothingIsWrittenWhileTheLatchIsSet) {
    state.errorLatch = LATCH_CONFIG;
    beginRaster(16, 1, 0, 1, 0, 0, 1, 2, 1);
    row(rgbRow(16, 0, 0, 0));
    endRaster();
    EXPECT_EQ(0, host.writeCalls);
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace tavix
