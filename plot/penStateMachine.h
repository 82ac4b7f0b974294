// The pen state machine of the vector requests (codes 3, 4 and 8): pen up
// and down moves in Polyline Encoded form, and the outline a draw collects
// for an image.
#pragma once

#include <cstdint>

namespace tavix {

// Closes an open PE sequence with ";" and leaves penState at PEN_OUTSIDE.
int leavePe();

// Codes 3, 4 and 8. moveTo and drawTo answer 1 when the point was dropped as
// redundant (nothing written, nothing changed).
int moveTo(uint32_t x, uint32_t y);
int drawTo(uint32_t x, uint32_t y);
int liftPen();

// Code 4 as a whole request: pen re-selection, the draw, outline capture.
void drawRequest(uint8_t* packet);



// Ends outline capture and forgets the points collected, so that an outline
// that never closed does not start the next one.
void clearOutlineCapture();

}  // namespace tavix
