// The driver's messages as the user of the host program reads them. The
// driver always installs its Japanese texts (code page 932); the terminal
// reads UTF-8, and the English text of the same message slot helps whoever
// does not read Japanese.
#pragma once

#include <string>

namespace tavix::host {

// The text without its surrounding line ends and blanks, in UTF-8, followed
// by " (English text)" when it is one of the driver's message slots.
std::string messageForUser(const std::string& cp932Text);

}  // namespace tavix::host
