// The pen state machine: every vector request is written into one long
// Polyline Encoded sequence, and penState decides when a sequence is opened
// ("PE7<" / "PE7", or "PE" in 8-bit form), when a pen-up flag "<" is written
// or used up, and when the sequence is closed with ";".
//
//   event   state before          output              state after
//   move    PEN_OUTSIDE           peIntro "<", P      PEN_MOVED
//   move    PEN_UP_FLAGGED        P                   PEN_MOVED
//   move    PEN_DOWN, PEN_MOVED   "<", P              PEN_MOVED
//   draw    PEN_OUTSIDE           peIntro, P          PEN_DOWN
//   draw    PEN_UP_FLAGGED        two zeros, P        PEN_MOVED
//   draw    PEN_DOWN, PEN_MOVED   P                   PEN_DOWN
//   lift    PEN_DOWN, PEN_MOVED   "<"                 PEN_UP_FLAGGED
//   lift    PEN_OUTSIDE, UP       nothing             unchanged
//
// In every row previousPenState takes the old penState, also when the state
// stays the same: a move or draw is redundant (dropped whole) only when the
// state did not change since the last event and the point is the last one.
#include <cstdint>

#include "plot/penStateMachine.h"
#include "plot/polygonFill.h"
#include "plot/requestGuard.h"
#include "tavix/driverState.h"
#include "tavix/outputBuffer.h"
#include "tavix/packet.h"
#include "runtime/textFormat.h"

namespace tavix {
namespace {

void enterState(int16_t next) {
    state.previousPenState = state.penState;
    state.penState = next;
}

bool isRedundant(uint32_t x, uint32_t y) {
    return state.penState == state.previousPenState && state.penState != PEN_OUTSIDE &&
           static_cast<int32_t>(x) == state.lastHostX && static_cast<int32_t>(y) == state.lastHostY;
}

// The introducer and "<" that open a pen-up sequence, as one text.
int writeIntroWithPenUp() {
    char text[8];
    TextBuilder(text, sizeof text).text(state.peIntro).character('<');
    return writeText(text);
}

}  // namespace

int leavePe() {
    int16_t s = state.penState;
    enterState(PEN_OUTSIDE);
    if (s == PEN_UP_FLAGGED || s == PEN_DOWN || s == PEN_MOVED) return writeText(";");
    return 0;
}

// The move and draw rows of the table, whatever the state.
int moveTo(uint32_t x, uint32_t y, bool* dropped) {
    const bool redundant = isRedundant(x, y);
    if (dropped != nullptr) *dropped = redundant;
    if (redundant) return 0;
    int16_t before = state.penState;
    enterState(PEN_MOVED);
    if (before == PEN_OUTSIDE) {
        if (writeIntroWithPenUp() != 0) return -1;
        return stagePointInMode(x, y, 0);
    }
    // "<" unless a lift has written it already.
    return stagePointInMode(x, y, before != PEN_UP_FLAGGED ? 1 : 0);
}

int drawTo(uint32_t x, uint32_t y, bool* dropped) {
    const bool redundant = isRedundant(x, y);
    if (dropped != nullptr) *dropped = redundant;
    if (redundant) return 0;
    int16_t before = state.penState;
    if (before == PEN_DOWN || before == PEN_MOVED) {
        enterState(PEN_DOWN);
        return stagePointInMode(x, y, 0);
    }
    if (before == PEN_UP_FLAGGED) {
        // A zero move uses up the pending "<"; the point is then drawn.
        enterState(PEN_MOVED);
        if (encodePeNumber(0) != 0 || encodePeNumber(0) != 0) return -1;
        return stagePointInMode(x, y, 0);
    }
    enterState(PEN_DOWN);
    if (writeText(state.peIntro) != 0) return -1;
    return stagePointInMode(x, y, 0);
}

int liftPen() {
    int16_t before = state.penState;
    if (before == PEN_DOWN || before == PEN_MOVED) {
        enterState(PEN_UP_FLAGGED);
        return writeText("<");
    }
    enterState(before);
    return 0;
}

void clearOutlineCapture() {
    state.outlineCapture = 0;
    state.outlineCount = 0;
}

// Code 4 in every case the common path (continueDraw) leaves out.
void drawInGeneral(uint8_t* packet, uint32_t x, uint32_t y) {
    if (state.penReselect != 0) {
        // The fill left its own pen selected; the leading ";" closes
        // whatever it left open.
        state.penReselect = 0;
        enterState(PEN_OUTSIDE);
        char text[16];
        TextBuilder(text, sizeof text).text(";SP").integer(state.currentPen);
        if (writeText(text) != 0) return refuseRequest(packet);
    }
    bool dropped = false;
    if (drawTo(x, y, &dropped) < 0) return refuseRequest(packet);
    if (dropped) return;  // nothing drawn, nothing captured

    if (state.outlineCapture != 0) {
        if (state.outlineCount < 0 || state.outlineCount >= OUTLINE_CAPACITY) {
            // An outline longer than the list cannot be filled as drawn;
            // it is given up rather than filled with a cut polygon.
            clearOutlineCapture();
        } else {
            OutlinePoint& p = state.outlinePoints[state.outlineCount++];
            p.x = static_cast<int32_t>(x);
            p.y = static_cast<int32_t>(y);
            if (p.x == state.outlineOrigin.x && p.y == state.outlineOrigin.y) {
                int result = fillPolygonOutline(state.currentPen);
                writeI16(packet, PACKET_STATUS, static_cast<int16_t>(result));
                if (result != 0) return;
                clearOutlineCapture();
            }
        }
    }
    state.somethingDrawn = 1;
}

void moveInGeneral(uint8_t* packet, uint32_t x, uint32_t y) {
    if (moveTo(x, y) < 0) refuseRequest(packet);
}

int moveInGeneralGuarded(uint8_t* packet, uint32_t x, uint32_t y) {
    return guardRequest(packet, [&] { moveInGeneral(packet, x, y); });
}

int drawInGeneralGuarded(uint8_t* packet, uint32_t x, uint32_t y) {
    return guardRequest(packet, [&] { drawInGeneral(packet, x, y); });
}

int finishMoveInParts(uint32_t x, uint32_t y) {
    uint8_t* packet = state.currentPacket;
    return guardRequest(packet, [&] {
        if (stagePointInParts(x, y, true) != 0) refuseRequest(packet);
    });
}

int finishDrawInParts(uint32_t x, uint32_t y) {
    uint8_t* packet = state.currentPacket;
    return guardRequest(packet, [&] {
        if (stagePointInParts(x, y, false) != 0) return refuseRequest(packet);
        state.somethingDrawn = 1;
    });
}

// The table's handlers: PlotEntry sends codes 3 and 4 here only when the
// gate was shut, so the general way serves them.
void moveRequest(uint8_t* packet) {
    moveInGeneral(packet, readU16(packet, plotPacket::X), readU16(packet, plotPacket::Y));
}

void drawRequest(uint8_t* packet) {
    drawInGeneral(packet, readU16(packet, plotPacket::X), readU16(packet, plotPacket::Y));
}

}  // namespace tavix
