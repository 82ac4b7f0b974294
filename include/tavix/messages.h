// Message texts (80 slots of 80 bytes) and language set-up.
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

// Request 50: whatever language the host asks for, language code "ja",
// languageIndex 0, the Japanese messages, the working option tables and the
// tray table of the current model.
void loadLanguageTables();

// True when languageCode is "ja" (compared with its terminating NUL).
bool languageIsJapanese();

// Shows the installed text of a slot through hostShowMessage as "\n%s\n"
// (an empty line before language set-up). A slot outside 0..79 shows
// nothing.
void showMessageSlot(int slot);

}  // namespace tavix
