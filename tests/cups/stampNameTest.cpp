// The job's title as the stamp's drawing name: code page 932, 40 bytes at
// the most, never half a character, no control characters.
#include <gtest/gtest.h>

#include "stampName.h"

namespace tavix::cups {
namespace {

struct NameCase {
    const char* name;
    std::string title;  // UTF-8
    std::string stored; // code page 932
};

class StampName : public ::testing::TestWithParam<NameCase> {};

TEST_P(StampName, isTheTitleAsTheDriverStoresIt) { EXPECT_EQ(stampNameOf(GetParam().title), GetParam().stored); }

INSTANTIATE_TEST_SUITE_P(
    Titles, StampName,
    ::testing::Values(
        NameCase{"plain", "plot-pages.pdf", "plot-pages.pdf"},
        NameCase{"fortyBytesKept", std::string(40, 'a'), std::string(40, 'a')},
        NameCase{"longerCut", std::string(41, 'b') + "c", std::string(40, 'b')},
        // 図面 is 0x90 0x7D 0x96 0xCA in code page 932.
        NameCase{"japanese", "\xE5\x9B\xB3\xE9\x9D\xA2", "\x90\x7D\x96\xCA"},
        NameCase{"twoByteCharacterNotHalved", std::string(39, 'x') + "\xE5\x9B\xB3", std::string(39, 'x')},
        NameCase{"lineEndsBlanked", "a\r\nb\tc", "a  b c"},
        NameCase{"empty", "", ""}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavix::cups
