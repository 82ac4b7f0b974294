// A stroke body's rows with AVX2 and FMA, on processors that have them
// (chosen when the program runs; the build stays for any x86-64): eight
// rows at a time where they are up to sixteen columns long, else eight
// columns at a time. Long strokes spend most of their antialiased time
// here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "crossSection.h"
#include "rasterShapes.h"

namespace tavix::preview {

// Whether the wide form is used: the processor has it and it is not turned
// off (tests compare both forms).
bool wideColumnsInUse();
void allowWideColumns(bool allowed);

// Body rows [y0, y1) of a slab whose right side is `width` right of its
// left side, the left side at leftX + (y - yTop) * slope, row y starting at
// pixels + y * stride.
// Where `steady`, columns between bend1 and bend2 right of the left side
// (at the row's top) are all covered by steadyCover.
struct SlabRows {
    uint32_t* pixels;
    size_t stride;
    int y0, y1;
    double leftX, yTop, width, slope;
    bool steady;
    double bend1, bend2;
    uint32_t steadyCover;
};
void wideSlabRows(const SlabRows& slab, const RasterPaint& paint, const CrossSection& section);


}  // namespace tavix::preview
