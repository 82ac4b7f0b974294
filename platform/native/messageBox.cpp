// Natively there is no screen: a warning box is recorded, for tests and for
// the host program to report.
#include "platform/messageBox.h"

#include <cstring>

namespace tavix {

WarningBoxHook warningBoxHook = nullptr;

namespace {
WarningBoxRecord record;

void copyText(char* field, size_t size, const char* text) {
    size_t n = text == nullptr ? 0 : strnlen(text, size - 1);
    if (n > 0) std::memcpy(field, text, n);
    field[n] = '\0';
}
}  // namespace

const WarningBoxRecord& lastWarningBox() { return record; }

void showWarningBox(HostAddress ownerWindow, const char* text, const char* caption) {
    if (warningBoxHook != nullptr) {
        warningBoxHook(ownerWindow, text, caption, WARNING_BOX_STYLE);
        return;
    }
    record.owner = ownerWindow;
    record.style = WARNING_BOX_STYLE;
    ++record.count;
    copyText(record.text, sizeof record.text, text);
    copyText(record.caption, sizeof record.caption, caption);
}

}  // namespace tavix
