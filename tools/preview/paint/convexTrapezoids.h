// A convex polygon cut into trapezoids: slabs between the heights of its
// corners, each bounded by one straight side on the left and one on the
// right, and cut again where a side crosses the clip's left or right
// column, so that the part of a side outside the clip runs straight down
// the clip's edge (where it still bounds what lies inside).
#pragma once

#include <cstddef>
#include <vector>

#include "pixelGeometry.h"
#include "rasterShapes.h"

namespace tavix::preview {

// Appends the trapezoids of the convex polygon p[0..n) within columns
// [left, right] to `out`.
void cutConvex(const Px* p, size_t n, double left, double right, std::vector<RasterTrapezoid>& out);

}  // namespace tavix::preview
