// The device setting dialog ("drivercfg" at plot request 46, "detailcfg" at
// configuration request 21): paper size, plot margin, copies, output mode,
// fill style, colour mode and line end. It holds the outermost working
// copies: only its OK reaches PlotSettings and the pen table.
#include <cstring>

#include "dialogs/dialogFramework.h"
#include "resources/resource.h"
#include "tavix/driverRecord.h"
#include "tavix/driverState.h"
#include "tavix/messageSlots.h"
#include "tavix/tables.h"

namespace tavix {

namespace {

constexpr int COPIES_MIN = 1;
constexpr int COPIES_MAX = 999;

PlotSettings& working() { return state.deviceDialogSettings; }

void selectFill(HWND dialog, bool halfTone) {
    CheckRadioButton(dialog, IDC_DEVICE_FILL_BLACK, IDC_DEVICE_FILL_HALFTONE,
                     halfTone ? IDC_DEVICE_FILL_HALFTONE : IDC_DEVICE_FILL_BLACK);
}

// Colour forces the black fill: half-tone is cleared and greyed out.
void forceBlackFill(HWND dialog) {
    selectFill(dialog, false);
    working().set(flags::fillStyle, false);
    EnableWindow(GetDlgItem(dialog, IDC_DEVICE_FILL_HALFTONE), FALSE);
}

void initialise(HWND dialog) {
    std::memcpy(&state.deviceDialogSettings, &state.settings, sizeof state.settings);
    std::memcpy(state.deviceDialogPens, state.penTable, sizeof state.penTable);
    std::memcpy(state.deviceDialogGrays, state.penGrayList, sizeof state.penGrayList);
    PlotSettings& s = working();

    // A stored count outside 1..999 would make the field's own check put
    // the same bad value back for ever: it opens in range instead.
    if (s.copies() < COPIES_MIN) s.setCopies(COPIES_MIN);
    if (s.copies() > COPIES_MAX) s.setCopies(COPIES_MAX);

    fillPaperSizeList(dialog, s.paperSize() - 1);
    fillLineEndList(dialog, s.lineEnd());
    CheckRadioButton(dialog, IDC_DEVICE_MARGIN_ON, IDC_DEVICE_MARGIN_OFF,
                     s.get(flags::plotMargin) ? IDC_DEVICE_MARGIN_ON : IDC_DEVICE_MARGIN_OFF);

    if (s.get(flags::colorMode)) {
        forceBlackFill(dialog);
    } else {
        EnableWindow(GetDlgItem(dialog, IDC_DEVICE_FILL_HALFTONE), TRUE);
        selectFill(dialog, s.get(flags::fillStyle));
    }
    CheckRadioButton(dialog, IDC_DEVICE_COLOR, IDC_DEVICE_MONOCHROME,
                     s.get(flags::colorMode) ? IDC_DEVICE_COLOR : IDC_DEVICE_MONOCHROME);

    if (currentModelEntry().optionOutput != 1) {
        CheckRadioButton(dialog, IDC_DEVICE_OUTPUT_OPTION, IDC_DEVICE_OUTPUT_STANDARD, IDC_DEVICE_OUTPUT_STANDARD);
        EnableWindow(GetDlgItem(dialog, IDC_DEVICE_OUTPUT_OPTION), FALSE);
        EnableWindow(GetDlgItem(dialog, IDC_DEVICE_OPTION_SETTING), FALSE);
        s.set(flags::outputOption, false);
    } else {
        bool option = s.get(flags::outputOption);
        CheckRadioButton(dialog, IDC_DEVICE_OUTPUT_OPTION, IDC_DEVICE_OUTPUT_STANDARD,
                         option ? IDC_DEVICE_OUTPUT_OPTION : IDC_DEVICE_OUTPUT_STANDARD);
        EnableWindow(GetDlgItem(dialog, IDC_DEVICE_OPTION_SETTING), option ? TRUE : FALSE);
    }

    SendDlgItemMessageA(dialog, IDC_DEVICE_COPIES, EM_LIMITTEXT, 3, 0);
    SendDlgItemMessageA(dialog, IDC_DEVICE_COPIES_SPIN, UDM_SETRANGE, 0, MAKELPARAM(COPIES_MAX, COPIES_MIN));
    SendDlgItemMessageA(dialog, IDC_DEVICE_COPIES_SPIN, UDM_SETPOS, 0, MAKELPARAM(s.copies(), 0));
    SetDlgItemInt(dialog, IDC_DEVICE_COPIES, static_cast<UINT>(s.copies()), FALSE);
}

// Every notification of the copy count field, the dialog's own writes
// included.
void copiesChanged(HWND dialog) {
    UINT value = GetDlgItemInt(dialog, IDC_DEVICE_COPIES, nullptr, FALSE);
    if (value < COPIES_MIN || value > COPIES_MAX) {
        // Not a count: the last accepted one goes back. Its own write cannot
        // bring this branch back, so a bad value can never repeat itself.
        if (state.dialogFieldWrite) return;
        SendDlgItemMessageA(dialog, IDC_DEVICE_COPIES_SPIN, UDM_SETPOS, 0, MAKELPARAM(working().copies(), 0));
        writeOwnFieldInt(dialog, IDC_DEVICE_COPIES, static_cast<UINT>(working().copies()));
        return;
    }
    working().setCopies(static_cast<int32_t>(value));
    SendDlgItemMessageA(dialog, IDC_DEVICE_COPIES_SPIN, UDM_SETPOS, 0, MAKELPARAM(value, 0));
}

void copiesStepped(HWND dialog) {
    LRESULT position = SendDlgItemMessageA(dialog, IDC_DEVICE_COPIES_SPIN, UDM_GETPOS, 0, 0);
    working().setCopies(static_cast<int16_t>(LOWORD(position)));
    SetDlgItemInt(dialog, IDC_DEVICE_COPIES, LOWORD(working().copies()), FALSE);
    SendDlgItemMessageA(dialog, IDC_DEVICE_COPIES, EM_SETSEL, 0, -1);
}

void showVersion(HWND dialog) {
    char banner[81];
    copyBoundedText(banner, sizeof banner, driverRecord.banner);
    MessageBoxA(dialog, banner, state.messages[MSG_DRIVER_VERSION], MB_OK);
}

bool accept(HWND) {
    std::memcpy(&state.settings, &state.deviceDialogSettings, sizeof state.settings);
    std::memcpy(state.penTable, state.deviceDialogPens, sizeof state.penTable);
    std::memcpy(state.penGrayList, state.deviceDialogGrays, sizeof state.penGrayList);
    state.copiesToPlot = state.settings.copies();
    return true;
}

void command(HWND dialog, int id, int code) {
    PlotSettings& s = working();
    switch (id) {
    case IDC_DEVICE_PAPER_SIZE:
        if (int row = selectedRow(dialog, id, code); row >= 0) s.setPaperSize(row + 1);
        break;
    case IDC_DEVICE_LINE_END:
        if (int row = selectedRow(dialog, id, code); row >= 0) s.setLineEnd(static_cast<int16_t>(row));
        break;
    case IDC_DEVICE_COPIES:
        copiesChanged(dialog);
        break;
    case IDC_DEVICE_COLOR:
        if (code != BN_CLICKED) break;
        s.set(flags::colorMode, true);
        s.set(flags::rasterContone, true);
        forceBlackFill(dialog);
        break;
    case IDC_DEVICE_MONOCHROME:
        if (code != BN_CLICKED) break;
        s.set(flags::colorMode, false);
        s.set(flags::rasterContone, false);
        EnableWindow(GetDlgItem(dialog, IDC_DEVICE_FILL_HALFTONE), TRUE);
        break;
    case IDC_DEVICE_FILL_BLACK:
    case IDC_DEVICE_FILL_HALFTONE:
        if (code == BN_CLICKED) s.set(flags::fillStyle, id == IDC_DEVICE_FILL_HALFTONE);
        break;
    case IDC_DEVICE_BADGE:
        if (code == BN_CLICKED) showVersion(dialog);
        break;
    case IDC_DEVICE_OUTPUT_OPTION:
    case IDC_DEVICE_OUTPUT_STANDARD:
        if (code != BN_CLICKED) break;
        s.set(flags::outputOption, id == IDC_DEVICE_OUTPUT_OPTION);
        EnableWindow(GetDlgItem(dialog, IDC_DEVICE_OPTION_SETTING), id == IDC_DEVICE_OUTPUT_OPTION);
        break;
    case IDC_DEVICE_OPTION_SETTING:
        if (code == BN_CLICKED) openDialog("add_func_cfg", dialog, optionDialogHandler);
        break;
    case IDC_DEVICE_MARGIN_ON:
    case IDC_DEVICE_MARGIN_OFF:
        if (code == BN_CLICKED) s.set(flags::plotMargin, id == IDC_DEVICE_MARGIN_ON);
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK deviceDialogHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        if (wParam != IDC_DEVICE_BADGE) return FALSE;
        drawBadge(dialog, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    static const DialogParts parts{initialise, accept, command, IDC_DEVICE_COPIES_SPIN, copiesStepped};
    return handleDialogMessage(parts, dialog, message, wParam, lParam);
}

}  // namespace tavix
