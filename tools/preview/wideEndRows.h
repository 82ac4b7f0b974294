// The rows of a shape that no slab body covers whole: its ends, and every
// row of a shape whose sides are not parallel. A pixel's area is the sum,
// over the pieces of the shape's trapezoids in its row, of each piece's
// share in closed form, eight columns at a time with AVX2 and FMA; nothing
// is accumulated across the row.
#pragma once

#include <cstddef>
#include <cstdint>

#include "rasterShapes.h"

namespace tavix::preview {

// A trapezoid's part of one pixel row: its sides' x at the part's top and
// at its bottom (within the paint's clip columns), and its height (at most
// one row).
struct RowPiece {
    double leftTop, leftBottom, rightTop, rightBottom, height;
};

// Lays the pen over `row` by the pieces' areas. Only where
// wideColumnsInUse().
void wideEndRow(uint32_t* row, const RasterPaint& paint, const RowPiece* pieces, size_t count);

}  // namespace tavix::preview
