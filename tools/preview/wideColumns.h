// A stroke body's columns eight at a time with AVX2 and FMA, on processors
// that have them (chosen when the program runs; the build stays for any
// x86-64). Long shallow strokes spend most of their antialiased time here.
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

// Columns [from, to) of `row` by the closed form; `base` is the offset of
// column `first`'s left side from the section's left side.
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

void wideFormulaColumns(uint32_t* row, const RasterPaint& paint, const CrossSection& section, float base, int first,
                        int from, int to);

}  // namespace tavix::preview
