// The message texts: 80 slots of 80 bytes in each language, and the
// density hints of the option dialog.
#pragma once

#include "tavix/messageSlots.h"
#include "tavix/tableTypes.h"

namespace tavix {

// The Japanese set (Shift-JIS bytes at run time; the one installed) and the
// English set, with the same numbering.
extern const char japaneseMessages[MESSAGE_COUNT][MESSAGE_SIZE];
extern const char englishMessages[MESSAGE_COUNT][MESSAGE_SIZE];

// The density hint texts for the standard densities 15, 16 and 20, six
// 20-byte texts each in languageIndex order.
extern const char densityHints15[6][20];
extern const char densityHints16[6][20];
extern const char densityHints20[6][20];

}  // namespace tavix
