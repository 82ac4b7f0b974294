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

// PackBits with 124-byte pieces and two closing zero bytes; the result is
// left in state.raster.packOutput.
int32_t packRow(int32_t length, const uint8_t* data);

void buildDitherMasks();
void ditherPlanes(int32_t rowIndex, int32_t width, int32_t colour);

}  // namespace tavix
