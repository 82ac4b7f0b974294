// Polygon fill: one HP-GL/2 polygon per filled area.
#pragma once

#include <cstdint>

namespace tavix {

// Each returns 0 on success (or when there are fewer than 2 vertices) and -1
// when a write fails.
int fillPolygonArray();              // code 54, from state.currentPacket
int fillPolygonInline();             // code 33, from state.currentPacket
int fillPolygonOutline(int16_t restorePen);  // closed outline, pen 255

// Code 33 and 54 as whole requests (latch, count, penReselect).
void fillArrayRequest(uint8_t* packet);
void fillInlineRequest(uint8_t* packet);

}  // namespace tavix
