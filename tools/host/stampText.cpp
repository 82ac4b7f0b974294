#include "stampText.h"

#include "platform/native/codePage.h"

namespace tavix::host {
namespace {

// The length of the UTF-8 sequence that begins with `c` (1 for a stray byte).
size_t sequenceLength(unsigned char c) {
    if (c >= 0xF0 && c < 0xF8) return 4;
    if (c >= 0xE0) return 3;
    if (c >= 0xC0) return 2;
    return 1;
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
        size_t n = std::min(sequenceLength(static_cast<unsigned char>(utf8[at])), utf8.size() - at);
        std::string character = utf8.substr(at, n);
        at += n;
        std::string bytes = character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x80
                                ? character
                                : native::utf8ToCp932(character);
        if (bytes == "?" && character != "?") {
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
