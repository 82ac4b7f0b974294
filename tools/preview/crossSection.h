// The cross-section of a stroke's body in one pixel row, and each column's
// covered area in closed form, one column at a time or, with SSE2, four.
#pragma once

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavix::preview {

// Below this slope the side is taken as straight down through its middle:
// the error is under a ten-thousandth of a pixel, where the exact form
// would lose that much to rounding.
inline constexpr float STEEP = 1e-3f;

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


}  // namespace tavix::preview
