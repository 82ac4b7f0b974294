// The stamp texts as the job ticket carries them: code page 932, within
// the driver's bytes, never half a character, and a warning for whatever
// the conversion loses; through `tavix configure` to the plotted ticket.
#include <gtest/gtest.h>

#include "e2eSupport.h"
#include "stampText.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;
using testing::contains;

struct TextCase {
    const char* name;
    std::string utf8;
    size_t limit;
    std::string cp932;
    std::vector<std::string> warnings;  // words each warning holds, in order
};

class StampTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(StampTexts, convertCutAndSayWhatWasLost) {
    const TextCase& c = GetParam();
    StampText text = stampTextOf(c.utf8, c.limit, "--draw-name");
    EXPECT_EQ(c.cp932, text.cp932);
    ASSERT_EQ(c.warnings.size(), text.warnings.size()) << (text.warnings.empty() ? "" : text.warnings[0]);
    for (size_t i = 0; i < c.warnings.size(); ++i)
        EXPECT_TRUE(contains(text.warnings[i], c.warnings[i])) << text.warnings[i];
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StampTexts,
    ::testing::Values(
        TextCase{"ascii", "Plan A-3", 40, "Plan A-3", {}},
        // 図面 is 90 7D 96 CA; ｱ (half-width katakana) B1; × 81 7E; ° 81 8B.
        TextCase{"japanese", "\xE5\x9B\xB3\xE9\x9D\xA2\xEF\xBD\xB1", 40, "\x90\x7D\x96\xCA\xB1", {}},
        TextCase{"signsTheCodePageHas", "3\xC3\x97" "4 45\xC2\xB0", 40, "3\x81\x7E" "4 45\x81\x8B", {}},
        TextCase{"umlautsLacking", "Gr\xC3\xB6\xC3\x9F" "e \xC3\xB6", 40, "Gr??e ?",
                 {"--draw-name: '\xC3\xB6', '\xC3\x9F' are not in code page 932 (Shift-JIS), which the job ticket "
                  "uses: written as '?'"}},
        TextCase{"questionMarkItselfIsKept", "why?", 40, "why?", {}},
        TextCase{"strayBytesNamedByValue", "a\xFF" "b", 40, "a?b", {"'\\xFF' is not in code page 932"}},
        TextCase{"fortyBytesWhole", std::string(40, 'a'), 40, std::string(40, 'a'), {}},
        TextCase{"longerCut", std::string(45, 'b'), 40, std::string(40, 'b'),
                 {"--draw-name: 45 bytes in code page 932, the driver keeps 40: cut to 'bbbb"}},
        TextCase{"twoByteCharacterNotHalved", std::string(39, 'x') + "\xE5\x9B\xB3", 40, std::string(39, 'x'),
                 {"41 bytes in code page 932, the driver keeps 40: cut to '" + std::string(39, 'x') + "'"}},
        TextCase{"commentLimit", std::string(80, 'c') + "d", 80, std::string(80, 'c'), {"the driver keeps 80"}},
        TextCase{"controlsBlanked", "a\r\nb\tc", 40, "a  b c", {}},
        TextCase{"empty", "", 40, "", {}}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(StampTextsInTheTicket, configureWarnsAndThePlotCarriesTheConvertedName) {
    ScratchDirectory scratch;
    testing::Ran ran = testing::runTavix({"configure", "--defaults", "--model", "tx90", "--paper", "A3", "--output",
                                          "option", "--stamp", "on", "--draw-name", "Gr\xC3\xB6\xC3\x9F" "e",
                                          "--comment", "\xE5\x9B\xB3\xE9\x9D\xA2 " + std::string(90, 'k')});
    ASSERT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: warning: --draw-name: '\xC3\xB6', '\xC3\x9F' are not in code page 932"))
        << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: warning: --comment: 95 bytes in code page 932, the driver keeps 80: cut to "))
        << ran.err;
    writeWholeFile("d.txt", "move 1 1\ndraw 100 100\n");
    ran = testing::runTavix({"plot", "-q", "d.txt", "-o", "out.plt"});
    ASSERT_EQ(0, ran.status) << ran.err;
    std::string stream = tavix::testing::readWholeFile("out.plt");
    EXPECT_TRUE(contains(stream, "Text=Gr??e\r\n\x90\x7D\x96\xCA " + std::string(75, 'k') + "\r\nTextEnd\r\n"))
        << stream.substr(0, 600);
}

}  // namespace
}  // namespace tavix::host
