#include "parallelRows.h"

#include <algorithm>
#include <cmath>

#include "pixelBlend.h"

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

void paintParallelRow(uint32_t* row, const RasterPaint& paint, double xl, double width, double slope) {
    if (!(width > 0) || !std::isfinite(xl) || !std::isfinite(slope)) return;
    double lo = std::max(static_cast<double>(paint.clipX0), std::min(xl, xl + slope));
    double hi = std::min(static_cast<double>(paint.clipX1), std::max(xl, xl + slope) + width);
    if (!(hi > lo)) return;
    int first = static_cast<int>(lo), end = static_cast<int>(std::ceil(hi));
    CrossSection section(width, slope);
    // Offsets are taken from the first column, so that they stay small
    // enough for single precision.
    float base = static_cast<float>(first - xl);
#if defined(__SSE2__)
    // H at each column side, four at a time; a column's area is the next
    // side's H less its own. A group of four is blended whole when its
    // pixels lie within the clip (columns past the section have no area
    // and keep their colour).
    FourPixelBlend four(paint.solid);
    const __m128 steps = _mm_setr_ps(0, 1, 2, 3);
    __m128 sides = section.h(_mm_add_ps(_mm_set1_ps(base), steps));
    for (int k = first; k < end; k += 4) {
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
        for (int j = 0; k + j < end; ++j)
            if (uint32_t c = coverageOf(lane[j])) row[k + j] = blendPixel(row[k + j], paint.solid, c);
    }
#else
    for (int k = first; k < end; ++k)
        if (uint32_t c = coverageOf(section.area(base + (k - first)))) row[k] = blendPixel(row[k], paint.solid, c);
#endif
}

}  // namespace tavix::preview
