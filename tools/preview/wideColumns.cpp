#include "wideColumns.h"

#include <algorithm>

#include "pixelBlend.h"
#include "pixelIndex.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define TAVIX_WIDE_COLUMNS 1
#endif

namespace tavix::preview {
namespace {

bool allowed = true;

#if defined(TAVIX_WIDE_COLUMNS)
bool processorHasIt() {
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return has;
}

#define WIDE __attribute__((target("avx2,fma")))

struct WideSection {
    __m256 width, slopeHalf, slope, inverseSlope, half, zero;
    bool steep;
    WIDE explicit WideSection(const CrossSection& s)
        : width(_mm256_set1_ps(s.width)), slopeHalf(_mm256_set1_ps(s.slope * 0.5f)), slope(_mm256_set1_ps(s.slope)),
          inverseSlope(_mm256_set1_ps(s.inverseSlope)), half(_mm256_set1_ps(0.5f)), zero(_mm256_setzero_ps()),
          steep(s.steep) {}
    WIDE __m256 r(__m256 v) const { return _mm256_min_ps(_mm256_max_ps(v, zero), width); }
    WIDE __m256 p(__m256 v) const {
        __m256 c = r(v);
        __m256 beyond = _mm256_max_ps(_mm256_sub_ps(v, width), zero);
        return _mm256_fmadd_ps(_mm256_mul_ps(c, c), half, _mm256_mul_ps(beyond, width));
    }
    WIDE __m256 h(__m256 u) const {
        if (steep) return r(_mm256_sub_ps(u, slopeHalf));
        return _mm256_mul_ps(_mm256_sub_ps(p(u), p(_mm256_sub_ps(u, slope))), inverseSlope);
    }
};

// The same blend as FourPixelBlend, eight pixels at once, written as
// picture * 256 + (pen - picture) * c + 128: the true sum lies within 16
// bits, so wrapping 16-bit arithmetic gives it exactly, with fewer shuffles
// than spreading both c and 256 - c. Unpacking and packing stay within each
// 128-bit half, which keeps the pixels in order.
WIDE [[gnu::always_inline]] inline __m256i blendedEight(__m256i picture, __m256i colour, __m256i c) {
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

WIDE [[gnu::always_inline]] inline void blendEight(uint32_t* row, __m256i colour, __m256i c) {
    __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row), blendedEight(d, colour, c));
}

WIDE [[gnu::always_inline]] inline __m256i coverageOfEight(__m256 area) {
    __m256 magnitude = _mm256_and_ps(area, _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF)));
    return _mm256_cvttps_epi32(_mm256_fmadd_ps(_mm256_min_ps(magnitude, _mm256_set1_ps(1)), _mm256_set1_ps(256),
                                               _mm256_set1_ps(0.5f)));
}

// Columns [from, to) of one row by the closed form, a group of eight
// sides at a time: a column's area is the next side's H less its own.
WIDE inline void groupsOfEight(uint32_t* row, const RasterPaint& paint, const WideSection& wide, __m256i colour,
                               float base, int first, int from, int to) {
    const __m256 steps = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i rotate = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 0);
    __m256 sides = wide.h(_mm256_add_ps(_mm256_set1_ps(base + static_cast<float>(from - first)), steps));
    for (int k = from; k < to; k += 8) {
        __m256 next = wide.h(_mm256_add_ps(_mm256_set1_ps(base + static_cast<float>(k + 8 - first)), steps));
        // H at the next side of each column: this group's sides moved down
        // one, the last from the next group.
        __m256 following = _mm256_blend_ps(_mm256_permutevar8x32_ps(sides, rotate),
                                           _mm256_broadcastss_ps(_mm256_castps256_ps128(next)), 0x80);
        __m256 areas = _mm256_sub_ps(following, sides);
        sides = next;
        if (k + 8 <= paint.clipX1) {
            blendEight(row + k, colour, coverageOfEight(areas));
            continue;
        }
        alignas(32) float lane[8];
        _mm256_store_ps(lane, areas);
        blendByAreas(row + k, paint.solid, lane, to - k);
    }
}

WIDE void formulaEight(uint32_t* row, const RasterPaint& paint, const CrossSection& section, float base, int first,
                       int from, int to) {
    WideSection wide(section);
    __m256i colour = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(paint.solid)), _mm256_setzero_si256());
    groupsOfEight(row, paint, wide, colour, base, first, from, to);
}

// Most rows of a thin stroke touch at most seven columns: their eight sides
// are one group, whose last lane is given no area.
WIDE void slabRowsEight(const SlabRows& slab, const RasterPaint& paint, const CrossSection& section) {
    WideSection wide(section);
    __m256i colour = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(paint.solid)), _mm256_setzero_si256());
    const __m256 steps = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i rotate = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 7);
    const double lowShift = std::min(0.0, slab.slope), highShift = std::max(0.0, slab.slope) + slab.width;
    const double clipX0 = paint.clipX0, clipX1 = paint.clipX1;
    for (int y = slab.y0; y < slab.y1; ++y) {
        double xl = slab.leftX + (y - slab.yTop) * slab.slope;
        double lo = std::max(clipX0, xl + lowShift), hi = std::min(clipX1, xl + highShift);
        if (!(hi > lo)) continue;
        int first = static_cast<int>(lo), end = ceilInt(hi);
        float base = static_cast<float>(first - xl);
        uint32_t* row = slab.pixels + static_cast<size_t>(y) * slab.stride;
        if (end - first > 7 || first + 8 > paint.clipX1) {
            groupsOfEight(row, paint, wide, colour, base, first, first, end);
            continue;
        }
        __m256 sides = wide.h(_mm256_add_ps(_mm256_set1_ps(base), steps));
        __m256 areas = _mm256_sub_ps(_mm256_permutevar8x32_ps(sides, rotate), sides);
        blendEight(row + first, colour, coverageOfEight(areas));
    }
}
#endif

}  // namespace

bool wideColumnsInUse() {
#if defined(TAVIX_WIDE_COLUMNS)
    return allowed && processorHasIt();
#else
    return false;
#endif
}

void allowWideColumns(bool allow) { allowed = allow; }

void wideSlabRows(const SlabRows& slab, const RasterPaint& paint, const CrossSection& section) {
#if defined(TAVIX_WIDE_COLUMNS)
    slabRowsEight(slab, paint, section);
#else
    (void)slab, (void)paint, (void)section;
#endif
}

void wideFormulaColumns(uint32_t* row, const RasterPaint& paint, const CrossSection& section, float base, int first,
                        int from, int to) {
#if defined(TAVIX_WIDE_COLUMNS)
    formulaEight(row, paint, section, base, first, from, to);
#else
    (void)row, (void)paint, (void)section, (void)base, (void)first, (void)from, (void)to;
#endif
}

}  // namespace tavix::preview
