// The host program's own configuration file: the 40-byte settings block the
// driver asked the host to store, and the device values the configuration
// run reported (plot area and resolution), as the CAD host keeps them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tavix::host {

struct HostConfig {
    std::array<uint8_t, 40> block{};
    bool hasBlock = false;
    double plotWidth = 0;       // inches, as reported by request 21
    double plotHeight = 0;
    double stepsPerInch = 1016;  // host units per inch
};

// Reads `path`; false with an error when it exists but cannot be read or is
// malformed. A missing file gives an empty configuration and `exists` false.
bool loadHostConfig(const std::string& path, HostConfig& config, bool& exists, std::string& error);

// Writes a new file and replaces the old one only when it is complete.
bool saveHostConfig(const std::string& path, const HostConfig& config, std::string& error);

}  // namespace tavix::host
