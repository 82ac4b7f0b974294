// The one global DriverState.
#include "tavix/driverState.h"

#include <new>

namespace tavix {

DriverState state;

void resetDriverState() {
    const uint8_t* table = state.hostServices;
    // Rebuilt in place: the record is far too large for a temporary.
    state.~DriverState();
    new (&state) DriverState();
    state.hostServices = table;
}

}  // namespace tavix
