#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/host/configTestSupport.h"
#include "tavix/penSettingsFile.h"
#include "support/cp932.h"
#include "support/recordingHost.h"
#include "support/scratchDirectory.h"
#include "tavix/driverRecord.h"
#include "tavix/driverState.h"
#include "tavix/requestPackets.h"
#include "settings/settingsDefaults.h"

namespace tavix {
namespace {

using testing::Packet;
using testing::sendConfig;

class ConfigEntryTest : public ::testing::Test {
protected:
    void SetUp() override { host.install(); }

    // A stored block as request 47 would have saved it for a model.
    void storeBlockFor(int model) {
        state.selectedModel = model;
        applySettingsDefaults();
        state.settings.setModelIndex(model);
        std::memcpy(host.stored, state.settings.bytes, 40);
        host.hasStored = true;
        host.install();
    }

    // "\n%s\n" around the slot's bytes (built by appending: g++ 12 warns
    // falsely about "\n" + std::string).
    std::string expectedMessage(const char* utf8) {
        std::string message(1, '\n');
        message += testing::cp932(utf8);
        message += '\n';
        return message;
    }

    testing::ScratchDirectory scratch;
    testing::RecordingHost host;
};

TEST_F(ConfigEntryTest, codesOutsideTheTableLeaveThePacketAsItCame) {
    for (int16_t code : {13, 0, 1, 3, 51, -1, 255, 2}) {
        SCOPED_TRACE(code);
        Packet packet(code);
        std::string before = packet.str();
        sendConfig(packet);
        EXPECT_BYTES(before, packet.str());
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ConfigEntryTest, interfaceVersionAccepted) {
    Packet packet(11);
    writeI16(packet.data(), releasePacket::RELEASE, 3);
    writeU32(packet.data(), releasePacket::HOST_WINDOW, 0x00012345);
    Packet expected = packet;
    writeI16(expected.data(), PACKET_STATUS, 0);
    writeI16(expected.data(), releasePacket::RELEASE, 3);
    writeI16(expected.data(), releasePacket::ZERO, 0);
    sendConfig(packet);
    EXPECT_BYTES(expected.str(), packet.str());
    EXPECT_EQ(0x00012345u, state.hostWindow);
    EXPECT_EQ(0, state.errorLatch);
}

TEST_F(ConfigEntryTest, interfaceVersionBelow3FailsAndLatches) {
    testing::identifyAndSetLanguage();
    Packet packet(11);
    writeI16(packet.data(), releasePacket::RELEASE, 2);
    Packet expected = packet;
    writeI16(expected.data(), PACKET_STATUS, -1);
    sendConfig(packet);
    EXPECT_BYTES(expected.str(), packet.str());
    EXPECT_EQ(LATCH_CONFIG, state.errorLatch);
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_BYTES(expectedMessage("AutoCAD のﾊﾞｰｼﾞｮﾝが不正です。R14を使用してください。"),
                 host.messages[0]);
    EXPECT_EQ(0u, state.hostWindow);
}

TEST_F(ConfigEntryTest, messagesBeforeLanguageSetUpAreEmptyLines) {
    Packet packet(11);
    writeI16(packet.data(), releasePacket::RELEASE, 1);
    sendConfig(packet);
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_EQ("\n\n", host.messages[0]);
}

TEST_F(ConfigEntryTest, latchedRequestsAreRefused) {
    state.errorLatch = LATCH_OUTPUT;
    for (int16_t code : {11, 21, 40, 47}) {
        SCOPED_TRACE(code);
        Packet packet(code);
        Packet expected = packet;
        writeI16(expected.data(), PACKET_STATUS, -1);
        sendConfig(packet);
        EXPECT_BYTES(expected.str(), packet.str());
    }
    EXPECT_EQ(0, host.saveCalls);
    EXPECT_EQ(0, host.loadCalls);
    // The fixed replies and the model choice still answer.
    Packet table(22);
    EXPECT_EQ(0, sendConfig(table).status());
}

TEST_F(ConfigEntryTest, identificationAccepted) {
    state.errorLatch = LATCH_OUTPUT;
    Packet packet(49);
    writeI16(packet.data(), identifyPacket::CALLER, 1);
    packet.bytes[identifyPacket::RELEASE] = 2;
    Packet expected = packet;
    writeI16(expected.data(), identifyPacket::STATUS, 0);
    writeI16(expected.data(), identifyPacket::ZERO, 0);
    std::memset(expected.data() + identifyPacket::BANNER, 0, identifyPacket::BANNER_SIZE);
    std::memcpy(expected.data() + identifyPacket::BANNER, DRIVER_BANNER,
                std::strlen(DRIVER_BANNER));
    sendConfig(packet);
    EXPECT_BYTES(expected.str(), packet.str());  // bytes 0-1 as they came
    EXPECT_EQ(0, state.errorLatch);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_STREQ("TAVIXDRV 1.0  HP-GL/2 and HP RTL driver for TAVIX E wide-format printers",
                 reinterpret_cast<const char*>(packet.data() + identifyPacket::BANNER));
}

TEST_F(ConfigEntryTest, identificationFromAnotherApplication) {
    testing::identifyAndSetLanguage();
    Packet packet(49);
    writeI16(packet.data(), identifyPacket::CALLER, 0);
    packet.bytes[identifyPacket::RELEASE] = 2;
    sendConfig(packet);
    EXPECT_EQ(-3, readI16(packet.data(), identifyPacket::STATUS));
    EXPECT_EQ(0, readI16(packet.data(), identifyPacket::ZERO));
    EXPECT_EQ(49, packet.status());
    EXPECT_EQ(LATCH_CONFIG, state.errorLatch);
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_BYTES(expectedMessage("AutoCAD でないｱﾌﾟﾘｹｰｼｮﾝから呼ぼうとしました。"),
                 host.messages[0]);
    EXPECT_STREQ(DRIVER_BANNER,
                 reinterpret_cast<const char*>(packet.data() + identifyPacket::BANNER));
}

TEST_F(ConfigEntryTest, identificationFromAnOldReleaseLatchesUntilTheNext49) {
    testing::identifyAndSetLanguage();
    Packet packet(49);
    writeI16(packet.data(), identifyPacket::CALLER, 1);
    packet.bytes[identifyPacket::RELEASE] = 1;
    sendConfig(packet);
    EXPECT_EQ(-5, readI16(packet.data(), identifyPacket::STATUS));
    EXPECT_EQ(LATCH_CONFIG, state.errorLatch);
    EXPECT_BYTES(expectedMessage("AutoCAD のﾊﾞｰｼﾞｮﾝが不正です。R14を使用してください。"),
                 host.messages.at(0));

    Packet device(21);
    EXPECT_EQ(-1, sendConfig(device).status());
    EXPECT_EQ(0xA5, device.bytes[2]);

    testing::identifyAndSetLanguage();
    EXPECT_EQ(0, state.errorLatch);
    Packet again(21);
    EXPECT_EQ(0, sendConfig(again).status());
}

TEST_F(ConfigEntryTest, chooseModelWithoutStoredSettingsRepliesTx90) {
    Packet packet(20);
    Packet expected = packet;
    writeI16(expected.data(), PACKET_STATUS, 0);
    writeI16(expected.data(), modelPacket::LENGTH, 40);
    writeI16(expected.data(), modelPacket::ONE, 1);
    writeI16(expected.data(), modelPacket::ZERO, 0);
    writeFixedText(expected.data(), modelPacket::NAME, modelPacket::NAME_SIZE, "TX-90-TAVIX E");
    sendConfig(packet);
    EXPECT_BYTES(expected.str(), packet.str());
    EXPECT_EQ(0, state.selectedModel);
    EXPECT_EQ(0, state.currentModel);
    EXPECT_EQ(1, host.loadCalls);
}

TEST_F(ConfigEntryTest, chooseModelStartsAtTheStoredModel) {
    storeBlockFor(3);
    Packet packet(20);
    sendConfig(packet);
    EXPECT_EQ(std::string("Lumen Q1-TAVIX E") + std::string(16, '\0'),
              std::string(reinterpret_cast<char*>(packet.data() + modelPacket::NAME),
                          modelPacket::NAME_SIZE));
    EXPECT_EQ(3, state.currentModel);
    EXPECT_EQ(0, std::memcmp(host.stored, state.settings.bytes, 40));
}

TEST_F(ConfigEntryTest, aStoredModelIndexOutsideTheTableCountsAs0) {
    for (int32_t index : {5, -1, 1000}) {
        SCOPED_TRACE(index);
        host.install();
        writeI32(host.stored, 36, index);
        host.hasStored = true;
        Packet packet(20);
        sendConfig(packet);
        EXPECT_STREQ("TX-90-TAVIX E",
                     reinterpret_cast<const char*>(packet.data() + modelPacket::NAME));
        EXPECT_EQ(0, state.selectedModel);
        EXPECT_EQ(0, state.currentModel);
    }
}

TEST_F(ConfigEntryTest, fixedTables22And23And25) {
    Packet p22(22);
    Packet e22 = p22;
    writeI16(e22.data(), PACKET_STATUS, 0);
    writeI16(e22.data(), tablePacket::LENGTH, 262);
    writeI16(e22.data(), tablePacket::COUNT, 7);
    std::memset(e22.data() + tablePacket::TABLE, 0, 256);
    EXPECT_BYTES(e22.str(), sendConfig(p22).str());

    Packet p23(23);
    Packet e23 = p23;
    writeI16(e23.data(), PACKET_STATUS, 0);
    writeI16(e23.data(), tablePacket::LENGTH, 262);
    writeI16(e23.data(), tablePacket::COUNT, 255);
    std::memset(e23.data() + tablePacket::TABLE, 1, 256);
    EXPECT_BYTES(e23.str(), sendConfig(p23).str());

    Packet p25(25);
    Packet e25 = p25;
    writeI16(e25.data(), PACKET_STATUS, 0);
    writeI16(e25.data(), tablePacket::LENGTH, 262);
    writeI16(e25.data(), tablePacket::COUNT, 255);
    e25.bytes[tablePacket::TABLE] = 1;
    for (int i = 1; i < 256; ++i) e25.bytes[6 + i] = static_cast<uint8_t>(i);
    EXPECT_BYTES(e25.str(), sendConfig(p25).str());
}

TEST_F(ConfigEntryTest, capabilitiesReportJapaneseOnlyAfterLanguageSetUp) {
    Packet before(40);
    writeU32(before.data(), plotAreaPacket::OPTIONS, 0x12345678);
    Packet expected = before;
    writeI16(expected.data(), PACKET_STATUS, 0);
    expected.bytes[plotAreaPacket::JAPANESE] = 0;
    writeU32(expected.data(), plotAreaPacket::OPTIONS, 0x12345678 | 0x80000);
    expected.bytes[plotAreaPacket::ONE] = 1;
    expected.bytes[plotAreaPacket::ZERO] = 0;
    EXPECT_BYTES(expected.str(), sendConfig(before).str());

    testing::identifyAndSetLanguage("en");
    Packet after(40);
    writeU32(after.data(), plotAreaPacket::OPTIONS, 0);
    sendConfig(after);
    EXPECT_EQ(1, after.bytes[plotAreaPacket::JAPANESE]);
    EXPECT_EQ(0x80000u, readU32(after.data(), plotAreaPacket::OPTIONS));
    EXPECT_EQ(1, after.bytes[plotAreaPacket::ONE]);
    EXPECT_EQ(0, after.bytes[plotAreaPacket::ZERO]);
}

TEST_F(ConfigEntryTest, penWidthTable) {
    Packet packet(44);
    writeI16(packet.data(), penWidthsPacket::FIRST, 100);
    writeI16(packet.data(), penWidthsPacket::SECOND, 20);
    Packet expected = packet;
    writeI16(expected.data(), PACKET_STATUS, 0);
    writeI16(expected.data(), penWidthsPacket::SUM, 120);
    writeI32(expected.data(), penWidthsPacket::COUNT, 255);
    for (int i = 0; i < 256; ++i) writeF64(expected.data(), penWidthsPacket::WIDTHS + 8 * i, 0.01);
    sendConfig(packet);
    EXPECT_BYTES(expected.str(), packet.str());
    EXPECT_EQ(0xA5, packet.bytes[2064]);
}

TEST_F(ConfigEntryTest, saveStoresTheBlockForTheChosenModelAndWritesThePenFile) {
    state.selectedModel = 2;
    applySettingsDefaults();
    state.penTable[0].penWidth = 0.5f;
    Packet packet(47);
    Packet expected = packet;
    writeI16(expected.data(), PACKET_STATUS, 0);
    sendConfig(packet);
    EXPECT_BYTES(expected.str(), packet.str());
    EXPECT_EQ(2, readI32(host.stored, 36));
    EXPECT_EQ(0, std::memcmp(host.stored, state.settings.bytes, 40));
    std::string file = testing::readWholeFile(PEN_SETTINGS_FILE);
    EXPECT_EQ(0u, file.find("PenGray1=100\r\n"));
    EXPECT_NE(std::string::npos, file.find("\r\nLumenWide1=0.500\r\n"));
}

TEST_F(ConfigEntryTest, aFailedSaveShowsMessage75LatchesAndKeepsThePenFile) {
    testing::identifyAndSetLanguage();
    applySettingsDefaults();
    testing::writeWholeFile(PEN_SETTINGS_FILE, "previous");
    host.failSaveAtCall = 0;
    Packet packet(47);
    Packet expected = packet;
    writeI16(expected.data(), PACKET_STATUS, -1);
    sendConfig(packet);
    EXPECT_BYTES(expected.str(), packet.str());
    EXPECT_EQ(LATCH_CONFIG, state.errorLatch);
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_BYTES(expectedMessage("config情報を保存できません。 "), host.messages[0]);
    EXPECT_EQ("previous", testing::readWholeFile(PEN_SETTINGS_FILE));

    Packet version(11);
    writeI16(version.data(), releasePacket::RELEASE, 3);
    EXPECT_EQ(-1, sendConfig(version).status());
}

// A configuration run in a fresh process must not destroy the user's pen
// settings file: the stored block is kept at request 21, and the pen data
// comes from the file before request 47 writes it back.
TEST_F(ConfigEntryTest, aRunThatKeepsTheStoredBlockKeepsThePenFile) {
    storeBlockFor(0);
    applyPenDefaults();
    state.penTable[7].penWidth = 1.25f;
    state.penGrayList[7] = 33;
    std::strcpy(state.comment, "stamp comment");
    ASSERT_EQ(0, writePenSettingsFile());
    const std::string userFile = testing::readWholeFile(PEN_SETTINGS_FILE);

    host.install();  // a fresh process: pen data all zero
    host.hasStored = true;
    testing::identifyAndSetLanguage();
    Packet version(11);
    writeI16(version.data(), releasePacket::RELEASE, 3);
    sendConfig(version);
    Packet choose(20);
    sendConfig(choose);
    Packet device(21);
    writeI16(device.data(), devicePacket::WANTS_DEFAULTS, 0);
    EXPECT_EQ(0, sendConfig(device).status());
    EXPECT_EQ(1.25f, state.penTable[7].penWidth);
    EXPECT_STREQ("stamp comment", state.comment);
    Packet save(47);
    EXPECT_EQ(0, sendConfig(save).status());
    EXPECT_BYTES(userFile, testing::readWholeFile(PEN_SETTINGS_FILE));
}

TEST_F(ConfigEntryTest, aSaveWithoutDeviceInitialisationLeavesThePenFileAlone) {
    testing::writeWholeFile(PEN_SETTINGS_FILE, "the user's pens");
    testing::identifyAndSetLanguage();
    Packet choose(20);
    sendConfig(choose);
    Packet save(47);
    EXPECT_EQ(0, sendConfig(save).status());
    EXPECT_EQ(1, host.saveCalls);
    EXPECT_EQ("the user's pens", testing::readWholeFile(PEN_SETTINGS_FILE));
}

TEST_F(ConfigEntryTest, keepingTheStoredBlockDoesNotReloadLoadedPenData) {
    storeBlockFor(0);
    host.hasStored = true;
    applyPenDefaults();
    state.penTable[0].penWidth = 2.0f;  // edited in memory, not yet saved
    testing::writeWholeFile(PEN_SETTINGS_FILE, "unreadable");
    Packet choose(20);
    sendConfig(choose);
    Packet device(21);
    writeI16(device.data(), devicePacket::WANTS_DEFAULTS, 0);
    sendConfig(device);
    EXPECT_EQ(2.0f, state.penTable[0].penWidth);
}

}  // namespace
}  // namespace tavix
