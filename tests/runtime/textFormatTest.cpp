#include "runtime/textFormat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace tavix {
namespace {

std::string fixed(double v, int decimals) {
    char out[64];
    formatFixed(out, sizeof out, v, decimals);
    return out;
}

TEST(FormatFixed, exactTiesRoundAwayFromZero) {
    EXPECT_EQ("0.13", fixed(0.125, 2));
    EXPECT_EQ("-0.13", fixed(-0.125, 2));
    EXPECT_EQ("0.063", fixed(0.0625, 3));
    EXPECT_EQ("3", fixed(2.5, 0));
    EXPECT_EQ("0.4", fixed(0.375, 1));
}

TEST(FormatFixed, nonTiesRoundToNearestOnTheExactBinaryValue) {
    // 0.015 is stored as 0.01499999999999999944...: below the tie.
    EXPECT_EQ("0.01", fixed(0.015, 2));
    // 2.675 is stored as 2.67499999999999982236431605997495353221893310546875.
    EXPECT_EQ("2.67", fixed(2.675, 2));
    EXPECT_EQ("0.254", fixed(0.254f, 3));
    EXPECT_EQ("297.000", fixed(297.0, 3));
    EXPECT_EQ("0.000", fixed(0.0, 3));
    EXPECT_EQ("2.0", fixed(2.0, 1));
    EXPECT_EQ("-2.25", fixed(-2.25, 2));
    EXPECT_EQ("1.50", fixed(1.5, 2));
}

TEST(FormatFixed, nonFiniteValuesAreWrittenAsZero) {
    EXPECT_EQ("0.000", fixed(std::numeric_limits<double>::quiet_NaN(), 3));
    EXPECT_EQ("0.00", fixed(std::numeric_limits<double>::infinity(), 2));
}

TEST(FormatFixed, ignoresTheProcessLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ("0.254", fixed(0.254, 3));
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(FormatFixed, cutsToTheCapacity) {
    char out[4];
    EXPECT_EQ(3u, formatFixed(out, sizeof out, 123.456, 3));
    EXPECT_STREQ("123", out);
}

TEST(TextBuilder, buildsInstructionsAndNeverOverruns) {
    char buffer[16];
    TextBuilder b(buffer, sizeof buffer);
    b.text("PS").integer(33528).character(',').integer(-22352);
    EXPECT_STREQ("PS33528,-22352", b.str());
    EXPECT_FALSE(b.truncated());
    b.text("XYZ");
    EXPECT_STREQ("PS33528,-22352X", b.str());
    EXPECT_TRUE(b.truncated());
    EXPECT_EQ(15u, b.length());
}

TEST(TextBuilder, widthPadsLikePrintf) {
    char buffer[32];
    TextBuilder b(buffer, sizeof buffer);
    b.integer(2, 2).character('|').integer(15, 2).character('|').integer(123, 2);
    EXPECT_STREQ(" 2|15|123", b.str());
}

}  // namespace
}  // namespace tavix
