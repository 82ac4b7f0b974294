#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/decimalText.h"
#include "runtime/shiftJis.h"

namespace tavix {
namespace {

TEST(DecimalInteger, leadingBlanksSignAndDigits) {
    EXPECT_EQ(100, parseDecimalInteger("100\n"));
    EXPECT_EQ(-12, parseDecimalInteger(" \t\r\v\f\n-12abc"));
    EXPECT_EQ(7, parseDecimalInteger("+7"));
    EXPECT_EQ(0, parseDecimalInteger("abc"));
    EXPECT_EQ(0, parseDecimalInteger(""));
    EXPECT_EQ(0, parseDecimalInteger("- 5"));
    EXPECT_EQ(0, parseDecimalInteger("+-5"));
    EXPECT_EQ(12, parseDecimalInteger("12.9"));
    EXPECT_EQ(0, parseDecimalInteger("0x10"));
}

TEST(DecimalInteger, beyondThe32BitRangeGivesTheLimit) {
    EXPECT_EQ(std::numeric_limits<int32_t>::max(), parseDecimalInteger("2147483647"));
    EXPECT_EQ(std::numeric_limits<int32_t>::max(), parseDecimalInteger("2147483648"));
    EXPECT_EQ(std::numeric_limits<int32_t>::max(), parseDecimalInteger("99999999999999999999999"));
    EXPECT_EQ(std::numeric_limits<int32_t>::min(), parseDecimalInteger("-2147483648"));
    EXPECT_EQ(std::numeric_limits<int32_t>::min(), parseDecimalInteger("-99999999999999999999"));
}

TEST(DecimalNumber, plainDecimalForms) {
    EXPECT_EQ(25.4, parseDecimalNumber("25.4"));
    EXPECT_EQ(0.1, parseDecimalNumber("0.1"));  // the nearest double
    EXPECT_EQ(0.5, parseDecimalNumber(".5"));
    EXPECT_EQ(5.0, parseDecimalNumber("5."));
    EXPECT_EQ(-2.0, parseDecimalNumber("-2"));
    EXPECT_EQ(3.25, parseDecimalNumber("  +3.25mm"));
    EXPECT_EQ(100.0, parseDecimalNumber("1e2"));
    EXPECT_EQ(0.15, parseDecimalNumber("1.5E-1"));
    EXPECT_EQ(250.0, parseDecimalNumber("2.5e+2x"));
    EXPECT_EQ(0.254, parseDecimalNumber("0.254\n"));
}

TEST(DecimalNumber, anExponentCountsOnlyWithDigits) {
    EXPECT_EQ(1.0, parseDecimalNumber("1e"));
    EXPECT_EQ(1.0, parseDecimalNumber("1e+"));
    EXPECT_EQ(1.0, parseDecimalNumber("1E-x"));
    EXPECT_EQ(1.5, parseDecimalNumber("1.5,3"));  // the point is always '.'
}

TEST(DecimalNumber, nothingElseIsANumber) {
    for (const char* text : {"", ".", "-.", "e5", ".e1", "inf", "INFINITY", "nan", "-nan", "x1"})
        EXPECT_EQ(0.0, parseDecimalNumber(text)) << text;
    EXPECT_EQ(0.0, parseDecimalNumber("0x1p4"));  // "0", then 'x'
}

TEST(DecimalNumber, valuesBeyondADouble) {
    EXPECT_TRUE(std::isinf(parseDecimalNumber("1e400")));
    EXPECT_GT(parseDecimalNumber("1e400"), 0.0);
    EXPECT_LT(parseDecimalNumber("-1e400"), 0.0);
    EXPECT_EQ(0.0, parseDecimalNumber("1e-400"));
    EXPECT_EQ(0.0, parseDecimalNumber("0e999999999999999999"));
}

TEST(ShiftJis, prefixesEndOnACharacterBoundary) {
    const char* text = "ab\x90\x7d" "c";  // a b 図 c
    EXPECT_EQ(2u, shiftJisPrefixLength(text, 2));
    EXPECT_EQ(2u, shiftJisPrefixLength(text, 3));
    EXPECT_EQ(4u, shiftJisPrefixLength(text, 4));
    EXPECT_EQ(5u, shiftJisPrefixLength(text, 80));
    EXPECT_EQ(0u, shiftJisPrefixLength("", 5));
    // Half-width katakana are single bytes; a trail byte 0x5C stays with its
    // lead byte.
    EXPECT_EQ(3u, shiftJisPrefixLength("\xCA\xDF\xD7", 3));
    EXPECT_EQ(0u, shiftJisPrefixLength("\x94\x5C", 1));
    // A lead byte at the end of the text counts as one byte.
    EXPECT_EQ(2u, shiftJisPrefixLength("a\x90", 5));
    EXPECT_TRUE(isShiftJisLeadByte(0x81));
    EXPECT_TRUE(isShiftJisLeadByte(0xFC));
    EXPECT_FALSE(isShiftJisLeadByte(0xA5));
    EXPECT_FALSE(isShiftJisLeadByte(0x5C));
}

}  // namespace
}  // namespace tavix
