// The gray of the monochrome raster forms, one pixel or sixteen at a time:
// (30 R + 59 G + 11 B) / 100 in integer arithmetic, which never exceeds 255.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavix {

inline uint8_t grayOf(unsigned r, unsigned g, unsigned b) {
    return static_cast<uint8_t>((30 * r + 59 * g + 11 * b) / 100);
}

#if defined(__SSE2__)
// The weighted sum stays below 25500, so it fits unsigned 16-bit lanes, and
// x / 100 is exactly (x * 41944) >> 22 there.
inline __m128i graySixteen(__m128i r, __m128i g, __m128i b) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i wr = _mm_set1_epi16(30), wg = _mm_set1_epi16(59), wb = _mm_set1_epi16(11);
    const __m128i reciprocal = _mm_set1_epi16(static_cast<short>(41944));
    __m128i lo = _mm_add_epi16(
        _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(r, zero), wr),
                      _mm_mullo_epi16(_mm_unpacklo_epi8(g, zero), wg)),
        _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), wb));
    __m128i hi = _mm_add_epi16(
        _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(r, zero), wr),
                      _mm_mullo_epi16(_mm_unpackhi_epi8(g, zero), wg)),
        _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), wb));
    lo = _mm_srli_epi16(_mm_mulhi_epu16(lo, reciprocal), 6);
    hi = _mm_srli_epi16(_mm_mulhi_epu16(hi, reciprocal), 6);
    return _mm_packus_epi16(lo, hi);
}
#endif

}  // namespace tavix
