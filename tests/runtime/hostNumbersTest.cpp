#include "runtime/hostNumbers.h"

#include <gtest/gtest.h>

#include <limits>

#include "tavix/packet.h"

namespace tavix {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double INF = std::numeric_limits<double>::infinity();

TEST(HostNumbers, hostDoublesAreFiniteAndBounded) {
    EXPECT_EQ(33.5, saneHostDouble(33.5, 0));
    EXPECT_EQ(-2.0, saneHostDouble(-2.0, 0));
    EXPECT_EQ(7.0, saneHostDouble(NaN, 7.0));
    EXPECT_EQ(HOST_DOUBLE_LIMIT, saneHostDouble(INF, 0));
    EXPECT_EQ(-HOST_DOUBLE_LIMIT, saneHostDouble(-INF, 0));
    EXPECT_EQ(HOST_DOUBLE_LIMIT, saneHostDouble(1e300, 0));
    EXPECT_EQ(-HOST_DOUBLE_LIMIT, saneHostDouble(-1e300, 0));
    uint8_t record[20] = {};
    writeF64(record, 3, NaN);
    EXPECT_EQ(508.0, hostDouble(record, 3, 508.0));
    writeF64(record, 11, 129.0);
    EXPECT_EQ(129.0, hostDouble(record, 11, 0));
}

TEST(HostNumbers, integerConversionsSaturate) {
    EXPECT_EQ(33528, floorToInt32(33528.9));
    EXPECT_EQ(-3, floorToInt32(-2.5));
    EXPECT_EQ(0, floorToInt32(NaN));
    EXPECT_EQ(INT32_MAX, floorToInt32(INF));
    EXPECT_EQ(INT32_MIN, floorToInt32(-INF));
    EXPECT_EQ(INT32_MAX, floorToInt32(2147483647.5));
    EXPECT_EQ(INT32_MIN, floorToInt32(-2147483648.5));
    EXPECT_EQ(INT32_MAX, clampToInt32(int64_t{1} << 40));
    EXPECT_EQ(INT32_MIN, clampToInt32(-(int64_t{1} << 40)));
    EXPECT_EQ(-5, clampToInt32(-5));
}

}  // namespace
}  // namespace tavix
