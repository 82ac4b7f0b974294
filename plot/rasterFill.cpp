// The component fill of the raster encoder. Sixteen or thirty-two pixels at
// a time where SSE2 is there (the i686 DLL requires it): RGB triples are
// separated into planes by five rounds of byte interleaving, and pixel
// replication by powers of two (the scale divisors 1 to 16) by interleaving
// a plane with itself. Other factors and the row's tail go pixel by pixel.
#include "plot/rasterFill.h"

#include <cstring>

#include "plot/grayLevel.h"
#include "tavix/driverState.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavix {
namespace {

struct Key {
    bool active;
    uint8_t r, g, b;
};

// The key colour can only match bytes when each component is a byte value.
Key keyColour() {
    const RasterState& rs = state.raster;
    auto isByte = [](int32_t v) { return v >= 0 && v <= 255; };
    Key k{rs.keyEnabled != 0 && isByte(rs.keyRed) && isByte(rs.keyGreen) && isByte(rs.keyBlue),
          static_cast<uint8_t>(rs.keyRed), static_cast<uint8_t>(rs.keyGreen),
          static_cast<uint8_t>(rs.keyBlue)};
    return k;
}

inline void storePixel(int32_t at, int32_t m, uint8_t r, uint8_t g, uint8_t b) {
    RasterState& rs = state.raster;
    for (int32_t k = 0; k < m; ++k) {
        rs.red[at + k] = r;
        rs.green[at + k] = g;
        rs.blue[at + k] = b;
    }
}

// The block sinks of the RGB forms; without SSE2 every pixel takes the loop.
template <int M>
struct ToComponents;
template <int M>
struct ToGrayTone;

#if defined(__SSE2__)

inline __m128i load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// 16 pixels of one plane, each written m times (m a power of two).
template <int M>
inline void storeReplicated(uint8_t* out, __m128i x) {
    if constexpr (M == 1) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), x);
    } else {
        storeReplicated<M / 2>(out, _mm_unpacklo_epi8(x, x));
        storeReplicated<M / 2>(out + 8 * M, _mm_unpackhi_epi8(x, x));
    }
}

// Without a popcnt instruction in the baseline, the builtin is a library call.
inline int popcount16(unsigned v) {
    v = v - ((v >> 1) & 0x5555u);
    v = (v & 0x3333u) + ((v >> 2) & 0x3333u);
    v = (v + (v >> 4)) & 0x0F0Fu;
    return static_cast<int>((v + (v >> 8)) & 0x1Fu);
}

// Where 16 separated pixels go: the three component buffers, or their gray
// into the tone row.
template <int M>
struct ToComponents {
    static void store(int32_t i, __m128i r, __m128i g, __m128i b) {
        RasterState& rs = state.raster;
        storeReplicated<M>(rs.red + i * M, r);
        storeReplicated<M>(rs.green + i * M, g);
        storeReplicated<M>(rs.blue + i * M, b);
    }
};

template <int M>
struct ToGrayTone {
    static void store(int32_t i, __m128i r, __m128i g, __m128i b) {
        storeReplicated<M>(state.raster.toneRow + i * M, graySixteen(r, g, b));
    }
};

// 16 pixels of separated components at source pixel i: key to white, count
// the white ones, store replicated.
template <typename Sink>
inline int finishSixteen(int32_t i, __m128i r, __m128i g, __m128i b, const Key& key,
                         __m128i kr, __m128i kg, __m128i kb) {
    const __m128i ones = _mm_set1_epi8(static_cast<char>(0xFF));
    if (key.active) {
        __m128i isKey = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(r, kr), _mm_cmpeq_epi8(g, kg)),
                                      _mm_cmpeq_epi8(b, kb));
        r = _mm_or_si128(r, isKey);
        g = _mm_or_si128(g, isKey);
        b = _mm_or_si128(b, isKey);
    }
    __m128i white = _mm_cmpeq_epi8(_mm_and_si128(_mm_and_si128(r, g), b), ones);
    Sink::store(i, r, g, b);
    return popcount16(static_cast<unsigned>(_mm_movemask_epi8(white)));
}

