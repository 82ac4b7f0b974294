// The dither of the monochrome and colour raster forms.
#pragma once

#include <cstdint>

namespace tavix {

// The cells of dither pattern row `row` (0..15) that level 0..255 lights,
// bit 15 for column 0; level 255 lights all sixteen.
uint16_t ditherMask(int row, int level);

// Dithers `width` replicated pixels of the component buffers into the bit
// planes, with pattern row rowIndex mod 16.
void ditherPlanes(int32_t rowIndex, int32_t width, int32_t colour);

}  // namespace tavix
