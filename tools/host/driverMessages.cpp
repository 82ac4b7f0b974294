#include "driverMessages.h"

#include <string_view>

#include "platform/native/codePage.h"
#include "tavix/messages.h"

namespace tavix::host {
namespace {

std::string_view trimmed(std::string_view text) {
    auto blank = [](char c) { return c == '\n' || c == '\r' || c == ' '; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view slotText(const char (&slot)[MESSAGE_SIZE]) {
    size_t n = 0;
    while (n < MESSAGE_SIZE && slot[n] != '\0') ++n;
    return trimmed(std::string_view(slot, n));
}

}  // namespace

std::string messageForUser(const std::string& cp932Text) {
    std::string_view text = trimmed(cp932Text);
    std::string out = native::cp932ToUtf8(text);
    if (text.empty()) return out;
    for (int slot = 0; slot < MESSAGE_COUNT; ++slot) {
        std::string_view english = slotText(englishMessages[slot]);
        if (!english.empty() && slotText(japaneseMessages[slot]) == text) {
            out += " (" + std::string(english) + ")";
            break;
        }
    }
    return out;
}

}  // namespace tavix::host
