// Output staging and Polyline Encoded coordinates.
//
// All HP-GL/2, PJL and job-ticket text of a plot is staged in one 2 MiB
// OutputBuffer and handed to hostWriteOutput in pieces of 128 bytes: when
// the buffer would fill, at end plot and before raster output. Every
// operation returns 0 on success and -1 on failure.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavix {

constexpr int32_t OUTPUT_PIECE_SIZE = 128;

// Stages a NUL-terminated text. No buffer: the text is dropped, success.
int writeText(const char* text);

// Stages `count` bytes (the same rules as writeText).
int writeBytes(const void* bytes, size_t count);

// Sends everything staged in 128-byte pieces.
int flushOutput();

// Writes the relative PE pair from the pen position to host point (x, y).
int emitPoint(uint32_t x, uint32_t y);

// Writes one signed integer in PE form (base 32 after "PE7", base 64 after
// "PE" when eightBitEncoding is set).
int encodePeNumber(int64_t value);

// Encodes one PE number into out (at least 16 bytes); returns its length.
size_t encodePeDigits(int64_t value, bool eightBit, uint8_t* out);

// Obtains a zero-filled OutputBuffer without throwing; false when the
// allocation fails. Releasing is safe with no buffer held.
bool obtainOutputBuffer();
void releaseOutputBuffer();

// Test seam: when set, obtainOutputBuffer asks it first and fails when it
// answers false (fault injection of the allocation).
extern bool (*outputAllocationAllowed)();

}  // namespace tavix
