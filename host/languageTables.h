// Request 50: language set-up.
#pragma once

namespace tavix {

// Request 50: whatever language the host asks for, language code "ja",
// languageIndex 0, the Japanese messages, the working option tables and the
// tray table of the current model.
void loadLanguageTables();

// True when languageCode is "ja" (compared with its terminating NUL).
bool languageIsJapanese();

}  // namespace tavix
