// Bad streams: truncated at every byte, garbage, mutated, huge numbers,
// giant rasters. The reader warns with byte offsets and goes on; nothing
// crashes, hangs or allocates without bound.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "preview.h"
#include "previewStreams.h"
#include "streamParser.h"

namespace tavix::preview {
namespace {

using testing::bytes;
using testing::pePair;
using testing::rtlBegin;
using testing::rtlEnd;
using testing::rtlRow;

// Every feature the driver writes, in one stream.
std::string fullStream() {
    std::string s = "##DOZ START\r\nOutputSize=Original\r\nCopies=2\r\n##DOZ END\r\n===";
    s += testing::preamble(20000, 10000);
    s += "SP1PW0.5LT-3,2.0PE7<" + pePair(100, 100, true) + pePair(1000, 0, true) + pePair(0, 500, true);
    s += ";LTSP5PE7<" + pePair(200, 200, true) + ";PM0PE7" + pePair(300, 0, true) + pePair(0, 300, true) +
         pePair(-300, -300, true) + ";PM2FP";
    s += ";PU3000,3000PA3000,3000";
    const uint8_t colour[6] = {0, 0, 0xFF, 8, 8, 8};
    s += rtlBegin(colour, 16, 2, 300, "\x1b*v255A\x1b*v0B\x1b*v0C\x1b*v3I") +
         rtlRow(0, bytes({0xFF, 0xFF, 0, 0, 0}), 'V') + rtlRow(0, bytes({0xFF, 0xFF, 0, 0, 0}), 'V') +
         rtlRow(2, bytes({0xFC, 0, 0, 0})) + rtlEnd();
    s += "PA3000,3000PU0,0PR";
    const uint8_t tone[6] = {0, 1, 0xFF, 8, 8, 8};
    s += ";PU4000,3000PA4000,3000" + rtlBegin(tone, 16, 3, 400, "\x1b*v128A\x1b*v128B\x1b*v128C\x1b*v128I") +
         rtlRow(2, bytes({0xF1, 0x80, 0x00, 0x00})) + "\x1b*b2Y" + rtlEnd() + "PA4000,3000PU0,0PR";
    s += "SP2PE" + pePair(10, 10, false) + pePair(-700, 900, false) + ";PUSP0;PG;RP1";
    return s;
}

bool hasWarning(const ParsedStream& s, size_t offset, const std::string& part) {
    for (const auto& w : s.warnings)
        if (w.offset == offset && w.text.find(part) != std::string::npos) return true;
    return false;
}

std::string warningsText(const ParsedStream& s) {
    std::string text;
    for (const auto& w : s.warnings) text += std::to_string(w.offset) + ": " + w.text + "\n";
    return text;
}

TEST(PreviewRobustness, TheFullStreamReadsCleanly) {
    ParsedStream s = parseStream(fullStream());
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    ASSERT_EQ(s.pages.size(), 1u);
    EXPECT_EQ(s.pages[0].rasters.size(), 2u);
    EXPECT_EQ(s.pages[0].fills.size(), 1u);
}

TEST(PreviewRobustness, EveryTruncationReadsWithoutFault) {
    std::string full = fullStream();
    for (size_t n = 0; n < full.size(); ++n) {
        ParsedStream s = parseStream(std::string_view(full).substr(0, n));
        for (const auto& w : s.warnings) ASSERT_TRUE(w.offset == NO_OFFSET || w.offset <= n) << n;
        for (const auto& page : s.pages)
            for (const auto& r : page.rasters)
                ASSERT_EQ(r.rgba.size(), static_cast<size_t>(r.storedWidth) * r.storedHeight * 4);
    }
}

TEST(PreviewRobustness, TruncationsSayWhereTheDataStopped) {
    std::string full = fullStream();
    // Inside PE, after an x coordinate without its y.
    size_t pe = full.find("PE7<") + 4;
    std::string cut = full.substr(0, pe + 2);
    ParsedStream s = parseStream(cut);
    EXPECT_TRUE(hasWarning(s, cut.size(), "data ends inside PE")) << warningsText(s);
    // Inside a raster row's data.
    size_t row = full.find("\x1b*b0m5V");
    cut = full.substr(0, row + 9);
    s = parseStream(cut);
    EXPECT_TRUE(hasWarning(s, row, "cut off at the end of data")) << warningsText(s);
    EXPECT_TRUE(hasWarning(s, cut.size(), "raster graphics not ended")) << warningsText(s);
    // Inside the job ticket.
    s = parseStream(full.substr(0, 30));
    EXPECT_TRUE(hasWarning(s, 30, "inside the job ticket")) << warningsText(s);
    // Right after an ESC.
    size_t esc = full.find("\x1b%-1B");
    s = parseStream(full.substr(0, esc + 1));
    EXPECT_TRUE(hasWarning(s, esc, "cut off at the end of data")) << warningsText(s);
}

TEST(PreviewRobustness, UnknownAndMalformedInputIsWarnedAtItsOffset) {
    std::string head = testing::preamble(20000, 10000);
    std::string stream = head + "ZZ1,2;SP1PA@@;PE7<" + pePair(5, 5, true) + "\x01" + pePair(5, 0, true) +
                         ";\x1b*b4W;PUSP0;PG;";
    ParsedStream s = parseStream(stream);
    EXPECT_TRUE(hasWarning(s, head.size(), "unknown HP-GL/2 instruction ZZ")) << warningsText(s);
    EXPECT_TRUE(hasWarning(s, stream.find("@@"), "unexpected '@' in parameters")) << warningsText(s);
    EXPECT_TRUE(hasWarning(s, stream.find('\x01'), "unexpected 0x01 in PE")) << warningsText(s);
    EXPECT_TRUE(hasWarning(s, stream.find("\x1b*b4W"), "outside HP RTL")) << warningsText(s);
    // The drawing around the faults is still there.
    ASSERT_EQ(s.pages.size(), 1u);
    ASSERT_EQ(s.pages[0].strokes.size(), 1u);
    EXPECT_EQ(s.pages[0].strokes[0].points, (std::vector<Point>{{5, 5}, {10, 5}}));
}

TEST(PreviewRobustness, HugeNumbersAreClampedNotOverflowed) {
    std::string stream = "\x1b%-1BIN;PS999999999999999999999,1e5;SP1PW99999999999999;"
                         "PA-99999999999999999,99999999999999999PD3,4;SC0,0.0000001,0,0.0000001;PA1e9PD5,5;"
                         "PE7<" + std::string(40, '?') + "_" + pePair(1, 1, true) + ";"
                         "IP0,0,0,0;LT-3,99999999999PD1,1;PG;RP999999999999;";
    ParsedStream s = parseStream(stream);
    EXPECT_FALSE(s.warnings.empty());
    for (const auto& page : s.pages)
        for (const auto& line : page.strokes)
            for (const auto& p : line.points) {
                EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
                EXPECT_LE(std::fabs(p.x), 1e12);
                EXPECT_LE(std::fabs(p.y), 1e12);
            }
    PreviewOptions options;
    options.dpi = 50;
    PreviewImage image;
    PreviewResult r = renderStreamToImage(stream, options, image);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_LE(static_cast<uint64_t>(image.width) * image.height, options.maxPixels);
}

TEST(PreviewRobustness, GiantRasterSizesAreKeptWithinTheBudget) {
    std::string stream = testing::preamble(20000, 10000) + ";PU3000,3000PA3000,3000" +
                         "\x1b%1A\x1b*v6W" + bytes({0, 3, 8, 8, 8, 8}) +
                         "\x1b*r2000000000S\x1b*r2000000000T\x1b*t1R\x1b*r1A" +
                         rtlRow(2, bytes({0x81, 0x40, 0x81, 0x40})) + "\x1b*b2000000000Y" +
                         rtlRow(0, "abc") + rtlEnd() + ";PG;";
    ParseLimits limits;
    limits.maxRasterPixels = 1'000'000;
    auto start = std::chrono::steady_clock::now();
    ParsedStream s = parseStream(stream, limits);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    ASSERT_EQ(s.pages.size(), 1u);
    ASSERT_EQ(s.pages[0].rasters.size(), 1u);
    const RasterImage& r = s.pages[0].rasters[0];
    EXPECT_EQ(r.width, limits.maxRasterWidth);
    EXPECT_LE(static_cast<uint64_t>(r.storedWidth) * r.storedHeight, limits.maxRasterPixels);
    EXPECT_GT(r.factor, 1);
    EXPECT_FALSE(s.warnings.empty()) << warningsText(s);
    PreviewOptions options;
    PreviewImage image;
    EXPECT_TRUE(renderStreamToImage(stream, options, image).ok);
}

TEST(PreviewRobustness, YOffsetsWithoutADeclaredHeightSaturate) {
    std::string stream = testing::preamble(20000, 10000) + ";PU3000,3000PA3000,3000" + "\x1b%1A\x1b*r8S\x1b*r1A";
    for (int i = 0; i < 5; ++i) stream += "\x1b*b999999999Y";
    stream += rtlRow(0, bytes({0xFF})) + rtlEnd() + ";PG;";
    ParseLimits limits;
    limits.maxRasterPixels = 100'000;
    ParsedStream s = parseStream(stream, limits);
    ASSERT_EQ(s.pages.size(), 1u);
    const RasterImage& r = s.pages[0].rasters.at(0);
    EXPECT_EQ(r.rows, 1 << 30);
    EXPECT_LE(static_cast<uint64_t>(r.storedWidth) * r.storedHeight, limits.maxRasterPixels);
}

TEST(PreviewRobustness, RowsPastTheDeclaredHeightAreDropped) {
    const uint8_t tone[6] = {0, 3, 8, 8, 8, 8};
    std::string stream = testing::preamble(20000, 10000) + ";PU3000,3000PA3000,3000" +
                         rtlBegin(tone, 2, 1, 300, "") + rtlRow(0, bytes({1, 2, 3, 4, 5, 6})) +
                         rtlRow(0, bytes({1, 2, 3, 4, 5, 6})) + "\x1b*b5Y" + rtlEnd() + ";PG;";
    ParsedStream s = parseStream(stream);
    ASSERT_EQ(s.pages.size(), 1u);
    EXPECT_EQ(s.pages[0].rasters.at(0).rows, 1);
    EXPECT_TRUE(hasWarning(s, stream.find("\x1b*b0m6W", stream.find("\x1b*b0m6W") + 1), "beyond the raster height"))
        << warningsText(s);
}

TEST(PreviewRobustness, GarbageAndMutationsNeverFault) {
    std::mt19937 random(7);
    std::string full = fullStream();
    ParseLimits limits;
    limits.maxRasterPixels = 200'000;
    limits.maxTotalRasterPixels = 400'000;
    PreviewOptions options;
    options.dpi = 10;
    options.sidePanel = false;
    options.limits = limits;
    for (int round = 0; round < 300; ++round) {
        std::string data;
        if (round % 3 == 0) {
            size_t n = random() % 4096;
            for (size_t i = 0; i < n; ++i) data += static_cast<char>(random() & 0xFF);
        } else if (round % 3 == 1) {
            // Garbage made of the stream's own alphabet, which reaches deeper.
            const std::string alphabet = "\x1b%*&bvrtpE0123456789-+.,;:<=>?_`abcABCWVYSTRMIPAUDEGHLNC";
            size_t n = random() % 2048;
            for (size_t i = 0; i < n; ++i) data += alphabet[random() % alphabet.size()];
        } else {
            data = full;
            int flips = 1 + static_cast<int>(random() % 8);
            for (int f = 0; f < flips; ++f) data[random() % data.size()] = static_cast<char>(random() & 0xFF);
        }
        ParsedStream s = parseStream(data, limits);
        EXPECT_LE(s.warnings.size(), limits.maxWarnings);
        if (round % 10 == 0) {
            PreviewImage image;
            PreviewResult r = renderParsed(s, options, &image);
            EXPECT_TRUE(r.ok) << r.error;
        }
    }
}

TEST(PreviewRobustness, WarningsStopAtTheCapAndAreCounted) {
    std::string stream = "\x1b%-1B";
    for (int i = 0; i < 2000; ++i) stream += "Q" + std::to_string(i) + "ZZ;";
    ParsedStream s = parseStream(stream);
    EXPECT_EQ(s.warnings.size(), ParseLimits{}.maxWarnings);
    EXPECT_GT(s.warningsDropped, 0u);
}

}  // namespace
}  // namespace tavix::preview
