// ColorIndexPalette: 256 RGB triples indexed by the host's colour number.
// The driver's pens take their colours from it, and drawing readers match
// a drawing's true colours to the nearest colour number with it.
#pragma once

#include <cstdint>

namespace tavix {

extern const uint8_t colorIndexPalette[256][3];

}  // namespace tavix
