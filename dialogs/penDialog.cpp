// The pen setting dialog ("pen_lumen_cfg"): gray value and width of the 255
// pens, for the job ticket's pen section. Several pens can be selected; a
// value entered applies to every selected pen.
#include <cstring>

#include "dialogs/dialogFramework.h"
#include "resources/resource.h"
#include "runtime/decimalText.h"
#include "tavix/driverState.h"
#include "tavix/messageSlots.h"
#include "runtime/textFormat.h"

namespace tavix {

namespace {

constexpr int GRAY_FIELD_LIMIT = 3;
constexpr int WIDTH_FIELD_LIMIT = 6;
constexpr int GRAY_MAX = 100;
constexpr float WIDTH_MAX = 10.0f;
constexpr float WIDTH_MIN = 0.05999f;
constexpr float DEFAULT_WIDTH = 0.254f;
constexpr uint8_t DEFAULT_GRAY = 100;

// "<pen number>\t<gray>\t<width %1.3f>", as in "1\t100\t0.254".
void itemText(int position, char* out, size_t size) {
    const PenEntry& pen = state.penDialogPens[position];
    TextBuilder(out, size).integer(position + 1).character('\t').integer(pen.penGray).character('\t').fixed(
        pen.penWidth, 3);
}

void widthText(float width, char* out, size_t size) { TextBuilder(out, size).fixed(width, 3); }

void enableFields(HWND dialog, BOOL on) {
    EnableWindow(GetDlgItem(dialog, IDC_PEN_GRAY_LABEL), on);
    EnableWindow(GetDlgItem(dialog, IDC_PEN_GRAY), on);
    EnableWindow(GetDlgItem(dialog, IDC_PEN_WIDTH_LABEL), on);
    EnableWindow(GetDlgItem(dialog, IDC_PEN_WIDTH), on);
}

int selectionCount() {
    return state.penSelectionCount < 0 ? 0 : (state.penSelectionCount > PEN_COUNT ? PEN_COUNT : state.penSelectionCount);
}

bool validPosition(int32_t position) { return position >= 0 && position < PEN_COUNT; }

void markSelection(HWND dialog) {
    for (int i = 0; i < selectionCount(); ++i)
        SendDlgItemMessageA(dialog, IDC_PEN_LIST, LB_SETSEL, TRUE, state.penSelection[i]);
}

// The pen list is not redrawn while its rows are refilled: a list redrawn
// after each of 255 rows takes seconds. It is drawn once when this ends.
class PenListRefill {
public:
    explicit PenListRefill(HWND dialog) : dialog_(dialog) {
        SendDlgItemMessageA(dialog_, IDC_PEN_LIST, WM_SETREDRAW, FALSE, 0);
    }
    ~PenListRefill() {
        SendDlgItemMessageA(dialog_, IDC_PEN_LIST, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(GetDlgItem(dialog_, IDC_PEN_LIST), nullptr, TRUE);
    }
    PenListRefill(const PenListRefill&) = delete;
    PenListRefill& operator=(const PenListRefill&) = delete;

private:
    HWND dialog_;
};

// All 255 rows again, the row at `position` marked.
void refillPenList(HWND dialog, int position) {
    SendDlgItemMessageA(dialog, IDC_PEN_LIST, LB_RESETCONTENT, 0, 0);
    char text[64];
    for (int i = 0; i < PEN_COUNT; ++i) {
        itemText(i, text, sizeof text);
        SendDlgItemMessageA(dialog, IDC_PEN_LIST, LB_INSERTSTRING, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(text));
    }
    SendDlgItemMessageA(dialog, IDC_PEN_LIST, LB_SETSEL, TRUE, position);
}

// The pen list: all 255 pens with the row at `position` marked.
void fillPenList(HWND dialog, int position) {
    PenListRefill refill(dialog);
    refillPenList(dialog, position);
}

// The rows of the current selection rebuilt from the working copy, and
// marked.
void refreshSelectedPens(HWND dialog) {
    PenListRefill refill(dialog);
    char text[64];
    for (int i = 0; i < selectionCount(); ++i) {
        int32_t position = state.penSelection[i];
        if (!validPosition(position)) continue;
        SendDlgItemMessageA(dialog, IDC_PEN_LIST, LB_DELETESTRING, static_cast<WPARAM>(position), 0);
        itemText(position, text, sizeof text);
        SendDlgItemMessageA(dialog, IDC_PEN_LIST, LB_INSERTSTRING, static_cast<WPARAM>(position),
                            reinterpret_cast<LPARAM>(text));
    }
    markSelection(dialog);
}

void initialise(HWND dialog) {
    std::memcpy(state.penDialogPens, state.optionDialogPens, sizeof state.penDialogPens);
    state.focusPen = 0;
    state.penWidthEdited = 0;
    fillPenList(dialog, 0);
    SendDlgItemMessageA(dialog, IDC_PEN_GRAY, EM_LIMITTEXT, GRAY_FIELD_LIMIT, 0);
    SendDlgItemMessageA(dialog, IDC_PEN_WIDTH, EM_LIMITTEXT, WIDTH_FIELD_LIMIT, 0);
    // Until the user picks pens, penSelection is the previous opening's.
    enableFields(dialog, FALSE);
}

void selectionChanged(HWND dialog) {
    LRESULT count = SendDlgItemMessageA(dialog, IDC_PEN_LIST, LB_GETSELITEMS, PEN_COUNT,
                                        reinterpret_cast<LPARAM>(state.penSelection));
    state.penSelectionCount = count > 0 ? static_cast<int32_t>(count) : 0;
    if (count <= 0) return;
    state.focusPen = state.penSelection[0];
    if (!validPosition(state.focusPen)) return;
    enableFields(dialog, TRUE);
    // Showing the first pen's values is not an edit of the selected pens.
    const PenEntry& pen = state.penDialogPens[state.focusPen];
    writeOwnFieldInt(dialog, IDC_PEN_GRAY, pen.penGray);
    char width[16];
    widthText(pen.penWidth, width, sizeof width);
    writeOwnFieldText(dialog, IDC_PEN_WIDTH, width);
    state.penWidthEdited = 0;
    markSelection(dialog);
}

// Gray rule: a value typed into the field applies to every selected pen.
// The dialog's own writes, and an empty field, change no pen; a value that
// is not an integer of 0..100 empties the field and brings the warning, and
// the pens keep their grays.
void grayChanged(HWND dialog, int code) {
    if (code != EN_CHANGE || state.dialogFieldWrite) return;
    char text[16];
    GetDlgItemTextA(dialog, IDC_PEN_GRAY, text, sizeof text);
    if (text[0] == '\0') return;
    int value = 0;
    bool number = true;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') {
            number = false;
            break;
        }
        value = value * 10 + (*p - '0');
        if (value > GRAY_MAX) number = false;
    }
    if (!number) {
        writeOwnFieldText(dialog, IDC_PEN_GRAY, "");
        showFieldWarning(dialog, MSG_BAD_GRAY, MSG_GRAY_VALUE);
        return;
    }
    for (int i = 0; i < selectionCount(); ++i) {
        if (!validPosition(state.penSelection[i])) continue;
        state.focusPen = state.penSelection[i];
        state.penDialogPens[state.focusPen].penGray = static_cast<uint8_t>(value);
    }
    refreshSelectedPens(dialog);
}

// Width rule. Returns false when the text was refused. Only a width the
// user typed is stored when the field is left: passing through the field
// changes no pen.
bool widthChanged(HWND dialog, int code) {
    if (code == EN_CHANGE && !state.dialogFieldWrite) state.penWidthEdited = 1;
    bool leavingField = code == EN_KILLFOCUS && state.penWidthEdited;
    char text[WIDTH_FIELD_LIMIT + 1];
    GetDlgItemTextA(dialog, IDC_PEN_WIDTH, text, sizeof text);
    if (text[0] == '\0') return true;
    for (const char* p = text; *p != '\0'; ++p) {
        if ((*p < '0' || *p > '9') && *p != '.') {
            writeOwnFieldText(dialog, IDC_PEN_WIDTH, "");
            state.penWidthEdited = 0;
            showFieldWarning(dialog, MSG_BAD_PEN_WIDTH, MSG_PEN_WIDTH);
            return false;
        }
    }
    // "1.2.3" reads as 1.2: the second point ends the number.
    float width = static_cast<float>(parseDecimalNumber(text));
    if (!leavingField) return true;
    state.penWidthEdited = 0;
    if (width > WIDTH_MAX || width < WIDTH_MIN) {
        writeOwnFieldText(dialog, IDC_PEN_WIDTH, "");
        showFieldWarning(dialog, MSG_BAD_PEN_WIDTH, MSG_PEN_WIDTH);
        return false;
    }
    for (int i = 0; i < selectionCount(); ++i) {
        if (!validPosition(state.penSelection[i])) continue;
        state.focusPen = state.penSelection[i];
        state.penDialogPens[state.focusPen].penWidth = width;
    }
    refreshSelectedPens(dialog);
    return true;
}

void restoreDefaults(HWND dialog) {
    for (PenEntry& pen : state.penDialogPens) {
        pen.penWidth = DEFAULT_WIDTH;
        pen.penGray = DEFAULT_GRAY;
    }
    PenListRefill refill(dialog);
    refillPenList(dialog, state.focusPen);
    writeOwnFieldInt(dialog, IDC_PEN_GRAY, DEFAULT_GRAY);
    writeOwnFieldText(dialog, IDC_PEN_WIDTH, "0.254");
    state.penWidthEdited = 0;
    // The last selection stays marked in the refilled list.
    markSelection(dialog);
}

bool accept(HWND dialog) {
    // Enter leaves the focus in the width field: what it holds is taken as
    // if the field had been left, and a refused width keeps the dialog open.
    if (GetFocus() == GetDlgItem(dialog, IDC_PEN_WIDTH) && !widthChanged(dialog, EN_KILLFOCUS))
        return false;
    std::memcpy(state.optionDialogPens, state.penDialogPens, sizeof state.optionDialogPens);
    return true;
}

void command(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_PEN_LIST:
        if (code == LBN_SELCHANGE) selectionChanged(dialog);
        break;
    case IDC_PEN_GRAY:
        grayChanged(dialog, code);
        break;
    case IDC_PEN_WIDTH:
        widthChanged(dialog, code);
        break;
    case IDC_PEN_DEFAULTS:
        if (code == BN_CLICKED) restoreDefaults(dialog);
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK penDialogHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    static const DialogParts parts{initialise, accept, command};
    return handleDialogMessage(parts, dialog, message, wParam, lParam);
}

}  // namespace tavix
