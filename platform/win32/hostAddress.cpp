// 32-bit Windows host addresses: a host address is the pointer itself.
#include "platform/hostAddress.h"

#include <cstdint>

static_assert(sizeof(void*) == 4, "the DLL is a 32-bit build");

namespace tavix {

void* hostPointer(HostAddress address) {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(address));
}

HostAddress hostAddressOf(const void* pointer) {
    return static_cast<HostAddress>(reinterpret_cast<uintptr_t>(pointer));
}

void resetHostAddresses() {}

}  // namespace tavix
