#pragma once
// Dashed lines drawn in software from a linetype's dash pattern.
#include <vector>

#include "point.h"

namespace tavix::geometry {

// More dashes than this for one polyline would be a solid line on paper;
// the polyline is then returned whole.
constexpr long long MAX_DASHES_PER_POLYLINE = 1000000;

// The pen-down pieces of `polyline` under the dash `pattern` (positive: a
// dash of that length, negative: a gap, zero: a dot), each length multiplied
// by `scale`. The pattern starts at the first point and runs on across the
// vertices, so a dash may turn a corner (it is then one polyline with the
// corner point in it). A dot is a zero-length segment: a polyline of two
// equal points, which the pen draws as a dot.
// A polyline shorter than one repeat of the pattern, an empty pattern, one
// of total length zero, a non-finite or non-positive scale, or a pattern too
// fine for MAX_DASHES_PER_POLYLINE gives the polyline itself (continuous).
// Non-finite points give nothing.
std::vector<Polyline> applyLinetype(const Polyline& polyline, const std::vector<double>& pattern,
                                    double scale);

}  // namespace tavix::geometry
