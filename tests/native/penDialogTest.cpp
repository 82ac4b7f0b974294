// The pen setting dialog through the scripted user, opened from the option
// setting dialog as the user does.
#include "dialogFixture.h"

namespace tavix::testing {
namespace {

class PenDialog : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        state.settings.set(flags::penSettingOn, true);
    }

    // Device dialog -> option dialog -> pen dialog; the two outer dialogs
    // end with OK unless told otherwise.
    void runPen(std::function<void(DialogDriver&)> script, bool optionOk = true, bool deviceOk = true) {
        user::expect("detailcfg", [=](DialogDriver& d) {
            d.click(IDC_DEVICE_OPTION_SETTING);
            deviceOk ? d.ok() : d.cancel();
        });
        user::expect("add_func_cfg", [=](DialogDriver& d) {
            d.click(IDC_OPTION_PEN_SETTING);
            optionOk ? d.ok() : d.cancel();
        });
        user::expect("pen_lumen_cfg", script);
        showDeviceDialogAtConfig();
    }

    static std::string item(int pen, int gray, const char* width) {
        return std::to_string(pen) + "\t" + std::to_string(gray) + "\t" + width;
    }
};

TEST_F(PenDialog, opensWithEveryPenAndTheFirstMarkedAndTheFieldsGreyed) {
    runPen([&](DialogDriver& d) {
        std::vector<std::string> items = d.items(IDC_PEN_LIST);
        ASSERT_EQ(255u, items.size());
        EXPECT_EQ("1\t100\t0.254", items[0]);
        EXPECT_EQ("255\t100\t0.254", items[254]);
        EXPECT_EQ(std::vector<int>{0}, d.selectedItems(IDC_PEN_LIST));
        for (int id : {IDC_PEN_GRAY_LABEL, IDC_PEN_GRAY, IDC_PEN_WIDTH_LABEL, IDC_PEN_WIDTH})
            EXPECT_FALSE(d.enabled(id)) << id;
        EXPECT_EQ(3, d.textLimit(IDC_PEN_GRAY));
        EXPECT_EQ(6, d.textLimit(IDC_PEN_WIDTH));
        d.cancel();
    });
}

TEST_F(PenDialog, selectingPensShowsTheFirstOnesValuesAndChangesNoPen) {
    state.penTable[2].penGray = 40;
    state.penTable[6].penGray = 80;
    state.penTable[6].penWidth = 0.5f;
    runPen([&](DialogDriver& d) {
        d.selectItems(IDC_PEN_LIST, {2, 6});
        EXPECT_EQ("40", d.text(IDC_PEN_GRAY));
        EXPECT_EQ("0.254", d.text(IDC_PEN_WIDTH));
        EXPECT_TRUE(d.enabled(IDC_PEN_GRAY));
        EXPECT_TRUE(d.enabled(IDC_PEN_WIDTH));
        EXPECT_EQ((std::vector<int>{2, 6}), d.selectedItems(IDC_PEN_LIST));
        EXPECT_EQ(item(7, 80, "0.500"), d.items(IDC_PEN_LIST)[6]);
        d.focus(IDC_PEN_GRAY);  // moving through the fields is no edit either
        d.focus(IDC_PEN_WIDTH);
        d.ok();
    });
    EXPECT_EQ(40, state.penTable[2].penGray);
    EXPECT_EQ(80, state.penTable[6].penGray);
    EXPECT_FLOAT_EQ(0.5f, state.penTable[6].penWidth);
}

TEST_F(PenDialog, aTypedGrayGoesIntoEverySelectedPenWhileTyping) {
    runPen([&](DialogDriver& d) {
        d.clickItem(IDC_PEN_LIST, 0);
        d.shiftClickItem(IDC_PEN_LIST, 9);
        d.type(IDC_PEN_GRAY, "5");
        EXPECT_EQ(item(10, 5, "0.254"), d.items(IDC_PEN_LIST)[9]);
        d.append(IDC_PEN_GRAY, "0");
        for (int i = 0; i < 10; ++i) EXPECT_EQ(item(i + 1, 50, "0.254"), d.items(IDC_PEN_LIST)[i]);
        EXPECT_EQ(item(11, 100, "0.254"), d.items(IDC_PEN_LIST)[10]);
        EXPECT_EQ(10u, d.selectedItems(IDC_PEN_LIST).size());
        EXPECT_EQ(9, state.focusPen);  // ends on the last selected pen
        d.ok();
    });
    for (int i = 0; i < 10; ++i) EXPECT_EQ(50, state.penTable[i].penGray);
    EXPECT_EQ(100, state.penTable[10].penGray);
}

