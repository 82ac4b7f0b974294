// The pen state machine through PlotEntry: when PE sequences open and close,
// pen-up flags, redundant points, pen re-selection after a fill, outline
// capture, and the dispatcher's handling of codes it does not serve.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tests/plot/plotFixture.h"
#include "platform/hostAddress.h"
#include "plot/penStateMachine.h"
#include "tavix/driverState.h"
#include "tavix/entryPoints.h"
#include "tavix/hostServices.h"
#include "tavix/imageRequest.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix::plottest {
namespace {

class PenStateTest : public PlotRequestTest {
protected:
    void SetUp() override {
        PlotRequestTest::SetUp();
        prepare(workedExampleSettings());
        ASSERT_EQ(0, beginPlot());
        mark = staged().size();
    }
    // What the requests since the last call staged.
    std::string written() {
        std::string out = stagedFrom(mark);
        mark = staged().size();
        return out;
    }
    // A move to (x, y), then outline capture armed there as code 52 arms it.
    void captureOutlineFrom(uint16_t x, uint16_t y) {
        move(x, y);
        state.outlineCapture = 1;
        state.outlineCount = 0;
        state.outlineOrigin = {x, y};
    }
    size_t mark = 0;
};

TEST_F(PenStateTest, everyRowOfTheTable) {
    move(100, 100);  // outside -> moved: introducer and "<"
    EXPECT_EQ("PE7<GeGe", written());
    EXPECT_EQ(PEN_MOVED, state.penState);
    move(200, 100);  // moved -> moved: "<" again
    EXPECT_EQ("<Ge_", written());
    draw(200, 200);  // moved -> down
    EXPECT_EQ("_Ge", written());
    EXPECT_EQ(PEN_DOWN, state.penState);
    draw(300, 200);  // down -> down
    EXPECT_EQ("Ge_", written());
    lift();          // down -> up flagged
    EXPECT_EQ("<", written());
    EXPECT_EQ(PEN_UP_FLAGGED, state.penState);
    move(300, 300);  // up flagged -> moved: the pending "<" serves
    EXPECT_EQ("_Ge", written());
    EXPECT_EQ(PEN_MOVED, state.penState);
    move(300, 100);  // moved -> moved
    EXPECT_EQ("<_Pk", written());
    lift();          // moved -> up flagged
    EXPECT_EQ("<", written());
    draw(400, 100);  // up flagged: a zero move uses up the "<", then the draw
    EXPECT_EQ("__Ge_", written());
    EXPECT_EQ(PEN_MOVED, state.penState);
    EXPECT_EQ(PEN_UP_FLAGGED, state.previousPenState);
    selectPen(2);    // any other instruction closes the sequence
    EXPECT_EQ(";SP2", written());
    EXPECT_EQ(PEN_OUTSIDE, state.penState);
    draw(400, 200);  // outside -> down: introducer without "<"
    EXPECT_EQ("PE7_Ge", written());
    EXPECT_EQ(PEN_DOWN, state.penState);
}

TEST_F(PenStateTest, doubleLiftWritesOneFlag) {
    draw(10, 10);
    written();
    EXPECT_EQ(8, lift());
    EXPECT_EQ(8, lift());
    EXPECT_EQ("<", written());
    EXPECT_EQ(PEN_UP_FLAGGED, state.penState);
}

TEST_F(PenStateTest, liftOutsideWritesNothing) {
    EXPECT_EQ(8, lift());
    EXPECT_EQ("", written());
    EXPECT_EQ(PEN_OUTSIDE, state.penState);
}

TEST_F(PenStateTest, redundantMoveIsDroppedOnlyInAnUnchangedState) {
    move(100, 100);
    EXPECT_EQ("PE7<GeGe", written());
    // Just entered PE: the state changed, so the same point is written.
    move(100, 100);
    EXPECT_EQ("<__", written());
    // Same state, same point: nothing at all, the packet untouched.
    writeI16(packet.data(), 2, 0x1234);
    EXPECT_EQ(3, move(100, 100));
    EXPECT_EQ("", written());
    EXPECT_EQ(0x1234, readI16(packet.data(), 2));
    EXPECT_EQ(PEN_MOVED, state.penState);
}

TEST_F(PenStateTest, redundantDrawDrawsAndCapturesNothing) {
    draw(50, 50);
    draw(60, 50);
    written();
    state.somethingDrawn = 0;
    state.outlineCapture = 1;
    state.outlineCount = 0;
    EXPECT_EQ(4, draw(60, 50));
    EXPECT_EQ("", written());
    EXPECT_EQ(0, state.somethingDrawn);
    EXPECT_EQ(0, state.outlineCount);
}

// moveTo and drawTo answer 0 or -1 like every other operation; a dropped
// point is told apart only by the flag, which every answer sets.
TEST_F(PenStateTest, aDroppedPointAnswersZeroAndRaisesTheFlag) {
    move(100, 100);
    move(100, 100);  // moved -> moved: the next move to it is redundant
    written();
    bool dropped = false;
    EXPECT_EQ(0, moveTo(100, 100, &dropped));
    EXPECT_TRUE(dropped);
    EXPECT_EQ("", written());
    EXPECT_EQ(0, moveTo(200, 100, &dropped));
    EXPECT_FALSE(dropped);
    EXPECT_EQ("<Ge_", written());

    dropped = true;
    EXPECT_EQ(0, drawTo(200, 200, &dropped));  // moved -> down
    EXPECT_FALSE(dropped);
    EXPECT_EQ("_Ge", written());
    EXPECT_EQ(0, drawTo(200, 200, &dropped));  // down -> down
    EXPECT_FALSE(dropped);
    EXPECT_EQ("__", written());
    EXPECT_EQ(0, drawTo(200, 200, &dropped));
    EXPECT_TRUE(dropped);
    EXPECT_EQ("", written());
    EXPECT_EQ(PEN_DOWN, state.penState);
    EXPECT_EQ(0, drawTo(200, 200));  // no flag asked for: the same answer

    // A failed write is not a dropped point.
    state.errorLatch = LATCH_OUTPUT;
    EXPECT_EQ(-1, drawTo(300, 200, &dropped));
    EXPECT_FALSE(dropped);
    state.errorLatch = 0;
}

TEST_F(PenStateTest, drawAfterLiftWritesTwoZerosEvenAtTheSamePoint) {
    draw(20, 20);
    lift();
    written();
    draw(20, 20);
    EXPECT_EQ("____", written());
}

TEST_F(PenStateTest, instructionsInsidePeAreLedBySemicolon) {
    draw(5, 5);
    written();
    selectPen(4);
    EXPECT_EQ(";SP4", written());
    draw(6, 6);
    written();
    lineType(0);
    EXPECT_EQ(";LT", written());
    draw(7, 7);
    written();
    EXPECT_EQ(0, penWidth(0.01));
    EXPECT_EQ(";PW0.254", written());
    // Outside PE there is nothing to close.
    selectPen(6);
    EXPECT_EQ("SP6", written());
}

TEST_F(PenStateTest, fillMakesTheNextDrawReselectThePen) {
    selectPen(3);
    draw(300, 200);
    written();
    EXPECT_EQ(0, fillArray(5, {100, 300, 200, 300, 200, 400}));
    written();
    EXPECT_EQ(1, state.penReselect);
    // A move does not re-select.
    move(100, 100);
    EXPECT_EQ("PE7<_Pk", written());  // from the fill's closing vertex
    draw(200, 100);
    EXPECT_EQ(";SP3PE7Ge_", written());
    EXPECT_EQ(0, state.penReselect);
    draw(300, 100);
    EXPECT_EQ("Ge_", written());
}

// A move while the pen waits for re-selection takes the common path of
// moves: it goes on from the moved point, and the draw after it re-selects.
TEST_F(PenStateTest, movesGoOnWhileThePenWaitsForReselection) {
    selectPen(3);
    draw(300, 200);
    EXPECT_EQ(0, fillArray(5, {100, 300, 200, 300, 200, 400}));
    move(100, 100);
    written();
    EXPECT_EQ(3, move(200, 100));
    EXPECT_EQ("<Ge_", written());
    EXPECT_EQ(1, state.penReselect);
    draw(200, 200);
    EXPECT_EQ(";SP3PE7_Ge", written());
    EXPECT_EQ(0, state.penReselect);
}

// Moves never join an outline being captured; the draws around them do.
TEST_F(PenStateTest, movesDuringOutlineCaptureAreNotCollected) {
    captureOutlineFrom(100, 100);
    written();
    draw(200, 100);
    move(300, 300);
    draw(300, 400);
    EXPECT_EQ("Ge_<GeOk_Ge", written());
    ASSERT_EQ(2, state.outlineCount);
    EXPECT_EQ(200, state.outlinePoints[0].x);
    EXPECT_EQ(300, state.outlinePoints[1].x);
    EXPECT_EQ(400, state.outlinePoints[1].y);
}

// An image announced while a polyline goes on is printed before the next
// move or draw, whichever comes.
TEST_F(PenStateTest, anImageWaitingIsPrintedBeforeTheNextMoveOrDraw) {
    for (int16_t code : {3, 4}) {
        SCOPED_TRACE(code);
        draw(100, 100);
        draw(200, 100);
        std::vector<uint8_t> image(IMAGE_REQUEST_SIZE);
        writeI16(image.data(), PACKET_STATUS, 52);
        for (int offset : {imagePacket::X0, imagePacket::Y0, imagePacket::X1, imagePacket::Y1})
            writeI32(image.data(), offset, 100);  // no area
        PlotEntry(image.data());
        ASSERT_EQ(IMAGE_PENDING, state.imageMarker);
        host.output.clear();
        code == 3 ? move(300, 100) : draw(300, 100);
        EXPECT_EQ(0u, state.imageMarker);
        // The image flushed the polyline first, so its point is in the
        // output and the new point is the only thing staged.
        EXPECT_NE(std::string::npos, host.output.find("Ge_"));
        EXPECT_EQ(code == 3 ? "PE7<Ge_" : "PE7Ge_", staged());
        mark = staged().size();
    }
}

int TAVIX_CDECL throwingWrite(int, int, const void*, int, int) { throw std::runtime_error("host failure"); }

// A point at the limit is staged in parts, and the flush that makes room
// calls the host: what that throws refuses the request and goes no further.
TEST_F(PenStateTest, nothingEscapesAFlushAtTheLimit) {
    for (int16_t code : {3, 4}) {
        SCOPED_TRACE(code);
        draw(10, 10);
        writeU32(host.table, SLOT_WRITE_OUTPUT, hostAddressOf(reinterpret_cast<const void*>(&throwingWrite)));
        state.outputCount = OUTPUT_LIMIT - 2;
        EXPECT_EQ(-1, code == 3 ? move(500, 500) : draw(500, 500));
        host.install();
        prepare(workedExampleSettings());
        ASSERT_EQ(0, beginPlot());
        mark = staged().size();
    }
}

TEST_F(PenStateTest, failedWriteAnswersMinusOne) {
    draw(1, 1);
    state.errorLatch = LATCH_OUTPUT;
    EXPECT_EQ(-1, draw(2, 2));
    EXPECT_EQ(-1, move(3, 3));
    EXPECT_EQ(-1, selectPen(2));
    EXPECT_EQ(-1, lineType(2));
    EXPECT_EQ(-1, penWidth(0.02));
    draw(1, 1);
    EXPECT_EQ(-1, lift());
}

// Outline capture, as code 52 arms it: the points drawn are collected until
// one returns to the origin, and the outline is then filled white.
TEST_F(PenStateTest, closedOutlineIsFilledWhiteAndThePenRestored) {
    selectPen(3);
    captureOutlineFrom(100, 100);
    written();
    EXPECT_EQ(4, draw(200, 100));
    EXPECT_EQ(4, draw(200, 200));
    EXPECT_EQ(0, draw(100, 100));  // the outline fill's result
    EXPECT_EQ("Ge__GeHeHe;SP255PE7<Ge_;PM0PE7_GeHeHeGe_;PM2FPSP3", written());
    EXPECT_EQ(0, state.outlineCapture);
    EXPECT_EQ(0, state.outlineCount);
    EXPECT_EQ(1, state.somethingDrawn);
    // The outline fill does not ask for a re-selection: it restored the pen.
    EXPECT_EQ(0, state.penReselect);
}

TEST_F(PenStateTest, outlineLongerThanTheListIsGivenUp) {
    captureOutlineFrom(0, 0);
    for (int i = 1; i <= OUTLINE_CAPACITY; ++i)
        draw(static_cast<uint16_t>(i), static_cast<uint16_t>(i % 2));
    EXPECT_EQ(OUTLINE_CAPACITY, state.outlineCount);
    // One more point has no room: capture ends, nothing is overwritten.
    OutlinePoint last = state.outlinePoints[OUTLINE_CAPACITY - 1];
    draw(2000, 0);
    EXPECT_EQ(0, state.outlineCapture);
    EXPECT_EQ(0, state.outlineCount);
    EXPECT_EQ(last.x, state.outlinePoints[OUTLINE_CAPACITY - 1].x);
    // Returning to the origin fills nothing now.
    written();
    draw(0, 0);
    EXPECT_EQ(std::string::npos, written().find("SP255"));
}

// Code 52 with the transparency flag 1 arms capture; points left from an
// outline that never closed do not start the new one.
TEST_F(PenStateTest, armedOutlineStartsEmpty) {
    move(100, 100);
    state.outlineCapture = 1;
    state.outlineCount = 7;  // an earlier outline that never closed
    std::vector<uint8_t> image(IMAGE_REQUEST_SIZE);
    writeI16(image.data(), PACKET_STATUS, 52);
    for (int offset : {imagePacket::X0, imagePacket::Y0, imagePacket::X1, imagePacket::Y1})
        writeI32(image.data(), offset, 100);  // no area
    writeI16(image.data(), imagePacket::TRANSPARENCY, 1);
    PlotEntry(image.data());
    EXPECT_EQ(1, readI16(image.data(), imagePacket::REPLY));
    EXPECT_EQ(0, state.outlineCount);
    EXPECT_EQ(100, state.outlineOrigin.x);
    // The image is printed first, then the draw is captured as point 0.
    draw(200, 100);
    EXPECT_EQ(0u, state.imageMarker);
    ASSERT_EQ(1, state.outlineCount);
    EXPECT_EQ(200, state.outlinePoints[0].x);
    // The image flushed what was staged before it.
    EXPECT_NE(std::string::npos, host.output.find("PE7<GeGe"));
    draw(200, 200);
    mark = staged().size();
    EXPECT_EQ(0, draw(100, 100));
    EXPECT_NE(std::string::npos, written().find(";SP255PE7<Ge_;PM0PE7_GeHeHeGe_;PM2FP"));
}

TEST_F(PenStateTest, codesWithoutHandlerLeaveThePacketAsItCame) {
    for (int code : {-5, 0, 1, 6, 10, 14, 16, 28, 32, 34, 35, 37, 40, 42, 44, 45, 51, 53, 55, 300}) {
        SCOPED_TRACE(code);
        std::vector<uint8_t> p(300);
        for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(i * 7 + 3);
        writeI16(p.data(), PACKET_STATUS, static_cast<int16_t>(code));
        std::vector<uint8_t> before = p;
        PlotEntry(p.data());
        EXPECT_EQ(before, p);
    }
    EXPECT_EQ("", written());
}

TEST_F(PenStateTest, lineTypeCountRequests) {
    writeI16(packet.data(), plotPacket::VALUE, 6);
    send(36);
    EXPECT_EQ(6, state.lineTypeCount);
    state.settings.setModelIndex(2);
    packet[plotPacket::LINE_TYPE_COUNT] = 4;
    send(43);
    EXPECT_EQ(4, state.lineTypeCount);
    EXPECT_EQ(2, state.currentModel);
}

int TAVIX_CDECL throwingExchange(int, int) { throw std::runtime_error("host failure"); }

TEST_F(PenStateTest, nothingEscapesTheEntry) {
    writeU32(host.table, SLOT_EXCHANGE_VALUE,
             hostAddressOf(reinterpret_cast<const void*>(&throwingExchange)));
    draw(9, 9);
    EXPECT_EQ(-1, endPlot());
}

}  // namespace
}  // namespace tavix::plottest
