// Polyline Encoded (PE) numbers and relative coordinate pairs.
//
// PE integers: n = 2v for v >= 0, 2|v| + 1 for v < 0 (the low bit carries the
// sign), then digits least significant first. 7-bit form (base 32, "PE7"):
// digits 63 + (n mod 32), terminated by 95 + n. 8-bit form (base 64, "PE"):
// digits 63 + (n mod 64), terminated by 191 + n. In 7-bit form a relative
// step of -15..15 plotter units takes one byte, -511..511 two.
//
// The vector requests stage whole points through stageWholePoint (peEncoding.h);
// what is here is the general path behind it: a number of any length, and a
// point staged part by part when the buffer is missing, latched or full.
#include "plot/peEncoding.h"

#include <cstdint>

#include "tavix/driverState.h"
#include "tavix/outputBuffer.h"

namespace tavix {

size_t encodePeDigits(int64_t value, bool eightBit, uint8_t* out) {
    uint64_t n = pe::foldSign(value);
    const unsigned bits = eightBit ? 6 : 5;
    const uint64_t base = uint64_t{1} << bits;
    size_t length = 0;
    while (n >= base) {
        out[length++] = static_cast<uint8_t>(63 + (n & (base - 1)));
        n >>= bits;
    }
    out[length++] = static_cast<uint8_t>((eightBit ? 191 : 95) + n);
    return length;
}

int encodePeNumber(int64_t value) {
    uint8_t digits[16];
    size_t n = encodePeDigits(value, state.settings.get(flags::eightBitEncoding), digits);
    return writeBytes(digits, n);
}

namespace {

// emitPoint as two separate texts: each may flush at the limit, and each
// follows the rules of writeText when there is no buffer or a latch.
int emitPointInParts(uint32_t x, uint32_t y) {
    if (state.errorLatch != 0) return -1;
    state.lastHostX = static_cast<int32_t>(x);
    state.lastHostY = static_cast<int32_t>(y);
    state.previousX = state.currentX;
    state.previousY = state.currentY;
    // 64-bit products and differences: a host coordinate of 65535 times 16
    // and a difference of two such values stay exact.
    int64_t cx = static_cast<int64_t>(x) * state.scaleDivisor;
    int64_t cy = static_cast<int64_t>(y) * state.scaleDivisor;
    int64_t dx = cx - state.previousX;
    int64_t dy = cy - state.previousY;
    state.currentX = static_cast<int32_t>(cx);
    state.currentY = static_cast<int32_t>(cy);
    bool eightBit = state.settings.get(flags::eightBitEncoding);
    uint8_t digits[32];
    size_t nx = encodePeDigits(dx, eightBit, digits);
    size_t ny = encodePeDigits(dy, eightBit, digits + nx);
    int rx = writeBytes(digits, nx);
    int ry = writeBytes(digits + nx, ny);
    return (rx == 0 && ry == 0) ? 0 : -1;
}

}  // namespace

int stagePointInParts(uint32_t x, uint32_t y, bool penUp) {
    if (penUp && writeBytes("<", 1) != 0) return -1;
    return emitPointInParts(x, y);
}

int emitPoint(uint32_t x, uint32_t y) { return stagePointInMode(x, y, 0); }

}  // namespace tavix
