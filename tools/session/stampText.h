// The stamp's texts as the job ticket carries them: code page 932
// (Shift-JIS, the Japanese system's code page the driver writes the ticket
// in), within the bytes the driver keeps (40 for the drawing name, 80 for
// the comment). `tavix configure` and the CUPS filter both convert through
// here, so a title reads the same on paper whichever way it came.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tavix::host {

inline constexpr size_t DRAW_NAME_BYTES = 40;
inline constexpr size_t COMMENT_BYTES = 80;

struct StampText {
    std::string cp932;                  // what the ticket carries
    std::vector<std::string> warnings;  // UTF-8, for the user: what was lost
};

// Converts `utf8` to code page 932. A character the code page lacks becomes
// "?" (as the system's conversion makes it) and is named in a warning; a
// text longer than `limit` bytes is cut at a character's end, with a
// warning; control characters, which would break the ticket's lines,
// become spaces. `what` names the text in warnings ("--draw-name").
StampText stampTextOf(const std::string& utf8, size_t limit, const std::string& what);

}  // namespace tavix::host
