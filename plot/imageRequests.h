// Image requests (plot code 52): the request is kept until the next plot
// request prints it.
#pragma once

#include <cstdint>

namespace tavix {

// Code 52: keeps the image request until the next plot request.
void announceImage(uint8_t* packet);

// Prints the pending image, if any (run first by every plot request).
int printPendingImage();

}  // namespace tavix
