// The HP RTL encoder: one raster image, row by row.
#pragma once

#include <cstdint>

namespace tavix {

void beginRaster(int32_t width, int32_t height, int32_t mode, int32_t colour, int32_t keyEnabled,
                 int32_t keyRed, int32_t keyGreen, int32_t keyBlue, int32_t magnify);
void encodeRow(int32_t pixelCount, const uint8_t* data, int32_t bitonal, int32_t red,
               int32_t green, int32_t blue);
void endRaster();

}  // namespace tavix