TEST_F(PenDialog, aRefusedGrayEmptiesTheFieldAndLeavesThePens) {
    state.penTable[3].penGray = 30;
    runPen([&](DialogDriver& d) {
        d.clickItem(IDC_PEN_LIST, 3);
        for (const char* bad : {"150", "101", "4a"}) {
            SCOPED_TRACE(bad);
            size_t boxes = user::messageBoxes().size();
            d.setText(IDC_PEN_GRAY, bad);
            EXPECT_EQ("", d.text(IDC_PEN_GRAY));
            ASSERT_EQ(boxes + 1, user::messageBoxes().size());
            EXPECT_EQ(slot(74), user::messageBoxes().back().text);
            EXPECT_EQ(slot(69), user::messageBoxes().back().caption);
            EXPECT_EQ(item(4, 30, "0.254"), d.items(IDC_PEN_LIST)[3]);
        }
        d.clear(IDC_PEN_GRAY);  // an empty field is no value yet
        d.type(IDC_PEN_GRAY, "100");
        d.backspace(IDC_PEN_GRAY, 3);  // 10, 1, then empty: the pen keeps 1
        EXPECT_EQ(item(4, 1, "0.254"), d.items(IDC_PEN_LIST)[3]);
        d.type(IDC_PEN_GRAY, "0");
        d.ok();
    });
    EXPECT_EQ(0, state.penTable[3].penGray);
    EXPECT_EQ(3u, user::messageBoxes().size());
}

TEST_F(PenDialog, widthsAreCheckedWhenTheFieldIsLeft) {
    runPen([&](DialogDriver& d) {
        d.clickItem(IDC_PEN_LIST, 1);
        struct Case {
            const char* text;
            bool accepted;
            float width;
        };
        for (const Case& c : {Case{"10", true, 10.0f}, Case{"10.01", false, 10.0f}, Case{"0.06", true, 0.06f},
                              Case{"0.05", false, 0.06f}, Case{"1.2.3", true, 1.2f}}) {
            SCOPED_TRACE(c.text);
            size_t boxes = user::messageBoxes().size();
            d.type(IDC_PEN_WIDTH, c.text);
            EXPECT_EQ(boxes, user::messageBoxes().size());  // nothing until the field is left
            d.focus(IDC_PEN_LIST);
            EXPECT_EQ(c.accepted ? boxes : boxes + 1, user::messageBoxes().size());
            if (!c.accepted) {
                EXPECT_EQ("", d.text(IDC_PEN_WIDTH));
                EXPECT_EQ(slot(72), user::messageBoxes().back().text);
                EXPECT_EQ(slot(70), user::messageBoxes().back().caption);
            }
            EXPECT_FLOAT_EQ(c.width, state.penDialogPens[1].penWidth);
        }
        d.ok();
    });
    EXPECT_FLOAT_EQ(1.2f, state.penTable[1].penWidth);
}

TEST_F(PenDialog, aCommaIsRefusedAsItIsTyped) {
    runPen([&](DialogDriver& d) {
        d.clickItem(IDC_PEN_LIST, 0);
        d.type(IDC_PEN_WIDTH, "1,5");
        ASSERT_EQ(1u, user::messageBoxes().size());
        EXPECT_EQ(slot(72), user::messageBoxes()[0].text);
        EXPECT_EQ("5", d.text(IDC_PEN_WIDTH));  // emptied at the comma; "5" typed after it
        d.clear(IDC_PEN_WIDTH);
        d.ok();
    });
    EXPECT_FLOAT_EQ(0.254f, state.penTable[0].penWidth);
}

TEST_F(PenDialog, clickingOkAndPressingEnterBothTakeATypedWidth) {
    for (bool enter : {false, true}) {
        runPen([&](DialogDriver& d) {
            d.clickItem(IDC_PEN_LIST, 4);
            d.type(IDC_PEN_WIDTH, enter ? "2.5" : "1.5");
            enter ? d.enter() : d.ok();
            EXPECT_FALSE(d.isOpen());
        });
        EXPECT_FLOAT_EQ(enter ? 2.5f : 1.5f, state.penTable[4].penWidth);
    }
}

