// An entity kept as its groups, for the kinds dxflib does not read: each is
// turned into what it draws once its last group has passed.
#pragma once

#include <string>
#include <vector>

namespace tavix::dxf {

struct RawGroup {
    int code = 0;
    std::string value;  // trimmed
    double number = 0;  // for numeric codes
};

using RawGroups = std::vector<RawGroup>;

}  // namespace tavix::dxf
