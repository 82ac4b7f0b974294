// Raster images: the image request, the HP RTL encoder and the dither.
#pragma once

#include <cstdint>

namespace tavix {

// Code 52: keeps the image request until the next plot request.
void announceImage(uint8_t* packet);

// Prints the pending image, if any (run first by every plot request).
int printPendingImage();

void beginRaster(int32_t width, int32_t height, int32_t mode, int32_t colour, int32_t keyEnabled,
                 int32_t keyRed, int32_t keyGreen, int32_t keyBlue, int32_t magnify);
void encodeRow(int32_t pixelCount, const uint8_t* data, int32_t bitonal, int32_t red,
               int32_t green, int32_t blue);
void endRaster();

// The cells of dither pattern row `row` (0..15) that level 0..255 lights,
// bit 15 for column 0; level 255 lights all sixteen.
uint16_t ditherMask(int row, int level);

void ditherPlanes(int32_t rowIndex, int32_t width, int32_t colour);

}  // namespace tavix
