#include "parallelRows.h"

#include <algorithm>
#include <cmath>

#include "pixelBlend.h"
#include "pixelIndex.h"

namespace tavix::preview {
namespace {

// Below this slope the side is taken as straight down through its middle:
// the error is under a ten-thousandth of a pixel, where the exact form
// would lose that much to rounding.
constexpr float STEEP = 1e-3f;

// With u the offset of a column side from the slab's left side at the
// row's top, the covered width left of it at height t is R(u - slope * t),
// R(v) = clamp(v, 0, width); H(u) is its mean over the row's height, the
// difference of P (the integral of R) over the side's run, and a column's
// covered area is H(u + 1) - H(u).
struct CrossSection {
    float width, slope, inverseSlope;
    bool steep;
    CrossSection(double w, double s)
        : width(static_cast<float>(w)), slope(static_cast<float>(s)), inverseSlope(1 / slope),
          steep(std::fabs(slope) < STEEP) {}

    float r(float v) const { return std::min(std::max(v, 0.0f), width); }
    float p(float v) const {
        float c = r(v);
        return c * c * 0.5f + width * std::max(v - width, 0.0f);
    }
    float h(float u) const { return steep ? r(u - slope * 0.5f) : (p(u) - p(u - slope)) * inverseSlope; }
    float area(float u) const { return h(u + 1) - h(u); }

#if defined(__SSE2__)
    __m128 r(__m128 v) const { return _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(width)); }
    __m128 p(__m128 v) const {
        __m128 c = r(v);
        __m128 beyond = _mm_max_ps(_mm_sub_ps(v, _mm_set1_ps(width)), _mm_setzero_ps());
        return _mm_add_ps(_mm_mul_ps(_mm_mul_ps(c, c), _mm_set1_ps(0.5f)), _mm_mul_ps(beyond, _mm_set1_ps(width)));
    }
    __m128 h(__m128 u) const {
        if (steep) return r(_mm_sub_ps(u, _mm_set1_ps(slope * 0.5f)));
        return _mm_mul_ps(_mm_sub_ps(p(u), p(_mm_sub_ps(u, _mm_set1_ps(slope)))), _mm_set1_ps(inverseSlope));
    }
#endif
};

}  // namespace

namespace {

// Columns [from, to) by the closed form, four at a time: H at each column
// side, a column's area the next side's H less its own. A group of four is
// blended whole when its pixels lie within the clip (columns past the
// section have no area and keep their colour).
[[gnu::always_inline]] inline void formulaColumns(uint32_t* row, const RasterPaint& paint, const CrossSection& section, float base, int first,
                    int from, int to) {
    if (from >= to) return;
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
        for (int j = 0; k + j < to; ++j)
            if (uint32_t c = coverageOf(lane[j])) row[k + j] = blendPixel(row[k + j], paint.solid, c);
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

void paintParallelRow(uint32_t* row, const RasterPaint& paint, double xl, double width, double slope) {
    if (!(width > 0) || !std::isfinite(xl) || !std::isfinite(slope)) return;
    double lo = std::max(static_cast<double>(paint.clipX0), std::min(xl, xl + slope));
    double hi = std::min(static_cast<double>(paint.clipX1), std::max(xl, xl + slope) + width);
    if (!(hi > lo)) return;
    int first = static_cast<int>(lo), end = ceilInt(hi);
    CrossSection section(width, slope);
    // Offsets are taken from the first column, so that they stay small
    // enough for single precision.
    float base = static_cast<float>(first - xl);
    // H bends only where a column side meets a corner of the cross-section
    // (u = 0, width, slope, slope + width); between the middle two of those
    // it is straight, and every column there is covered alike: wholly when
    // the stroke is at least a row high, else by width / |slope| (a stroke
    // no wider than a pixel has no such stretch). The
    // closed form runs up to a whole group of four from the first column,
    // the steady area from there.
    int steadyFrom = end, steadyTo = end;
    double bend1 = slope >= 0 ? std::min(width, slope) : std::min(0.0, slope + width);
    double bend2 = slope >= 0 ? std::max(width, slope) : std::max(0.0, slope + width);
    if (width > 5 && bend2 - bend1 > 5) {  // thinner strokes have no such stretch
        int from = first + (std::max(0, ceilInt(xl + bend1) - first) + 3) / 4 * 4;
        int to = std::min(end, floorInt(xl + bend2));
        if (from < to) {
            steadyFrom = from;
            steadyTo = to;
        }
    }
    formulaColumns(row, paint, section, base, first, first, steadyFrom);
    if (steadyFrom < steadyTo)
        steadyColumns(row, paint, coverageOf(static_cast<float>(std::min(1.0, width / std::fabs(slope)))), steadyFrom,
                      steadyTo);
    formulaColumns(row, paint, section, base, first, steadyTo, end);
}

}  // namespace tavix::preview
