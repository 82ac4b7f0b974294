// The stamp setting dialog through the scripted user, opened from the
// option setting dialog as the user does.
#include "dialogFixture.h"

namespace tavix::testing {
namespace {

class StampDialog : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        state.settings.set(flags::stampOn, true);
    }

    void runStamp(std::function<void(DialogDriver&)> script, bool optionOk = true, bool deviceOk = true) {
        user::expect("detailcfg", [=](DialogDriver& d) {
            d.click(IDC_DEVICE_OPTION_SETTING);
            deviceOk ? d.ok() : d.cancel();
        });
        user::expect("add_func_cfg", [=](DialogDriver& d) {
            d.click(IDC_OPTION_STAMP_SETTING);
            optionOk ? d.ok() : d.cancel();
        });
        user::expect("stamp_cfg", script);
        showDeviceDialogAtConfig();
    }
};

TEST_F(StampDialog, offsetsOpenWithTwoDecimalsAndComeBackRounded) {
    state.settings.setStampOffsetX(0.5f);
    state.settings.setStampOffsetY(-3.25f);
    runStamp([&](DialogDriver& d) {
        EXPECT_EQ("0.50", d.text(IDC_STAMP_OFFSET_X));
        EXPECT_EQ("-3.25", d.text(IDC_STAMP_OFFSET_Y));
        EXPECT_EQ(6, d.textLimit(IDC_STAMP_OFFSET_X));
        d.type(IDC_STAMP_OFFSET_X, "1.236");
        d.ok();
    });
    EXPECT_FLOAT_EQ(1.236f, state.settings.stampOffsetX());
    runStamp([&](DialogDriver& d) {
        EXPECT_EQ("1.24", d.text(IDC_STAMP_OFFSET_X));
        d.ok();
    });
    EXPECT_FLOAT_EQ(1.24f, state.settings.stampOffsetX());
    EXPECT_FLOAT_EQ(-3.25f, state.settings.stampOffsetY());
}

TEST_F(StampDialog, aCommaInAnOffsetIsRefusedUnderTheFieldsCaption) {
    state.settings.setStampOffsetX(2.0f);
    runStamp([&](DialogDriver& d) {
        d.setText(IDC_STAMP_OFFSET_X, "1,5");
        EXPECT_EQ("", d.text(IDC_STAMP_OFFSET_X));
        ASSERT_EQ(1u, user::messageBoxes().size());
        EXPECT_EQ(slot(73), user::messageBoxes()[0].text);
        EXPECT_EQ(slot(49), user::messageBoxes()[0].caption);
        EXPECT_EQ(static_cast<UINT>(MB_ICONWARNING), user::messageBoxes()[0].style);
        d.setText(IDC_STAMP_OFFSET_Y, "a");
        EXPECT_EQ(slot(62), user::messageBoxes().back().caption);
        d.ok();
    });
    EXPECT_FLOAT_EQ(2.0f, state.settings.stampOffsetX());
}

TEST_F(StampDialog, offsetsReadTheLongestNumberAtTheFront) {
    runStamp([&](DialogDriver& d) {
        d.setText(IDC_STAMP_OFFSET_X, "1-2");
        d.setText(IDC_STAMP_OFFSET_Y, "-");
        d.ok();
    });
    EXPECT_FLOAT_EQ(1.0f, state.settings.stampOffsetX());
    EXPECT_FLOAT_EQ(0.0f, state.settings.stampOffsetY());
    EXPECT_TRUE(user::messageBoxes().empty());
}

TEST_F(StampDialog, aLongStoredOffsetIsReadWhole) {
    state.settings.setStampOffsetX(-123.45f);
    runStamp([&](DialogDriver& d) {
        EXPECT_EQ("-123.45", d.text(IDC_STAMP_OFFSET_X));
        d.ok();
    });
    EXPECT_FLOAT_EQ(-123.45f, state.settings.stampOffsetX());
}

TEST_F(StampDialog, theTextsAreWrittenAsTypedAndSurviveEveryCancel) {
    runStamp(
        [&](DialogDriver& d) {
            EXPECT_EQ(40, d.textLimit(IDC_STAMP_DRAW_NAME));
            EXPECT_EQ(80, d.textLimit(IDC_STAMP_COMMENT));
            d.type(IDC_STAMP_DRAW_NAME, "PLAN-7");
            EXPECT_STREQ("PLAN-7", state.drawName);
            d.type(IDC_STAMP_COMMENT, sj("第2版"));
            d.select(IDC_STAMP_POSITION, 8);
            d.cancel();
        },
        false, false);
    EXPECT_STREQ("PLAN-7", state.drawName);
    EXPECT_EQ(sj("第2版"), std::string(state.comment));
    EXPECT_EQ(0, state.settings.stampPosition());

    runStamp([&](DialogDriver& d) {
        EXPECT_EQ("PLAN-7", d.text(IDC_STAMP_DRAW_NAME));
        d.clear(IDC_STAMP_COMMENT);
        EXPECT_STREQ("", state.comment);
        d.cancel();
    });
    EXPECT_STREQ("", state.comment);
}

