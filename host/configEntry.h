// The configuration requests that load, choose and save the configuration,
// called by ConfigEntry with the packet being served.
#pragma once

#include <cstdint>

namespace tavix {

void answerInterfaceVersion(uint8_t* packet);  // 11
void chooseModel(uint8_t* packet);             // 20
void saveConfiguration(uint8_t* packet);       // 47

// A configuration step failed: shows the message slot, sets errorLatch to
// LATCH_CONFIG and refuses the request (-1 at packet offset 0).
void failConfiguration(uint8_t* packet, int messageSlot);

}  // namespace tavix
