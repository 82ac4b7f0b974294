// The rows of a shape that no slab body covers whole: its ends, and every
// row of a shape whose sides are not parallel. A pixel's area is the sum,
// over the pieces of the shape's trapezoids in its row, of each piece's
// share in closed form, eight columns at a time with AVX2 and FMA; nothing
// is accumulated across the row.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "rasterShapes.h"

namespace tavix::preview {

// A trapezoid's part of one pixel row, in columns from the row's origin:
// each side's least and greatest x over the part and its square's factor
// 1 / (2 |slope|) (none for a side taken as upright through its middle),
// and the part's height (at most one row). One aligned load of eight.
struct alignas(32) RowPiece {
    float leftLo, leftHi, leftSquare, rightLo, rightHi, rightSquare, height, unused;
};

// The part between a left side from x = leftTop to leftBottom and a right
// side from rightTop to rightBottom, within the clip's columns; `square`s
// are the trapezoid's sides' factors.
inline RowPiece rowPiece(double leftTop, double leftBottom, double rightTop, double rightBottom, double height,
                         double leftSquare, double rightSquare, double origin) {
    RowPiece p{};
    auto side = [origin](double top, double bottom, double square, float& lo, float& hi, float& factor) {
        double l = std::min(top, bottom) - origin, h = std::max(top, bottom) - origin;
        // Below this lean the side is taken as upright: the error is under
        // a ten-thousandth of a pixel.
        if (h - l < 1e-4) {
            lo = hi = static_cast<float>((l + h) / 2);
            factor = 0;
        } else {
            lo = static_cast<float>(l);
            hi = static_cast<float>(h);
            factor = static_cast<float>(square);
        }
    };
    side(leftTop, leftBottom, leftSquare, p.leftLo, p.leftHi, p.leftSquare);
    side(rightTop, rightBottom, rightSquare, p.rightLo, p.rightHi, p.rightSquare);
    p.height = static_cast<float>(height);
    return p;
}

// One row to paint: its pieces are pieces[first, first + count), in
// columns from `origin` (a whole column near them); least and most are the
// least and greatest x of all their sides.
struct EndRow {
    uint32_t* pixels;
    uint32_t first, count;
    double origin, least, most;
};

// Lays the pen over each row by its pieces' areas. Only where
// wideColumnsInUse().
void wideEndRows(const RasterPaint& paint, const EndRow* rows, size_t rowCount, const RowPiece* pieces);

}  // namespace tavix::preview
