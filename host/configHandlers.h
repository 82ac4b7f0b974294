// The handlers of the configuration requests, called by ConfigEntry with
// the packet being served. Device initialisation (21) and identification
// (49) are shared with the plot side and declared in configRequests.h.
#pragma once

#include <cstdint>

namespace tavix {

void answerInterfaceVersion(uint8_t* packet);  // 11
void chooseModel(uint8_t* packet);             // 20
void saveConfiguration(uint8_t* packet);       // 47

// Fixed replies.
void answerTable22(uint8_t* packet);
void answerTable23(uint8_t* packet);
void answerTable25(uint8_t* packet);
void answerCapabilities(uint8_t* packet);  // 40
void answerPenWidths(uint8_t* packet);     // 44

}  // namespace tavix
