// The dialog framework: opening templates of the driver module, list
// filling, pictures on owner-drawn buttons, warning boxes.
#include "dialogs/dialogFramework.h"

#include <cstring>

#include "host/languageTables.h"
#include "resources/resource.h"
#include "tavix/driverState.h"
#include "tavix/messages.h"
#include "runtime/shiftJis.h"
#include "tavix/tables.h"

namespace tavix {

namespace {

void fillComboList(HWND dialog, int id, const char* const* labels, int count, int index) {
    SendDlgItemMessageA(dialog, id, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < count; ++i)
        SendDlgItemMessageA(dialog, id, CB_INSERTSTRING, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(labels[i]));
    // An index without a row leaves the list without a selection.
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void fillOptionList(HWND dialog, int id, const OptionRow* table, int index) {
    const char* labels[PAPER_ROWS];
    int count = 0;
    while (count < PAPER_ROWS && table[count].label[0] != '\0') {
        labels[count] = table[count].label;
        ++count;
    }
    fillComboList(dialog, id, labels, count, index);
}

// Draws picture `bitmapId` stretched to width x height at (x, y) of the
// button's surface; the picture and the memory surface are deleted again.
void stretchPicture(const DRAWITEMSTRUCT& item, int bitmapId, int x, int y, int width, int height) {
    HDC memory = CreateCompatibleDC(item.hDC);
    if (memory == nullptr) return;
    HBITMAP picture = LoadBitmapA(static_cast<HINSTANCE>(state.moduleInstance), MAKEINTRESOURCEA(bitmapId));
    if (picture != nullptr) {
        BITMAP info{};
        GetObjectA(picture, sizeof info, &info);
        HGDIOBJ previous = SelectObject(memory, picture);
        StretchBlt(item.hDC, x, y, width, height, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(memory, previous);
        DeleteObject(picture);
    }
    DeleteDC(memory);
}

}  // namespace

INT_PTR handleDialogMessage(const DialogParts& parts, HWND dialog, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        parts.initialise(dialog);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK) {
            if (parts.accept(dialog)) EndDialog(dialog, DIALOG_OK);
        } else if (id == IDCANCEL) {
            EndDialog(dialog, DIALOG_CANCEL);
        } else {
            parts.command(dialog, id, HIWORD(wParam));
        }
        return TRUE;
    }
    case WM_VSCROLL:
        if (parts.spinId == 0 || reinterpret_cast<HWND>(lParam) != GetDlgItem(dialog, parts.spinId))
            return FALSE;
        parts.stepped(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

int selectedRow(HWND dialog, int comboId, int code) {
    if (code != CBN_SELCHANGE) return -1;
    LRESULT row = SendDlgItemMessageA(dialog, comboId, CB_GETCURSEL, 0, 0);
    return row >= 0 ? static_cast<int>(row) : -1;
}

INT_PTR openDialog(const char* templateName, HWND owner, DLGPROC handler) {
    return DialogBoxParamA(static_cast<HINSTANCE>(state.moduleInstance), templateName, owner, handler, 0);
}

void fillPaperSizeList(HWND dialog, int index) {
    const PaperSize* papers = paperListFor(currentModelEntry());
    state.paperCount = 0;
    const char* labels[PAPER_ROWS];
    while (state.paperCount < PAPER_ROWS) {
        const char* label = paperLabel(papers[state.paperCount]);
        if (label[0] == '\0') break;
        char* slot = state.paperLabels[state.paperCount];
        copyBoundedText(slot, PAPER_LABEL_SIZE, label);
        labels[state.paperCount] = slot;
        ++state.paperCount;
    }
    fillComboList(dialog, IDC_DEVICE_PAPER_SIZE, labels, state.paperCount, index);
}

void fillMediaTypeList(HWND dialog, int index) {
    fillOptionList(dialog, IDC_OPTION_MEDIA_TYPE, state.mediaTypeWork, index);
}

void fillTrayList(HWND dialog, int index) {
    // Refreshes the working tables, the tray table of the current model among them.
    loadLanguageTables();
    fillOptionList(dialog, IDC_OPTION_TRAY, state.trayWork, index);
}

void fillLineEndList(HWND dialog, int index) {
    fillOptionList(dialog, IDC_DEVICE_LINE_END, state.lineEndWork, index);
}

void fillStampPositionList(HWND dialog, int index) {
    fillOptionList(dialog, IDC_STAMP_POSITION, state.stampPlacementWork, index);
}

void fillFontSizeList(HWND dialog, int index) {
    fillOptionList(dialog, IDC_STAMP_FONT_SIZE, stampFontSizeTable, index);
}

void drawBadge(HWND dialog, const DRAWITEMSTRUCT& item) {
    RECT client{};
    GetClientRect(dialog, &client);
    // The badge fills its 30 x 14 button of the 245 x 185 layout.
    double width = client.right * (1.0 / 245) * 30;
    double height = client.bottom * (1.0 / 185) * 14;
    stretchPicture(item, IDB_BADGE, -1, -2, static_cast<int>(width), static_cast<int>(height));
}

void drawModelPicture(HWND dialog, const DRAWITEMSTRUCT& item) {
    int k = static_cast<int>(item.CtlID) - IDC_MODEL_FIRST;
    if (k < 0 || k > 4) return;
    RECT client{};
    GetClientRect(dialog, &client);
    double width = client.right * (1.0 / 188) * 39;
    double height = client.bottom * (1.0 / 161) * 36;
    int picture = (state.selectedModel == k ? IDB_MODEL_SELECTED_FIRST : IDB_MODEL_FIRST) + k;
    stretchPicture(item, picture, 0, 0, static_cast<int>(width), static_cast<int>(height));
}

void showFieldWarning(HWND dialog, int textSlot, int captionSlot) {
    char text[MESSAGE_SIZE];
    copyBoundedText(text, sizeof text, state.messages[textSlot]);
    MessageBoxA(dialog, text, state.messages[captionSlot], MB_ICONWARNING);
}

void writeOwnFieldInt(HWND dialog, int id, UINT value) {
    ++state.dialogFieldWrite;
    SetDlgItemInt(dialog, id, value, FALSE);
    --state.dialogFieldWrite;
}

void writeOwnFieldText(HWND dialog, int id, const char* text) {
    ++state.dialogFieldWrite;
    SetDlgItemTextA(dialog, id, text);
    --state.dialogFieldWrite;
}

void copyBoundedText(char* out, size_t capacity, const char* text) {
    if (capacity == 0) return;
    size_t n = text == nullptr ? 0 : shiftJisPrefixLength(text, capacity - 1);
    if (n > 0) std::memmove(out, text, n);
    out[n] = '\0';
}

}  // namespace tavix
