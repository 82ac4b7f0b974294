// Reads one PCL-style escape sequence: "ESC E", "ESC %-12345X",
// "ESC *b2m4W" + data, "ESC *v255a255b255c0I", and the device-control
// strings of serial plotters ("ESC .R", "ESC .I81;0;17:").
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "streamContext.h"

namespace tavix::preview {

struct EscCommand {
    size_t offset = 0;     // of the ESC that opened the sequence
    char family = 0;       // '%', '*', '&', '(', ... ; 0 for "ESC x"; '.' device control
    char group = 0;        // 'b', 'r', 'v', ... or 0
    char letter = 0;       // command letter, upper case
    bool hasValue = false;
    double value = 0;      // clamped to +-1e9
    bool valueSigned = false;  // written with a sign ("%-12345X", "%0B" is not)
    std::string_view data;     // bytes that follow a 'W' (or "*b#V") command
    bool dataTruncated = false;
    size_t dataSkipped = 0;    // data past what is kept, read past after the command

    int intValue() const { return static_cast<int>(value); }
};

// Reads the sequence at ctx.pos (which must be ESC) and calls onCommand for
// each command in it, in order. Malformed sequences are warned about; the
// position always moves past the ESC.
void readEscape(StreamContext& ctx, const std::function<void(const EscCommand&)>& onCommand);

// "ESC*b2m4W" style text of a command, for messages.
std::string describeCommand(const EscCommand& command);

}  // namespace tavix::preview
