// What every request packet shares: bytes 0-1 carry the request code in and,
// for most codes, the status out (0 done, -1 refused or failed).
#pragma once

#include <cstddef>
#include <cstdint>

#include "tavix/packet.h"

namespace tavix {

constexpr size_t PACKET_STATUS = 0;  // int16: code in, status out

// The request was refused or failed.
inline void refuseRequest(uint8_t* packet) { writeI16(packet, PACKET_STATUS, -1); }

}  // namespace tavix
