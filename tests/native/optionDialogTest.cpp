// The option setting dialog through the scripted user, opened from the
// device setting dialog as the user does.
#include "dialogFixture.h"

namespace tavix::testing {
namespace {

class OptionDialog : public DialogTest {
protected:
    // Opens the device dialog, then the option dialog with `script`; the
    // device dialog ends with OK.
    void runOption(std::function<void(DialogDriver&)> script) {
        user::expect("detailcfg", [](DialogDriver& d) {
            d.click(IDC_DEVICE_OPTION_SETTING);
            d.ok();
        });
        user::expect("add_func_cfg", script);
        showDeviceDialogAtConfig();
    }
};

TEST_F(OptionDialog, theDensityHintAndTrayRowsFollowTheModel) {
    struct Case {
        int model;
        const char* hint;
        size_t trays;
    };
    for (const Case& c : {Case{0, densityHints15[0], 5}, Case{1, densityHints15[0], 4},
                          Case{2, "Standard: 16", 3}, Case{3, densityHints15[0], 6},
                          Case{4, densityHints20[0], 6}}) {
        SCOPED_TRACE(c.model);
        useModel(c.model);
        runOption([&](DialogDriver& d) {
            EXPECT_EQ(std::string(c.hint), d.text(IDC_OPTION_DENSITY_HINT));
            std::vector<std::string> trays = d.items(IDC_OPTION_TRAY);
            ASSERT_EQ(c.trays, trays.size());
            EXPECT_EQ(13u, trays[0].size());  // labels as stored, spaces included
            EXPECT_EQ(std::string(trayTableFor(currentModelEntry())[0].label), trays[0]);
            EXPECT_EQ(4u, d.items(IDC_OPTION_MEDIA_TYPE).size());
            d.ok();
        });
    }
    EXPECT_EQ(sj("標準値：  20"), std::string(densityHints20[0]));
}

TEST_F(OptionDialog, aTrayBeyondTheModelsListShowsNoSelectionAndIsKept) {
    useModel(2);
    state.settings.setTray(5);
    runOption([&](DialogDriver& d) {
        EXPECT_EQ(-1, d.selection(IDC_OPTION_TRAY));
        d.ok();
    });
    EXPECT_EQ(5, state.settings.tray());
}

TEST_F(OptionDialog, densityOutsideOneToSixtyFourIsRefusedWithTheWarning) {
    state.settings.setDensity(20);
    runOption([&](DialogDriver& d) {
        EXPECT_EQ("20", d.text(IDC_OPTION_DENSITY));
        EXPECT_EQ(2, d.textLimit(IDC_OPTION_DENSITY));
        EXPECT_EQ(std::make_pair(1, 64), d.spinRange(IDC_OPTION_DENSITY_SPIN));
        // The field is back at the last density when the box comes up.
        user::answerMessageBoxes([&](const native::MessageBoxRecord&) {
            EXPECT_EQ("20", d.text(IDC_OPTION_DENSITY));
            EXPECT_EQ(20, d.spinPosition(IDC_OPTION_DENSITY_SPIN));
            return IDOK;
        });
        for (const char* bad : {"0", "65", "", "ab"}) {
            SCOPED_TRACE(bad);
            size_t boxes = user::messageBoxes().size();
            d.setText(IDC_OPTION_DENSITY, bad);
            EXPECT_EQ("20", d.text(IDC_OPTION_DENSITY));
            ASSERT_EQ(boxes + 1, user::messageBoxes().size());
            EXPECT_EQ(slot(71), user::messageBoxes().back().text);
            EXPECT_EQ(slot(44), user::messageBoxes().back().caption);
            EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), user::messageBoxes().back().style);
        }
        user::answerMessageBoxes(nullptr);
        d.setText(IDC_OPTION_DENSITY, "64");
        EXPECT_EQ(64, d.spinPosition(IDC_OPTION_DENSITY_SPIN));
        d.setText(IDC_OPTION_DENSITY, "1");
        EXPECT_EQ(1, d.spinPosition(IDC_OPTION_DENSITY_SPIN));
        d.ok();
    });
    EXPECT_EQ(1, state.settings.density());
    EXPECT_EQ(4u, user::messageBoxes().size());
}

TEST_F(OptionDialog, deletingTheDigitsBringsTheWarningAtOnce) {
    state.settings.setDensity(15);
    runOption([&](DialogDriver& d) {
        d.backspace(IDC_OPTION_DENSITY);  // "1"
        EXPECT_TRUE(user::messageBoxes().empty());
        d.backspace(IDC_OPTION_DENSITY);  // empty: refused
        EXPECT_EQ("1", d.text(IDC_OPTION_DENSITY));
        EXPECT_EQ(1u, user::messageBoxes().size());
        d.type(IDC_OPTION_DENSITY, "65");  // "6" is taken, "65" refused
        EXPECT_EQ("6", d.text(IDC_OPTION_DENSITY));
        EXPECT_EQ(2u, user::messageBoxes().size());
        d.ok();
    });
    EXPECT_EQ(6, state.settings.density());
}

