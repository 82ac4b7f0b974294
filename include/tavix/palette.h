// ColorIndexPalette: 256 RGB triples indexed by the host's colour number.
#pragma once

#include <cstdint>

namespace tavix { extern const uint8_t colorIndexPalette[256][3]; }
