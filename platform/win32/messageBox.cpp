#include "platform/messageBox.h"

#include <windows.h>

namespace tavix {

WarningBoxHook warningBoxHook = nullptr;

void showWarningBox(HostAddress ownerWindow, const char* text, const char* caption) {
    static_assert(WARNING_BOX_STYLE == (MB_ICONWARNING | MB_OK));
    if (warningBoxHook != nullptr) {
        warningBoxHook(ownerWindow, text, caption, WARNING_BOX_STYLE);
        return;
    }
    MessageBoxA(static_cast<HWND>(hostPointer(ownerWindow)), text, caption, WARNING_BOX_STYLE);
}

}  // namespace tavix
