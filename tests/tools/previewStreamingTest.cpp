// Reading a printer stream from a file or pipe in one pass gives what
// reading it whole from memory gives, also across the points where the
// reader drops what it has read, inside long instructions, past row data
// larger than it keeps and through endless digits.
#include <gtest/gtest.h>

#include <sstream>

#include "previewStreams.h"
#include "streamParser.h"

namespace tavix::preview {
namespace {

using testing::pePair;

// Serves a string a few bytes at a time, as a pipe does.
class TrickleBuffer : public std::streambuf {
public:
    TrickleBuffer(const std::string& data, size_t piece) : data_(data), piece_(piece) {}

protected:
    int_type underflow() override {
        if (at_ >= data_.size()) return traits_type::eof();
        size_t n = std::min(piece_, data_.size() - at_);
        char* begin = const_cast<char*>(data_.data()) + at_;
        setg(begin, begin, begin + n);
        at_ += n;
        return traits_type::to_int_type(*begin);
    }

private:
    const std::string& data_;
    size_t piece_;
    size_t at_ = 0;
};

ParsedStream readPiecewise(const std::string& data, size_t piece = 4093) {
    TrickleBuffer buffer(data, piece);
    std::istream in(&buffer);
    StreamSource source;
    source.in = &in;
    return parseStream(std::move(source));
}

void expectSame(const ParsedStream& a, const ParsedStream& b) {
    EXPECT_EQ(a.byteCount, b.byteCount);
    EXPECT_EQ(a.instructionCount, b.instructionCount);
    EXPECT_EQ(a.ticket, b.ticket);
    EXPECT_EQ(a.pjl, b.pjl);
    ASSERT_EQ(a.warnings.size(), b.warnings.size());
    for (size_t i = 0; i < a.warnings.size(); ++i) {
        EXPECT_EQ(a.warnings[i].offset, b.warnings[i].offset) << i;
        EXPECT_EQ(a.warnings[i].text, b.warnings[i].text) << i;
    }
    ASSERT_EQ(a.pages.size(), b.pages.size());
    for (size_t p = 0; p < a.pages.size(); ++p) {
        const Page &x = a.pages[p], &y = b.pages[p];
        ASSERT_EQ(x.strokes.size(), y.strokes.size());
        for (size_t i = 0; i < x.strokes.size(); ++i) EXPECT_EQ(x.strokes[i].points, y.strokes[i].points);
        ASSERT_EQ(x.rasters.size(), y.rasters.size());
        for (size_t i = 0; i < x.rasters.size(); ++i) EXPECT_EQ(x.rasters[i].rgba, y.rasters[i].rgba);
        EXPECT_EQ(x.fills.size(), y.fills.size());
    }
}

TEST(PreviewStreaming, EveryCutOfADriverStreamReadsAlikeFromAPipe) {
    const uint8_t tone[6] = {0, 3, 8, 8, 8, 8};
    std::string full = "##DOZ START\r\nCopies=2\r\n##DOZ END\r\n===" + testing::preamble(20000, 10000) +
                       "SP1PE7<" + pePair(100, 100, true) + pePair(1000, 0, true) + ";PUPA3000,3000" +
                       testing::rtlBegin(tone, 2, 2, 300, "") + testing::rtlRow(0, std::string(6, '\x40')) +
                       "\x1b*b1Y" + testing::rtlEnd() + "SP2PA0,0PD500,500;PUSP0;PG;RP1";
    for (size_t n = 0; n <= full.size(); ++n) {
        SCOPED_TRACE(n);
        std::string cut = full.substr(0, n);
        expectSame(parseStream(cut), readPiecewise(cut, 1 + n % 7));
    }
}

TEST(PreviewStreaming, LongStreamsReadAlikeAcrossDroppedBytes) {
    // Megabytes of PE vectors, one row transfer larger than the reader
    // keeps, and a number of ten million digits: each reader position
    // passes many points where read bytes are dropped.
    std::string s = testing::preamble(40000, 30000) + "SP1PE7<" + pePair(20000, 15000, true);
    for (int i = 0; i < 600'000; ++i) s += pePair(i % 2 ? 37 : -35, i % 3 ? 11 : -21, true);
    s += ";PUPA3000,3000\x1b%1A\x1b*r16S\x1b*r1A\x1b*b0m" + std::to_string(9 << 20) + "W" +
         std::string(9 << 20, '\x55') + "\x1b*rC\x1b%0BSP2PW" + std::string(10'000'000, '7') +
         "PA0,0PD500,500;PUSP0;PG;";
    ParsedStream whole = parseStream(s), piecewise = readPiecewise(s);
    expectSame(whole, piecewise);
    bool skipped = false, clamped = false;
    for (const auto& w : piecewise.warnings) {
        skipped |= w.text.find("beyond 4194304 bytes skipped") != std::string::npos;
        clamped |= w.text.find("number out of range") != std::string::npos;
    }
    EXPECT_TRUE(skipped);
    EXPECT_TRUE(clamped);
    ASSERT_EQ(piecewise.pages.size(), 1u);
    // The last vector, after all of it, is read.
    EXPECT_EQ(piecewise.pages[0].strokes.back().points.back(), (Point{500, 500}));
    EXPECT_EQ(piecewise.byteCount, s.size());
}

}  // namespace
}  // namespace tavix::preview
