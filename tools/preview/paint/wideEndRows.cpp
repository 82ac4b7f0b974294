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
// is c^2 / (2 |slope|) + d max(v - hi, 0) with c = clamp(v - lo, 0,
// hi - lo): a bounded square and a straight tail, so that it keeps its
// precision far to the right.
[[gnu::always_inline]] WIDE inline __m256 sideQ(__m256 v, const float* lo, const float* hi, const float* square,
                                                __m256 height) {
    __m256 low = _mm256_broadcast_ss(lo), high = _mm256_broadcast_ss(hi), zero = _mm256_setzero_ps();
    __m256 c = _mm256_min_ps(_mm256_max_ps(_mm256_sub_ps(v, low), zero), _mm256_sub_ps(high, low));
    __m256 beyond = _mm256_max_ps(_mm256_sub_ps(v, high), zero);
    return _mm256_fmadd_ps(_mm256_mul_ps(c, c), _mm256_broadcast_ss(square), _mm256_mul_ps(beyond, height));
}

// F(v): the piece's area left of x = v, between its sides; a column's area
// is F at its right side less F at its left, summed over the row's pieces.
[[gnu::always_inline]] WIDE inline __m256 shareLeftOf(const RowPiece& p, __m256 v) {
    __m256 height = _mm256_broadcast_ss(&p.height);
    return _mm256_sub_ps(sideQ(v, &p.leftLo, &p.leftHi, &p.leftSquare, height),
                         sideQ(v, &p.rightLo, &p.rightHi, &p.rightSquare, height));
}

// A row of more than seven columns, or at the clip's right edge: groups of
// eight columns, each piece's F at both sides of each column.
[[gnu::noinline]] WIDE void manyColumns(uint32_t* row, const RasterPaint& paint, __m256i colour, const RowPiece* pieces,
                                        size_t count, double origin, int first, int end) {
    const __m256 steps = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    alignas(32) float areas[8];
    for (int k = first; k < end; k += 8) {
        __m256 v = _mm256_add_ps(_mm256_set1_ps(static_cast<float>(k - origin)), steps);
        __m256 next = _mm256_add_ps(v, _mm256_set1_ps(1));
        __m256 total = _mm256_setzero_ps();
        for (size_t i = 0; i < count; ++i)
            total = _mm256_add_ps(total, _mm256_sub_ps(shareLeftOf(pieces[i], next), shareLeftOf(pieces[i], v)));
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
            manyColumns(row.pixels, paint, colour, own, row.count, row.origin, first, end);
            continue;
        }
        // One group of eight sides; its last lane is given no area.
        __m256 v = _mm256_add_ps(_mm256_set1_ps(static_cast<float>(first - row.origin)), steps);
        __m256 sides = _mm256_setzero_ps();
        for (uint32_t i = 0; i < row.count; ++i) sides = _mm256_add_ps(sides, shareLeftOf(own[i], v));
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
