// ConfigEntry: the configuration request dispatcher.
#include <cstdint>

#include "tavix/driverState.h"
#include "tavix/entryPoints.h"
#include "tavix/packet.h"

extern "C" int TAVIX_ENTRY_CDECL ConfigEntry(uint8_t* packet) {
    using namespace tavix;
    if (packet == nullptr) return 0;
    state.currentPacket = packet;
    // Codes not handled here leave the packet exactly as it came.
    return 0;
}
