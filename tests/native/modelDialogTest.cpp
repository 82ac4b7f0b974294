// The model selection dialog through the scripted user.
#include "dialogFixture.h"

namespace tavix::testing {
namespace {

class ModelDialog : public DialogTest {
protected:
    static int pictureOf(DialogDriver& d, int button) {
        auto face = d.face(button);
        return face.size() == 1 ? face[0].bitmapId : -1;
    }
};

TEST_F(ModelDialog, opensWithTheStoredModelFramed) {
    state.selectedModel = 2;
    user::expect("modelcfg", [&](DialogDriver& d) {
        EXPECT_EQ(sj("機種選択"), d.caption());
        EXPECT_EQ(123, pictureOf(d, 1073));
        EXPECT_EQ(124, pictureOf(d, 1074));
        EXPECT_EQ(130, pictureOf(d, 1075));
        EXPECT_EQ(126, pictureOf(d, 1076));
        EXPECT_EQ(127, pictureOf(d, 1077));
        RECT client = d.clientRect();
        auto face = d.face(1075)[0];
        EXPECT_EQ(0, face.x);
        EXPECT_EQ(0, face.y);
        EXPECT_EQ(static_cast<int>(client.right * (1.0 / 188) * 39), face.width);
        EXPECT_EQ(static_cast<int>(client.bottom * (1.0 / 161) * 36), face.height);
        EXPECT_EQ(85, face.sourceWidth);
        EXPECT_EQ(80, face.sourceHeight);
        d.ok();
    });
    EXPECT_EQ(DIALOG_OK, showModelDialog());
    EXPECT_EQ(2, state.selectedModel);
}

TEST_F(ModelDialog, clicksMoveTheFrameAndTheLastOneCounts) {
    user::expect("modelcfg", [&](DialogDriver& d) {
        d.click(1073);
        EXPECT_EQ(128, pictureOf(d, 1073));
        d.click(1076);
        EXPECT_EQ(123, pictureOf(d, 1073));
        EXPECT_EQ(131, pictureOf(d, 1076));
        d.ok();
    });
    showModelDialog();
    EXPECT_EQ(3, state.selectedModel);
}

TEST_F(ModelDialog, escapeAndTheCloseBoxDoNothingEnterCloses) {
    state.selectedModel = 4;
    user::expect("modelcfg", [&](DialogDriver& d) {
        d.escape();
        EXPECT_TRUE(d.isOpen());
        d.closeBox();
        EXPECT_TRUE(d.isOpen());
        d.enter();
        EXPECT_FALSE(d.isOpen());
    });
    EXPECT_EQ(DIALOG_OK, showModelDialog());
    EXPECT_EQ(4, state.selectedModel);
}

TEST_F(ModelDialog, enterAfterClickingAPictureIsStillOk) {
    user::expect("modelcfg", [&](DialogDriver& d) {
        d.click(1077);
        EXPECT_EQ(1077, d.focusedId());
        d.enter();
        EXPECT_FALSE(d.isOpen());
    });
    EXPECT_EQ(DIALOG_OK, showModelDialog());
    EXPECT_EQ(4, state.selectedModel);
}

TEST_F(ModelDialog, theLauncherFetchesTheDriverModule) {
    state.moduleInstance = nullptr;
    user::expect("modelcfg", [](DialogDriver& d) { d.ok(); });
    showModelDialog();
    EXPECT_EQ(static_cast<void*>(GetModuleHandleA("tavixdrv")), state.moduleInstance);
}

}  // namespace
}  // namespace tavix::testing
