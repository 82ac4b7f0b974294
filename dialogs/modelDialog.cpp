// The model selection dialog ("modelcfg"): one picture button per model.
// It has no Cancel: Escape and the close box arrive as IDCANCEL, which it
// leaves unhandled, so only OK (or Enter) closes it.
#include "dialogs/dialogFramework.h"
#include "resources/resource.h"
#include "tavix/driverState.h"

namespace tavix {

namespace {

constexpr int MODEL_BUTTONS = 5;

void modelClicked(HWND dialog, int id) {
    state.selectedModel = id - IDC_MODEL_FIRST;
    // Setting the style again repaints every button, so the framed picture
    // moves to the clicked one.
    for (int k = 0; k < MODEL_BUTTONS; ++k)
        SendDlgItemMessageA(dialog, IDC_MODEL_FIRST + k, BM_SETSTYLE, BS_OWNERDRAW, TRUE);
}

}  // namespace

INT_PTR CALLBACK modelDialogHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_DRAWITEM: {
        int id = static_cast<int>(wParam);
        if (id < IDC_MODEL_FIRST || id >= IDC_MODEL_FIRST + MODEL_BUTTONS) return FALSE;
        drawModelPicture(dialog, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id >= IDC_MODEL_FIRST && id < IDC_MODEL_FIRST + MODEL_BUTTONS && HIWORD(wParam) == BN_CLICKED) {
            modelClicked(dialog, id);
            return TRUE;
        }
        if (id == IDOK) {
            EndDialog(dialog, DIALOG_OK);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

}  // namespace tavix
