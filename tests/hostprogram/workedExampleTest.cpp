// The job preamble's worked example end to end: its requests written as a
// drawing file, its settings chosen through `tavix configure`, the plot area
// the host asks for in the host configuration, and the whole printer stream
// compared byte for byte: PJL switch, set-up, the 255-pen palette, the
// vectors, the fill and the trailer. The same in 8-bit PE and in monochrome,
// in this process and through the program.
#include <gtest/gtest.h>

#include <sstream>

#include "e2eSupport.h"
#include "support/recordingHost.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::ScratchDirectory;

// The colour-number palette, ten entries a row as red,green,blue, entries
// 0 to 255 (the preamble writes 1 to 255).
const char* const PALETTE_ROWS[] = {
    "0,0,0 255,0,0 255,255,0 0,255,0 0,255,255 0,0,255 255,0,255 0,0,0 191,191,191 127,127,127",
    "255,0,0 255,127,127 165,0,0 165,81,81 127,0,0 127,63,63 73,0,0 73,35,35 35,0,0 35,17,17",
    "255,63,0 255,158,127 165,40,0 165,102,81 127,30,0 127,79,63 73,17,0 73,45,35 35,7,0 35,22,17",
    "255,127,0 255,191,127 165,81,0 165,122,81 127,63,0 127,94,63 73,35,0 73,56,35 35,17,0 35,28,17",
    "255,191,0 255,221,127 165,122,0 165,142,81 127,94,0 127,109,63 73,56,0 73,66,35 35,28,0 35,33,17",
    "255,255,0 255,255,127 165,165,0 165,165,81 127,127,0 127,127,63 73,73,0 71,73,35 35,35,0 35,35,17",
    "191,255,0 221,255,127 122,165,0 142,165,81 94,127,0 109,127,63 56,73,0 66,73,35 28,35,0 33,35,17",
    "127,255,0 191,255,127 81,165,0 122,165,81 63,127,0 94,127,63 35,73,0 56,73,35 17,35,0 28,35,17",
    "63,255,0 158,255,127 40,165,0 102,165,81 30,127,0 79,127,63 17,73,0 45,73,35 7,35,0 22,35,17",
    "0,255,0 127,255,127 0,165,0 81,165,81 0,127,0 63,127,63 0,73,0 35,73,35 0,35,0 17,35,17",
    "0,255,63 127,255,158 0,165,40 81,165,102 0,127,79 63,127,79 0,73,17 35,73,45 0,35,7 17,35,22",
    "0,255,127 127,255,191 0,165,81 81,165,122 0,127,63 63,127,94 0,73,35 35,73,56 0,35,17 17,35,28",
    "0,255,191 127,255,221 0,165,122 81,165,142 0,127,94 63,127,109 0,73,56 35,73,66 0,35,28 17,35,33",
    "0,255,255 127,255,255 0,165,165 81,165,165 0,127,153 63,127,127 0,73,73 35,73,73 0,35,35 17,35,35",
    "0,191,255 127,221,255 0,122,165 81,142,165 0,94,127 63,109,127 0,56,73 35,66,73 0,28,35 17,33,35",
    "0,127,255 127,191,255 0,81,165 81,122,165 0,63,127 63,94,127 0,35,73 35,56,73 0,17,35 17,28,35",
    "0,63,255 127,158,255 0,40,165 81,102,165 0,30,127 63,79,127 0,17,73 35,45,73 0,7,35 17,22,35",
    "0,0,255 127,127,255 0,0,165 81,81,165 0,0,127 63,63,127 0,0,73 35,35,73 0,0,35 17,17,35",
    "63,0,255 158,127,255 40,0,165 102,81,165 30,0,127 79,63,127 17,0,73 45,35,73 7,0,35 22,17,35",
    "127,0,255 191,127,255 81,0,165 122,81,165 63,0,127 94,63,127 35,0,73 56,35,73 17,0,35 28,17,35",
    "191,0,255 221,127,255 122,0,165 142,81,165 94,0,127 109,63,127 56,0,73 66,35,73 28,0,35 33,17,35",
    "255,0,255 255,127,255 165,0,165 165,81,165 127,0,127 127,63,127 73,0,73 73,35,73 35,0,35 35,17,35",
    "255,0,191 255,127,221 165,0,122 165,81,142 127,0,94 127,63,109 73,0,56 73,35,66 35,0,28 35,17,33",
    "255,0,127 255,127,191 165,0,81 165,81,122 127,0,63 127,63,94 73,0,35 73,35,56 35,0,17 35,17,28",
    "255,0,63 255,127,158 165,0,40 165,81,102 127,0,30 127,63,79 73,0,17 73,35,45 35,0,7 35,17,22",
    "84,84,84 117,117,117 150,150,150 186,186,186 219,219,219 255,255,255",
};

