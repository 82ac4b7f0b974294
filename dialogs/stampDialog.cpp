// The stamp setting dialog ("stamp_cfg"): where and how the job ticket's
// text stamp is printed, its offsets, and the two stamp texts. The drawing
// name and comment are written as they are typed and survive any Cancel.
#include <cstring>

#include "dialogs/dialogFramework.h"
#include "resources/resource.h"
#include "runtime/decimalText.h"
#include "tavix/driverState.h"
#include "tavix/messageSlots.h"
#include "runtime/textFormat.h"

namespace tavix {

namespace {

constexpr int OFFSET_FIELD_LIMIT = 6;
constexpr int DRAW_NAME_LIMIT = DRAW_NAME_SIZE - 1;  // 40 bytes
constexpr int COMMENT_LIMIT = COMMENT_SIZE - 1;      // 80 bytes

PlotSettings& working() { return state.stampDialogSettings; }

// Millimetres with two decimals: 12.34, 0.50, -3.25.
void writeOffset(HWND dialog, int id, float offset) {
    char text[48];
    formatFixed(text, sizeof text, offset, 2);
    SetDlgItemTextA(dialog, id, text);
}

// Offset rule. An empty field changes nothing; a character other than a
// digit, "." or "-" empties the field and brings the warning; anything else
// is read as the longest number at its front (1-2 reads 1, "-" reads 0).
void offsetChanged(HWND dialog, int id) {
    // The whole text: the dialog's own write of a long offset can hold more
    // than the 6 characters the user can type.
    char text[48];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    if (text[0] == '\0') return;
    for (const char* p = text; *p != '\0'; ++p) {
        if ((*p < '0' || *p > '9') && *p != '.' && *p != '-') {
            writeOwnFieldText(dialog, id, "");
            showFieldWarning(dialog, MSG_BAD_OFFSET,
                             id == IDC_STAMP_OFFSET_X ? MSG_OFFSET_LEFT : MSG_OFFSET_TOP);
            return;
        }
    }
    float offset = static_cast<float>(parseDecimalNumber(text));
    if (id == IDC_STAMP_OFFSET_X) working().setStampOffsetX(offset);
    else working().setStampOffsetY(offset);
}

// The stamp texts follow the fields as they are typed, bounded by the
// bytes of their stores without splitting a two-byte character.
void textChanged(HWND dialog, int id, char* store, size_t storeSize) {
    char text[256];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    copyBoundedText(store, storeSize, text);
}

void initialise(HWND dialog) {
    std::memcpy(&state.stampDialogSettings, &state.optionDialogSettings, sizeof state.stampDialogSettings);
    PlotSettings& s = working();
    fillStampPositionList(dialog, s.stampPosition());
    fillFontSizeList(dialog, s.stampFontSize());
    CheckRadioButton(dialog, IDC_STAMP_OPAQUE, IDC_STAMP_TRANSPARENT,
                     s.get(flags::stampMode) ? IDC_STAMP_TRANSPARENT : IDC_STAMP_OPAQUE);
    CheckRadioButton(dialog, IDC_STAMP_DATE_ON, IDC_STAMP_DATE_OFF,
                     s.get(flags::dateStamp) ? IDC_STAMP_DATE_ON : IDC_STAMP_DATE_OFF);

    // Writing the offsets runs the offset rule on them: they come back
    // rounded to two decimals.
    SendDlgItemMessageA(dialog, IDC_STAMP_OFFSET_X, EM_LIMITTEXT, OFFSET_FIELD_LIMIT, 0);
    writeOffset(dialog, IDC_STAMP_OFFSET_X, s.stampOffsetX());
    SendDlgItemMessageA(dialog, IDC_STAMP_OFFSET_Y, EM_LIMITTEXT, OFFSET_FIELD_LIMIT, 0);
    writeOffset(dialog, IDC_STAMP_OFFSET_Y, s.stampOffsetY());

    // Writing the texts runs their rule too: a copy of each into a local
    // buffer first, since the rule rewrites the store from the field.
    char text[COMMENT_SIZE];
    SendDlgItemMessageA(dialog, IDC_STAMP_DRAW_NAME, EM_LIMITTEXT, DRAW_NAME_LIMIT, 0);
    copyBoundedText(text, DRAW_NAME_SIZE, state.drawName);
    SetDlgItemTextA(dialog, IDC_STAMP_DRAW_NAME, text);
    SendDlgItemMessageA(dialog, IDC_STAMP_COMMENT, EM_LIMITTEXT, COMMENT_LIMIT, 0);
    copyBoundedText(text, COMMENT_SIZE, state.comment);
    SetDlgItemTextA(dialog, IDC_STAMP_COMMENT, text);
}

bool accept(HWND) {
    std::memcpy(&state.optionDialogSettings, &state.stampDialogSettings, sizeof state.optionDialogSettings);
    return true;
}

void command(HWND dialog, int id, int code) {
    PlotSettings& s = working();
    bool clicked = code == BN_CLICKED;
    switch (id) {
    case IDC_STAMP_OFFSET_X:
    case IDC_STAMP_OFFSET_Y:
        offsetChanged(dialog, id);
        break;
    case IDC_STAMP_OPAQUE:
    case IDC_STAMP_TRANSPARENT:
        if (clicked) s.set(flags::stampMode, id == IDC_STAMP_TRANSPARENT);
        break;
    case IDC_STAMP_FONT_SIZE:
        if (int row = selectedRow(dialog, id, code); row >= 0) s.setStampFontSize(static_cast<int16_t>(row));
        break;
    case IDC_STAMP_POSITION:
        if (int row = selectedRow(dialog, id, code); row >= 0) s.setStampPosition(static_cast<int16_t>(row));
        break;
    case IDC_STAMP_DRAW_NAME:
        textChanged(dialog, id, state.drawName, sizeof state.drawName);
        break;
    case IDC_STAMP_COMMENT:
        textChanged(dialog, id, state.comment, sizeof state.comment);
        break;
    case IDC_STAMP_DATE_ON:
    case IDC_STAMP_DATE_OFF:
        if (clicked) s.set(flags::dateStamp, id == IDC_STAMP_DATE_ON);
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK stampDialogHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    static const DialogParts parts{initialise, accept, command};
    return handleDialogMessage(parts, dialog, message, wParam, lParam);
}

}  // namespace tavix
