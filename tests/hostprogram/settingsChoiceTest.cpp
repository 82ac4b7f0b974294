// Choosing a model and a paper and seeing what is set: paper labels match
// whatever their case, a start that fits several papers lists them instead
// of taking the first, the configured message names model, paper and plot
// area, and `configure --show`, `models` and `papers` print the settings
// and the choices in plain words.
#include <gtest/gtest.h>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::ScratchDirectory;

using testing::contains;

class SettingsChoice : public ::testing::Test {
protected:
    ScratchDirectory scratch;
};

TEST_F(SettingsChoice, paperLabelsMatchWholeOrByAnUnambiguousStart) {
    struct Case {
        const char* paper;
        int status;
        std::vector<const char*> says;
    } cases[] = {
        {"a1", 0, {"tavix: configured TX-90-TAVIX E, paper A1 (841.0mm x 594.0mm), plot area "}},
        {"A1", 0, {"paper A1 (841.0mm x 594.0mm)"}},
        {"max", 0, {"paper MAX (15240.0mm x 914.4mm)"}},
        {"arch e", 0, {"paper ARCH E (1219.2mm x 914.4mm)"}},
        {"long plot 6553", 0, {"paper Long plot (6553.0mm x 914.4mm)"}},
        {"23", 0, {"paper Long plot (6553.0mm x 914.4mm)"}},
        {"A", 1, {"tavix: refused: --paper A: it fits several papers:", "   1  ARCH E", "  13  A0", "  17  A4"}},
        {"B", 1, {"tavix: refused: --paper B: it fits several papers:", "  18  B1", "  21  B4"}},
        {"Long", 1, {"tavix: refused: --paper Long: it fits several papers:", "  22  Long plot  3276.0mm",
                     "  24  Long plot 13106.0mm"}},
        {"A9", 1, {"tavix: refused: --paper A9: this model has no such paper; its papers are:"}},
    };
    for (const Case& c : cases) {
        testing::Ran ran = testing::runTavix({"configure", "--defaults", "--model", "tx90", "--paper", c.paper});
        EXPECT_EQ(c.status, ran.status) << c.paper << ": " << ran.err;
        for (const char* s : c.says) EXPECT_TRUE(contains(ran.err, s)) << c.paper << ": " << s << "\n" << ran.err;
    }
    // "B" lists the B papers, not the ARCH B or ANSI B.
    testing::Ran ran = testing::runTavix({"configure", "--defaults", "--paper", "B"});
    EXPECT_FALSE(contains(ran.err, "ARCH B")) << ran.err;
}

TEST_F(SettingsChoice, aModelThatChangesThePaperSaysSo) {
    ASSERT_EQ(0, testing::runTavix({"configure", "--defaults", "--model", "tx90", "--paper", "A0"}).status);
    testing::Ran ran = testing::runTavix({"configure", "--model", "tx30"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.err, "tavix: the paper changed from A0 (1189.0mm x 841.0mm) to ")) << ran.err;
    EXPECT_TRUE(contains(ran.err, "configured TX-30-TAVIX E, paper ")) << ran.err;
    // The same model again: nothing changes, nothing to say.
    ran = testing::runTavix({"configure", "--model", "tx30"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_FALSE(contains(ran.err, "paper changed")) << ran.err;
}

TEST_F(SettingsChoice, showPrintsTheSettingsInPlainWords) {
    ASSERT_EQ(0, testing::runTavix({"configure", "--defaults", "--model", "tx70", "--paper", "A2", "--colour", "colour",
                                    "--line-end", "square", "--output", "option", "--pen-setting", "on",
                                    "--pen-width", "3=0.5", "--pen-gray", "4=40", "--stamp", "on"})
                     .status);
    testing::Ran ran = testing::runTavix({"configure", "--show"});
    EXPECT_EQ(0, ran.status) << ran.err;
    for (const char* s : {"model:      TX-70-TAVIX E\n", "paper:      A2 (594.0mm x 420.0mm)\n", "plot area:  ",
                          "colour:     colour\n", "fill:       black\n", "line end:   square\n", "stamp:      on",
                          "pens 1-2:    width 0.254 mm, gray 100\n", "pen 3:       width 0.500 mm, gray 100\n",
                          "pen 4:       width 0.254 mm, gray 40\n", "pens 5-255:  width 0.254 mm, gray 100\n"})
        EXPECT_TRUE(contains(ran.out, s)) << s << "\n" << ran.out;
    // Showing changes nothing and needs a configuration.
    ran = testing::runTavix({"--config", "none.cfg", "configure", "--show"});
    EXPECT_EQ(1, ran.status);
    EXPECT_TRUE(contains(ran.err, "tavix: no configuration in none.cfg: run 'tavix configure' first")) << ran.err;
}

TEST_F(SettingsChoice, modelsAndPapersListTheChoices) {
    testing::Ran ran = testing::runTavix({"models"});
    EXPECT_EQ(0, ran.status) << ran.err;
    for (const char* s : {"tx90       TX-90-TAVIX E", "tx70       TX-70-TAVIX E", "lumen-q1   Lumen Q1-TAVIX E",
                          "tx-series  TX Series TAVIX E"})
        EXPECT_TRUE(contains(ran.out, s)) << s << "\n" << ran.out;
    ran = testing::runTavix({"papers"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(contains(ran.out, "  25  MAX       15240.0mm x 914.4mm")) << ran.out;
    ran = testing::runTavix({"papers", "--model", "tx30"});
    EXPECT_EQ(0, ran.status) << ran.err;
    EXPECT_FALSE(contains(ran.out, "ARCH E")) << ran.out;
    EXPECT_TRUE(contains(ran.out, "   1  ARCH D")) << ran.out;
    EXPECT_TRUE(contains(ran.out, "  17  MAX       15240.0mm x 609.6mm")) << ran.out;
    ran = testing::runTavix({"papers", "--model", "tx99"});
    EXPECT_EQ(2, ran.status) << ran.err;
}

TEST_F(SettingsChoice, everyCommandHasAVersion) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"--version"}, {"configure", "--version"}, {"plot", "--version"}, {"preview", "--version"},
             {"models", "--version"}, {"papers", "--version"}}) {
        testing::Ran ran = testing::runTavix(args);
        EXPECT_EQ(0, ran.status) << args[0] << ": " << ran.err;
        EXPECT_EQ(0u, ran.out.rfind("tavix ", 0)) << args[0] << ": " << ran.out;
    }
}

}  // namespace
}  // namespace tavix::host
