// ColorIndexPalette: 256 RGB triples indexed by the host's colour number.
#pragma once

#include <cstdint>

namespace tavix {

extern const uint8_t colorIndexPalette[256][3];

constexpr int PEN_COLOUR_TEXT_SIZE = 32;

// The "PC" instruction of one pen ("PC10,255,0,0"). In monochrome a pen of
// any colour but a gray is sent as the gray of its colour.
void formatPenColour(char (&text)[PEN_COLOUR_TEXT_SIZE], int pen, bool colour);

}  // namespace tavix
