// A driver with the Japanese texts installed, known settings and default
// pens, and a fresh scripted user. After each test: no scripted-user fault,
// no script left unused, every picture and surface deleted.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/languageTables.h"
#include "support/testSeams.h"
#include "dialogs/dialogFramework.h"
#include "platform/native/scriptedUser.h"
#include "resources/resource.h"
#include "dialogs/launchers.h"
#include "tavix/driverState.h"
#include "tavix/messages.h"
#include "settings/settingsDefaults.h"
#include "tavix/tables.h"

namespace tavix::testing {

using native::DialogDriver;
namespace user = native::scriptedUser;

class DialogTest : public ::testing::Test {
protected:
    TestSeams seams;
    uint8_t packet[64] = {};

    void SetUp() override {
        resetDriverState();
        user::reset();
        std::memcpy(packet + 8, "en", 2);
        state.currentPacket = packet;
        useModel(0);
        PlotSettings& s = state.settings;
        s.setCopies(1);
        s.setPaperSize(1);
        s.setFlagByte(0, 0x70);
        s.setFlagByte(1, 0x00);
        s.setFlagByte(2, 0x03);
        s.setFlagByte(3, 0x00);
        s.setStampFontSize(4);
        s.setLineEnd(3);
        s.setDensity(15);
        applyPenDefaults();
    }

    void TearDown() override {
        for (const auto& f : user::faults()) ADD_FAILURE() << "scripted user: " << f;
        EXPECT_EQ(0u, user::pendingScripts());
        EXPECT_EQ(0, user::gdiObjectsInUse());
        user::reset();
        state.currentPacket = nullptr;
    }

    // The model the dialogs read, with its language tables.
    void useModel(int row) {
        state.currentModel = row;
        state.selectedModel = row;
        loadLanguageTables();
    }

    static std::string sj(const char* utf8) { return native::cp932(utf8); }
    static std::string slot(int n) { return japaneseMessages[n]; }
};

}  // namespace tavix::testing
