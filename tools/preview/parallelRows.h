// One pixel row wholly inside a slab whose two sides run parallel (the body
// of a stroke), antialiased in one pass: every row of such a slab is the
// same cross-section shifted, so each pixel's covered area has a closed
// form and needs no accumulation across the row.
#pragma once

#include <cstdint>

#include "rasterShapes.h"

namespace tavix::preview {

// The row of pixels `row`; the slab's left side is at xl at the row's top
// and moves `slope` pixels across the row; its right side is `width` pixels
// further right. Only the paint's clip columns change.
void paintParallelRow(uint32_t* row, const RasterPaint& paint, double xl, double width, double slope);

}  // namespace tavix::preview
