// The row compressor behind packRow, for callers that keep several packed
// rows at once (the three colour planes of one row).
#pragma once

#include <cstdint>

namespace tavix {

// Worst case of packing n bytes: a header per 124 literal bytes and the two
// closing zero bytes.
constexpr int32_t packedBound(int32_t n) { return n + (n + 123) / 124 + 2; }

// Packs `length` bytes (0 when negative) into out, which holds at least
// packedBound(length) bytes; returns the packed length.
int32_t packInto(uint8_t* out, int32_t length, const uint8_t* data);

}  // namespace tavix
