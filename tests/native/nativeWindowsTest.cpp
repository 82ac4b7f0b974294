// The USER32 stand-in itself: notifications inside the call that causes
// them, the runaway guard, reading numbers, dialogs without a script.
#include "dialogFixture.h"

namespace tavix::testing {
namespace {

std::vector<std::pair<int, int>> commands;
int rewrites = 0;

INT_PTR CALLBACK recordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) {
        commands.emplace_back(LOWORD(wParam), HIWORD(wParam));
        if (LOWORD(wParam) == IDC_STAMP_OFFSET_X && HIWORD(wParam) == EN_CHANGE && rewrites > 0) {
            --rewrites;
            SetDlgItemTextA(dialog, IDC_STAMP_OFFSET_X, "again");  // re-raises EN_CHANGE
        }
        if (LOWORD(wParam) == IDOK) EndDialog(dialog, 0);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

class NativeWindows : public DialogTest {};

TEST_F(NativeWindows, writingAFieldRaisesItsNotificationsInsideTheCall) {
    commands.clear();
    user::expect("stamp_cfg", [&](DialogDriver& d) {
        commands.clear();
        SetDlgItemTextA(d.window(), IDC_STAMP_OFFSET_X, "1");
        EXPECT_EQ((std::vector<std::pair<int, int>>{{IDC_STAMP_OFFSET_X, EN_UPDATE}, {IDC_STAMP_OFFSET_X, EN_CHANGE}}),
                  commands);
        BOOL translated = FALSE;
        for (auto [text, value, ok] : {std::tuple{"  42", 42u, TRUE}, std::tuple{"7x", 7u, TRUE},
                                       std::tuple{"", 0u, FALSE}, std::tuple{"x", 0u, FALSE},
                                       std::tuple{"99999999999", 0u, FALSE}}) {
            d.setText(IDC_STAMP_COMMENT, text);
            EXPECT_EQ(value, GetDlgItemInt(d.window(), IDC_STAMP_COMMENT, &translated, FALSE)) << text;
            EXPECT_EQ(ok, translated) << text;
        }
        d.ok();
    });
    state.moduleInstance = GetModuleHandleA("tavixdrv");
    openDialog("stamp_cfg", nullptr, recordingProc);
}

TEST_F(NativeWindows, aNotificationThatReraisesItselfIsCutOffAndReported) {
    user::expect("stamp_cfg", [&](DialogDriver& d) {
        rewrites = 1000000;
        d.setText(IDC_STAMP_OFFSET_X, "x");
        rewrites = 0;
        d.ok();
    });
    state.moduleInstance = GetModuleHandleA("tavixdrv");
    openDialog("stamp_cfg", nullptr, recordingProc);
    ASSERT_EQ(1u, user::faults().size());
    EXPECT_EQ("notifications nested without end in stamp_cfg", user::faults()[0]);
    user::reset();
}

TEST_F(NativeWindows, aDialogWithoutAScriptIsReportedAndClosed) {
    EXPECT_EQ(-1, showModelDialog());
    ASSERT_EQ(2u, user::faults().size());
    EXPECT_EQ("no script for modelcfg", user::faults()[0]);
    EXPECT_EQ("the script left modelcfg open", user::faults()[1]);
    user::reset();
}

TEST_F(NativeWindows, typingRespectsTheLimitAndNeverSplitsATwoByteCharacter) {
    user::expect("stamp_cfg", [&](DialogDriver& d) {
        d.type(IDC_STAMP_DRAW_NAME, std::string(39, 'a') + sj("図"));
        EXPECT_EQ(std::string(39, 'a'), d.text(IDC_STAMP_DRAW_NAME));
        d.backspace(IDC_STAMP_DRAW_NAME, 39);
        d.append(IDC_STAMP_DRAW_NAME, sj("図面"));
        d.backspace(IDC_STAMP_DRAW_NAME);
        EXPECT_EQ(sj("図"), d.text(IDC_STAMP_DRAW_NAME));
        d.cancel();
    });
    state.settings.set(flags::stampOn, true);
    state.moduleInstance = GetModuleHandleA("tavixdrv");
    openDialog("stamp_cfg", nullptr, stampDialogHandler);
}

}  // namespace
}  // namespace tavix::testing
