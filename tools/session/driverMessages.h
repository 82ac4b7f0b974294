// The driver's messages as the user of the host program reads them. The
// driver always installs its Japanese texts (code page 932); the terminal
// reads UTF-8, and the English text of the same message slot helps whoever
// does not read Japanese.
#pragma once

#include <string>

namespace tavix::host {

// The text without its surrounding line ends and blanks, in UTF-8, followed
// by " (English text)" when it is one of the driver's message slots.
std::string messageForUser(const std::string& cp932Text);

// The text (code page 932) in English, in UTF-8: every message slot's
// Japanese text in it replaced by the slot's English text, and the labels of
// the media, tray and line-end lists after their captions by English words.
// For the settings summary, which is made of message slots and labels.
std::string englishForUser(const std::string& cp932Text);

// "ja" or "en" for --language; "" picks by the user's locale (LC_ALL,
// LC_MESSAGES, LANG): Japanese when it names Japanese, else English.
// False for any other word.
bool summaryLanguage(const std::string& option, bool& english);

}  // namespace tavix::host
