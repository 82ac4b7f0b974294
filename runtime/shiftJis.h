// Shift-JIS (code page 932) text measured in bytes: a lead byte 0x81..0x9F
// or 0xE0..0xFC starts a two-byte character, everything else is one byte
// (ASCII and half-width katakana).
#pragma once

#include <cstddef>

namespace tavix {

// True for a byte that starts a two-byte character.
bool isShiftJisLeadByte(unsigned char byte);

// The length of the longest prefix of `text` (up to its NUL) that is at
// most `limit` bytes long and does not end inside a two-byte character.
size_t shiftJisPrefixLength(const char* text, size_t limit);

}  // namespace tavix
