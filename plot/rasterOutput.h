// Raster output: the bytes of an image and of the moves around it go
// straight to the host port, past the OutputBuffer.
#pragma once

#include <cstdint>

namespace tavix {

// Hands `count` bytes to hostWriteOutput. Once errorLatch is set nothing is
// written. A refused write shows "Plotting error occured. " once, latches
// 0xFF and drops what is staged, as a failed flush does; returns -1 then.
int rasterWrite(const void* bytes, int32_t count);

// The same for a NUL-terminated text.
int rasterWriteText(const char* text);

}  // namespace tavix
