#include "wideColumns.h"

#include <algorithm>
#include <cstdint>

#include "pixelBlend.h"
#include "pixelIndex.h"

#include "wideBlend.h"

namespace tavix::preview {
namespace {

bool allowed = true;

#if defined(TAVIX_WIDE_COLUMNS)
bool processorHasIt() {
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return has;
}

struct WideSection {
    __m256 width, lo, hi, spread, square, zero;
    WIDE explicit WideSection(const CrossSection& s)
        : width(_mm256_set1_ps(s.width)), lo(_mm256_set1_ps(s.lo)), hi(_mm256_set1_ps(s.hi)),
          spread(_mm256_set1_ps(s.spread)), square(_mm256_set1_ps(s.square)), zero(_mm256_setzero_ps()) {}
    WIDE __m256 q(__m256 v) const {
        __m256 c = _mm256_min_ps(_mm256_max_ps(_mm256_sub_ps(v, lo), zero), spread);
        return _mm256_fmadd_ps(_mm256_mul_ps(c, c), square, _mm256_max_ps(_mm256_sub_ps(v, hi), zero));
    }
    WIDE __m256 h(__m256 u) const { return _mm256_sub_ps(q(u), q(_mm256_sub_ps(u, width))); }
};

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

// A slab's constants for the rows of its body.
struct SlabPass {
    const SlabRows& slab;
    const RasterPaint& paint;
    WideSection wide;
    __m256i colour;
    double lowShift, highShift;  // the row's columns from its left side's x at the top
    int quads;                   // groups of four columns that hold any row's columns

    WIDE SlabPass(const SlabRows& s, const RasterPaint& p, const CrossSection& section)
        : slab(s), paint(p), wide(section),
          colour(_mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(p.solid)), _mm256_setzero_si256())),
          lowShift(std::min(0.0, s.slope)), highShift(std::max(0.0, s.slope) + s.width) {
        // A row's columns run from floor(lo) to ceil(hi), hi - lo at most
        // |slope| + width.
        double span = highShift - lowShift;
        quads = span < 64 ? (static_cast<int>(span) + 2 + 3) / 4 : INT32_MAX;
    }

