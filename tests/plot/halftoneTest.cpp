// The dither: matrix and masks, the worked middle-gray row, the edge cases,
// and every component value in every cell against the straightforward
// lookup of the masks.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "plot/grayLevel.h"
#include "plot/halftone.h"
#include "tests/plot/rasterReference.h"
#include "support/recordingHost.h"
#include "tavix/driverState.h"

namespace tavix {
namespace {

class HalftoneTest : public ::testing::Test {
protected:
    void SetUp() override { host.install(); }

    void fillRow(int32_t width, uint8_t r, uint8_t g, uint8_t b) {
        std::memset(state.raster.red, r, static_cast<size_t>(width));
        std::memset(state.raster.green, g, static_cast<size_t>(width));
        std::memset(state.raster.blue, b, static_cast<size_t>(width));
    }

    static std::string bytes(const uint8_t* p, size_t n) {
        return std::string(reinterpret_cast<const char*>(p), n);
    }

    testing::RecordingHost host;
};

// The matrix threshold of a cell is the lowest level whose mask lights it.
// The cells of thresholds 255 and 256 are lit by level 255 only (0 here).
int thresholdFromMasks(int r, int c) {
    for (int level = 1; level <= 254; ++level)
        if (ditherMask(r, level) & (0x8000 >> c)) return level;
    return 0;
}

TEST_F(HalftoneTest, masksHoldTheSixteenBySixteenMatrix) {
    const int firstRow[16] = {1, 209, 33, 241, 73, 153, 105, 185, 2, 210, 34, 242, 74, 154, 106, 186};
    for (int c = 0; c < 16; ++c) EXPECT_EQ(firstRow[c], thresholdFromMasks(0, c)) << "column " << c;
    EXPECT_EQ(0, thresholdFromMasks(13, 8));  // 256
    std::multiset<int> seen;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) seen.insert(thresholdFromMasks(r, c));
    EXPECT_EQ(2u, seen.count(0));
    for (int t = 1; t <= 254; ++t) EXPECT_EQ(1u, seen.count(t)) << "threshold " << t;
}

TEST_F(HalftoneTest, levelLLightsLCellsAndLevel255LightsAll) {
    for (int level : {0, 1, 68, 128, 254, 255}) {
        int lit = 0;
        for (int r = 0; r < 16; ++r) lit += __builtin_popcount(ditherMask(r, level));
        EXPECT_EQ(level == 255 ? 256 : level, lit) << "level " << level;
    }
    for (int r = 0; r < 16; ++r) EXPECT_EQ(0xFFFF, ditherMask(r, 255));
}

TEST_F(HalftoneTest, middleGrayRowGivesA0A0) {
    fillRow(16, 128, 128, 128);
    ditherPlanes(0, 16, 0);
    EXPECT_BYTES(std::string("\xA0\xA0\x00\x00", 4), bytes(state.raster.cyan, 4));
}

TEST_F(HalftoneTest, whiteLightsNothingAndBlackLightsEveryPlane) {
    fillRow(32, 255, 255, 255);
    ditherPlanes(5, 32, 1);
    const std::string none(4, '\0');
    EXPECT_BYTES(none, bytes(state.raster.yellow, 4));
    EXPECT_BYTES(none, bytes(state.raster.magenta, 4));
    EXPECT_BYTES(none, bytes(state.raster.cyan, 4));

    fillRow(32, 0, 0, 0);
    ditherPlanes(5, 32, 1);
    const std::string all(4, '\xFF');
    EXPECT_BYTES(all, bytes(state.raster.yellow, 4));
    EXPECT_BYTES(all, bytes(state.raster.magenta, 4));
    EXPECT_BYTES(all, bytes(state.raster.cyan, 4));
    ditherPlanes(5, 32, 0);
    EXPECT_BYTES(all, bytes(state.raster.cyan, 4));
}

TEST_F(HalftoneTest, pureRedFillsYellowAndMagentaOnly) {
    fillRow(16, 255, 0, 0);
    ditherPlanes(3, 16, 1);
    EXPECT_BYTES("\xFF\xFF", bytes(state.raster.yellow, 2));
    EXPECT_BYTES("\xFF\xFF", bytes(state.raster.magenta, 2));
    EXPECT_BYTES(std::string(2, '\0'), bytes(state.raster.cyan, 2));
}

TEST_F(HalftoneTest, rowIndexSixteenRepeatsRowZero) {
    for (int i = 0; i < 64; ++i) state.raster.red[i] = state.raster.green[i] =
        state.raster.blue[i] = static_cast<uint8_t>(i * 4);
    ditherPlanes(0, 64, 0);
    std::string row0 = bytes(state.raster.cyan, 8);
    ditherPlanes(16, 64, 0);
    EXPECT_BYTES(row0, bytes(state.raster.cyan, 8));
    ditherPlanes(1, 64, 0);
    EXPECT_NE(row0, bytes(state.raster.cyan, 8));
}

// A partial word has zero bits past the width, and the bytes a colour plane
// sends beyond its words (floor(w / 8) + 3 of them) are zero, not what an
// earlier, wider row left there.
TEST_F(HalftoneTest, partialWordAndSentTailAreZero) {
    std::memset(state.raster.yellow, 0xEE, 64);
    std::memset(state.raster.magenta, 0xEE, 64);
    std::memset(state.raster.cyan, 0xEE, 64);
    fillRow(64, 0, 0, 0);
    ditherPlanes(0, 19, 1);
    // ceil(19 / 16) = 2 words: FF FF, then E0 00 (3 pixels), then 3 zero bytes.
    EXPECT_BYTES(std::string("\xFF\xFF\xE0\x00\x00\x00\x00\xEE", 8), bytes(state.raster.cyan, 8));
    ditherPlanes(0, 16, 1);
    // 16 pixels: floor(16 / 8) + 3 = 5 bytes are sent, all of this row.
    EXPECT_BYTES(std::string("\xFF\xFF\x00\x00\x00", 5), bytes(state.raster.yellow, 5));
    EXPECT_BYTES(std::string("\xFF\xFF\x00\x00\x00", 5), bytes(state.raster.magenta, 5));
}

TEST_F(HalftoneTest, widthBeyondTheBuffersIsClipped) {
    fillRow(RASTER_ROW_PIXELS, 0, 0, 0);
    ditherPlanes(0, RASTER_ROW_PIXELS + 100, 1);
    EXPECT_EQ(0xFF, state.raster.cyan[RASTER_ROW_PIXELS / 8 - 1]);
    EXPECT_EQ(0x00, state.raster.cyan[RASTER_ROW_PIXELS / 8]);
    ditherPlanes(0, -5, 1);  // nothing to dither; the tail is still cleared
    EXPECT_EQ(0x00, state.raster.cyan[0]);
}

// Every component value meets every cell of every pattern row: pixel i
// carries value i / 16 in column i mod 16, in three different orders for the
// three components, in colour and in monochrome.
TEST_F(HalftoneTest, everyValueInEveryCellMatchesTheMaskLookup) {
    reference::Raster ref(reference::appendTo, nullptr);
    ref.buildMasks();
    const int width = 4096;
    for (int i = 0; i < width; ++i) {
        uint8_t v = static_cast<uint8_t>(i / 16);
        state.raster.red[i] = ref.red[i] = v;
        state.raster.green[i] = ref.green[i] = static_cast<uint8_t>(255 - v);
        state.raster.blue[i] = ref.blue[i] = static_cast<uint8_t>(v * 7 + 3);
    }
    for (int colour = 0; colour <= 1; ++colour)
        for (int row = 0; row < 17; ++row) {
            ditherPlanes(row, width, colour);
            ref.dither(row, width, colour);
            const size_t n = width / 8 + 3;
            EXPECT_BYTES(bytes(ref.cyan.data(), n), bytes(state.raster.cyan, n))
                << "colour " << colour << " row " << row;
            if (colour) {
                EXPECT_BYTES(bytes(ref.yellow.data(), n), bytes(state.raster.yellow, n));
                EXPECT_BYTES(bytes(ref.magenta.data(), n), bytes(state.raster.magenta, n));
            }
        }
}

// Random colours through the monochrome gray, which the fast path computes
// sixteen pixels at a time.
TEST_F(HalftoneTest, monochromeRandomColoursMatchTheMaskLookup) {
    reference::Raster ref(reference::appendTo, nullptr);
    ref.buildMasks();
    const int width = 16 * 1024;
    uint32_t seed = 12345;
    for (int round = 0; round < 64; ++round) {
        for (int i = 0; i < width; ++i) {
            seed = seed * 1664525u + 1013904223u;
            state.raster.red[i] = ref.red[i] = static_cast<uint8_t>(seed >> 24);
            state.raster.green[i] = ref.green[i] = static_cast<uint8_t>(seed >> 16);
            state.raster.blue[i] = ref.blue[i] = static_cast<uint8_t>(seed >> 8);
        }
        ditherPlanes(round, width, 0);
        ref.dither(round, width, 0);
        ASSERT_EQ(bytes(ref.cyan.data(), width / 8), bytes(state.raster.cyan, width / 8))
            << "round " << round;
    }
}

#if defined(__SSE2__)
TEST(GrayLevel, sixteenAtOnceEqualsOneAtATimeForEveryColour) {
    alignas(16) uint8_t r[16], g[16], b[16], gray[16];
    int mismatches = 0;
    for (uint32_t rgb = 0; rgb < (1u << 24); rgb += 16) {
        for (int i = 0; i < 16; ++i) {
            uint32_t c = rgb + static_cast<uint32_t>(i);
            r[i] = static_cast<uint8_t>(c >> 16);
            g[i] = static_cast<uint8_t>(c >> 8);
            b[i] = static_cast<uint8_t>(c);
        }
        __m128i v = graySixteen(_mm_load_si128(reinterpret_cast<const __m128i*>(r)),
                                _mm_load_si128(reinterpret_cast<const __m128i*>(g)),
                                _mm_load_si128(reinterpret_cast<const __m128i*>(b)));
        _mm_store_si128(reinterpret_cast<__m128i*>(gray), v);
        for (int i = 0; i < 16; ++i) mismatches += gray[i] != grayOf(r[i], g[i], b[i]);
    }
    EXPECT_EQ(0, mismatches);
    EXPECT_EQ(255, grayOf(255, 255, 255));
    EXPECT_EQ(76, grayOf(255, 0, 0));
}
#endif

}  // namespace
}  // namespace tavix
