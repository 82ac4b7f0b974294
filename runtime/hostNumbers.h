// Doubles that arrive from the host (plot area, steps per inch, pen width)
// are unchecked: they may be NaN, infinite or far beyond any paper. They
// enter the driver only through hostDouble, and plot-unit products leave it
// only through saturating conversions, so no conversion to an integer is
// ever out of range.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavix {

// The largest magnitude a host double keeps: far beyond the longest paper
// (600 inches) and any resolution, small enough that products of two such
// values and a scale divisor stay exact in 64-bit integers.
constexpr double HOST_DOUBLE_LIMIT = 1.0e6;

// A finite value within +-HOST_DOUBLE_LIMIT as it is; beyond the limit
// (infinities included) the limit with the value's sign; NaN gives whenNaN.
double saneHostDouble(double value, double whenNaN);

// The double at `offset` of a host record, through saneHostDouble.
double hostDouble(const uint8_t* record, size_t offset, double whenNaN);

// floor(value) as an integer, limited to the int32 range (NaN gives 0).
int32_t floorToInt32(double value);

// v limited to the int32 range.
int32_t clampToInt32(int64_t v);

}  // namespace tavix
