// A code-52 packet as a host fills it: its two row functions, the fields of
// `Fields` (rectangle, kind, source size, transparency, depth, colour index,
// host value) and the opaque block filled with blockFirst, blockFirst + 1, ...
#pragma once

#include <cstdint>
#include <vector>

#include "platform/hostAddress.h"
#include "tavix/driverState.h"
#include "tavix/imageRequest.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix::testing {

template <typename Fields>
std::vector<uint8_t> imageRequestPacket(const Fields& s, const void* rowSource, const void* rowRelease,
                                        uint8_t blockFirst) {
    std::vector<uint8_t> p(IMAGE_REQUEST_SIZE, 0);
    writeI16(p.data(), PACKET_STATUS, 52);
    writeU32(p.data(), imagePacket::ROW_SOURCE, hostAddressOf(rowSource));
    writeU32(p.data(), imagePacket::ROW_RELEASE, hostAddressOf(rowRelease));
    writeI32(p.data(), imagePacket::HOST_VALUE, s.hostValue);
    writeI32(p.data(), imagePacket::X0, s.x0);
    writeI32(p.data(), imagePacket::Y0, s.y0);
    writeI32(p.data(), imagePacket::X1, s.x1);
    writeI32(p.data(), imagePacket::Y1, s.y1);
    writeI32(p.data(), imagePacket::KIND, s.kind);
    writeI32(p.data(), imagePacket::SOURCE_WIDTH, s.sourceWidth);
    writeI32(p.data(), imagePacket::SOURCE_HEIGHT, s.sourceHeight);
    writeI16(p.data(), imagePacket::TRANSPARENCY, s.transparency);
    writeI16(p.data(), imagePacket::DEPTH, s.depth);
    writeI16(p.data(), imagePacket::COLOR_INDEX, s.colorIndex);
    for (int i = 0; i < imagePacket::HOST_BLOCK_SIZE; ++i)
        p[static_cast<size_t>(imagePacket::HOST_BLOCK + i)] = static_cast<uint8_t>(blockFirst + i);
    return p;
}

}  // namespace tavix::testing
