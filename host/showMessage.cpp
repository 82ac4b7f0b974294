#include <cstring>

#include "host/showMessage.h"
#include "tavix/driverState.h"
#include "tavix/hostServices.h"
#include "tavix/messages.h"

namespace tavix {

void showMessageSlot(int slot) {
    if (slot < 0 || slot >= MESSAGE_COUNT) return;
    // Bounded: a slot holds at most 79 characters and its NUL.
    char text[MESSAGE_SIZE];
    std::memcpy(text, state.messages[slot], MESSAGE_SIZE);
    text[MESSAGE_SIZE - 1] = '\0';
    hostShowMessage("\n%s\n", text);
}

}  // namespace tavix
