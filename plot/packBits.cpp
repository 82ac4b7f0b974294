// packRow: TIFF PackBits with pieces of at most 124 bytes, closed by a
// one-byte literal of value 0 (two zero bytes). A header byte n of 0..123
// is followed by n + 1 literal bytes; 0x85..0xFF (-123..-1) by one byte
// repeated 1 - n times. No header is ever 0x80.
//
// Two equal neighbouring bytes already make a repeat; a stretch of bytes
// that each differ from both neighbours is a literal stretch.
#include "plot/packBits.h"

#include <cstring>

#include "tavix/driverState.h"
#include "tavix/raster.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavix {
namespace {

constexpr int32_t PIECE = 124;

inline int firstSetBit(unsigned v) { return __builtin_ctz(v); }

// First j in [from, n - 1) with data[j] == data[j + 1], or n.
int32_t findRepeat(const uint8_t* data, int32_t from, int32_t n) {
    int32_t j = from;
#if defined(__SSE2__)
    while (j + 17 <= n) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + j));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + j + 1));
        unsigned same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b)));
        if (same != 0) return j + firstSetBit(same);
        j += 16;
    }
#endif
    for (; j + 1 < n; ++j)
        if (data[j] == data[j + 1]) return j;
    return n;
}

// First k in [from, n) with data[k] != value, or n.
int32_t findRunEnd(const uint8_t* data, int32_t from, int32_t n, uint8_t value) {
    int32_t k = from;
#if defined(__SSE2__)
    const __m128i v = _mm_set1_epi8(static_cast<char>(value));
    while (k + 16 <= n) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + k));
        unsigned same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, v)));
        if (same != 0xFFFFu) return k + firstSetBit(~same & 0xFFFFu);
        k += 16;
    }
#endif
    while (k < n && data[k] == value) ++k;
    return k;
}

uint8_t* putLiterals(uint8_t* out, const uint8_t* bytes, int32_t n) {
    while (n > 0) {
        int32_t piece = n < PIECE ? n : PIECE;
        *out++ = static_cast<uint8_t>(piece - 1);
        std::memcpy(out, bytes, static_cast<size_t>(piece));
        out += piece;
        bytes += piece;
        n -= piece;
    }
    return out;
}

uint8_t* putRepeat(uint8_t* out, uint8_t value, int32_t n) {
    for (; n > PIECE; n -= PIECE) {
        *out++ = 0x85;  // -123: 124 copies
        *out++ = value;
    }
    // The remainder 1..124; a remainder of 1 is the header 0, a one-byte literal.
    *out++ = static_cast<uint8_t>(1 - n);
    *out++ = value;
    return out;
}

}  // namespace

int32_t packInto(uint8_t* out, int32_t length, const uint8_t* data) {
    uint8_t* o = out;
    int32_t n = length > 0 ? length : 0;
    int32_t i = 0;
    while (i < n) {
        int32_t j = findRepeat(data, i, n);
        o = putLiterals(o, data + i, j - i);
        if (j >= n) break;
        int32_t k = findRunEnd(data, j + 2, n, data[j]);
        o = putRepeat(o, data[j], k - j);
        i = k;
    }
    *o++ = 0;
    *o++ = 0;
    return static_cast<int32_t>(o - out);
}

// More than PACK_INPUT_SIZE bytes are never packed: the rest of such a row
// would not fit the packer's buffers. Callers clip their rows to that size.
int32_t packRow(int32_t length, const uint8_t* data) {
    if (data == nullptr) length = 0;
    if (length > PACK_INPUT_SIZE) length = PACK_INPUT_SIZE;
    static_assert(packedBound(PACK_INPUT_SIZE) <= PACK_OUTPUT_SIZE);
    return packInto(state.raster.packOutput, length, data);
}

}  // namespace tavix
