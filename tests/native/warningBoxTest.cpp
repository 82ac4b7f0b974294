// Natively the warning box has no screen: it is recorded.
#include <gtest/gtest.h>

#include <string>

#include "platform/messageBox.h"

namespace tavix {
namespace {

TEST(NativeWarningBox, isRecordedWithOwnerCaptionAndStyle) {
    ASSERT_EQ(nullptr, warningBoxHook);
    const int before = lastWarningBox().count;
    showWarningBox(0x1234, "image faile=1 393 1179", "VUV4.3");
    EXPECT_EQ(before + 1, lastWarningBox().count);
    EXPECT_EQ(0x1234u, lastWarningBox().owner);
    EXPECT_STREQ("image faile=1 393 1179", lastWarningBox().text);
    EXPECT_STREQ("VUV4.3", lastWarningBox().caption);
    EXPECT_EQ(0x30u, lastWarningBox().style);

    const std::string longText(400, 'x');
    showWarningBox(0, longText.c_str(), "VUV4.3");
    EXPECT_EQ(longText.substr(0, 255), lastWarningBox().text);
}

}  // namespace
}  // namespace tavix