// One round of "interleave register k with register k + 3".
inline void interleaveRound(__m128i& v0, __m128i& v1, __m128i& v2, __m128i& v3, __m128i& v4,
                            __m128i& v5) {
    __m128i w0 = _mm_unpacklo_epi8(v0, v3), w1 = _mm_unpackhi_epi8(v0, v3);
    __m128i w2 = _mm_unpacklo_epi8(v1, v4), w3 = _mm_unpackhi_epi8(v1, v4);
    __m128i w4 = _mm_unpacklo_epi8(v2, v5), w5 = _mm_unpackhi_epi8(v2, v5);
    v0 = w0;
    v1 = w1;
    v2 = w2;
    v3 = w3;
    v4 = w4;
    v5 = w5;
}

// Separates 32 RGB triples (96 bytes) into 32 reds, greens and blues: five
// rounds of interleaving sort the bytes.
inline void separate(const uint8_t* p, __m128i& r0, __m128i& r1, __m128i& g0, __m128i& g1,
                     __m128i& b0, __m128i& b1) {
    r0 = load(p);
    r1 = load(p + 16);
    g0 = load(p + 32);
    g1 = load(p + 48);
    b0 = load(p + 64);
    b1 = load(p + 80);
    for (int round = 0; round < 5; ++round) interleaveRound(r0, r1, g0, g1, b0, b1);
}

template <typename Sink>
int32_t fillRgbBlocks(int32_t n, const uint8_t* data, const Key& key, int32_t& white) {
    const __m128i kr = _mm_set1_epi8(static_cast<char>(key.r));
    const __m128i kg = _mm_set1_epi8(static_cast<char>(key.g));
    const __m128i kb = _mm_set1_epi8(static_cast<char>(key.b));
    int32_t i = 0;
    for (; i + 32 <= n; i += 32) {
        __m128i r0, r1, g0, g1, b0, b1;
        separate(data + 3 * i, r0, r1, g0, g1, b0, b1);
        white += finishSixteen<Sink>(i, r0, g0, b0, key, kr, kg, kb);
        white += finishSixteen<Sink>(i + 16, r1, g1, b1, key, kr, kg, kb);
    }
    return i;
}

template <int M>
int32_t fillBitonalBlocks(int32_t n, const uint8_t* data, uint8_t r, uint8_t g, uint8_t b,
                          int32_t& set) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi8(static_cast<char>(0xFF));
    const __m128i vr = _mm_set1_epi8(static_cast<char>(r));
    const __m128i vg = _mm_set1_epi8(static_cast<char>(g));
    const __m128i vb = _mm_set1_epi8(static_cast<char>(b));
    RasterState& rs = state.raster;
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) {
        __m128i off = _mm_cmpeq_epi8(load(data + i), zero);  // background: white
        storeReplicated<M>(rs.red + i * M, _mm_or_si128(_mm_andnot_si128(off, vr), _mm_and_si128(off, ones)));
        storeReplicated<M>(rs.green + i * M, _mm_or_si128(_mm_andnot_si128(off, vg), _mm_and_si128(off, ones)));
        storeReplicated<M>(rs.blue + i * M, _mm_or_si128(_mm_andnot_si128(off, vb), _mm_and_si128(off, ones)));
        set += 16 - popcount16(static_cast<unsigned>(_mm_movemask_epi8(off)));
    }
    return i;
}

// Sixteen RGB pixels at a time into the sink's buffers, at the
// magnifications that have a block form; returns the pixels done.
template <template <int> class Sink>
int32_t rgbBlocks(int32_t m, int32_t n, const uint8_t* data, const Key& key, int32_t& white) {
    switch (m) {
        case 1: return fillRgbBlocks<Sink<1>>(n, data, key, white);
        case 2: return fillRgbBlocks<Sink<2>>(n, data, key, white);
        case 4: return fillRgbBlocks<Sink<4>>(n, data, key, white);
        case 8: return fillRgbBlocks<Sink<8>>(n, data, key, white);
        case 16: return fillRgbBlocks<Sink<16>>(n, data, key, white);
        default: return 0;
    }
}

#endif

