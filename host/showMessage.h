// Showing a message slot through the host.
#pragma once

namespace tavix {

// Shows the installed text of a slot through hostShowMessage as "\n%s\n"
// (an empty line before language set-up). A slot outside 0..79 shows
// nothing.
void showMessageSlot(int slot);

}  // namespace tavix