TEST_F(OptionDialog, aStoredDensityOutOfRangeOpensAtTheModelsStandard) {
    for (auto [model, stored, standard] : {std::tuple{2, 0, 16}, std::tuple{4, 65, 20}, std::tuple{0, -3, 15}}) {
        useModel(model);
        state.settings.setDensity(static_cast<int16_t>(stored));
        runOption([&](DialogDriver& d) {
            EXPECT_EQ(std::to_string(standard), d.text(IDC_OPTION_DENSITY));
            d.ok();
        });
        EXPECT_EQ(standard, state.settings.density());
    }
    EXPECT_TRUE(user::messageBoxes().empty());
}

TEST_F(OptionDialog, theArrowsStepTheDensity) {
    state.settings.setDensity(63);
    runOption([&](DialogDriver& d) {
        d.spinUp(IDC_OPTION_DENSITY_SPIN, 3);
        EXPECT_EQ("64", d.text(IDC_OPTION_DENSITY));
        EXPECT_EQ(std::make_pair(0, 2), d.textSelection(IDC_OPTION_DENSITY));
        d.spinDown(IDC_OPTION_DENSITY_SPIN, 70);
        EXPECT_EQ("1", d.text(IDC_OPTION_DENSITY));
        d.ok();
    });
    EXPECT_EQ(1, state.settings.density());
}

TEST_F(OptionDialog, theStampAndPenChoicesEnableTheirButtons) {
    runOption([&](DialogDriver& d) {
        EXPECT_TRUE(d.checked(IDC_OPTION_STAMP_OFF));
        EXPECT_FALSE(d.enabled(IDC_OPTION_STAMP_SETTING));
        EXPECT_FALSE(d.enabled(IDC_OPTION_PORTRAIT));
        EXPECT_FALSE(d.enabled(IDC_OPTION_LANDSCAPE));
        EXPECT_TRUE(d.checked(IDC_OPTION_PEN_NO));
        EXPECT_FALSE(d.enabled(IDC_OPTION_PEN_SETTING));
        d.click(IDC_OPTION_STAMP_ON);
        EXPECT_TRUE(d.enabled(IDC_OPTION_STAMP_SETTING));
        EXPECT_TRUE(d.enabled(IDC_OPTION_PORTRAIT));
        EXPECT_TRUE(d.enabled(IDC_OPTION_LANDSCAPE));
        d.click(IDC_OPTION_PEN_YES);
        EXPECT_TRUE(d.enabled(IDC_OPTION_PEN_SETTING));
        d.ok();
    });
    EXPECT_TRUE(state.settings.get(flags::stampOn));
    EXPECT_TRUE(state.settings.get(flags::penSettingOn));
}

TEST_F(OptionDialog, everyPairAndListReachesItsField) {
    runOption([&](DialogDriver& d) {
        EXPECT_TRUE(d.checked(IDC_OPTION_CUT_STANDARD));
        EXPECT_TRUE(d.checked(IDC_OPTION_CENTERING_ON));
        EXPECT_TRUE(d.checked(IDC_OPTION_MIRROR_OFF));
        EXPECT_TRUE(d.checked(IDC_OPTION_INVERT_OFF));
        EXPECT_TRUE(d.checked(IDC_OPTION_LANDSCAPE));
        d.select(IDC_OPTION_MEDIA_TYPE, 3);
        d.select(IDC_OPTION_TRAY, 4);
        d.click(IDC_OPTION_CUT_SYNCHRONOUS);
        d.click(IDC_OPTION_CENTERING_OFF);
        d.click(IDC_OPTION_MIRROR_ON);
        d.click(IDC_OPTION_INVERT_ON);
        d.click(IDC_OPTION_STAMP_ON);
        d.click(IDC_OPTION_PORTRAIT);
        d.ok();
    });
    const PlotSettings& s = state.settings;
    EXPECT_EQ(3, s.mediaType());
    EXPECT_EQ(4, s.tray());
    EXPECT_TRUE(s.get(flags::formatCut));
    EXPECT_FALSE(s.get(flags::centering));
    EXPECT_TRUE(s.get(flags::mirror));
    EXPECT_TRUE(s.get(flags::invert));
    EXPECT_TRUE(s.get(flags::orientation));
}

TEST_F(OptionDialog, okHereAndCancelInTheDeviceDialogLeavesTheSettings) {
    PlotSettings before = state.settings;
    user::expect("detailcfg", [](DialogDriver& d) {
        d.click(IDC_DEVICE_OPTION_SETTING);
        d.cancel();
    });
    user::expect("add_func_cfg", [](DialogDriver& d) {
        d.click(IDC_OPTION_MIRROR_ON);
        d.setText(IDC_OPTION_DENSITY, "40");
        d.ok();
    });
    showDeviceDialogAtConfig();
    EXPECT_EQ(0, std::memcmp(before.bytes, state.settings.bytes, SETTINGS_SIZE));
}

TEST_F(OptionDialog, theDeviceDialogTakesNoInputWhileTheOptionDialogIsUp) {
    user::expect("detailcfg", [](DialogDriver& d) {
        user::expect("add_func_cfg", [&](DialogDriver& option) {
            d.click(IDC_DEVICE_MARGIN_OFF);  // blocked
            option.ok();
        });
        d.click(IDC_DEVICE_OPTION_SETTING);
        d.ok();
    });
    showDeviceDialogAtConfig();
    ASSERT_EQ(1u, user::faults().size());
    EXPECT_NE(std::string::npos, user::faults()[0].find("while a dialog it opened is up"));
    EXPECT_TRUE(state.settings.get(flags::plotMargin));
    user::reset();
}

}  // namespace
}  // namespace tavix::testing
