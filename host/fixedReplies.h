// The configuration requests that get fixed replies.
#pragma once

#include <cstdint>

namespace tavix {

void answerTable22(uint8_t* packet);
void answerTable23(uint8_t* packet);
void answerTable25(uint8_t* packet);
void answerCapabilities(uint8_t* packet);  // 40
void answerPenWidths(uint8_t* packet);     // 44

}  // namespace tavix
