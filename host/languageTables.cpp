// Request 50: language set-up. Whatever language the host asks for, the
// driver speaks Japanese: it installs the Japanese messages and shows the
// metric paper labels.
#include <cstring>

#include "host/languageTables.h"
#include "tavix/driverState.h"
#include "tavix/messages.h"
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
    // The language code the host sends (packet bytes 8..15) is not read: the
    // texts and dialogs exist in Japanese only, and "ja" also selects the
    // metric paper labels.
    std::memset(state.languageCode, 0, sizeof state.languageCode);
    std::memcpy(state.languageCode, "ja", 3);
    state.languageIndex = 0;
    std::memcpy(state.messages, japaneseMessages, sizeof state.messages);
    // The working option tables the dialogs and the job ticket read, the
    // trays those of the model in use.
    copyOptionTable(state.mediaTypeWork, mediaTypeTable);
    copyOptionTable(state.stampPlacementWork, stampPlacementTable);
    copyOptionTable(state.lineEndWork, lineEndTable);
    copyOptionTable(state.trayWork, trayTableFor(currentModelEntry()));
}

bool languageIsJapanese() { return std::memcmp(state.languageCode, "ja", 3) == 0; }

}  // namespace tavix
