#include "driverMessages.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

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

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// The list labels the summary shows after a caption, and their English.
// The ticket's words where the ticket has them.
struct LabelWords {
    int captionSlot;
    std::vector<std::pair<const char*, const char*>> labels;  // UTF-8, longest first where one holds another
};

const std::vector<LabelWords>& summaryLabels() {
    static const std::vector<LabelWords> labels = {
        {31, {{"指定なし", "Any"}, {"普通紙", "Paper"}, {"ﾄﾚｰｼﾝｸﾞ･ﾍﾟｰﾊﾟｰ", "Tracing paper"}, {"ﾌｨﾙﾑ", "Film"}}},
        {37, {{"自動給紙選択", "Auto"}, {"給紙1", "Tray 1"}, {"給紙2", "Tray 2"}, {"給紙3", "Tray 3"},
              {"給紙4", "Tray 4"}, {"手差し", "Sheet paper"}}},
        {32, {{"四角", "Square"}, {"三角", "Triangular"}, {"角", "Butt"}, {"丸", "Rounded"}}},
    };
    return labels;
}

}  // namespace

std::string englishForUser(const std::string& cp932Text) {
    // Compared in UTF-8, where no character's bytes can begin inside another's.
    std::string out = native::cp932ToUtf8(cp932Text);
    struct Slot {
        int number;
        std::string japanese;
    };
    std::vector<Slot> slots;
    for (int slot = 0; slot < MESSAGE_COUNT; ++slot) {
        std::string_view japanese = slotText(japaneseMessages[slot]);
        if (japanese.empty() || slotText(englishMessages[slot]).empty()) continue;
        // With its padding where the message has it, so the English padding takes its place.
        std::string_view padded(japaneseMessages[slot], strnlen(japaneseMessages[slot], MESSAGE_SIZE));
        while (!padded.empty() && (padded.front() == '\n' || padded.front() == '\r')) padded.remove_prefix(1);
        while (!padded.empty() && (padded.back() == '\n' || padded.back() == '\r')) padded.remove_suffix(1);
        if (padded != japanese) slots.push_back({slot, native::cp932ToUtf8(padded)});
        slots.push_back({slot, native::cp932ToUtf8(japanese)});
    }
    // Longer texts first: one slot's text may hold another's.
    std::stable_sort(slots.begin(), slots.end(),
                     [](const Slot& a, const Slot& b) { return a.japanese.size() > b.japanese.size(); });
    std::vector<int> found;
    for (const Slot& slot : slots) {
        if (out.find(slot.japanese) == std::string::npos) continue;
        if (std::find(found.begin(), found.end(), slot.number) != found.end()) continue;
        found.push_back(slot.number);
        // The English text keeps its padding, which lines the values up.
        std::string_view english(englishMessages[slot.number], strnlen(englishMessages[slot.number], MESSAGE_SIZE));
        while (!english.empty() && (english.front() == '\n' || english.front() == '\r')) english.remove_prefix(1);
        while (!english.empty() && (english.back() == '\n' || english.back() == '\r')) english.remove_suffix(1);
        replaceAll(out, slot.japanese, english);
    }
    for (const LabelWords& l : summaryLabels()) {
        if (std::find(found.begin(), found.end(), l.captionSlot) == found.end()) continue;
        for (const auto& [japanese, english] : l.labels) {
            size_t at = out.find(japanese);
            if (at == std::string::npos) continue;
            out.replace(at, std::strlen(japanese), english);
            break;
        }
    }
    return out;
}

bool summaryLanguage(const std::string& option, bool& english) {
    if (option == "ja" || option == "en") {
        english = option == "en";
        return true;
    }
    if (!option.empty()) return false;
    const char* locale = nullptr;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    }
    english = locale == nullptr || std::strncmp(locale, "ja", 2) != 0;
    return true;
}

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
