// Pens, line types and pen widths, and the palette of the preamble.
#pragma once

#include <cstdint>

namespace tavix {

constexpr int16_t MONO_PEN = 7;
constexpr int LINE_TYPE_TABLE_SIZE = 9;  // lengths for line types 0..8
extern const double lineTypeLengths[LINE_TYPE_TABLE_SIZE];

int selectPen(int16_t pen);        // code 5
int setLineType(uint16_t type);    // code 7
int setPenWidth(double inches);    // code 41 (the packet's 0 is the caller's)
int writePalette();                // preamble step: "PC" for pens 1..255

}  // namespace tavix
