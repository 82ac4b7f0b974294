// Polyline Encoded numbers without branches, for the vector path.
//
// A PE integer is n = 2|v| + (v < 0), written as digits least significant
// first. 7-bit form (base 32, after "PE7"): digits 63 + (n mod 32), the last
// one 95 + n. 8-bit form (base 64, after "PE"): digits 63 + (n mod 64), the
// last one 191 + n.
//
// Here the whole number is built in one 64-bit word, byte i holding digit i:
// the leading zeros of n give the digit count (a table, no loop), the 5- or
// 6-bit groups of n are spread into bytes by three mask-and-multiply steps, and
// one addition puts 63 on every digit and 95 (or 191) on the last. The word
// goes to the buffer in one 8-byte store; the bytes past the number are
// overwritten by whatever is staged next (the OutputBuffer keeps 8 bytes of
// slack behind its limit, so the store never leaves the block).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "tavix/driverState.h"

namespace tavix::pe {

// A number too long for one word (more than 8 digits: n of 2^40 or more in
// 7-bit form, 2^48 in 8-bit form; no host point at the divisors 1 to 16 of
// a plot area comes near).
// Its length is this instead of its digit count, so that any capacity test
// of the staged total fails and the caller takes the general path.
constexpr uint32_t TOO_LONG = 1u << 28;

struct Word {
    uint64_t digits;  // byte i = digit i
    uint32_t length;  // 1..8, or TOO_LONG
};

// n = 2|v| + sign: s is 0 or all ones, (v ^ s) - s is |v|, and subtracting s
// adds the sign bit. Wraps exactly as 2 * |v| + 1 in unsigned arithmetic.
inline uint64_t foldSign(int64_t v) {
    uint64_t s = static_cast<uint64_t>(v >> 63);
    uint64_t magnitude = (static_cast<uint64_t>(v) ^ s) - s;
    return (magnitude << 1) - s;
}

template <bool EightBit>
struct Form {
    static constexpr unsigned BITS = EightBit ? 6 : 5;  // bits per digit
    static constexpr unsigned LAST = EightBit ? 191 : 95;
};

// Indexed by the leading zeros of n | 1 (0..63): the digit count, and the
// word that adds the digit offsets (63 on every digit, the terminator's
// offset on the last).
template <bool EightBit>
struct LengthTables {
    uint64_t offsets[64];
    uint32_t length[64];
    constexpr LengthTables() : offsets{}, length{} {
        constexpr unsigned bits = Form<EightBit>::BITS;
        for (unsigned zeros = 0; zeros < 64; ++zeros) {
            unsigned bitLength = 64 - zeros;
            unsigned digits = (bitLength + bits - 1) / bits;
            if (digits > 8) {
                length[zeros] = TOO_LONG;
                continue;
            }
            for (unsigned i = 0; i + 1 < digits; ++i) offsets[zeros] |= uint64_t{63} << (8 * i);
            offsets[zeros] |= uint64_t{Form<EightBit>::LAST} << (8 * (digits - 1));
            length[zeros] = digits;
        }
    }
};

template <bool EightBit>
static constexpr LengthTables<EightBit> lengthTables{};

// Spreads the low eight 5-bit (or 6-bit) groups of n into the eight bytes
// of a word: halves, then quarters, then bytes. Each step moves the upper
// group t of every lane up by k bits as n + t * (2^k - 1).
template <bool EightBit>
inline uint64_t spreadDigits(uint64_t n) {
    if constexpr (EightBit) {
        n += (n & 0x0000FFFFFF000000ull) * 255;
        n += (n & 0x00FFF00000FFF000ull) * 15;
        n += (n & 0x0FC00FC00FC00FC0ull) * 3;
    } else {
        n += (n & 0x000000FFFFF00000ull) * 4095;
        n += (n & 0x000FFC00000FFC00ull) * 63;
        n += (n & 0x03E003E003E003E0ull) * 7;
    }
    return n;
}

// The digits of v as one word. For TOO_LONG the digits are meaningless.
template <bool EightBit>
inline Word encode(int64_t v) {
    uint64_t n = foldSign(v);
    unsigned zeros = static_cast<unsigned>(std::countl_zero(n | 1));
    const LengthTables<EightBit>& t = lengthTables<EightBit>;
    return {spreadDigits<EightBit>(n) + t.offsets[zeros], t.length[zeros]};
}

// All eight bytes of the word at p, digit 0 first, in one store.
inline void storeWord(uint8_t* p, uint64_t word) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &word, sizeof word);
    } else {
        for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(word >> (8 * i));
    }
}

}  // namespace tavix::pe

