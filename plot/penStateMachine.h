// The pen state machine of the vector requests (codes 3, 4 and 8): pen up
// and down moves in Polyline Encoded form, and the outline a draw collects
// for an image.
//
// The dispatcher serves moves and draws inline: nearly every request of a
// plot is a draw or a move that goes on from a drawn or moved point, and
// that case is one straight path here (state, one point staged by
// stageWholePoint), taken when the gate of plot/requestGate.h is open.
// Everything else (opening a sequence, after a lift, a pen to re-select
// after a fill, an outline being captured, the latch, a point dropped as
// redundant) goes the general way in penStateMachine.cpp.
#pragma once

#include <cstdint>

#include "plot/peEncoding.h"
#include "tavix/driverState.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix {

// Closes an open PE sequence with ";" and leaves penState at PEN_OUTSIDE.
int leavePe();

// Codes 3, 4 and 8. A point dropped as redundant (the same point in an
// unchanged state) writes and changes nothing and answers 0; moveTo and
// drawTo say so in *dropped when it is given, set either way, so that a
// caller can leave out what follows a drawn point (outline capture).
int moveTo(uint32_t x, uint32_t y, bool* dropped = nullptr);
int drawTo(uint32_t x, uint32_t y, bool* dropped = nullptr);
int liftPen();

// Code 3 as a whole request: the move, refused when it fails.
void moveRequest(uint8_t* packet);

// Code 4 as a whole request: pen re-selection, the draw, outline capture.
void drawRequest(uint8_t* packet);

// Ends outline capture and forgets the points collected, so that an outline
// that never closed does not start the next one.
void clearOutlineCapture();

// Codes 3 and 4 in every case; the request is refused when a write fails.
void moveInGeneral(uint8_t* packet, uint32_t x, uint32_t y);
void drawInGeneral(uint8_t* packet, uint32_t x, uint32_t y);

// The common path of codes 3 and 4, for PlotEntry once the gate
// (plot/requestGate.h) is open: the pen is down or has just moved inside a
// PE sequence, no latch, nothing else pending. What is left is the
// redundant point (the same point in an unchanged state), which goes the
// general way to be dropped there, and a point that must be staged in
// parts. s is penState. Every way out answers 0 and ends in a call at most,
// so PlotEntry can end with these (the general ways guard the request, as
// PlotEntry does).
inline bool isRepeatedPoint(int16_t s, uint32_t x, uint32_t y) {
    return s == state.previousPenState && static_cast<int32_t>(x) == state.lastHostX &&
           static_cast<int32_t>(y) == state.lastHostY;
}

int moveInGeneralGuarded(uint8_t* packet, uint32_t x, uint32_t y);
int drawInGeneralGuarded(uint8_t* packet, uint32_t x, uint32_t y);

// The rest of a common move or draw whose point stageWholePoint left, for
// the request in state.currentPacket (PlotEntry's): staged in parts, the
// request refused when that fails, otherwise (a draw) something is drawn.
int finishMoveInParts(uint32_t x, uint32_t y);
int finishDrawInParts(uint32_t x, uint32_t y);

// Code 3: "<" and the point; the state becomes PEN_MOVED.
[[gnu::always_inline]] inline int continueMove(uint8_t* packet, int16_t s) {
    const uint32_t x = readU16(packet, plotPacket::X), y = readU16(packet, plotPacket::Y);
    if (isRepeatedPoint(s, x, y)) return moveInGeneralGuarded(packet, x, y);
    state.previousPenState = s;
    state.penState = PEN_MOVED;
    if (!stageWholePointInMode(x, y, 1)) [[unlikely]]
        return finishMoveInParts(x, y);
    return 0;
}

// Code 4: the point; the state becomes PEN_DOWN and something is drawn.
[[gnu::always_inline]] inline int continueDraw(uint8_t* packet, int16_t s) {
    const uint32_t x = readU16(packet, plotPacket::X), y = readU16(packet, plotPacket::Y);
    if (isRepeatedPoint(s, x, y)) return drawInGeneralGuarded(packet, x, y);
    state.previousPenState = s;
    state.penState = PEN_DOWN;
    if (!stageWholePointInMode(x, y, 0)) [[unlikely]]
        return finishDrawInParts(x, y);
    state.somethingDrawn = 1;
    return 0;
}

}  // namespace tavix
