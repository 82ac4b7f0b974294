#include "parallelRows.h"

#include <algorithm>
#include <cmath>

#include "pixelBlend.h"
#include "pixelIndex.h"
#include "wideColumns.h"

namespace tavix::preview {
namespace {

// Columns [from, to) by the closed form, four at a time: H at each column
// side, a column's area the next side's H less its own. A group of four is
// blended whole when its pixels lie within the clip (columns past the
// section have no area and keep their colour).
void formulaColumns(uint32_t* row, const RasterPaint& paint, const CrossSection& section, float base, int first,
                    int from, int to) {
#if defined(__SSE2__)
    FourPixelBlend four(paint.solid);
    const __m128 steps = _mm_setr_ps(0, 1, 2, 3);
    __m128 sides = section.h(_mm_add_ps(_mm_set1_ps(base + (from - first)), steps));
    for (int k = from; k < to; k += 4) {
        __m128 next = section.h(_mm_add_ps(_mm_set1_ps(base + (k + 4 - first)), steps));
        __m128 following = _mm_castsi128_ps(
            _mm_or_si128(_mm_srli_si128(_mm_castps_si128(sides), 4), _mm_slli_si128(_mm_castps_si128(next), 12)));
        __m128 areas = _mm_sub_ps(following, sides);
        sides = next;
        if (k + 4 <= paint.clipX1) {
            four.blend(row + k, coverageOf(areas));
            continue;
        }
        alignas(16) float lane[4];
        _mm_store_ps(lane, areas);
        blendByAreas(row + k, paint.solid, lane, to - k);
    }
#else
    for (int k = from; k < to; ++k)
        if (uint32_t c = coverageOf(section.area(base + (k - first)))) row[k] = blendPixel(row[k], paint.solid, c);
#endif
}

// Columns [from, to) all covered by the same area.
void steadyColumns(uint32_t* row, const RasterPaint& paint, uint32_t c, int from, int to) {
    if (c == 0) return;
    int k = from;
#if defined(__SSE2__)
    FourPixelBlend four(paint.solid);
    FourPixelBlend::Steady steady = four.steady(c);
    for (; k + 4 <= to; k += 4) four.blend(row + k, steady);
#endif
    for (; k < to; ++k) row[k] = blendPixel(row[k], paint.solid, c);
}

}  // namespace

ParallelRows::ParallelRows(const RasterPaint& paint, double width, double slope)
    : paint_(paint), width_(width), slope_(slope), section_(width, slope), wide_(wideColumnsInUse()),
      usable_(width > 0 && std::isfinite(width) && std::isfinite(slope)) {
    // H bends only where a column side meets a corner of the cross-section
    // (u = 0, width, slope, slope + width); between the middle two of those
    // it is straight, and every column there is covered alike: wholly when
    // the stroke is at least a row high, else by width / |slope| (a stroke
    // no wider than a pixel has no such stretch).
    bend1_ = slope >= 0 ? std::min(width, slope) : std::min(0.0, slope + width);
    bend2_ = slope >= 0 ? std::max(width, slope) : std::max(0.0, slope + width);
    steady_ = width > 5 && bend2_ - bend1_ > 5;
    steadyCover_ = steady_ ? coverageOf(static_cast<float>(std::min(1.0, width / std::fabs(slope)))) : 0;
}

void ParallelRows::paint(uint32_t* row, double xl) const {
    if (!usable_ || !std::isfinite(xl)) return;
    double lo = std::max(static_cast<double>(paint_.clipX0), std::min(xl, xl + slope_));
    double hi = std::min(static_cast<double>(paint_.clipX1), std::max(xl, xl + slope_) + width_);
    if (!(hi > lo)) return;
    int first = static_cast<int>(lo), end = ceilInt(hi);
    // Offsets are taken from the first column, so that they stay small
    // enough for single precision.
    float base = static_cast<float>(first - xl);
    // The closed form runs up to a whole number of its groups (four or
    // eight columns) from the first column, the steady area from there.
    int steadyFrom = end, steadyTo = end;
    if (steady_) {
        int from = first + (std::max(0, ceilInt(xl + bend1_) - first) + 7) / 8 * 8;
        int to = std::min(end, floorInt(xl + bend2_));
        if (from < to) {
            steadyFrom = from;
            steadyTo = to;
        }
    }
    columns(row, base, first, first, steadyFrom);
    if (steadyFrom < steadyTo) steadyColumns(row, paint_, steadyCover_, steadyFrom, steadyTo);
    columns(row, base, first, steadyTo, end);
}

void ParallelRows::paintRows(uint32_t* pixels, size_t stride, int y0, int y1, double leftX, double yTop) const {
    if (!usable_) return;
    if (wide_)
        return wideSlabRows({pixels, stride, y0, y1, leftX, yTop, width_, slope_, steady_, bend1_, bend2_, steadyCover_},
                            paint_, section_);
    for (int y = y0; y < y1; ++y) paint(pixels + static_cast<size_t>(y) * stride, leftX + (y - yTop) * slope_);
}

void ParallelRows::columns(uint32_t* row, float base, int first, int from, int to) const {
    if (from >= to) return;
    formulaColumns(row, paint_, section_, base, first, from, to);
}

}  // namespace tavix::preview
