// Request 49 on either entry: identification.
#pragma once

#include <cstdint>

namespace tavix {

// Identification into the packet. The caller has already cleared errorLatch.
void identifyDriver(uint8_t* packet);

}  // namespace tavix
