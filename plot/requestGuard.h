// Nothing may escape from PlotEntry into the host: whatever a request's
// work throws becomes the packet's -1.
#pragma once

#include <cstdint>

#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix {

// Runs `work` for the request in `packet`; any exception refuses the
// request. Answers 0, PlotEntry's own answer, so that PlotEntry can end
// with the call (a jump, not a call that it has to come back from).
template <typename Work>
int guardRequest(uint8_t* packet, Work&& work) noexcept {
    try {
        work();
    } catch (...) {
        refuseRequest(packet);
    }
    return 0;
}

}  // namespace tavix
