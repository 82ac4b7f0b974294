// Request 49 on either entry: identification (the layout is in
// requestPackets.h).
#include <cstring>

#include "host/identify.h"
#include "host/showMessage.h"
#include "tavix/driverRecord.h"
#include "tavix/driverState.h"
#include "tavix/messages.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix {
static_assert(sizeof(DriverRecord::banner) >= identifyPacket::BANNER_SIZE);

void identifyDriver(uint8_t* packet) {
    using namespace identifyPacket;
    writeI16(packet, STATUS, 0);
    writeI16(packet, ZERO, 0);
    std::memcpy(packet + BANNER, driverRecord.banner, BANNER_SIZE);
    if (readI16(packet, CALLER) != 1) {
        showMessageSlot(MSG_NOT_AUTOCAD);
        writeI16(packet, STATUS, NOT_AUTOCAD);
        state.errorLatch = LATCH_CONFIG;
        return;
    }
    if (readU8(packet, RELEASE) < 2) {
        showMessageSlot(MSG_WRONG_RELEASE);
        writeI16(packet, STATUS, RELEASE_TOO_OLD);
        state.errorLatch = LATCH_CONFIG;
    }
}

}  // namespace tavix
