// PackBits rows: TIFF PackBits with pieces of at most 124 bytes, closed by a
// one-byte literal of value 0 (two zero bytes). A header byte n of 0..123
// is followed by n + 1 literal bytes; 0x85..0xFF (-123..-1) by one byte
// repeated 1 - n times. No header is ever 0x80.
//
// Two equal neighbouring bytes already make a repeat; a stretch of bytes
// that each differ from both neighbours is a literal stretch. The packer
// finds both from one bit per byte, "equal to the next byte", computed for
// the whole row 64 bytes at a time. Where that bit changes, a repeat starts
// or ends: the list of those positions, taken from the bits before the
// walk, lets the walk emit each literal stretch and repeat without
// searching, so rows of short runs (dithered planes, photo tones) do not
// wait on one search after another.
#include "plot/packBits.h"

#include <cstring>

#include "tavix/driverState.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavix {
namespace {

constexpr int32_t PIECE = 124;

// A literal stretch up to this long is copied in one piece of this size.
constexpr int32_t SHORT_LITERAL = PACK_SLACK;

inline int lowestBit(uint64_t v) { return __builtin_ctzll(v); }

constexpr int32_t MAX_WORDS = (PACK_INPUT_SIZE + 63) / 64;

// Bit k of word w: data[64 w + k] == data[64 w + k + 1]. Position n - 1 has
// no next byte and is 0, as is every position past it.
int32_t equalNeighbours(const uint8_t* data, int32_t n, uint64_t* eq) {
    const int32_t words = (n + 63) / 64;
    int32_t w = 0;
#if defined(__SSE2__)
    for (; 64 * w + 65 <= n; ++w) {  // the 65 bytes read are all in the row
        uint64_t mask = 0;
        for (int q = 0; q < 4; ++q) {
            const uint8_t* p = data + 64 * w + 16 * q;
            __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
            mask |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b))))
                    << (16 * q);
        }
        eq[w] = mask;
    }
#endif
    for (; w < words; ++w) {
        uint64_t mask = 0;
        const int32_t base = 64 * w;
        const int32_t last = base + 64 < n - 1 ? base + 64 : n - 1;
        for (int32_t k = base; k < last; ++k)
            if (data[k] == data[k + 1]) mask |= uint64_t{1} << (k - base);
        eq[w] = mask;
    }
    return words;
}

// Every position where the bit changes, in order, into `at`: the first
// byte of a repeat, then the last byte of that repeat, and so on. A row
// begins outside a repeat and the bit of position n - 1 is clear, so the
// list has an even length, at most n.
int32_t repeatBounds(const uint64_t* eq, int32_t words, int32_t* at) {
    int32_t count = 0;
    uint64_t before = 0;  // the bit of the position before the word
    for (int32_t w = 0; w < words; ++w) {
        uint64_t changes = eq[w] ^ ((eq[w] << 1) | before);
        before = eq[w] >> 63;
        while (changes != 0) {
            at[count++] = 64 * w + lowestBit(changes);
            changes &= changes - 1;
        }
    }
    return count;
}

// Copies n bytes, sizeof(T) <= n <= 2 * sizeof(T), as two words that may
// overlap.
template <typename T>
inline void copyTwoWords(uint8_t* out, const uint8_t* in, int32_t n) {
    T first, last;
    std::memcpy(&first, in, sizeof first);
    std::memcpy(&last, in + n - sizeof(T), sizeof last);
    std::memcpy(out, &first, sizeof first);
    std::memcpy(out + n - sizeof(T), &last, sizeof last);
}

// Copies 1..124 bytes without a library call; never touches a byte outside
// either range.
inline void copySmall(uint8_t* out, const uint8_t* in, int32_t n) {
    if (n >= 16) {
#if defined(__SSE2__)
        int32_t k = 0;
        for (; k + 16 < n; k += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + n - 16),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + n - 16)));
#else
        std::memcpy(out, in, static_cast<size_t>(n));
#endif
    } else if (n >= 8) {
        copyTwoWords<uint64_t>(out, in, n);
    } else if (n >= 4) {
        copyTwoWords<uint32_t>(out, in, n);
    } else {
        for (int32_t k = 0; k < n; ++k) out[k] = in[k];
    }
}

// `readable` is how many bytes from `bytes` on belong to the row.
uint8_t* putLiterals(uint8_t* out, const uint8_t* bytes, int32_t n, int32_t readable) {
    while (n > 0) {
        int32_t piece = n < PIECE ? n : PIECE;
        *out++ = static_cast<uint8_t>(piece - 1);
#if defined(__SSE2__)
        if (piece <= 16 && readable >= 16)  // the usual short piece: one copy
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
        else
#endif
            copySmall(out, bytes, piece);
        readable -= piece;
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
    int32_t n = length > 0 && data != nullptr ? length : 0;
    if (n > PACK_INPUT_SIZE) n = PACK_INPUT_SIZE;
    uint64_t eq[MAX_WORDS];
    int32_t* bounds = state.raster.packRuns;
    const int32_t count = repeatBounds(eq, equalNeighbours(data, n, eq), bounds);
    int32_t i = 0;  // the first byte not yet packed
    for (int32_t k = 0; k < count; k += 2) {
        const int32_t start = bounds[k];
        const int32_t end = bounds[k + 1] + 1;
        const int32_t literal = start - i;
        if (literal <= SHORT_LITERAL && i + SHORT_LITERAL <= n) {
            // One header and a copy of fixed size; an empty stretch leaves
            // them to be overwritten by the repeat.
            o[0] = static_cast<uint8_t>(literal - 1);
            std::memcpy(o + 1, data + i, SHORT_LITERAL);
            o += literal == 0 ? 0 : literal + 1;
        } else if (literal > 0) {
            o = putLiterals(o, data + i, literal, n - i);
        }
        const int32_t run = end - start;
        if (run <= PIECE) {
            o[0] = static_cast<uint8_t>(1 - run);
            o[1] = data[start];
            o += 2;
        } else {
            o = putRepeat(o, data[start], run);
        }
        i = end;
    }
    if (i < n) o = putLiterals(o, data + i, n - i, n - i);
    *o++ = 0;
    *o++ = 0;
    return static_cast<int32_t>(o - out);
}

// One packed row of the longest input fits the raster state's output.
static_assert(packedBound(PACK_INPUT_SIZE) + PACK_SLACK <= PACK_OUTPUT_SIZE);

}  // namespace tavix