struct Rgb {
    int r, g, b;
};

std::vector<Rgb> palette() {
    std::vector<Rgb> entries;
    for (const char* row : PALETTE_ROWS) {
        std::istringstream words(row);
        std::string word;
        while (words >> word) {
            Rgb c{};
            std::sscanf(word.c_str(), "%d,%d,%d", &c.r, &c.g, &c.b);
            entries.push_back(c);
        }
    }
    return entries;
}

// "PC1,..." to "PC255,...": the palette colours, or in monochrome the gray
// (30 R + 59 G + 11 B) / 100 of every entry whose components differ.
std::string pcInstructions(bool colour) {
    std::vector<Rgb> entries = palette();
    EXPECT_EQ(256u, entries.size());
    std::string text;
    for (int p = 1; p < 256 && p < static_cast<int>(entries.size()); ++p) {
        Rgb c = entries[static_cast<size_t>(p)];
        if (!colour && !(c.r == c.g && c.g == c.b)) {
            int gray = std::min(255, (30 * c.r + 59 * c.g + 11 * c.b) / 100);
            c = {gray, gray, gray};
        }
        text += "PC" + std::to_string(p) + "," + std::to_string(c.r) + "," + std::to_string(c.g) + "," +
                std::to_string(c.b);
    }
    return text;
}

// Everything up to the first drawing request, for a 33 x 22 inch plot area
// at 1016 steps per inch, line end butt (LA1,1).
std::string preamble(bool colour) {
    return "\x1b%-12345X@PJL ENTER LANGUAGE = HPGL2\n\x1b%-1B;BP;IN;"
           "PS33528,22352IP0,0,33528,22352SC0,33528,0,22352IW0,0,33528,22352"
           "LA1,1,2,6SP7RFNP256CR0,255,0,255,0,255" +
           pcInstructions(colour) + "PUPA0,0PRTR0";
}

// The example's requests in 7-bit PE: 100 is "Ge", 200 "Ok", -100 "He",
// -200 "Pk", 0 "_".
const std::string COLOUR_7BIT_BODY = std::string("SP3") + "PE7<GeGe" + "Ok_" + "_Ge" +
                                     ";SP5PE7<PkGe;PM0PE7Ge__GeHeHe;PM2FP" + ";PUSP0;PG;RP1";

// In 8-bit PE (base 64): 100 is "G" 0xC2, 200 "O" 0xC5, -100 "H" 0xC2,
// -200 "P" 0xC5, 0 the byte 0xBF; the introducer is "PE".
const std::string COLOUR_8BIT_BODY = std::string("SP3") + "PE<G\xc2G\xc2" + "O\xc5\xbf" + "\xbfG\xc2" +
                                     ";SP5PE<P\xc5G\xc2;PM0PEG\xc2\xbf\xbfG\xc2H\xc2H\xc2;PM2FP" +
                                     ";PUSP0;PG;RP1";

// Monochrome with black fill: every pen is 7, the fill is black and the
// colour is selected after it.
const std::string MONO_7BIT_BODY = std::string("SP7") + "PE7<GeGe" + "Ok_" + "_Ge" +
                                   ";SP7PE7<PkGe;PM0PE7Ge__GeHeHe;PM2FPSP5" + ";PUSP0;PG;RP1";

const std::vector<std::string> EXAMPLE_SETTINGS = {
    "--defaults", "--model",    "tx90", "--paper",  "A1",   "--margin", "off",      "--colour",
    "colour",     "--line-end", "butt", "--copies", "2",    "--output", "standard",
};

std::string drawingText() { return tavix::testing::readWholeFile(testing::dataPath("worked-example.txt")); }

// The area the host asks for; 7-bit or 8-bit PE, which no dialog changes.
void exampleArea(const std::string& configPath, bool eightBit) {
    testing::editConfig(configPath, [eightBit](HostConfig& c) {
        c.plotWidth = 33.0;
        c.plotHeight = 22.0;
        testing::setFlag(c, testing::FLAGS_A, testing::EIGHT_BIT_PE, eightBit);
    });
}

