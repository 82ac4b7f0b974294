// Binary DXF, read as the ASCII DXF it stands for. A binary DXF holds the
// same group pairs as an ASCII one, each value stored in its group code's
// own type (strings ending in a zero byte, 8-byte doubles, 1-, 2-, 4- or
// 8-byte integers, binary chunks led by their length); writing the pairs
// out as text lets the one DXF reader read both.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace tavix::dxf {

// Writes the ASCII DXF of the binary DXF `in` (read from its start) to
// `out`. False with the reason when `in` is not a binary DXF or ends inside
// a pair; `out` then holds the pairs read so far.
bool binaryDxfToAscii(std::FILE* in, std::FILE* out, std::string& error);

}  // namespace tavix::dxf
