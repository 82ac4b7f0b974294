// Eight pixels at a time with AVX2 and FMA, for the forms chosen when the
// program runs on a processor that has them (the build stays for any
// x86-64): coverage from areas, and the pen laid over the picture by it.
#pragma once

#include <cstdint>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define TAVIX_WIDE_COLUMNS 1
#endif

#if defined(TAVIX_WIDE_COLUMNS)
#define WIDE __attribute__((target("avx2,fma")))

namespace tavix::preview {

// The same blend as FourPixelBlend, eight pixels at once, written as
// picture * 256 + (pen - picture) * c + 128: the true sum lies within 16
// bits, so wrapping 16-bit arithmetic gives it exactly, with fewer shuffles
// than spreading both c and 256 - c. Unpacking and packing stay within each
// 128-bit half, which keeps the pixels in order.
[[gnu::always_inline]] WIDE inline __m256i blendedEight(__m256i picture, __m256i colour, __m256i c) {
    __m256i pairs = _mm256_or_si256(c, _mm256_slli_epi32(c, 16));  // c in both 16-bit halves
    __m256i zero = _mm256_setzero_si256(), round = _mm256_set1_epi16(128);
    auto mix = [&](__m256i under, __m256i cover) WIDE {
        __m256i sum = _mm256_add_epi16(_mm256_slli_epi16(under, 8),
                                       _mm256_mullo_epi16(_mm256_sub_epi16(colour, under), cover));
        return _mm256_srli_epi16(_mm256_add_epi16(sum, round), 8);
    };
    __m256i low = mix(_mm256_unpacklo_epi8(picture, zero), _mm256_unpacklo_epi32(pairs, pairs));
    __m256i high = mix(_mm256_unpackhi_epi8(picture, zero), _mm256_unpackhi_epi32(pairs, pairs));
    return _mm256_packus_epi16(low, high);
}

[[gnu::always_inline]] WIDE inline void blendEight(uint32_t* row, __m256i colour, __m256i c) {
    __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row), blendedEight(d, colour, c));
}

[[gnu::always_inline]] WIDE inline __m256i coverageOfEight(__m256 area) {
    __m256 magnitude = _mm256_and_ps(area, _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF)));
    return _mm256_cvttps_epi32(_mm256_fmadd_ps(_mm256_min_ps(magnitude, _mm256_set1_ps(1)), _mm256_set1_ps(256),
                                               _mm256_set1_ps(0.5f)));
}

}  // namespace tavix::preview
#endif
