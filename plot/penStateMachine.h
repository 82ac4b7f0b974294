// The move and draw requests as the dispatcher serves them inline: nearly
// every request of a plot is a draw or a move that goes on from a drawn or
// moved point, and that case is one straight path here (state, one point
// staged by stagePoint). Everything else (opening a sequence, after a lift,
// a pen to re-select after a fill, an outline being captured, a point
// dropped as redundant) goes the general way in penStateMachine.cpp.
#pragma once

#include <cstdint>

#include "plot/peEncoding.h"
#include "tavix/driverState.h"
#include "tavix/packet.h"

namespace tavix {

// Codes 3 and 4 in every case (penStateMachine.cpp); -1 at packet offset 0
// when a write fails.
void moveInGeneral(uint8_t* packet, uint32_t x, uint32_t y);
void drawInGeneral(uint8_t* packet, uint32_t x, uint32_t y);

// The pen is down or has just moved inside a PE sequence, and (x, y) is not
// the last point in an unchanged state (a redundant point is dropped).
inline bool continuesSequence(int16_t s, uint32_t x, uint32_t y) {
    return (s == PEN_DOWN || s == PEN_MOVED) &&
           !(s == state.previousPenState && static_cast<int32_t>(x) == state.lastHostX &&
             static_cast<int32_t>(y) == state.lastHostY);
}

// Code 3: "<" and the point; the state becomes PEN_MOVED.
[[gnu::always_inline]] inline void serveMove(uint8_t* packet) {
    const uint32_t x = readU16(packet, 4), y = readU16(packet, 6);
    const int16_t s = state.penState;
    if (!continuesSequence(s, x, y)) return moveInGeneral(packet, x, y);
    state.previousPenState = s;
    state.penState = PEN_MOVED;
    if (stagePointInMode(x, y, 1) != 0) writeI16(packet, 0, -1);
}

// Code 4: the point; the state becomes PEN_DOWN and something is drawn.
[[gnu::always_inline]] inline void serveDraw(uint8_t* packet) {
    const uint32_t x = readU16(packet, 4), y = readU16(packet, 6);
    const int16_t s = state.penState;
    if (!continuesSequence(s, x, y) || state.penReselect != 0 || state.outlineCapture != 0)
        return drawInGeneral(packet, x, y);
    state.previousPenState = s;
    state.penState = PEN_DOWN;
    if (stagePointInMode(x, y, 0) != 0) return writeI16(packet, 0, -1);
    state.somethingDrawn = 1;
}

}  // namespace tavix
