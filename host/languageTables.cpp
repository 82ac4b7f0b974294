// Request 50: language set-up. Whatever language the host asks for, the
// driver speaks Japanese: it installs the Japanese messages and shows the
// metric paper labels.
#include <cstring>

#include "tavix/driverState.h"
#include "tavix/messages.h"
#include "tavix/requestPackets.h"
#include "tavix/tables.h"

namespace tavix {
namespace {

// Copies an option table up to and including its end row, clearing the rest
// of the working table.
template <size_t N>
void copyOptionTable(OptionRow (&work)[N], const OptionRow* table) {
    std::memset(work, 0, sizeof work);
    for (size_t i = 0; i + 1 < N && table[i].label[0] != '\0'; ++i) work[i] = table[i];
}

}  // namespace

void loadLanguageTables() {
    // 1. The host's language code (at most eight characters), kept only
    //    until step 2 replaces it.
    if (state.currentPacket != nullptr) {
        std::memcpy(state.languageCode, state.currentPacket + languagePacket::CODE,
                    languagePacket::CODE_LENGTH);
        state.languageCode[languagePacket::CODE_LENGTH] = '\0';
    }
    // 2. From here on the driver's language is Japanese.
    std::memset(state.languageCode, 0, sizeof state.languageCode);
    std::memcpy(state.languageCode, "ja", 3);
    // 3. The Japanese messages.
    std::memcpy(state.messages, japaneseMessages, sizeof state.messages);
    // 4. The working option tables the dialogs and the job ticket read.
    copyOptionTable(state.mediaTypeWork, mediaTypeTable);
    copyOptionTable(state.stampPlacementWork, stampPlacementTable);
    copyOptionTable(state.lineEndWork, lineEndTable);
    // 5. The tray table of the model in use.
    copyOptionTable(state.trayWork, trayTableFor(currentModelEntry()));
    // 6.
    state.languageIndex = 0;
}

bool languageIsJapanese() { return std::memcmp(state.languageCode, "ja", 3) == 0; }

}  // namespace tavix
