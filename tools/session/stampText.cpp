#include "stampText.h"

#include <algorithm>
#include <cstdio>

#include "platform/native/codePage.h"

namespace tavix::host {
namespace {

// The length of the UTF-8 character at `at`: 1 for a byte that begins
// none (a stray or cut sequence), which the conversion makes a "?".
size_t characterLength(const std::string& text, size_t at) {
    unsigned char c = static_cast<unsigned char>(text[at]);
    size_t n = c < 0x80 ? 1 : c >= 0xC2 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xF0 && c < 0xF5 ? 4 : 0;
    if (n == 0 || at + n > text.size()) return 1;
    for (size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 1;
    return n;
}

std::string quotedList(const std::vector<std::string>& items) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) text += (i ? ", '" : "'") + items[i] + "'";
    return text;
}

}  // namespace

StampText stampTextOf(const std::string& utf8, size_t limit, const std::string& what) {
    StampText result;
    // Character by character, so that each one the code page lacks is known.
    std::vector<std::string> lacking;
    std::string converted;
    for (size_t at = 0; at < utf8.size();) {
        size_t n = characterLength(utf8, at);
        std::string character = utf8.substr(at, n);
        at += n;
        std::string bytes = character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x80
                                ? character
                                : native::utf8ToCp932(character);
        if (bytes == "?" && character != "?") {
            // A byte that begins no UTF-8 character is named by its value.
            if (static_cast<unsigned char>(character[0]) >= 0x80 && n == 1) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(character[0]));
                character = hex;
            }
            bool known = false;
            for (const std::string& l : lacking) known = known || l == character;
            if (!known) lacking.push_back(character);
        }
        converted += bytes;
    }
    if (!lacking.empty())
        result.warnings.push_back(what + ": " + quotedList(lacking) + (lacking.size() == 1 ? " is" : " are") +
                                  " not in code page 932 (Shift-JIS), which the job ticket uses: written as '?'");
    // Cut at the end of the last whole character within the limit.
    size_t end = 0;
    while (end < converted.size()) {
        size_t width = native::isCp932LeadByte(static_cast<unsigned char>(converted[end])) ? 2 : 1;
        if (end + width > limit || end + width > converted.size()) break;
        end += width;
    }
    if (end < converted.size())
        result.warnings.push_back(what + ": " + std::to_string(converted.size()) + " bytes in code page 932, the driver keeps " +
                                  std::to_string(limit) + ": cut to '" + native::cp932ToUtf8(converted.substr(0, end)) +
                                  "'");
    converted.resize(end);
    for (char& c : converted)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    result.cp932 = converted;
    return result;
}

}  // namespace tavix::host