namespace tavix {

static_assert(OUTPUT_BUFFER_SIZE - OUTPUT_LIMIT >= 8,
              "an 8-byte store that starts below OUTPUT_LIMIT must stay inside the buffer");

// The general path of stageWholePoint: "<" when penUp, then the PE pair, each
// staged on its own with every rule of writeText (no buffer, the latch, a
// flush at the limit) and the pen position updated as emitPoint does.
int stagePointInParts(uint32_t x, uint32_t y, bool penUp);

// "<" when penUp (0 or 1), then the relative PE pair from the pen position
// to host point (x, y), in the common case only: a buffer held and the
// whole point below the limit, so that neither part would flush. That takes
// one capacity check and three stores for the whole point. Otherwise it
// answers false and changes nothing (the caller stages the point in parts).
// errorLatch is the caller's to test.
template <bool EightBit>
[[gnu::always_inline]] inline bool stageWholePoint(uint32_t x, uint32_t y, uint32_t penUp) {
    uint8_t* buffer = state.outputBuffer;
    if (buffer == nullptr) [[unlikely]]
        return false;
    // 64-bit: a host coordinate of 65535 at any divisor stays exact.
    const int64_t cx = static_cast<int64_t>(x) * state.scaleDivisor;
    const int64_t cy = static_cast<int64_t>(y) * state.scaleDivisor;
    const int32_t fromX = state.currentX, fromY = state.currentY;
    const pe::Word wx = pe::encode<EightBit>(cx - fromX);
    const pe::Word wy = pe::encode<EightBit>(cy - fromY);
    // In 64 bits a (corrupt) negative count or a TOO_LONG number fails
    // the one test as well; on a 64-bit machine that costs nothing.
    const uint32_t count = static_cast<uint32_t>(state.outputCount);
    const uint64_t end = uint64_t{count} + penUp + wx.length + wy.length;
    if (end >= static_cast<uint64_t>(OUTPUT_LIMIT)) [[unlikely]]
        return false;
    // The byte stores may alias the state: the pen position is read again
    // between them (fewer registers held across the encoding) and its
    // fields are stored in pairs, not packed into a vector register first.
    uint8_t* out = buffer + count;
    out[0] = '<';  // overwritten by the first digits unless penUp
    pe::storeWord(out + penUp, wx.digits);
    state.previousX = state.currentX;
    state.previousY = state.currentY;
    pe::storeWord(out + penUp + wx.length, wy.digits);
    state.currentX = static_cast<int32_t>(cx);
    state.currentY = static_cast<int32_t>(cy);
    state.lastHostX = static_cast<int32_t>(x);
    state.lastHostY = static_cast<int32_t>(y);
    state.outputCount = static_cast<int32_t>(end);
    return true;
}

// stageWholePoint in the form the settings choose ("PE" 8-bit or "PE7" 7-bit).
[[gnu::always_inline]] inline bool stageWholePointInMode(uint32_t x, uint32_t y, uint32_t penUp) {
    return state.settings.get(flags::eightBitEncoding) ? stageWholePoint<true>(x, y, penUp)
                                                        : stageWholePoint<false>(x, y, penUp);
}

// "<" when penUp, then the relative PE pair: the bytes, state and flushes
// of writeText("<") followed by emitPoint, in every case.
[[gnu::always_inline]] inline int stagePointInMode(uint32_t x, uint32_t y, uint32_t penUp) {
    if (state.errorLatch == 0 && stageWholePointInMode(x, y, penUp)) [[likely]]
        return 0;
    return stagePointInParts(x, y, penUp != 0);
}

}  // namespace tavix
