#include "wideEndRows.h"

#include <algorithm>
#include <cmath>

#include "pixelBlend.h"
#include "pixelIndex.h"
#include "wideBlend.h"

namespace tavix::preview {
namespace {

#if defined(TAVIX_WIDE_COLUMNS)

// One side of a piece, from x = lo to x = hi over the piece's height d (in
// either direction). Q(v), the integral over the height of max(v - x, 0),
// is d (c^2 / (2 (hi - lo)) + max(v - hi, 0)) with c = clamp(v - lo, 0,
// hi - lo): a bounded square and a straight tail, so that it keeps its
// precision far to the right. A side that barely leans is taken as straight
// down its middle.
WIDE [[gnu::always_inline]] inline __m256 sideQ(__m256 v, __m256 lo, __m256 hi, __m256 square, __m256 height) {
    __m256 zero = _mm256_setzero_ps();
    __m256 c = _mm256_min_ps(_mm256_max_ps(_mm256_sub_ps(v, lo), zero), _mm256_sub_ps(hi, lo));
    __m256 beyond = _mm256_max_ps(_mm256_sub_ps(v, hi), zero);
    return _mm256_fmadd_ps(_mm256_mul_ps(c, c), square, _mm256_mul_ps(beyond, height));
}

// A piece's two sides, worked out side by side: lo, hi and the square's
// factor d / (2 (hi - lo)) of each, relative to the row's first column.
// With hi - lo = |slope| d the factor is the piece's 1 / (2 |slope|).
struct PieceSides {
    __m256 leftLo, leftHi, leftSquare, rightLo, rightHi, rightSquare, height;

    WIDE PieceSides(const RowPiece& p, double origin) {
        __m128d top = _mm_setr_pd(p.leftTop, p.rightTop), bottom = _mm_setr_pd(p.leftBottom, p.rightBottom);
        __m128d at = _mm_set1_pd(origin);
        __m128d lo = _mm_sub_pd(_mm_min_pd(top, bottom), at), hi = _mm_sub_pd(_mm_max_pd(top, bottom), at);
        __m128d spread = _mm_sub_pd(hi, lo);
        __m128d upright = _mm_cmplt_pd(spread, _mm_set1_pd(1e-4));
        __m128d middle = _mm_mul_pd(_mm_add_pd(lo, hi), _mm_set1_pd(0.5));
        lo = _mm_blendv_pd(lo, middle, upright);
        hi = _mm_blendv_pd(hi, middle, upright);
        __m128d square = _mm_andnot_pd(upright, _mm_setr_pd(p.leftSquare, p.rightSquare));
        __m256 lows = _mm256_castps128_ps256(_mm_cvtpd_ps(lo)), highs = _mm256_castps128_ps256(_mm_cvtpd_ps(hi));
        __m256 squares = _mm256_castps128_ps256(_mm_cvtpd_ps(square));
        const __m256i second = _mm256_set1_epi32(1);
        leftLo = _mm256_broadcastss_ps(_mm256_castps256_ps128(lows));
        rightLo = _mm256_permutevar8x32_ps(lows, second);
        leftHi = _mm256_broadcastss_ps(_mm256_castps256_ps128(highs));
        rightHi = _mm256_permutevar8x32_ps(highs, second);
        leftSquare = _mm256_broadcastss_ps(_mm256_castps256_ps128(squares));
        rightSquare = _mm256_permutevar8x32_ps(squares, second);
        height = _mm256_set1_ps(static_cast<float>(p.height));
    }
    // F(v): the piece's area left of x = v, between its sides; a column's
    // area is F at its right side less F at its left, summed over the row's
    // pieces.
    WIDE __m256 f(__m256 v) const {
        return _mm256_sub_ps(sideQ(v, leftLo, leftHi, leftSquare, height), sideQ(v, rightLo, rightHi, rightSquare, height));
    }
};

WIDE [[gnu::always_inline]] inline __m256 shareLeftOf(const RowPiece& p, double origin, __m256 v) {
    return PieceSides(p, origin).f(v);
}

// A row of more than seven columns, or at the clip's right edge: groups of
// eight columns, each piece's F at both sides of each column.
[[gnu::noinline]] WIDE void manyColumns(uint32_t* row, const RasterPaint& paint, __m256i colour, const RowPiece* pieces,
                                        size_t count, int first, int end) {
    const __m256 steps = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    alignas(32) float areas[8];
    for (int k = first; k < end; k += 8) {
        __m256 v = _mm256_add_ps(_mm256_set1_ps(static_cast<float>(k - first)), steps);
        __m256 next = _mm256_add_ps(v, _mm256_set1_ps(1));
        __m256 total = _mm256_setzero_ps();
        for (size_t i = 0; i < count; ++i) {
            PieceSides sides(pieces[i], first);
            total = _mm256_add_ps(total, _mm256_sub_ps(sides.f(next), sides.f(v)));
        }
        if (k + 8 <= paint.clipX1) {
            blendEight(row + k, colour, coverageOfEight(total));
            continue;
        }
        _mm256_store_ps(areas, total);
        blendByAreas(row + k, paint.solid, areas, paint.clipX1 - k);
    }
}

WIDE void endRowsEight(const RasterPaint& paint, const EndRow* rows, size_t rowCount, const RowPiece* pieces) {
    const __m256i colour =
        _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(paint.solid)), _mm256_setzero_si256());
    const __m256 steps = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i rotate = _mm256_setr_epi32(1, 2, 3, 4, 5, 6, 7, 7);
    const double clipX0 = paint.clipX0, clipX1 = paint.clipX1;
    for (size_t r = 0; r < rowCount; ++r) {
        const EndRow& row = rows[r];
        double least = std::max(row.least, clipX0), most = std::min(row.most, clipX1);
        if (!(most > least)) continue;
        int first = floorInt(least), end = ceilInt(most);
        const RowPiece* own = pieces + row.first;
        if (end - first > 7 || first + 8 > paint.clipX1) {
            manyColumns(row.pixels, paint, colour, own, row.count, first, end);
            continue;
        }
        // One group of eight sides; its last lane is given no area.
        __m256 sides = _mm256_setzero_ps();
        for (uint32_t i = 0; i < row.count; ++i) sides = _mm256_add_ps(sides, shareLeftOf(own[i], first, steps));
        blendEight(row.pixels + first, colour,
                   coverageOfEight(_mm256_sub_ps(_mm256_permutevar8x32_ps(sides, rotate), sides)));
    }
}
#endif

}  // namespace

void wideEndRows(const RasterPaint& paint, const EndRow* rows, size_t rowCount, const RowPiece* pieces) {
#if defined(TAVIX_WIDE_COLUMNS)
    endRowsEight(paint, rows, rowCount, pieces);
#else
    (void)paint, (void)rows, (void)rowCount, (void)pieces;
#endif
}

}  // namespace tavix::preview
