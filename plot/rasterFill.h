// Filling the red, green and blue component buffers of the raster state from
// one host row: pixels replicated `magnify` times, the key colour turned
// white. Each returns the number of source pixels that are not white.
#pragma once

#include <cstdint>

namespace tavix {

// n RGB triples. The caller has clipped n so that n * magnify fits.
int32_t fillComponentsRgb(int32_t n, const uint8_t* data);

// n bitonal bytes: non-zero takes (red, green, blue), zero is white.
int32_t fillComponentsBitonal(int32_t n, const uint8_t* data, int32_t red, int32_t green,
                              int32_t blue);

// n RGB triples straight into the continuous-tone gray row (the tone row of
// the raster state), replicated, the key colour turned white.
int32_t fillToneGrayRgb(int32_t n, const uint8_t* data);

// Non-white pixels of n RGB triples as given (no key colour), without
// filling anything.
int32_t countNonWhiteRgb(int32_t n, const uint8_t* data);

}  // namespace tavix
