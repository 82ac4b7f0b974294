// The row compressor: TIFF PackBits with pieces of at most 124 bytes, closed
// by two zero bytes. Callers may keep several packed rows at once (the three
// colour planes of one row).
#pragma once

#include <cstdint>

namespace tavix {

// Worst case of packing n bytes, the two closing zero bytes included: a
// one-byte literal between two-byte repeats takes 4 bytes for 3.
constexpr int32_t packedBound(int32_t n) { return n + (n + 2) / 3 + 2; }

// Bytes past the packed length that the packer may overwrite: it copies
// short literal stretches 32 bytes at a time.
constexpr int32_t PACK_SLACK = 32;

// Packs `length` bytes (0 when negative, at most PACK_INPUT_SIZE) into out,
// which holds at least packedBound(length) + PACK_SLACK bytes; returns the
// packed length. Uses the raster state's run list as its scratch.
int32_t packInto(uint8_t* out, int32_t length, const uint8_t* data);

}  // namespace tavix