TEST_F(PenDialog, enterWithARefusedWidthKeepsTheDialogOpen) {
    runPen([&](DialogDriver& d) {
        d.clickItem(IDC_PEN_LIST, 4);
        d.type(IDC_PEN_WIDTH, "11");
        d.enter();
        EXPECT_TRUE(d.isOpen());
        EXPECT_EQ(1u, user::messageBoxes().size());
        d.ok();
    });
    EXPECT_FLOAT_EQ(0.254f, state.penTable[4].penWidth);
}

TEST_F(PenDialog, defaultPenSettingResetsEveryPenAndKeepsTheSelectionMarked) {
    for (int i = 0; i < PEN_COUNT; ++i) {
        state.penTable[i].penGray = static_cast<uint8_t>(i % 100);
        state.penTable[i].penWidth = 1.0f;
    }
    runPen([&](DialogDriver& d) {
        d.selectItems(IDC_PEN_LIST, {5, 8});
        d.click(IDC_PEN_DEFAULTS);
        std::vector<std::string> items = d.items(IDC_PEN_LIST);
        for (int i = 0; i < PEN_COUNT; ++i) EXPECT_EQ(item(i + 1, 100, "0.254"), items[i]);
        EXPECT_EQ("100", d.text(IDC_PEN_GRAY));
        EXPECT_EQ("0.254", d.text(IDC_PEN_WIDTH));
        EXPECT_EQ((std::vector<int>{5, 8}), d.selectedItems(IDC_PEN_LIST));
        d.ok();
    });
    for (int i = 0; i < PEN_COUNT; ++i) {
        EXPECT_EQ(100, state.penTable[i].penGray);
        EXPECT_FLOAT_EQ(0.254f, state.penTable[i].penWidth);
    }
}

// Refilling the 255 rows with the list redrawn after each one takes
// seconds on a real screen: every refill (opening, a value typed into
// selected pens, "Default Pen Setting") happens with redrawing off, and the
// list is redrawing again afterwards.
TEST_F(PenDialog, everyRefillOfThePenListHappensWithRedrawingOff) {
    runPen([&](DialogDriver& d) {
        EXPECT_EQ(0, d.rowChangesDrawn(IDC_PEN_LIST));
        EXPECT_TRUE(d.redrawing(IDC_PEN_LIST));
        d.selectItems(IDC_PEN_LIST, {0, 1, 2});
        d.type(IDC_PEN_GRAY, "40");
        d.focus(IDC_PEN_WIDTH);
        d.type(IDC_PEN_WIDTH, "0.5");
        d.focus(IDC_PEN_GRAY);
        EXPECT_EQ(item(3, 40, "0.500"), d.items(IDC_PEN_LIST)[2]);
        d.click(IDC_PEN_DEFAULTS);
        EXPECT_EQ(item(3, 100, "0.254"), d.items(IDC_PEN_LIST)[2]);
        EXPECT_EQ(0, d.rowChangesDrawn(IDC_PEN_LIST));
        EXPECT_TRUE(d.redrawing(IDC_PEN_LIST));
        d.ok();
    });
}

TEST_F(PenDialog, cancelHereOrInAnEnclosingDialogLeavesThePenTable) {
    auto edit = [](DialogDriver& d) {
        d.clickItem(IDC_PEN_LIST, 0);
        d.type(IDC_PEN_GRAY, "7");
    };
    runPen([&](DialogDriver& d) {
        edit(d);
        d.cancel();
    });
    EXPECT_EQ(100, state.penTable[0].penGray);
    runPen(
        [&](DialogDriver& d) {
            edit(d);
            d.ok();
        },
        false);
    EXPECT_EQ(100, state.penTable[0].penGray);
    runPen(
        [&](DialogDriver& d) {
            edit(d);
            d.ok();
        },
        true, false);
    EXPECT_EQ(100, state.penTable[0].penGray);
    runPen([&](DialogDriver& d) {
        edit(d);
        d.ok();
    });
    EXPECT_EQ(7, state.penTable[0].penGray);
}

TEST_F(PenDialog, theSelectionOfThePreviousOpeningStaysUntilTheUserPicks) {
    runPen([&](DialogDriver& d) {
        d.selectItems(IDC_PEN_LIST, {2, 3});
        d.ok();
    });
    runPen([&](DialogDriver& d) {
        EXPECT_EQ(std::vector<int>{0}, d.selectedItems(IDC_PEN_LIST));
        EXPECT_EQ(2, state.penSelectionCount);
        d.click(IDC_PEN_DEFAULTS);
        EXPECT_EQ((std::vector<int>{0, 2, 3}), d.selectedItems(IDC_PEN_LIST));
        d.ok();
    });
}

}  // namespace
}  // namespace tavix::testing
