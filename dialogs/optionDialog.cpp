// The option setting dialog ("add_func_cfg"): the settings of the Option
// output, which sends a job ticket with the plot. Opened from the device
// setting dialog; opens the stamp and pen setting dialogs.
#include <cstring>

#include "dialogs/dialogFramework.h"
#include "resources/resource.h"
#include "tavix/driverState.h"
#include "tavix/messages.h"
#include "settings/settingsDefaults.h"
#include "tavix/tables.h"

namespace tavix {

namespace {

constexpr int DENSITY_MIN = 1;
constexpr int DENSITY_MAX = 64;

PlotSettings& working() { return state.optionDialogSettings; }

void checkPair(HWND dialog, int onId, int offId, bool on) {
    CheckRadioButton(dialog, onId, offId, on ? onId : offId);
}

void enableStampControls(HWND dialog, bool on) {
    // Without the drawing orientation group (the French, German, Italian and
    // Spanish layouts) GetDlgItem gives null and the calls do nothing.
    EnableWindow(GetDlgItem(dialog, IDC_OPTION_STAMP_SETTING), on);
    EnableWindow(GetDlgItem(dialog, IDC_OPTION_PORTRAIT), on);
    EnableWindow(GetDlgItem(dialog, IDC_OPTION_LANDSCAPE), on);
}

const char* densityHint() {
    const ModelEntry& model = currentModelEntry();
    int row = state.languageIndex >= 0 && state.languageIndex < 6 ? state.languageIndex : 0;
    if (modelNameEquals(model, MODEL_TX30)) return densityHints16[1];  // row 1 whatever the language
    if (modelNameEquals(model, MODEL_TX_SERIES)) return densityHints20[row];
    return densityHints15[row];
}

void initialise(HWND dialog) {
    std::memcpy(&state.optionDialogSettings, &state.deviceDialogSettings, sizeof state.optionDialogSettings);
    std::memcpy(state.optionDialogPens, state.deviceDialogPens, sizeof state.optionDialogPens);
    PlotSettings& s = working();

    // A stored density outside 1..64 would make the field's own check put
    // the same bad value back for ever: it opens at the model's standard.
    if (s.density() < DENSITY_MIN || s.density() > DENSITY_MAX) s.setDensity(defaultDensity(currentModelEntry()));

    char hint[20];
    copyBoundedText(hint, sizeof hint, densityHint());
    SetDlgItemTextA(dialog, IDC_OPTION_DENSITY_HINT, hint);

    fillMediaTypeList(dialog, s.mediaType());
    fillTrayList(dialog, s.tray());

    checkPair(dialog, IDC_OPTION_PORTRAIT, IDC_OPTION_LANDSCAPE, s.get(flags::orientation));
    checkPair(dialog, IDC_OPTION_CUT_STANDARD, IDC_OPTION_CUT_SYNCHRONOUS, !s.get(flags::formatCut));
    checkPair(dialog, IDC_OPTION_MIRROR_ON, IDC_OPTION_MIRROR_OFF, s.get(flags::mirror));
    checkPair(dialog, IDC_OPTION_CENTERING_ON, IDC_OPTION_CENTERING_OFF, s.get(flags::centering));
    checkPair(dialog, IDC_OPTION_INVERT_ON, IDC_OPTION_INVERT_OFF, s.get(flags::invert));

    bool pens = s.get(flags::penSettingOn);
    checkPair(dialog, IDC_OPTION_PEN_YES, IDC_OPTION_PEN_NO, pens);
    EnableWindow(GetDlgItem(dialog, IDC_OPTION_PEN_SETTING), pens);

    bool stamp = s.get(flags::stampOn);
    checkPair(dialog, IDC_OPTION_STAMP_ON, IDC_OPTION_STAMP_OFF, stamp);
    enableStampControls(dialog, stamp);

    SendDlgItemMessageA(dialog, IDC_OPTION_DENSITY, EM_LIMITTEXT, 2, 0);
    SendDlgItemMessageA(dialog, IDC_OPTION_DENSITY_SPIN, UDM_SETRANGE, 0, MAKELPARAM(DENSITY_MAX, DENSITY_MIN));
    SendDlgItemMessageA(dialog, IDC_OPTION_DENSITY_SPIN, UDM_SETPOS, 0, MAKELPARAM(s.density(), 0));
    SetDlgItemInt(dialog, IDC_OPTION_DENSITY, static_cast<UINT>(s.density()), FALSE);
}

// Every notification of the density field, the dialog's own writes included.
void densityChanged(HWND dialog) {
    UINT value = GetDlgItemInt(dialog, IDC_OPTION_DENSITY, nullptr, FALSE);
    if (value < DENSITY_MIN || value > DENSITY_MAX) {
        // The last accepted density goes back, then the warning. Its own
        // write cannot bring this branch back.
        if (state.dialogFieldWrite) return;
        SendDlgItemMessageA(dialog, IDC_OPTION_DENSITY_SPIN, UDM_SETPOS, 0, MAKELPARAM(working().density(), 0));
        writeOwnFieldInt(dialog, IDC_OPTION_DENSITY, static_cast<UINT>(working().density()));
        showFieldWarning(dialog, MSG_BAD_DENSITY, MSG_DENSITY_CAPTION);
        return;
    }
    working().setDensity(static_cast<int16_t>(value));
    SendDlgItemMessageA(dialog, IDC_OPTION_DENSITY_SPIN, UDM_SETPOS, 0, MAKELPARAM(value, 0));
}

void densityStepped(HWND dialog) {
    LRESULT position = SendDlgItemMessageA(dialog, IDC_OPTION_DENSITY_SPIN, UDM_GETPOS, 0, 0);
    working().setDensity(static_cast<int16_t>(LOWORD(position)));
    SetDlgItemInt(dialog, IDC_OPTION_DENSITY, static_cast<UINT>(working().density()), FALSE);
    SendDlgItemMessageA(dialog, IDC_OPTION_DENSITY, EM_SETSEL, 0, -1);
}

void setFlagFromPair(HWND, SettingsFlag flag, bool on) { working().set(flag, on); }

bool accept(HWND) {
    std::memcpy(&state.deviceDialogSettings, &state.optionDialogSettings, sizeof state.deviceDialogSettings);
    std::memcpy(state.deviceDialogPens, state.optionDialogPens, sizeof state.deviceDialogPens);
    return true;
}

void command(HWND dialog, int id, int code) {
    PlotSettings& s = working();
    bool clicked = code == BN_CLICKED;
    switch (id) {
    case IDC_OPTION_MEDIA_TYPE:
        if (int row = selectedRow(dialog, id, code); row >= 0) s.setMediaType(static_cast<int16_t>(row));
        break;
    case IDC_OPTION_TRAY:
        if (code == CBN_SELCHANGE) {
            LRESULT row = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
            if (row >= 0) s.setTray(static_cast<int16_t>(row));
        }
        break;
    case IDC_OPTION_CUT_STANDARD:
    case IDC_OPTION_CUT_SYNCHRONOUS:
        if (clicked) setFlagFromPair(dialog, flags::formatCut, id == IDC_OPTION_CUT_SYNCHRONOUS);
        break;
    case IDC_OPTION_STAMP_ON:
    case IDC_OPTION_STAMP_OFF:
        if (!clicked) break;
        s.set(flags::stampOn, id == IDC_OPTION_STAMP_ON);
        enableStampControls(dialog, id == IDC_OPTION_STAMP_ON);
        break;
    case IDC_OPTION_STAMP_SETTING:
        if (clicked) openDialog("stamp_cfg", dialog, stampDialogHandler);
        break;
    case IDC_OPTION_PEN_YES:
    case IDC_OPTION_PEN_NO:
        if (!clicked) break;
        s.set(flags::penSettingOn, id == IDC_OPTION_PEN_YES);
        EnableWindow(GetDlgItem(dialog, IDC_OPTION_PEN_SETTING), id == IDC_OPTION_PEN_YES);
        break;
    case IDC_OPTION_PEN_SETTING:
        if (clicked) openDialog("pen_lumen_cfg", dialog, penDialogHandler);
        break;
    case IDC_OPTION_PORTRAIT:
    case IDC_OPTION_LANDSCAPE:
        if (clicked) setFlagFromPair(dialog, flags::orientation, id == IDC_OPTION_PORTRAIT);
        break;
    case IDC_OPTION_CENTERING_ON:
    case IDC_OPTION_CENTERING_OFF:
        if (clicked) setFlagFromPair(dialog, flags::centering, id == IDC_OPTION_CENTERING_ON);
        break;
    case IDC_OPTION_MIRROR_ON:
    case IDC_OPTION_MIRROR_OFF:
        if (clicked) setFlagFromPair(dialog, flags::mirror, id == IDC_OPTION_MIRROR_ON);
        break;
    case IDC_OPTION_INVERT_ON:
    case IDC_OPTION_INVERT_OFF:
        if (clicked) setFlagFromPair(dialog, flags::invert, id == IDC_OPTION_INVERT_ON);
        break;
    case IDC_OPTION_DENSITY:
        densityChanged(dialog);
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK optionDialogHandler(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    static const DialogParts parts{initialise, accept, command, IDC_OPTION_DENSITY_SPIN, densityStepped};
    return handleDialogMessage(parts, dialog, message, wParam, lParam);
}

}  // namespace tavix
