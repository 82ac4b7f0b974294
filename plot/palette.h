// The pens' colour instructions, from the host's colour-number palette.
#pragma once

#include <cstdint>

#include "tavix/colorIndexPalette.h"

namespace tavix {

constexpr int PEN_COLOUR_TEXT_SIZE = 32;

// The "PC" instruction of one pen ("PC10,255,0,0"). In monochrome a pen of
// any colour but a gray is sent as the gray of its colour.
void formatPenColour(char (&text)[PEN_COLOUR_TEXT_SIZE], int pen, bool colour);

}  // namespace tavix
