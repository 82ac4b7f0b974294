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
// at its bottom (within the paint's clip columns), its height (at most one
// row), and for each side 1 / (2 |slope|), worked out once for the
// trapezoid.
struct RowPiece {
    double leftTop, leftBottom, rightTop, rightBottom, height;
    double leftSquare, rightSquare;
};

// One row to paint: its pieces are pieces[first, first + count), and least
// and most the least and greatest x of all their sides.
struct EndRow {
    uint32_t* pixels;
    uint32_t first, count;
    double least, most;
};

// Lays the pen over each row by its pieces' areas. Only where
// wideColumnsInUse().
void wideEndRows(const RasterPaint& paint, const EndRow* rows, size_t rowCount, const RowPiece* pieces);

}  // namespace tavix::preview