    // Most rows of a thin stroke touch at most seven columns: their eight
    // sides are one group, whose last lane is given no area. A thick
    // stroke's wholly covered middle is laid at one coverage, the closed
    // form running up to a whole number of groups from the first column.
    WIDE void row(int y) const {
        double xl = slab.leftX + (y - slab.yTop) * slab.slope;
        double lo = std::max(static_cast<double>(paint.clipX0), xl + lowShift);
        double hi = std::min(static_cast<double>(paint.clipX1), xl + highShift);
        if (!(hi > lo)) return;
        int first = static_cast<int>(lo), end = ceilInt(hi);
        float base = static_cast<float>(first - xl);
        uint32_t* pixels = slab.pixels + static_cast<size_t>(y) * slab.stride;
        if (slab.steady) {
            int from = first + (std::max(0, ceilInt(xl + slab.bend1) - first) + 7) / 8 * 8;
            int to = std::min(end, floorInt(xl + slab.bend2));
            if (from < to) {
                groupsOfEight(pixels, paint, wide, colour, base, first, first, from);
                steadyColumns(pixels, from, to);
                return groupsOfEight(pixels, paint, wide, colour, base, first, to, end);
            }
        }
        if (end - first > 7 || first + 8 > paint.clipX1) return groupsOfEight(pixels, paint, wide, colour, base, first, first, end);
        const __m256 steps = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
        const __m256i rotate = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 7);
        __m256 sides = wide.h(_mm256_add_ps(_mm256_set1_ps(base), steps));
        __m256 areas = _mm256_sub_ps(_mm256_permutevar8x32_ps(sides, rotate), sides);
        blendEight(pixels + first, colour, coverageOfEight(areas));
    }

    WIDE void steadyColumns(uint32_t* pixels, int from, int to) const {
        uint32_t c = slab.steadyCover;
        if (c == 0) return;
        if (c == 256) return std::fill(pixels + from, pixels + to, paint.solid);
        int k = from;
        for (; k + 8 <= to; k += 8) blendEight(pixels + k, colour, _mm256_set1_epi32(static_cast<int>(c)));
        for (; k < to; ++k) pixels[k] = blendPixel(pixels[k], paint.solid, c);
    }

    // Rows y to y + 7 at once, a lane for each row, when every one of them
    // has its columns within `quads` groups of four inside the clip: each
    // column side's H is one evaluation for all eight rows, by row()'s
    // arithmetic (a row's position may round differently where the
    // compiler fuses row()'s multiply and add). A 4 x 8 transpose turns
    // the areas into rows of four pixels, and rows r and r + 4 share one
    // blend. False, with nothing painted, when the rows do not fit. Only
    // the first `count` rows are painted; the other lanes work on a
    // scratch row.
    template <int QUADS>
    WIDE bool eightRows(int y, int count) const {
        const __m256d along = _mm256_setr_pd(0, 1, 2, 3), yTop = _mm256_set1_pd(slab.yTop);
        const __m256d slope = _mm256_set1_pd(slab.slope), leftX = _mm256_set1_pd(slab.leftX);
        const __m256d clipX0 = _mm256_set1_pd(paint.clipX0), clipX1 = _mm256_set1_pd(paint.clipX1);
        const __m256d reach = _mm256_set1_pd(4.0 * QUADS);
        __m256d rowsA = _mm256_add_pd(_mm256_set1_pd(y), along), rowsB = _mm256_add_pd(rowsA, _mm256_set1_pd(4));
        __m256d xlA = _mm256_add_pd(leftX, _mm256_mul_pd(_mm256_sub_pd(rowsA, yTop), slope));
        __m256d xlB = _mm256_add_pd(leftX, _mm256_mul_pd(_mm256_sub_pd(rowsB, yTop), slope));
        __m256d low = _mm256_set1_pd(lowShift), high = _mm256_set1_pd(highShift);
        __m256d loA = _mm256_max_pd(clipX0, _mm256_add_pd(xlA, low)), loB = _mm256_max_pd(clipX0, _mm256_add_pd(xlB, low));
        __m256d hiA = _mm256_min_pd(clipX1, _mm256_add_pd(xlA, high)), hiB = _mm256_min_pd(clipX1, _mm256_add_pd(xlB, high));
        __m256d firstA = _mm256_round_pd(loA, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
        __m256d firstB = _mm256_round_pd(loB, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
        __m256d fitsA = _mm256_and_pd(_mm256_cmp_pd(hiA, loA, _CMP_GT_OQ),
                                      _mm256_cmp_pd(_mm256_add_pd(firstA, reach), clipX1, _CMP_LE_OQ));
        __m256d fitsB = _mm256_and_pd(_mm256_cmp_pd(hiB, loB, _CMP_GT_OQ),
                                      _mm256_cmp_pd(_mm256_add_pd(firstB, reach), clipX1, _CMP_LE_OQ));
        int wanted = (1 << count) - 1;
        if (((_mm256_movemask_pd(fitsA) | _mm256_movemask_pd(fitsB) << 4) & wanted) != wanted) return false;
        alignas(16) int first[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(first), _mm256_cvttpd_epi32(firstA));
        _mm_store_si128(reinterpret_cast<__m128i*>(first + 4), _mm256_cvttpd_epi32(firstB));
        __m256 base = _mm256_set_m128(_mm256_cvtpd_ps(_mm256_sub_pd(firstB, xlB)),
                                      _mm256_cvtpd_ps(_mm256_sub_pd(firstA, xlA)));
        alignas(32) uint32_t scratch[4 * QUADS];
        uint32_t* rows[8];
        for (int r = 0; r < 8; ++r)
            rows[r] = r < count ? slab.pixels + static_cast<size_t>(y + r) * slab.stride + first[r] : scratch;
        __m256 side = wide.h(base);
#pragma GCC unroll 4
        for (int q = 0; q < QUADS; ++q) {
            __m256i c[4];
#pragma GCC unroll 4
            for (int j = 0; j < 4; ++j) {
                __m256 next = wide.h(_mm256_add_ps(base, _mm256_set1_ps(static_cast<float>(4 * q + j + 1))));
                c[j] = coverageOfEight(_mm256_sub_ps(next, side));
                side = next;
            }
            __m256i t0 = _mm256_unpacklo_epi32(c[0], c[1]), t1 = _mm256_unpackhi_epi32(c[0], c[1]);
            __m256i t2 = _mm256_unpacklo_epi32(c[2], c[3]), t3 = _mm256_unpackhi_epi32(c[2], c[3]);
            const __m256i byRow[4] = {_mm256_unpacklo_epi64(t0, t2), _mm256_unpackhi_epi64(t0, t2),
                                      _mm256_unpacklo_epi64(t1, t3), _mm256_unpackhi_epi64(t1, t3)};
#pragma GCC unroll 4
            for (int r = 0; r < 4; ++r) {
                auto* upper = reinterpret_cast<__m128i*>(rows[r] + 4 * q);
                auto* lower = reinterpret_cast<__m128i*>(rows[r + 4] + 4 * q);
                __m256i picture = _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(upper)),
                                                          _mm_loadu_si128(lower), 1);
                __m256i blended = blendedEight(picture, colour, byRow[r]);
                _mm_storeu_si128(upper, _mm256_castsi256_si128(blended));
                _mm_storeu_si128(lower, _mm256_extracti128_si256(blended, 1));
            }
        }
        return true;
    }
};

WIDE void slabRowsEight(const SlabRows& slab, const RasterPaint& paint, const CrossSection& section) {
    SlabPass pass(slab, paint, section);
    int y = slab.y0;
    // A few rows alone cost less row by row.
    if (pass.quads <= 4 && !slab.steady)
        for (; slab.y1 - y >= 4; y += 8) {
            int count = std::min(8, slab.y1 - y);
            bool painted = pass.quads == 1   ? pass.eightRows<1>(y, count)
                           : pass.quads == 2 ? pass.eightRows<2>(y, count)
                           : pass.quads == 3 ? pass.eightRows<3>(y, count)
                                             : pass.eightRows<4>(y, count);
            if (!painted)
                for (int r = 0; r < count; ++r) pass.row(y + r);
        }
    for (; y < slab.y1; ++y) pass.row(y);
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

}  // namespace tavix::preview
