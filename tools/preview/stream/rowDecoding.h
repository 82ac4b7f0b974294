// Decoding of HP RTL row transfers: method 0 (raw), 1 (run-length pairs)
// and 2 (PackBits, as TIFF defines it; the driver's own variant, with
// pieces of at most 124 bytes and no 0x80 header, is a subset).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tavix::preview {

struct RowDecodeResult {
    size_t produced = 0;      // bytes the transfer decodes to (may exceed the kept bytes)
    bool cutPiece = false;    // the last piece is missing bytes
};

// Decodes `in` with the method into out, keeping at most maxBytes bytes.
// Never reads outside `in`; work is bounded by the size of `in`.
RowDecodeResult decodeRow(int method, std::string_view in, std::vector<uint8_t>& out,
                          size_t maxBytes);

}  // namespace tavix::preview
