// The stamp's drawing name is the job's title. The driver keeps the stamp
// texts in its pen settings file, in the current folder; the filter writes
// that file (pens at their defaults) in its own folder before the plot, as
// the stamp dialog would after the user typed the name.
#pragma once

#include <string>

namespace tavix::cups {

// The title as the driver stores it: code page 932, at most 40 bytes, never
// cut inside a two-byte character.
std::string stampNameOf(const std::string& titleUtf8);

// Writes the pen settings file with the default pens and this drawing name;
// false when it cannot be written (the stamp then carries no name).
bool writeStampName(const std::string& titleUtf8);

}  // namespace tavix::cups
