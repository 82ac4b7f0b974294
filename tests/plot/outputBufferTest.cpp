#include "tavix/outputBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/plot/outputBufferFixture.h"
#include "platform/hostAddress.h"
#include "tavix/driverState.h"
#include "tavix/hostServices.h"
#include "tavix/messageSlots.h"
#include "tavix/packet.h"

namespace tavix {
namespace {

using OutputBufferTest = testing::OutputBufferFixture;

std::string peDigits(int64_t value, bool eightBit) {
    uint8_t out[16];
    size_t n = encodePeDigits(value, eightBit, out);
    return std::string(reinterpret_cast<char*>(out), n);
}

TEST(PeEncoding, sevenBitDigits) {
    EXPECT_EQ("_", peDigits(0, false));
    EXPECT_EQ("a", peDigits(1, false));
    EXPECT_EQ("b", peDigits(-1, false));
    EXPECT_EQ("Ge", peDigits(100, false));
    EXPECT_EQ("He", peDigits(-100, false));
    EXPECT_EQ("Ok", peDigits(200, false));
    EXPECT_EQ("Pk", peDigits(-200, false));
    // One byte for -15..15, two for -511..511.
    EXPECT_EQ(1u, peDigits(15, false).size());
    EXPECT_EQ(1u, peDigits(-15, false).size());
    EXPECT_EQ(2u, peDigits(16, false).size());
    EXPECT_EQ(2u, peDigits(511, false).size());
    EXPECT_EQ(2u, peDigits(-511, false).size());
    EXPECT_EQ(3u, peDigits(512, false).size());
}

TEST(PeEncoding, eightBitDigits) {
    EXPECT_EQ("\xBF", peDigits(0, true));
    EXPECT_EQ("\xC1", peDigits(1, true));
    EXPECT_EQ("\xC2", peDigits(-1, true));
    EXPECT_EQ("G\xC2", peDigits(100, true));
    EXPECT_EQ("H\xC2", peDigits(-100, true));
    EXPECT_EQ("O\xC5", peDigits(200, true));
    EXPECT_EQ("P\xC5", peDigits(-200, true));
}

TEST(PeEncoding, extremeValuesStayInTheDigitRanges) {
    for (int64_t v : {int64_t{65535} * 16, int64_t{-65535} * 16, int64_t{INT32_MIN}, int64_t{INT32_MAX}}) {
        for (bool eightBit : {false, true}) {
            std::string d = peDigits(v, eightBit);
            for (size_t i = 0; i + 1 < d.size(); ++i) {
                unsigned char c = static_cast<unsigned char>(d[i]);
                EXPECT_GE(c, 63);
                EXPECT_LE(c, eightBit ? 126 : 94);
            }
            unsigned char last = static_cast<unsigned char>(d.back());
            EXPECT_GE(last, eightBit ? 191 : 95);
            EXPECT_LE(last, eightBit ? 254 : 126);
        }
    }
}

TEST_F(OutputBufferTest, emitPointWritesRelativeStepsInPlotterUnits) {
    state.scaleDivisor = 2;
    ASSERT_EQ(0, emitPoint(50, 50));
    ASSERT_EQ(0, emitPoint(150, 50));
    ASSERT_EQ(0, emitPoint(150, 50));
    EXPECT_EQ("GeGeOk_" "__", staged());
    EXPECT_EQ(150, state.lastHostX);
    EXPECT_EQ(300, state.currentX);
    EXPECT_EQ(300, state.previousX);
}

TEST_F(OutputBufferTest, emitPointFailsWhileLatched) {
    state.errorLatch = LATCH_OUTPUT;
    EXPECT_EQ(-1, emitPoint(1, 1));
    EXPECT_EQ(0, state.outputCount);
}

TEST_F(OutputBufferTest, flushSendsPiecesOf128) {
    ASSERT_EQ(0, writeText(std::string(300, 'x').c_str()));
    ASSERT_EQ(0, flushOutput());
    EXPECT_EQ((std::vector<int>{128, 128, 44}), host.pieceSizes);
    EXPECT_EQ(0, state.outputCount);

    host.pieceSizes.clear();
    ASSERT_EQ(0, writeText(std::string(256, 'y').c_str()));
    ASSERT_EQ(0, flushOutput());
    EXPECT_EQ((std::vector<int>{128, 128}), host.pieceSizes);
    EXPECT_EQ(std::string(300, 'x') + std::string(256, 'y'), host.output);
}

// Writers that tell their pieces apart; the first points the host's write
// slot at the second as soon as it is called.
std::vector<std::string> piecesSeen;
uint8_t* writerTable = nullptr;
int TAVIX_CDECL secondWriter(int, int, const void*, int count, int) {
    piecesSeen.push_back("second " + std::to_string(count));
    return count;
}
int TAVIX_CDECL firstWriter(int, int, const void*, int count, int) {
    piecesSeen.push_back("first " + std::to_string(count));
    writeU32(writerTable, SLOT_WRITE_OUTPUT, hostAddressOf(reinterpret_cast<const void*>(&secondWriter)));
    return count;
}

// The write slot is read once for all the pieces of one flush: a host that
// changes it while it is called gets the new writer from the next flush on.
TEST_F(OutputBufferTest, aFlushSendsEveryPieceToTheWriterItStartedWith) {
    piecesSeen.clear();
    writerTable = host.table;
    writeU32(host.table, SLOT_WRITE_OUTPUT, hostAddressOf(reinterpret_cast<const void*>(&firstWriter)));
    ASSERT_EQ(0, writeText(std::string(300, 'x').c_str()));
    ASSERT_EQ(0, flushOutput());
    ASSERT_EQ(0, writeText("tail"));
    ASSERT_EQ(0, flushOutput());
    EXPECT_EQ((std::vector<std::string>{"first 128", "first 128", "first 44", "second 4"}), piecesSeen);
}

// No write slot: the first piece is refused, as by a failing host.
TEST_F(OutputBufferTest, aMissingWriteSlotFailsTheFlush) {
    writeU32(host.table, SLOT_WRITE_OUTPUT, 0);
    ASSERT_EQ(0, writeText("PA0,0"));
    EXPECT_EQ(-1, flushOutput());
    EXPECT_EQ(LATCH_OUTPUT, state.errorLatch);
    EXPECT_EQ(0, state.outputCount);
}

TEST_F(OutputBufferTest, reachingTheLimitFlushesFirst) {
    std::string big(OUTPUT_LIMIT - 11, 'a');
    ASSERT_EQ(0, writeText(big.c_str()));
    // 2,097,151 bytes in all: no flush yet.
    ASSERT_EQ(0, writeText("0123456789"));
    EXPECT_EQ(0, host.writeCalls);
    EXPECT_EQ(OUTPUT_LIMIT - 1, state.outputCount);
    // One more byte would make exactly 2,097,152: the staged bytes go first.
    ASSERT_EQ(0, writeText("Z"));
    EXPECT_EQ((OUTPUT_LIMIT - 1 + 127) / 128, host.writeCalls);
    EXPECT_EQ(1, state.outputCount);
    EXPECT_EQ('Z', state.outputBuffer[0]);
    EXPECT_EQ(big + "0123456789", host.output);
}

TEST_F(OutputBufferTest, aTextLargerThanTheBufferIsDeliveredWholeAndInOrder) {
    ASSERT_EQ(0, writeText("head"));
    std::string huge(OUTPUT_LIMIT + 5000, 'h');
    huge[0] = 'A';
    huge.back() = 'B';
    ASSERT_EQ(0, writeText(huge.c_str()));
    EXPECT_LT(state.outputCount, OUTPUT_LIMIT);
    ASSERT_EQ(0, flushOutput());
    EXPECT_EQ("head" + huge, host.output);
    for (int size : host.pieceSizes) EXPECT_LE(size, 128);
}

TEST_F(OutputBufferTest, aRefusedPieceShowsMessage77AndLatches) {
    ASSERT_EQ(0, writeText(std::string(300, 'x').c_str()));
    state.somethingDrawn = 1;
    state.copiesToPlot = 3;
    host.failWriteAtCall = 1;
    EXPECT_EQ(-1, flushOutput());
    EXPECT_EQ(std::string(128, 'x'), host.output);  // the first piece stays sent
    EXPECT_EQ(2, host.writeCalls);                  // nothing after the refusal
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_EQ("\nPlotting error occured. \n", host.messages[0]);
    EXPECT_EQ(LATCH_OUTPUT, state.errorLatch);
    EXPECT_EQ(0, state.outputCount);
    EXPECT_EQ(0, state.somethingDrawn);
    EXPECT_EQ(1, state.copiesToPlot);
}

TEST_F(OutputBufferTest, theLatchDiscardsWhatIsStaged) {
    ASSERT_EQ(0, writeText("PA0,0"));
    state.somethingDrawn = 1;
    state.copiesToPlot = 2;
    state.errorLatch = LATCH_CONFIG;
    EXPECT_EQ(-1, writeText("SP1"));
    EXPECT_EQ(0, state.outputCount);
    EXPECT_EQ(0, state.somethingDrawn);
    EXPECT_EQ(1, state.copiesToPlot);
    EXPECT_EQ(-1, flushOutput());
    EXPECT_EQ(0, host.writeCalls);
}

TEST_F(OutputBufferTest, emptyTextSucceedsAndWritesNothing) {
    EXPECT_EQ(0, writeText(""));
    EXPECT_EQ(0, state.outputCount);
    releaseOutputBuffer();
    EXPECT_EQ(0, writeText(""));
}

TEST_F(OutputBufferTest, noBufferIsNotAnError) {
    releaseOutputBuffer();
    EXPECT_EQ(0, writeText("dropped"));
    EXPECT_EQ(0, flushOutput());
    EXPECT_EQ(0, host.writeCalls);
}

TEST_F(OutputBufferTest, peNumbersFollowTheEncodingFlag) {
    ASSERT_EQ(0, encodePeNumber(-1));
    state.settings.set(flags::eightBitEncoding, true);
    ASSERT_EQ(0, encodePeNumber(0));
    EXPECT_EQ("b\xBF", staged());
}

TEST_F(OutputBufferTest, allocationFailureIsReported) {
    releaseOutputBuffer();
    outputAllocationAllowed = [] { return false; };
    EXPECT_FALSE(obtainOutputBuffer());
    EXPECT_EQ(nullptr, state.outputBuffer);
    outputAllocationAllowed = nullptr;
    ASSERT_TRUE(obtainOutputBuffer());
    for (int i = 0; i < OUTPUT_BUFFER_SIZE; i += 4096) ASSERT_EQ(0, state.outputBuffer[i]);
}

}  // namespace
}  // namespace tavix
