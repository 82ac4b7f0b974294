// The device setting dialog through the scripted user.
#include "dialogFixture.h"

namespace tavix::testing {
namespace {

class DeviceDialog : public DialogTest {};

TEST_F(DeviceDialog, opensShowingTheStoredSettings) {
    state.settings.setPaperSize(3);
    user::expect("detailcfg", [&](DialogDriver& d) {
        EXPECT_EQ(sj("ﾃﾞﾊﾞｲｽ設定"), d.caption());
        std::vector<std::string> papers = d.items(IDC_DEVICE_PAPER_SIZE);
        ASSERT_EQ(25u, papers.size());
        EXPECT_EQ(std::string(paperListFor(currentModelEntry())[0].metricLabel), papers[0]);
        EXPECT_EQ(2, d.selection(IDC_DEVICE_PAPER_SIZE));
        ASSERT_EQ(4u, d.items(IDC_DEVICE_LINE_END).size());
        EXPECT_EQ(std::string(lineEndTable[3].label), d.items(IDC_DEVICE_LINE_END)[3]);
        EXPECT_EQ(9u, std::string(lineEndTable[3].label).size());  // trailing spaces kept
        EXPECT_EQ(3, d.selection(IDC_DEVICE_LINE_END));
        EXPECT_TRUE(d.checked(IDC_DEVICE_MARGIN_ON));
        EXPECT_FALSE(d.checked(IDC_DEVICE_MARGIN_OFF));
        EXPECT_TRUE(d.checked(IDC_DEVICE_FILL_HALFTONE));
        EXPECT_TRUE(d.enabled(IDC_DEVICE_FILL_HALFTONE));
        EXPECT_TRUE(d.checked(IDC_DEVICE_MONOCHROME));
        EXPECT_TRUE(d.checked(IDC_DEVICE_OUTPUT_OPTION));
        EXPECT_TRUE(d.enabled(IDC_DEVICE_OPTION_SETTING));
        EXPECT_EQ("1", d.text(IDC_DEVICE_COPIES));
        EXPECT_EQ(3, d.textLimit(IDC_DEVICE_COPIES));
        EXPECT_EQ(std::make_pair(1, 999), d.spinRange(IDC_DEVICE_COPIES_SPIN));
        EXPECT_EQ(1, d.spinPosition(IDC_DEVICE_COPIES_SPIN));
        d.cancel();
    });
    EXPECT_EQ(DIALOG_CANCEL, showDeviceDialogAtConfig());
    EXPECT_EQ(std::vector<std::string>{"detailcfg"}, user::openedDialogs());
}

TEST_F(DeviceDialog, thePlotRequestOpensTheSameHandlerWithItsOwnTemplate) {
    user::expect("drivercfg", [&](DialogDriver& d) {
        EXPECT_EQ(sj("ﾃﾞﾊﾞｲｽﾞ設定の変更"), d.caption());
        d.ok();
    });
    EXPECT_EQ(DIALOG_OK, showDeviceDialogAtPlot());
}

TEST_F(DeviceDialog, aPaperSizeWithoutARowShowsNoSelectionAndIsKept) {
    for (int stored : {0, 26}) {
        state.settings.setPaperSize(stored);
        user::expect("detailcfg", [&](DialogDriver& d) {
            EXPECT_EQ(-1, d.selection(IDC_DEVICE_PAPER_SIZE));
            d.ok();
        });
        showDeviceDialogAtConfig();
        EXPECT_EQ(stored, state.settings.paperSize());
    }
}

TEST_F(DeviceDialog, inchLabelsWithoutTheJapaneseLanguageCode) {
    std::memcpy(state.languageCode, "en", 3);
    user::expect("detailcfg", [&](DialogDriver& d) {
        EXPECT_EQ(std::string(paperListFor(currentModelEntry())[0].inchLabel), d.items(IDC_DEVICE_PAPER_SIZE)[0]);
        d.cancel();
    });
    showDeviceDialogAtConfig();
}

TEST_F(DeviceDialog, okWritesEveryChoiceAndTheCopiesToPlotCancelWritesNothing) {
    state.settings.setCopies(2);
    state.copiesToPlot = 7;
    user::expect("drivercfg", [&](DialogDriver& d) { d.ok(); });
    showDeviceDialogAtPlot();
    EXPECT_EQ(2, state.copiesToPlot);  // written even with nothing changed

    PlotSettings before = state.settings;
    user::expect("drivercfg", [&](DialogDriver& d) {
        d.select(IDC_DEVICE_PAPER_SIZE, 4);
        d.select(IDC_DEVICE_LINE_END, 0);
        d.click(IDC_DEVICE_MARGIN_OFF);
        d.click(IDC_DEVICE_FILL_BLACK);
        d.click(IDC_DEVICE_OUTPUT_STANDARD);
        d.type(IDC_DEVICE_COPIES, "12");
        d.cancel();
    });
    EXPECT_EQ(DIALOG_CANCEL, showDeviceDialogAtPlot());
    EXPECT_EQ(0, std::memcmp(before.bytes, state.settings.bytes, SETTINGS_SIZE));

    user::expect("drivercfg", [&](DialogDriver& d) {
        d.select(IDC_DEVICE_PAPER_SIZE, 4);
        d.select(IDC_DEVICE_LINE_END, 0);
        d.click(IDC_DEVICE_MARGIN_OFF);
        EXPECT_FALSE(d.checked(IDC_DEVICE_MARGIN_ON));
        d.click(IDC_DEVICE_FILL_BLACK);
        d.click(IDC_DEVICE_OUTPUT_STANDARD);
        EXPECT_FALSE(d.enabled(IDC_DEVICE_OPTION_SETTING));
        d.type(IDC_DEVICE_COPIES, "12");
        d.ok();
    });
    EXPECT_EQ(DIALOG_OK, showDeviceDialogAtPlot());
    EXPECT_EQ(5, state.settings.paperSize());
    EXPECT_EQ(0, state.settings.lineEnd());
    EXPECT_FALSE(state.settings.get(flags::plotMargin));
    EXPECT_FALSE(state.settings.get(flags::fillStyle));
    EXPECT_FALSE(state.settings.get(flags::outputOption));
    EXPECT_EQ(12, state.settings.copies());
    EXPECT_EQ(12, state.copiesToPlot);
}

TEST_F(DeviceDialog, anEmptyOrZeroCountPutsTheLastCountBackAtOnce) {
    state.settings.setCopies(25);
    user::expect("detailcfg", [&](DialogDriver& d) {
        d.clear(IDC_DEVICE_COPIES);
        EXPECT_EQ("25", d.text(IDC_DEVICE_COPIES));
        d.type(IDC_DEVICE_COPIES, "0");
        EXPECT_EQ("25", d.text(IDC_DEVICE_COPIES));
        EXPECT_EQ(25, d.spinPosition(IDC_DEVICE_COPIES_SPIN));
        d.type(IDC_DEVICE_COPIES, "x");
        EXPECT_EQ("25", d.text(IDC_DEVICE_COPIES));
        d.type(IDC_DEVICE_COPIES, "7");
        EXPECT_EQ(7, d.spinPosition(IDC_DEVICE_COPIES_SPIN));
        d.append(IDC_DEVICE_COPIES, "123");  // the fourth character does not fit
        EXPECT_EQ("712", d.text(IDC_DEVICE_COPIES));
        d.ok();
    });
    showDeviceDialogAtConfig();
    EXPECT_EQ(712, state.settings.copies());
    EXPECT_TRUE(user::messageBoxes().empty());  // no warning for the count
}

TEST_F(DeviceDialog, storedCopiesOutOfRangeOpenInRangeInsteadOfRecursing) {
    for (auto [stored, shown] : {std::pair{0, 1}, std::pair{-4, 1}, std::pair{1500, 999}}) {
        state.settings.setCopies(stored);
        user::expect("detailcfg", [&](DialogDriver& d) {
            EXPECT_EQ(std::to_string(shown), d.text(IDC_DEVICE_COPIES));
            d.clear(IDC_DEVICE_COPIES);
            EXPECT_EQ(std::to_string(shown), d.text(IDC_DEVICE_COPIES));
            d.ok();
        });
        showDeviceDialogAtConfig();
        EXPECT_EQ(shown, state.settings.copies());
    }
}

TEST_F(DeviceDialog, theArrowsStepTheCountWithinItsRangeAndSelectTheText) {
    state.settings.setCopies(998);
    user::expect("detailcfg", [&](DialogDriver& d) {
        d.spinUp(IDC_DEVICE_COPIES_SPIN);
        EXPECT_EQ("999", d.text(IDC_DEVICE_COPIES));
        EXPECT_EQ(std::make_pair(0, 3), d.textSelection(IDC_DEVICE_COPIES));
        d.spinUp(IDC_DEVICE_COPIES_SPIN, 3);
        EXPECT_EQ("999", d.text(IDC_DEVICE_COPIES));
        d.spinDown(IDC_DEVICE_COPIES_SPIN, 997);
        EXPECT_EQ("2", d.text(IDC_DEVICE_COPIES));
        d.spinDown(IDC_DEVICE_COPIES_SPIN, 5);
        EXPECT_EQ("1", d.text(IDC_DEVICE_COPIES));
        EXPECT_EQ(IDC_DEVICE_COPIES, d.focusedId());
        d.ok();
    });
    showDeviceDialogAtConfig();
    EXPECT_EQ(1, state.settings.copies());
}

TEST_F(DeviceDialog, colourForcesTheBlackFillAndGreysOutHalfTone) {
    user::expect("detailcfg", [&](DialogDriver& d) {
        EXPECT_TRUE(d.checked(IDC_DEVICE_FILL_HALFTONE));
        d.click(IDC_DEVICE_COLOR);
        EXPECT_TRUE(d.checked(IDC_DEVICE_FILL_BLACK));
        EXPECT_FALSE(d.checked(IDC_DEVICE_FILL_HALFTONE));
        EXPECT_FALSE(d.enabled(IDC_DEVICE_FILL_HALFTONE));
        d.click(IDC_DEVICE_FILL_HALFTONE);  // greyed out: nothing happens
        EXPECT_TRUE(d.checked(IDC_DEVICE_FILL_BLACK));
        d.click(IDC_DEVICE_MONOCHROME);
        EXPECT_TRUE(d.checked(IDC_DEVICE_FILL_BLACK));
        EXPECT_TRUE(d.enabled(IDC_DEVICE_FILL_HALFTONE));
        d.click(IDC_DEVICE_COLOR);
        d.ok();
    });
    showDeviceDialogAtConfig();
    EXPECT_TRUE(state.settings.get(flags::colorMode));
    EXPECT_TRUE(state.settings.get(flags::rasterContone));
    EXPECT_FALSE(state.settings.get(flags::fillStyle));
}

TEST_F(DeviceDialog, aStoredColourBlockWithHalfToneComesBackWithTheBlackFill) {
    state.settings.set(flags::colorMode, true);
    state.settings.set(flags::fillStyle, true);
    user::expect("detailcfg", [&](DialogDriver& d) {
        EXPECT_TRUE(d.checked(IDC_DEVICE_COLOR));
        EXPECT_FALSE(d.enabled(IDC_DEVICE_FILL_HALFTONE));
        d.ok();
    });
    showDeviceDialogAtConfig();
    EXPECT_FALSE(state.settings.get(flags::fillStyle));
}

TEST_F(DeviceDialog, optionSettingFollowsTheOutputChoice) {
    state.settings.set(flags::outputOption, false);
    user::expect("detailcfg", [&](DialogDriver& d) {
        EXPECT_TRUE(d.checked(IDC_DEVICE_OUTPUT_STANDARD));
        EXPECT_FALSE(d.enabled(IDC_DEVICE_OPTION_SETTING));
        d.click(IDC_DEVICE_OPTION_SETTING);  // disabled: no dialog
        d.click(IDC_DEVICE_OUTPUT_OPTION);
        EXPECT_TRUE(d.enabled(IDC_DEVICE_OPTION_SETTING));
        d.ok();
    });
    showDeviceDialogAtConfig();
    EXPECT_TRUE(state.settings.get(flags::outputOption));
    EXPECT_EQ(std::vector<std::string>{"detailcfg"}, user::openedDialogs());
}

TEST_F(DeviceDialog, theBadgeIsStretchedOverItsButtonAndShowsTheVersionBox) {
    user::expect("detailcfg", [&](DialogDriver& d) {
        RECT client = d.clientRect();
        auto face = d.face(IDC_DEVICE_BADGE);
        ASSERT_EQ(1u, face.size());
        EXPECT_EQ(IDB_BADGE, face[0].bitmapId);
        EXPECT_EQ(-1, face[0].x);
        EXPECT_EQ(-2, face[0].y);
        EXPECT_EQ(static_cast<int>(client.right * (1.0 / 245) * 30), face[0].width);
        EXPECT_EQ(static_cast<int>(client.bottom * (1.0 / 185) * 14), face[0].height);
        EXPECT_EQ(59, face[0].sourceWidth);
        EXPECT_EQ(28, face[0].sourceHeight);
        EXPECT_EQ(static_cast<DWORD>(SRCCOPY), face[0].rop);
        d.click(IDC_DEVICE_BADGE);
        ASSERT_EQ(1u, user::messageBoxes().size());
        EXPECT_EQ(std::string(DRIVER_BANNER), user::messageBoxes()[0].text);
        EXPECT_EQ(slot(41), user::messageBoxes()[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_OK), user::messageBoxes()[0].style);
        EXPECT_TRUE(d.isOpen());
        d.cancel();
    });
    showDeviceDialogAtConfig();
}

TEST_F(DeviceDialog, enterIsOkAndEscapeAndTheCloseBoxAreCancel) {
    user::expect("detailcfg", [&](DialogDriver& d) {
        d.type(IDC_DEVICE_COPIES, "3");
        d.enter();
        EXPECT_FALSE(d.isOpen());
    });
    EXPECT_EQ(DIALOG_OK, showDeviceDialogAtConfig());
    EXPECT_EQ(3, state.settings.copies());
    for (bool useEscape : {true, false}) {
        user::expect("detailcfg", [&](DialogDriver& d) {
            d.type(IDC_DEVICE_COPIES, "9");
            if (useEscape) d.escape();
            else d.closeBox();
            EXPECT_FALSE(d.isOpen());
        });
        EXPECT_EQ(DIALOG_CANCEL, showDeviceDialogAtConfig());
        EXPECT_EQ(3, state.settings.copies());
    }
}

TEST_F(DeviceDialog, aTemplateThatCannotBeOpenedLeavesTheSettings) {
    state.moduleInstance = nullptr;
    EXPECT_EQ(-1, static_cast<int>(openDialog("detailcfg", nullptr, deviceDialogHandler)));
    state.moduleInstance = GetModuleHandleA("tavixdrv");
    EXPECT_EQ(-1, static_cast<int>(openDialog("nosuchcfg", nullptr, deviceDialogHandler)));
    EXPECT_TRUE(user::openedDialogs().empty());
}

}  // namespace
}  // namespace tavix::testing