// An RGB row: the key colour becomes white; blocks of sixteen pixels go to
// the Sink, the rest one at a time to store(i, m, r, g, b), m the
// magnification. Returns the pixels that are not white.
template <template <int> class Sink, typename Store>
int32_t fillRgb(int32_t n, const uint8_t* data, Store store) {
    const int32_t m = state.raster.magnify;
    const Key key = keyColour();
    int32_t white = 0, i = 0;
#if defined(__SSE2__)
    i = rgbBlocks<Sink>(m, n, data, key, white);
#endif
    for (; i < n; ++i) {
        uint8_t r = data[3 * i], g = data[3 * i + 1], b = data[3 * i + 2];
        if (key.active && r == key.r && g == key.g && b == key.b) r = g = b = 0xFF;
        white += (r & g & b) == 0xFF;
        store(i, m, r, g, b);
    }
    return n - white;
}

}  // namespace

int32_t fillComponentsRgb(int32_t n, const uint8_t* data) {
    return fillRgb<ToComponents>(n, data, [](int32_t i, int32_t m, uint8_t r, uint8_t g, uint8_t b) {
        storePixel(i * m, m, r, g, b);
    });
}

int32_t fillToneGrayRgb(int32_t n, const uint8_t* data) {
    return fillRgb<ToGrayTone>(n, data, [](int32_t i, int32_t m, uint8_t r, uint8_t g, uint8_t b) {
        std::memset(state.raster.toneRow + i * m, grayOf(r, g, b), static_cast<size_t>(m));
    });
}

int32_t fillComponentsBitonal(int32_t n, const uint8_t* data, int32_t red, int32_t green,
                              int32_t blue) {
    const int32_t m = state.raster.magnify;
    const Key key = keyColour();
    uint8_t r = static_cast<uint8_t>(red), g = static_cast<uint8_t>(green),
            b = static_cast<uint8_t>(blue);
    if (key.active && r == key.r && g == key.g && b == key.b) r = g = b = 0xFF;
    int32_t set = 0;
    int32_t i = 0;
#if defined(__SSE2__)
    switch (m) {
        case 1: i = fillBitonalBlocks<1>(n, data, r, g, b, set); break;
        case 2: i = fillBitonalBlocks<2>(n, data, r, g, b, set); break;
        case 4: i = fillBitonalBlocks<4>(n, data, r, g, b, set); break;
        case 8: i = fillBitonalBlocks<8>(n, data, r, g, b, set); break;
        case 16: i = fillBitonalBlocks<16>(n, data, r, g, b, set); break;
        default: break;
    }
#endif
    for (; i < n; ++i) {
        const bool on = data[i] != 0;
        set += on;
        storePixel(i * m, m, on ? r : 0xFF, on ? g : 0xFF, on ? b : 0xFF);
    }
    return (r & g & b) == 0xFF ? 0 : set;
}

int32_t countNonWhiteRgb(int32_t n, const uint8_t* data) {
    int32_t white = 0;
    int32_t i = 0;
#if defined(__SSE2__)
    // 16 pixels are 48 bytes: bit 3p of the "byte is FF" mask and the two
    // above it all set means pixel p is white.
    const __m128i ones = _mm_set1_epi8(static_cast<char>(0xFF));
    for (; i + 16 <= n; i += 16) {
        const uint8_t* p = data + 3 * i;
        uint64_t full = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(load(p), ones))) |
                        static_cast<uint64_t>(static_cast<uint32_t>(
                            _mm_movemask_epi8(_mm_cmpeq_epi8(load(p + 16), ones))))
                            << 16 |
                        static_cast<uint64_t>(static_cast<uint32_t>(
                            _mm_movemask_epi8(_mm_cmpeq_epi8(load(p + 32), ones))))
                            << 32;
        uint64_t whole = full & (full >> 1) & (full >> 2) & 0x249249249249ull;
        white += popcount16(static_cast<unsigned>(whole & 0xFFFF)) + popcount16(static_cast<unsigned>(whole >> 16) & 0xFFFF) +
                 popcount16(static_cast<unsigned>(whole >> 32) & 0xFFFF);
    }
#endif
    for (; i < n; ++i) white += (data[3 * i] & data[3 * i + 1] & data[3 * i + 2]) == 0xFF;
    return n - white;
}

}  // namespace tavix
