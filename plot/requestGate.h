// Whether a move or draw request may take the common path of PlotEntry: the
// pen down or just moved inside an open PE sequence, and none of the rare
// conditions that need the general path (an image waiting to be printed, the
// error latch, a pen to re-select after a fill, an outline being captured).
//
// The fields that decide it lie side by side at the start of the pen state
// group of DriverState (penState, penReselect, errorLatch, outlineCapture,
// then imageMarker), so the whole test is two loads, a subtraction, a mask
// and an or: nothing has to be kept up to date when a condition changes.
// Any non-zero imageMarker closes the gate (only IMAGE_PENDING means an
// image; the general path tests that exactly).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "tavix/driverState.h"

namespace tavix::gate {

static_assert(std::is_standard_layout_v<DriverState>);
static_assert(offsetof(DriverState, penReselect) == offsetof(DriverState, penState) + 2 &&
                  offsetof(DriverState, errorLatch) == offsetof(DriverState, penState) + 3 &&
                  offsetof(DriverState, outlineCapture) == offsetof(DriverState, penState) + 4 &&
                  offsetof(DriverState, imageMarker) == offsetof(DriverState, penState) + 8,
              "the gate fields must stay side by side (driverState.h)");
static_assert(PEN_MOVED == 2 * PEN_DOWN && PEN_DOWN == 4, "the gate folds these two states with one mask");

// Bytes of the gate fields, read as one little-endian word.
template <typename Word>
inline Word gateWord() {
    Word w;
    std::memcpy(&w, reinterpret_cast<const unsigned char*>(&state) + offsetof(DriverState, penState),
                sizeof w);
    return w;
}

// penState - PEN_DOWN is 0 or PEN_DOWN exactly for PEN_DOWN and PEN_MOVED;
// any other state leaves other bits (a state below PEN_DOWN borrows from
// every byte above it). The mask keeps every bit but that one, so the rest
// of the word must be zero as well.
constexpr uint64_t STATE_BIT = static_cast<uint64_t>(PEN_MOVED - PEN_DOWN);

// A draw: every rare condition counts. penState is set in any case (the
// low half of the word already read, not a second load).
inline bool drawMayContinue(int16_t& penState) {
    if constexpr (std::endian::native == std::endian::little) {
        const uint64_t word = gateWord<uint64_t>();
        penState = static_cast<int16_t>(word);
        return (((word - PEN_DOWN) & ~STATE_BIT) | state.imageMarker) == 0;
    } else {
        penState = state.penState;
        return (penState == PEN_DOWN || penState == PEN_MOVED) && state.penReselect == 0 &&
               state.errorLatch == 0 && state.outlineCapture == 0 && state.imageMarker == 0;
    }
}

// A move: neither a pen to re-select nor outline capture concerns it, so
// only penState, errorLatch and imageMarker count (the mask leaves out the
// penReselect byte, the 32-bit word leaves out outlineCapture).
inline bool moveMayContinue(int16_t& penState) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr uint32_t mask = 0xFF00FFFFu & ~static_cast<uint32_t>(STATE_BIT);
        const uint32_t word = gateWord<uint32_t>();
        penState = static_cast<int16_t>(word);
        return (((word - PEN_DOWN) & mask) | state.imageMarker) == 0;
    } else {
        penState = state.penState;
        return (penState == PEN_DOWN || penState == PEN_MOVED) && state.errorLatch == 0 &&
               state.imageMarker == 0;
    }
}

}  // namespace tavix::gate
