// Request 49 on either entry: identification. The status goes to bytes
// 10-11; bytes 0-1 are left as they came.
//
//   4    int16   in: 1 when the caller is AutoCAD
//   7    uint8   in: the host's release, at least 2
//   10   int16   out: status, 0, -3 (not AutoCAD) or -5 (release too old)
//   12   int16   out: 0
//   86   81      out: the driver's banner, NUL-padded
#include <cstring>

#include "tavix/configRequests.h"
#include "tavix/driverRecord.h"
#include "tavix/driverState.h"
#include "tavix/messages.h"
#include "tavix/packet.h"

namespace tavix {
namespace {

constexpr size_t BANNER_OFFSET = 86;
constexpr size_t BANNER_SIZE = 81;

}  // namespace

void identifyDriver(uint8_t* packet) {
    writeI16(packet, 10, 0);
    writeI16(packet, 12, 0);
    std::memcpy(packet + BANNER_OFFSET, driverRecord.banner, BANNER_SIZE);
    if (readI16(packet, 4) != 1) {
        showMessageSlot(MSG_NOT_AUTOCAD);
        writeI16(packet, 10, -3);
        state.errorLatch = LATCH_CONFIG;
        return;
    }
    if (readU8(packet, 7) < 2) {
        showMessageSlot(MSG_WRONG_RELEASE);
        writeI16(packet, 10, -5);
        state.errorLatch = LATCH_CONFIG;
    }
}

}  // namespace tavix
