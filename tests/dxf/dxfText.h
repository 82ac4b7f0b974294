// Small DXF files for the reader's tests, written group by group.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace tavix::dxf::testing {

using Groups = std::vector<std::pair<int, std::string>>;

// "  0\nSECTION\n..." with each code right-aligned in three places, as CAD programs write them.
std::string dxfText(const Groups& groups);

// A file with a BLOCKS section (when `blocks` is not empty) and an ENTITIES section.
std::string drawing(const Groups& entities, const Groups& blocks = {}, const Groups& tables = {},
                    const Groups& header = {});

// The text in a temporary file, rewound (closed by the caller).
std::FILE* memoryFile(const std::string& text);

}  // namespace tavix::dxf::testing
