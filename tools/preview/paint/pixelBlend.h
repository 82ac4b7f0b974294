// The pen colour laid over opaque picture pixels by coverage c (0 to 256):
// each channel (pen * c + picture * (256 - c) + 128) >> 8, one pixel at a
// time or, with SSE2, four.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavix::preview {

// Coverage from a covered area (a fraction of the pixel, either sign).
inline uint32_t coverageOf(float area) {
    return static_cast<uint32_t>(std::min(std::fabs(area), 1.0f) * 256 + 0.5f);
}

// Red and blue in one word: neither product reaches the other's bits.
inline uint32_t blendPixel(uint32_t picture, uint32_t solid, uint32_t c) {
    uint32_t keep = 256 - c;
    uint32_t rb = (((solid & 0xFF00FFu) * c + (picture & 0xFF00FFu) * keep + 0x800080u) >> 8) & 0xFF00FFu;
    uint32_t g = (((solid & 0xFF00u) * c + (picture & 0xFF00u) * keep + 0x8000u) >> 8) & 0xFF00u;
    return 0xFF000000u | rb | g;
}

// The first `count` pixels of `row` by their covered areas, one at a time
// (the end of a row, where a whole group would pass the clip).
inline void blendByAreas(uint32_t* row, uint32_t solid, const float* areas, int count) {
    for (int j = 0; j < count; ++j)
        if (uint32_t c = coverageOf(areas[j])) row[j] = blendPixel(row[j], solid, c);
}

#if defined(__SSE2__)
// Four pixels' coverage from their areas.
inline __m128i coverageOf(__m128 area) {
    __m128 magnitude = _mm_and_ps(area, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)));
    return _mm_cvttps_epi32(
        _mm_add_ps(_mm_mul_ps(_mm_min_ps(magnitude, _mm_set1_ps(1)), _mm_set1_ps(256)), _mm_set1_ps(0.5f)));
}

class FourPixelBlend {
public:
    explicit FourPixelBlend(uint32_t solid)
        : colour_(_mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(solid)), _mm_setzero_si128())) {}

    // In 16 bits per channel, where nothing overflows.
    void blend(uint32_t* row, __m128i c) const {
        __m128i keep = _mm_sub_epi32(_mm_set1_epi32(256), c);
        __m128i c16 = _mm_packs_epi32(c, c), keep16 = _mm_packs_epi32(keep, keep);
        c16 = _mm_unpacklo_epi16(c16, c16);
        keep16 = _mm_unpacklo_epi16(keep16, keep16);
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
        __m128i low = mix(_mm_unpacklo_epi8(d, _mm_setzero_si128()), _mm_unpacklo_epi32(c16, c16),
                          _mm_unpacklo_epi32(keep16, keep16));
        __m128i high = mix(_mm_unpackhi_epi8(d, _mm_setzero_si128()), _mm_unpackhi_epi32(c16, c16),
                           _mm_unpackhi_epi32(keep16, keep16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row), _mm_packus_epi16(low, high));
    }

    // One coverage for many pixels: the pen's part is worked out once.
    struct Steady {
        __m128i lead, keep;  // pen * c + 128 and 256 - c, in each channel
    };
    Steady steady(uint32_t c) const {
        return {_mm_add_epi16(_mm_mullo_epi16(colour_, _mm_set1_epi16(static_cast<short>(c))), _mm_set1_epi16(128)),
                _mm_set1_epi16(static_cast<short>(256 - c))};
    }
    void blend(uint32_t* row, const Steady& s) const {
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
        __m128i low = _mm_mullo_epi16(_mm_unpacklo_epi8(d, _mm_setzero_si128()), s.keep);
        __m128i high = _mm_mullo_epi16(_mm_unpackhi_epi8(d, _mm_setzero_si128()), s.keep);
        low = _mm_srli_epi16(_mm_add_epi16(low, s.lead), 8);
        high = _mm_srli_epi16(_mm_add_epi16(high, s.lead), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row), _mm_packus_epi16(low, high));
    }

private:
    __m128i mix(__m128i picture, __m128i c, __m128i keep) const {
        __m128i sum = _mm_add_epi16(_mm_mullo_epi16(colour_, c), _mm_mullo_epi16(picture, keep));
        return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128)), 8);
    }

    __m128i colour_;  // two pixels of the pen colour, a channel in each 16 bits
};
#endif

}  // namespace tavix::preview
