// The library's load and unload notification. It records the platform kind
// and the instance handle and keeps one thread-local slot on the oldest
// platform kind; nothing else in the driver reads them. It always succeeds.
#include <windows.h>

#include "tavix/driverState.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    using namespace tavix;
    if (reason == DLL_PROCESS_ATTACH) {
        DWORD version = GetVersion();
        if ((version & 0x80000000u) == 0)
            state.platformKind = 0;
        else
            state.platformKind = (version & 0xFFu) < 4 ? 1 : 2;
        state.loadInstance = instance;
        if (state.platformKind == 1 && !state.threadSlotReserved) {
            state.threadSlot = TlsAlloc();
            if (state.threadSlot != TLS_OUT_OF_INDEXES) {
                TlsSetValue(state.threadSlot, nullptr);
                state.threadSlotReserved = true;
            }
        }
        ++state.attachCount;
    } else if (reason == DLL_PROCESS_DETACH) {
        if (state.attachCount > 0 && --state.attachCount == 0 && state.threadSlotReserved) {
            TlsFree(state.threadSlot);
            state.threadSlotReserved = false;
        }
    }
    return TRUE;
}
