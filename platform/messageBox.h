// Message boxes: the one USER32 call of the plot requests (a failed image
// row). In the DLL it is MessageBoxA; natively there is no screen, and the
// box is only recorded.
#pragma once

#include "platform/hostAddress.h"

namespace tavix {

constexpr unsigned WARNING_BOX_STYLE = 0x30;  // MB_ICONWARNING | MB_OK

// Shows a modal warning box with one OK button, owned by ownerWindow (the
// host's window handle), and returns when it is closed.
void showWarningBox(HostAddress ownerWindow, const char* text, const char* caption);

// Test seam (both builds): when set, it receives the box instead, so that a
// test run, under wine too, never waits for a click.
using WarningBoxHook = void (*)(HostAddress ownerWindow, const char* text, const char* caption,
                                unsigned style);
extern WarningBoxHook warningBoxHook;

#if !defined(_WIN32)
// Natively, without a hook: the last box shown and how many were shown.
struct WarningBoxRecord {
    HostAddress owner;
    unsigned style;
    int count;
    char text[256];  // cut at 255 bytes
    char caption[64];
};
const WarningBoxRecord& lastWarningBox();
#endif

}  // namespace tavix