TEST_F(StampDialog, aFortyCharacterNameIsStoredWholeAndLongerTextsAreBoundedByTheirBytes) {
    std::string forty(40, 'N');
    runStamp([&](DialogDriver& d) {
        d.type(IDC_STAMP_DRAW_NAME, forty + "X");  // the 41st does not fit
        EXPECT_EQ(forty, std::string(state.drawName));
        // A two-byte character across byte 40 is left out whole.
        std::string name = std::string(39, 'a') + sj("図") + "b";
        d.setText(IDC_STAMP_DRAW_NAME, name);
        EXPECT_EQ(std::string(39, 'a'), std::string(state.drawName));
        std::string comment = std::string(79, 'c') + sj("面");
        d.setText(IDC_STAMP_COMMENT, comment);
        EXPECT_EQ(std::string(79, 'c'), std::string(state.comment));
        d.setText(IDC_STAMP_COMMENT, std::string(78, 'c') + sj("面"));
        EXPECT_EQ(std::string(78, 'c') + sj("面"), std::string(state.comment));
        d.ok();
    });
}

TEST_F(StampDialog, everyPositionAndFontSizeCanBeChosen) {
    for (int position = 0; position < 9; ++position) {
        int fontSize = position + 7;
        runStamp([&](DialogDriver& d) {
            ASSERT_EQ(9u, d.items(IDC_STAMP_POSITION).size());
            ASSERT_EQ(16u, d.items(IDC_STAMP_FONT_SIZE).size());
            EXPECT_EQ(std::string(stampFontSizeTable[15].label), d.items(IDC_STAMP_FONT_SIZE)[15]);
            d.select(IDC_STAMP_POSITION, position);
            d.select(IDC_STAMP_FONT_SIZE, fontSize);
            d.ok();
        });
        EXPECT_EQ(position, state.settings.stampPosition());
        EXPECT_EQ(fontSize, state.settings.stampFontSize());
    }
}

TEST_F(StampDialog, modeAndDateStamp) {
    runStamp([&](DialogDriver& d) {
        EXPECT_TRUE(d.checked(IDC_STAMP_OPAQUE));
        EXPECT_TRUE(d.checked(IDC_STAMP_DATE_OFF));
        d.click(IDC_STAMP_TRANSPARENT);
        d.click(IDC_STAMP_DATE_ON);
        d.ok();
    });
    EXPECT_TRUE(state.settings.get(flags::stampMode));
    EXPECT_TRUE(state.settings.get(flags::dateStamp));
}

TEST_F(StampDialog, stampEditsReachTheSettingsOnlyThroughEveryOk) {
    auto edit = [](DialogDriver& d) {
        d.select(IDC_STAMP_POSITION, 4);
        d.ok();
    };
    runStamp(edit, false, true);  // Cancel in the option dialog drops them
    EXPECT_EQ(0, state.settings.stampPosition());
    runStamp(edit, true, false);  // so does Cancel in the device dialog
    EXPECT_EQ(0, state.settings.stampPosition());
    runStamp(edit);
    EXPECT_EQ(4, state.settings.stampPosition());
}

TEST_F(StampDialog, cancelHereKeepsTheOptionEditsMadeBeforeIt) {
    user::expect("detailcfg", [](DialogDriver& d) {
        d.click(IDC_DEVICE_OPTION_SETTING);
        d.ok();
    });
    user::expect("add_func_cfg", [](DialogDriver& d) {
        d.click(IDC_OPTION_MIRROR_ON);
        d.click(IDC_OPTION_STAMP_SETTING);
        EXPECT_TRUE(state.optionDialogSettings.get(flags::mirror));
        d.ok();
    });
    user::expect("stamp_cfg", [](DialogDriver& d) {
        d.select(IDC_STAMP_POSITION, 2);
        d.cancel();
    });
    showDeviceDialogAtConfig();
    EXPECT_TRUE(state.settings.get(flags::mirror));
    EXPECT_EQ(0, state.settings.stampPosition());
}

}  // namespace
}  // namespace tavix::testing
