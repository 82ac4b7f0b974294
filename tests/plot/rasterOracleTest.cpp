// The fast encoder against the straightforward one, byte for byte, on whole
// images: the four forms, several magnifications, the key colour, bitonal
// rows, widths that are and are not whole words, and rows past the limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/plot/rasterReference.h"
#include "plot/rtlEncoder.h"
#include "support/recordingHost.h"
#include "tavix/driverState.h"

namespace tavix {
namespace {

struct Row {
    std::vector<uint8_t> data;
    bool bitonal;
    int r, g, b;
};

class Rows {
public:
    explicit Rows(uint32_t seed) : seed_(seed) {}

    uint32_t next() { return seed_ = seed_ * 1664525u + 1013904223u, seed_ >> 8; }

    // Rows of n pixels in every style the host may send.
    std::vector<Row> make(int n) {
        std::vector<Row> rows;
        auto rgb = [&](auto pixel) {
            Row row{std::vector<uint8_t>(3 * static_cast<size_t>(n)), false, 0, 0, 0};
            for (int i = 0; i < n; ++i) pixel(i, &row.data[3 * static_cast<size_t>(i)]);
            rows.push_back(row);
        };
        rgb([&](int, uint8_t* p) { p[0] = static_cast<uint8_t>(next()); p[1] = static_cast<uint8_t>(next()); p[2] = static_cast<uint8_t>(next()); });
        rgb([&](int i, uint8_t* p) { p[0] = static_cast<uint8_t>(i); p[1] = static_cast<uint8_t>(i * 3); p[2] = static_cast<uint8_t>(255 - i); });
        rgb([&](int, uint8_t* p) { p[0] = p[1] = p[2] = 255; });
        rgb([&](int i, uint8_t* p) {  // line art on white, with key-colour pixels
            bool ink = (i / 5) % 9 == 0;
            p[0] = ink ? 0 : 255; p[1] = ink ? 1 : 255; p[2] = ink ? (i % 2 ? 2 : 200) : 255;
        });
        rgb([&](int i, uint8_t* p) {  // a photo-like ramp with noise
            int v = (i * 255) / (n > 1 ? n - 1 : 1) + static_cast<int>(next() % 9) - 4;
            p[0] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
            p[1] = static_cast<uint8_t>(p[0] / 2 + 60);
            p[2] = static_cast<uint8_t>(255 - p[0]);
        });
        rgb([&](int, uint8_t* p) { p[0] = 0; p[1] = 1; p[2] = 2; });  // all key colour
        for (int colour = 0; colour < 8; ++colour) {
            Row row{std::vector<uint8_t>(static_cast<size_t>(n)), true, 0, 0, 0};
            const int table[8][3] = {{255, 255, 255}, {255, 0, 0}, {255, 255, 0}, {0, 255, 0},
                                     {0, 255, 255}, {0, 0, 255}, {255, 0, 255}, {0, 0, 0}};
            row.r = table[colour][0];
            row.g = table[colour][1];
            row.b = table[colour][2];
            for (int i = 0; i < n; ++i) row.data[static_cast<size_t>(i)] = next() % 3 == 0 ? static_cast<uint8_t>(next()) : 0;
            rows.push_back(row);
        }
        return rows;
    }

private:
    uint32_t seed_;
};

class RasterOracleTest : public ::testing::Test {
protected:
    void SetUp() override { host.install(); }

    // Encodes the same image with both encoders and compares the streams.
    void compare(int width, int mode, int colour, int key, int magnify, const std::vector<Row>& rows) {
        std::string expected;
        reference::Raster ref(reference::appendTo, &expected);
        host.output.clear();
        state.image.nonWhitePixels = 0;

        const int height = static_cast<int>(rows.size());
        ref.begin(width, height, mode, colour, key, 0, 1, 2, magnify);
        beginRaster(width, height, mode, colour, key, 0, 1, 2, magnify);
        for (const Row& row : rows) {
            int32_t count = static_cast<int32_t>(row.bitonal ? row.data.size() : row.data.size() / 3);
            ref.encodeRow(count, row.data.data(), row.bitonal, row.r, row.g, row.b);
            encodeRow(count, row.data.data(), row.bitonal, row.r, row.g, row.b);
        }
        EXPECT_EQ(ref.pendingSkip, state.raster.pendingSkip);
        ref.end();
        endRaster();
        SCOPED_TRACE(::testing::Message() << "width " << width << " mode " << mode << " colour "
                                          << colour << " key " << key << " magnify " << magnify);
        EXPECT_BYTES(expected, host.output);
        EXPECT_EQ(ref.nonWhitePixels, state.image.nonWhitePixels);
        EXPECT_EQ(ref.ditherRowIndex, state.raster.ditherRowIndex);
    }

    testing::RecordingHost host;
};

TEST_F(RasterOracleTest, everyFormAtSmallAndOddWidths) {
    Rows rows(1);
    for (int width : {0, 1, 7, 15, 16, 17, 33, 100, 257})
        for (int mode : {0, 2})
            for (int colour : {0, 1})
                for (int magnify : {1, 2, 3})
                    compare(width, mode, colour, width % 2, magnify, rows.make(width));
}

TEST_F(RasterOracleTest, everyFormAtFullPlotterWidth) {
    Rows rows(2);
    std::vector<Row> full = rows.make(14400);
    std::vector<Row> quarter = rows.make(3600);
    for (int mode : {0, 2})
        for (int colour : {0, 1})
            for (int key : {0, 1}) {
                compare(14400, mode, colour, key, 1, full);
                compare(3600, mode, colour, key, 4, quarter);
            }
}

TEST_F(RasterOracleTest, rowsPastTheLimitsAndLargeMagnification) {
    Rows rows(3);
    std::vector<Row> wide = rows.make(31000);
    for (int mode : {0, 2})
        for (int colour : {0, 1}) {
            compare(31000, mode, colour, 1, 1, wide);
            compare(31000, mode, colour, 0, 16, wide);
        }
}

}  // namespace
}  // namespace tavix