TEST(WorkedExample, theDialogsStoreTheExampleSettings) {
    ScratchDirectory scratch;
    std::string messages;
    ASSERT_EQ(0, testing::configure("example.cfg", EXAMPLE_SETTINGS, &messages)) << messages;
    HostConfig c;
    bool exists = false;
    std::string error;
    ASSERT_TRUE(loadHostConfig("example.cfg", c, exists, error)) << error;
    ASSERT_TRUE(c.hasBlock);
    EXPECT_EQ(2, c.block[0]);                  // copies
    EXPECT_EQ(0, c.block[20]);                 // line end butt
    EXPECT_EQ(0x80, c.block[10] & 0x81);       // colour on, output option off
    EXPECT_EQ(0x00, c.block[8] & 0x10);        // black fill
    EXPECT_EQ(0x20, c.block[8] & 0x20);        // 8-bit PE: the default no dialog changes
    EXPECT_EQ(0, c.block[36]);                 // the TX-90's row
    EXPECT_NE(std::string::npos, messages.find("configured TX-90-TAVIX E")) << messages;
    // The driver's pen settings file, where it keeps it.
    EXPECT_EQ("PenGray1=100", tavix::testing::readWholeFile("tavixdrv.def").substr(0, 12));
}

TEST(WorkedExample, colourAnd7BitPEGiveTheExampleBytes) {
    ScratchDirectory scratch;
    ASSERT_EQ(0, testing::configure("example.cfg", EXAMPLE_SETTINGS));
    exampleArea("example.cfg", false);
    testing::Plotted p = testing::plot("example.cfg", drawingText());
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(5, p.requests);
    EXPECT_BYTES(preamble(true) + COLOUR_7BIT_BODY, p.stream);
    EXPECT_EQ("", p.log);  // no device-control strings, no messages
}

TEST(WorkedExample, eightBitPEGivesTheSameVectorsInBase64) {
    ScratchDirectory scratch;
    ASSERT_EQ(0, testing::configure("example.cfg", EXAMPLE_SETTINGS));
    exampleArea("example.cfg", true);
    testing::Plotted p = testing::plot("example.cfg", drawingText());
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_BYTES(preamble(true) + COLOUR_8BIT_BODY, p.stream);
}

TEST(WorkedExample, monochromeWritesGrayPensAndPen7) {
    ScratchDirectory scratch;
    std::vector<std::string> settings = EXAMPLE_SETTINGS;
    settings[8] = "mono";
    settings.insert(settings.end(), {"--fill", "black"});
    ASSERT_EQ(0, testing::configure("example.cfg", settings));
    exampleArea("example.cfg", false);
    testing::Plotted p = testing::plot("example.cfg", drawingText());
    ASSERT_TRUE(p.ok) << p.error;
    std::string expected = preamble(false) + MONO_7BIT_BODY;
    EXPECT_BYTES(expected, p.stream);
    // The gray palette's first entries as the pen part gives them.
    EXPECT_NE(std::string::npos, expected.find("PC1,76,76,76PC2,226,226,226"));
    EXPECT_NE(std::string::npos, expected.find("PC8,191,191,191PC9,"));
}

TEST(WorkedExample, theProgramWritesTheSameBytesToAFileAndToStandardOutput) {
    ScratchDirectory scratch;
    std::vector<std::string> configure = {"--config", "example.cfg", "configure"};
    configure.insert(configure.end(), EXAMPLE_SETTINGS.begin(), EXAMPLE_SETTINGS.end());
    testing::Ran ran = testing::runTavix(configure);
    ASSERT_EQ(0, ran.status) << ran.err;
    EXPECT_EQ("", ran.out);
    exampleArea("example.cfg", false);
    std::string drawing = testing::dataPath("worked-example.txt");
    std::string expected = preamble(true) + COLOUR_7BIT_BODY;

    ran = testing::runTavix({"--config", "example.cfg", "plot", drawing, "-o", "example.plt"});
    ASSERT_EQ(0, ran.status) << ran.err;
    EXPECT_BYTES(expected, tavix::testing::readWholeFile("example.plt"));
    EXPECT_EQ("", ran.out);
    // The settings summary (request 31) and the totals on standard error.
    EXPECT_NE(std::string::npos, ran.err.find("TX-90-TAVIX E")) << ran.err;
    EXPECT_NE(std::string::npos, ran.err.find("tavix: 5 requests, " + std::to_string(expected.size()) +
                                              " bytes to example.plt"))
        << ran.err;
    EXPECT_FALSE(std::filesystem::exists("example.plt.part"));

    // Standard output, --config after the command, quiet: only the stream.
    ran = testing::runTavix({"plot", drawing, "--config", "example.cfg", "-q"});
    ASSERT_EQ(0, ran.status) << ran.err;
    EXPECT_BYTES(expected, ran.out);
    EXPECT_EQ("", ran.err);
}

}  // namespace
}  // namespace tavix::host
