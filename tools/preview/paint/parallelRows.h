// Pixel rows wholly inside a slab whose two sides run parallel (the body
// of a stroke), antialiased in one pass: every row of such a slab is the
// same cross-section shifted, so each pixel's covered area has a closed
// form and needs no accumulation across the row.
#pragma once

#include <cstddef>
#include <cstdint>

#include "crossSection.h"
#include "rasterShapes.h"

namespace tavix::preview {

class ParallelRows {
public:
    // The slab's right side is `width` pixels right of its left side, and
    // both move `slope` pixels across a row. Only the paint's clip columns
    // change.
    ParallelRows(const RasterPaint& paint, double width, double slope);
    // Rows [y0, y1), row y at pixels + y * stride, where the left side is at
    // leftX + (y - yTop) * slope: with the wide form where it is in use, else
    // row by row, four columns at a time.
    void paintRows(uint32_t* pixels, size_t stride, int y0, int y1, double leftX, double yTop) const;

private:
    // The row of pixels `row`, where the left side is at xl at the row's top.
    void paint(uint32_t* row, double xl) const;
    void columns(uint32_t* row, float base, int first, int from, int to) const;

    const RasterPaint& paint_;
    double width_, slope_;
    CrossSection section_;
    bool wide_, usable_;
    double bend1_, bend2_;  // the straight stretch of H, as offsets from the left side
    bool steady_;
    uint32_t steadyCover_;
};

}  // namespace tavix::preview
