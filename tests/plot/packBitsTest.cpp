// The row packer: the worked results, the piece limits, decoding back, the buffer
// limit, and the fast packer against the straightforward one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plot/packBits.h"
#include "tests/plot/rasterReference.h"
#include "support/recordingHost.h"
#include "tavix/driverState.h"

namespace tavix {
namespace {

// One row packed into the raster state's output, as the encoder packs a
// tone row.
int32_t packRow(int32_t length, const uint8_t* data) {
    return packInto(state.raster.packOutput, length, data);
}

std::string pack(const std::string& raw) {
    int32_t n = packRow(static_cast<int32_t>(raw.size()), reinterpret_cast<const uint8_t*>(raw.data()));
    return std::string(reinterpret_cast<const char*>(state.raster.packOutput), static_cast<size_t>(n));
}

// PackBits decoding as the printer does it; "" when a header is 0x80 or a
// piece is longer than 124 bytes or runs past the end.
std::string unpack(const std::string& packed) {
    std::string out;
    size_t i = 0;
    while (i < packed.size()) {
        int header = static_cast<int8_t>(packed[i++]);
        if (header == -128) return "";
        if (header >= 0) {
            if (header + 1 > 124 || i + static_cast<size_t>(header) + 1 > packed.size()) return "";
            out.append(packed, i, static_cast<size_t>(header) + 1);
            i += static_cast<size_t>(header) + 1;
        } else {
            if (1 - header > 124 || i >= packed.size()) return "";
            out.append(static_cast<size_t>(1 - header), packed[i++]);
        }
    }
    return out;
}

std::vector<std::string> sampleRows() {
    std::vector<std::string> rows;
    uint32_t seed = 99;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
    for (size_t n : {0, 1, 2, 3, 123, 124, 125, 126, 247, 248, 249, 250, 1000, 14400}) {
        rows.push_back(std::string(n, '\0'));
        rows.push_back(std::string(n, '\xFF'));
        std::string random(n, '\0'), art(n, '\0'), pairs(n, '\0'), sparse(n, '\0');
        for (size_t i = 0; i < n; ++i) {
            random[i] = static_cast<char>(next());
            art[i] = (i / 37) % 5 == 0 ? static_cast<char>(0xF0 | (i & 3)) : '\0';
            pairs[i] = static_cast<char>((i / 2) & 0xFF);
            sparse[i] = next() % 7 == 0 ? static_cast<char>(next()) : '\x80';
        }
        rows.push_back(random);
        rows.push_back(art);
        rows.push_back(pairs);
        rows.push_back(sparse);
    }
    return rows;
}

class PackBitsTest : public ::testing::Test {
protected:
    void SetUp() override { host.install(); }
    testing::RecordingHost host;
};

TEST_F(PackBitsTest, workedResults) {
    EXPECT_BYTES(std::string("\xF9\xFF\x00\x00", 4), pack(std::string(8, '\xFF')));
    EXPECT_BYTES(std::string("\xFF\xFF\x00\x00", 4), pack("\xFF\xFF"));
    EXPECT_BYTES(std::string("\x02\x00\x80\xFF\x00\x00", 6), pack(std::string("\x00\x80\xFF", 3)));
    EXPECT_BYTES(std::string("\x01\x01\x02\xFD\x03\x00\x04\x00\x00", 9),
                 pack("\x01\x02\x03\x03\x03\x03\x04"));
    EXPECT_BYTES(std::string("\x85\x07\x85\x07\xCD\x07\x00\x00", 8), pack(std::string(300, '\x07')));
}

// The worst case: one-byte literals between two-byte repeats, 4 bytes for 3,
// within the packer output even for a full 60000-byte row.
TEST_F(PackBitsTest, worstCaseFitsTheOutputBuffer) {
    std::string raw;
    for (int i = 0; raw.size() < PACK_INPUT_SIZE; ++i) {
        raw += static_cast<char>(3 * i);
        raw += std::string(2, static_cast<char>(3 * i + 1));
    }
    std::string packed = pack(raw);
    EXPECT_EQ(static_cast<size_t>(packedBound(PACK_INPUT_SIZE)), packed.size());
    EXPECT_LE(packed.size(), static_cast<size_t>(PACK_OUTPUT_SIZE));
    EXPECT_EQ(raw + std::string(1, '\0'), unpack(packed));
}

TEST_F(PackBitsTest, piecesStopAt124Bytes) {
    // A repeat of 125 leaves a one-byte literal that is not merged with the
    // literal stretch after it.
    std::string raw = std::string(125, 'A') + "BC";
    EXPECT_BYTES(std::string("\x85" "A" "\x00" "A" "\x01" "BC" "\x00\x00", 9), pack(raw));
    // 125 different bytes: a full literal piece (header 0x7B), then one more.
    std::string literal;
    for (int i = 0; i < 125; ++i) literal += static_cast<char>(i);
    std::string packed = pack(literal);
    ASSERT_EQ(125u + 2 + 2, packed.size());
    EXPECT_EQ('\x7B', packed[0]);
    EXPECT_EQ('\x00', packed[125]);
    EXPECT_EQ(literal.substr(124), packed.substr(126, 1));
    EXPECT_BYTES(std::string(2, '\0'), pack(""));
}

TEST_F(PackBitsTest, decodesBackWithTheClosingZeroByte) {
    for (const std::string& raw : sampleRows()) {
        std::string packed = pack(raw);
        ASSERT_EQ(raw + std::string(1, '\0'), unpack(packed)) << "length " << raw.size();
    }
}

TEST_F(PackBitsTest, fastPackerMatchesTheStraightforwardOne) {
    reference::Raster ref(reference::appendTo, nullptr);
    for (const std::string& raw : sampleRows()) {
        int32_t n = ref.packRow(static_cast<int32_t>(raw.size()),
                                reinterpret_cast<const uint8_t*>(raw.data()));
        EXPECT_BYTES(std::string(reinterpret_cast<const char*>(ref.packOutput.data()), static_cast<size_t>(n)),
                     pack(raw));
    }
}

// More than 60000 bytes offered: only the first 60000 are packed, and the
// packer output is never overrun, even by incompressible bytes.
TEST_F(PackBitsTest, rowsBeyondTheInputLimitAreClipped) {
    std::string raw(70000, '\0');
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<char>(i);  // no two neighbours equal
    std::string packed = pack(raw);
    EXPECT_EQ(static_cast<size_t>(PACK_INPUT_SIZE + 484 + 2), packed.size());  // 484 literal pieces
    EXPECT_EQ(raw.substr(0, PACK_INPUT_SIZE) + std::string(1, '\0'), unpack(packed));
    EXPECT_EQ(2, packRow(-1, reinterpret_cast<const uint8_t*>(raw.data())));
    EXPECT_EQ(2, packRow(10, nullptr));
}

}  // namespace
}  // namespace tavix
