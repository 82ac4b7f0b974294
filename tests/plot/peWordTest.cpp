// PE numbers built in one word, and whole points staged with one capacity
// check: the same bytes, pen position and flushes as the number written
// digit by digit and the point staged part by part ("<", x, y), at every
// distance from the buffer's limit, for numbers of every length, and when
// the buffer is missing or latched.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "plot/outputBufferFixture.h"
#include "plot/peEncoding.h"
#include "tavix/driverState.h"
#include "tavix/outputBuffer.h"
#include "tavix/plotRequests.h"

namespace tavix {
namespace {

std::string loopDigits(int64_t value, bool eightBit) {
    uint8_t out[16];
    size_t n = encodePeDigits(value, eightBit, out);
    return std::string(reinterpret_cast<char*>(out), n);
}

template <bool EightBit>
std::string wordDigits(int64_t value) {
    pe::Word w = pe::encode<EightBit>(value);
    if (w.length == pe::TOO_LONG) return "too long";
    uint8_t bytes[8];
    pe::storeWord(bytes, w.digits);
    return std::string(reinterpret_cast<char*>(bytes), w.length);
}

std::string wordDigits(int64_t value, bool eightBit) {
    return eightBit ? wordDigits<true>(value) : wordDigits<false>(value);
}

// --- Numbers ----------------------------------------------------------------

struct KnownNumber {
    int64_t value;
    bool eightBit;
    const char* digits;
};

TEST(PeWord, knownNumbers) {
    // Worked out by hand from the definition.
    const KnownNumber cases[] = {
        {0, false, "_"},    {1, false, "a"},     {-1, false, "b"},     {15, false, "}"},
        {-15, false, "~"},  {16, false, "?`"},   {100, false, "Ge"},   {-100, false, "He"},
        {200, false, "Ok"}, {-200, false, "Pk"}, {511, false, "]~"},   {512, false, "??`"},
        {0, true, "\xBF"},  {1, true, "\xC1"},   {-1, true, "\xC2"},   {31, true, "\xFD"},
        {-31, true, "\xFE"}, {32, true, "?\xC0"}, {100, true, "G\xC2"}, {-200, true, "P\xC5"},
    };
    for (const KnownNumber& c : cases)
        EXPECT_EQ(c.digits, wordDigits(c.value, c.eightBit)) << c.value << (c.eightBit ? " 8-bit" : " 7-bit");
}

TEST(PeWord, matchesTheDigitLoopForEveryStepOfAHostPoint) {
    // Every step between two host coordinates at divisor 1, and around
    // every digit count up to the largest step at divisor 16.
    for (bool eightBit : {false, true}) {
        for (int64_t v = -70000; v <= 70000; ++v)
            ASSERT_EQ(loopDigits(v, eightBit), wordDigits(v, eightBit)) << v;
        for (int64_t edge = 1; edge <= int64_t{65535} * 16 * 4; edge *= 2)
            for (int64_t v : {edge - 1, edge, edge + 1, -edge + 1, -edge, -edge - 1})
                ASSERT_EQ(loopDigits(v, eightBit), wordDigits(v, eightBit)) << v;
    }
}

TEST(PeWord, eightDigitsFitOneWordAndNineAreTooLong) {
    struct Case {
        bool eightBit;
        int64_t largestInWord;  // n = 2 * value has eight digits, the most a word holds
    };
    for (Case c : {Case{false, (int64_t{1} << 39) - 1}, Case{true, (int64_t{1} << 47) - 1}}) {
        for (int64_t v : {c.largestInWord, -c.largestInWord}) {
            EXPECT_EQ(8u, loopDigits(v, c.eightBit).size());
            EXPECT_EQ(loopDigits(v, c.eightBit), wordDigits(v, c.eightBit)) << v;
        }
        for (int64_t v : {c.largestInWord + 1, -c.largestInWord - 1, int64_t{INT32_MAX} * 65535 * 2, INT64_MAX})
            EXPECT_EQ("too long", wordDigits(v, c.eightBit)) << v;
        // 2|v| + 1 wraps for the most negative value, in both forms alike.
        EXPECT_EQ(loopDigits(INT64_MIN, c.eightBit), wordDigits(INT64_MIN, c.eightBit));
    }
}

// --- Points -----------------------------------------------------------------

using StagePointTest = testing::OutputBufferFixture;

// The staging rules applied to each part of a point on its own: a part that
// would make the staged total reach the limit sends what is staged first.
struct PartByPart {
    std::string sent;
    std::string staged;
    void write(const std::string& part) {
        if (staged.size() + part.size() >= static_cast<size_t>(OUTPUT_LIMIT)) {
            sent += staged;
            staged.clear();
        }
        staged += part;
    }
};

std::vector<int> piecesOf(size_t bytes) {
    std::vector<int> sizes;
    for (size_t at = 0; at < bytes; at += OUTPUT_PIECE_SIZE)
        sizes.push_back(static_cast<int>(bytes - at < OUTPUT_PIECE_SIZE ? bytes - at : OUTPUT_PIECE_SIZE));
    return sizes;
}

TEST_F(StagePointTest, atEveryDistanceFromTheLimitThePartsFlushAsTheyWouldAlone) {
    struct Step {
        int32_t scale;
        uint32_t x, y;  // from the pen position (0, 0)
    };
    // One-digit, four-digit and five-digit numbers (7-bit form).
    const Step steps[] = {{1, 7, 3}, {1, 40000, 30000}, {16, 65535, 1}};
    for (bool eightBit : {false, true}) {
        for (const Step& step : steps) {
            for (bool move : {false, true}) {
                for (int32_t fill = OUTPUT_LIMIT - 24; fill < OUTPUT_LIMIT; ++fill) {
                    SCOPED_TRACE(::testing::Message() << (eightBit ? "8-bit" : "7-bit") << " scale " << step.scale
                                                      << (move ? " move" : " draw") << " fill " << fill);
                    host.output.clear();
                    host.pieceSizes.clear();
                    std::memset(state.outputBuffer, 'f', static_cast<size_t>(fill));
                    state.outputCount = fill;
                    state.settings.set(flags::eightBitEncoding, eightBit);
                    state.scaleDivisor = step.scale;
                    state.currentX = state.currentY = 0;
                    state.penState = PEN_DOWN;
                    state.previousPenState = PEN_MOVED;

                    PartByPart expected;
                    expected.staged = std::string(static_cast<size_t>(fill), 'f');
                    if (move) expected.write("<");
                    expected.write(loopDigits(int64_t{step.x} * step.scale, eightBit));
                    expected.write(loopDigits(int64_t{step.y} * step.scale, eightBit));

                    ASSERT_EQ(0, move ? moveTo(step.x, step.y) : drawTo(step.x, step.y));
                    ASSERT_EQ(expected.sent.size(), host.output.size());
                    ASSERT_TRUE(expected.sent == host.output);
                    ASSERT_EQ(piecesOf(expected.sent.size()), host.pieceSizes);
                    ASSERT_EQ(expected.staged.size(), static_cast<size_t>(state.outputCount));
                    ASSERT_TRUE(expected.staged == staged());
                    ASSERT_EQ(static_cast<int32_t>(step.x) * step.scale, state.currentX);
                    ASSERT_EQ(static_cast<int32_t>(step.y) * step.scale, state.currentY);
                    ASSERT_EQ(static_cast<int32_t>(step.x), state.lastHostX);
                }
            }
        }
    }
}

TEST_F(StagePointTest, stepsTooLongForOneWordAreWrittenWhole) {
    // Divisors no plot area produces, so that the steps need more digits
    // than a word holds (or come close to it).
    for (bool eightBit : {false, true}) {
        for (int32_t scale : {1 << 20, 1 << 28, INT32_MAX, -5, INT32_MIN}) {
            SCOPED_TRACE(::testing::Message() << (eightBit ? "8-bit" : "7-bit") << " scale " << scale);
            state.outputCount = 0;
            state.settings.set(flags::eightBitEncoding, eightBit);
            state.scaleDivisor = scale;
            state.currentX = -7;
            state.currentY = INT32_MAX;
            ASSERT_EQ(0, emitPoint(65535, 3));
            std::string expected = loopDigits(int64_t{65535} * scale + 7, eightBit) +
                                   loopDigits(int64_t{3} * scale - INT32_MAX, eightBit);
            EXPECT_EQ(expected, staged());
            EXPECT_EQ(-7, state.previousX);
            EXPECT_EQ(static_cast<int32_t>(int64_t{65535} * scale), state.currentX);
        }
    }
}

TEST_F(StagePointTest, aLatchOrAMissingBufferGoesTheWayOfTheParts) {
    struct Case {
        const char* name;
        bool latched;
        bool buffer;
        bool move;
        int result;
        int32_t stagedAfter;   // from 5 staged bytes
        int32_t lastHostXAfter;  // from 9
    };
    const Case cases[] = {
        // A move's "<" meets the latch first: what is staged is discarded.
        {"latched move", true, true, true, -1, 0, 9},
        // A draw's point meets it: the request fails, the staging stays.
        {"latched draw", true, true, false, -1, 5, 9},
        // No buffer: nothing is kept, the pen moves all the same.
        {"move without buffer", false, false, true, 0, 5, 100},
        {"draw without buffer", false, false, false, 0, 5, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.buffer) {
            releaseOutputBuffer();
        } else if (state.outputBuffer == nullptr) {
            ASSERT_TRUE(obtainOutputBuffer());
        }
        state.errorLatch = c.latched ? LATCH_OUTPUT : 0;
        state.outputCount = 5;
        state.lastHostX = 9;
        state.penState = PEN_DOWN;
        state.previousPenState = PEN_MOVED;
        EXPECT_EQ(c.result, c.move ? moveTo(100, 100) : drawTo(100, 100));
        EXPECT_EQ(c.stagedAfter, state.outputCount);
        EXPECT_EQ(c.lastHostXAfter, state.lastHostX);
        EXPECT_EQ(0, host.writeCalls);
    }
    state.errorLatch = 0;
}

}  // namespace
}  // namespace tavix
