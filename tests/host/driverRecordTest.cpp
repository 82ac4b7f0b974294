#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/hostAddress.h"
#include "support/recordingHost.h"
#include "tavix/driverRecord.h"
#include "tavix/driverState.h"
#include "tavix/entryPoints.h"
#include "tavix/hostServices.h"
#include "tavix/packet.h"

namespace tavix {
namespace {

const uint8_t* recordBytes(const DriverRecord* record) {
    return reinterpret_cast<const uint8_t*>(record);
}

TEST(DriverRecord, publishesEveryValueAtItsOffset) {
    testing::RecordingHost host;
    host.install();
    const uint8_t* r = recordBytes(DERIZ(host.table, 0));

    EXPECT_LE(std::strlen(reinterpret_cast<const char*>(r)), 80u);
    EXPECT_STREQ(DRIVER_BANNER, reinterpret_cast<const char*>(r));
    for (size_t i = std::strlen(DRIVER_BANNER); i < 410; ++i) ASSERT_EQ(0, r[i]) << i;

    EXPECT_EQ(reinterpret_cast<void*>(&ConfigEntry), hostPointer(readU32(r, 410)));
    EXPECT_EQ(reinterpret_cast<void*>(&PlotEntry), hostPointer(readU32(r, 414)));
    EXPECT_EQ(4, readI16(r, 418));
    for (int i = 420; i < 432; ++i) EXPECT_EQ(0, r[i]);
    EXPECT_EQ(3, readI16(r, 432));
    EXPECT_EQ(0, std::memcmp(r + 434, "$ACADPLNAME$\0\0\0", 15));
    EXPECT_EQ(0, std::memcmp(r + 449, "Microsoft Windows Win32\0\0\0\0\0\0\0\0\0", 32));
    EXPECT_EQ(6, readI16(r, 481));
    EXPECT_EQ(0, std::memcmp(r + 483, "14.0-1", 7));
    for (int i = 489; i < 504; ++i) EXPECT_EQ(0, r[i]);
}

TEST(DriverRecord, modelTableRows) {
    struct Row {
        const char* name;
        int16_t optionOutput, reservedFlag, hpglLevel;
    } rows[] = {{"TX-90-TAVIX E", 1, 1, 2},
                {"TX-70-TAVIX E", 1, 1, 2},
                {"TX-30-TAVIX E", 1, 1, 2},
                {"Lumen Q1-TAVIX E", 1, 0, 2},
                {"TX Series TAVIX E", 1, 1, 2}};
    testing::RecordingHost host;
    host.install();
    const uint8_t* r = recordBytes(DERIZ(host.table, 0));
    for (int i = 0; i < 5; ++i) {
        const uint8_t* row = r + 504 + 38 * i;
        char name[33] = {};
        std::memcpy(name, row, 32);
        EXPECT_STREQ(rows[i].name, name);
        for (size_t k = std::strlen(rows[i].name); k < 32; ++k) EXPECT_EQ(0, row[k]);
        EXPECT_EQ(rows[i].optionOutput, readI16(row, 32));
        EXPECT_EQ(rows[i].reservedFlag, readI16(row, 34));
        EXPECT_EQ(rows[i].hpglLevel, readI16(row, 36));
    }
}

TEST(DriverRecord, modelNamesCompareWithTheirTerminatingNul) {
    const ModelEntry& tx90 = driverRecord.models[0];
    EXPECT_TRUE(modelNameEquals(tx90, MODEL_TX90));
    EXPECT_FALSE(modelNameEquals(tx90, "TX-90-TAVIX"));
    EXPECT_FALSE(modelNameEquals(tx90, "TX-90-TAVIX E2"));
    ModelEntry longer = tx90;
    std::strcpy(longer.name, "TX-90-TAVIX E extra");
    EXPECT_FALSE(modelNameEquals(longer, MODEL_TX90));
    EXPECT_FALSE(modelNameEquals(tx90, "a name longer than the thirty-two byte name field"));
}

TEST(Deriz, aSecondTableReplacesTheFirstAndTheRecordStays) {
    testing::RecordingHost first;
    first.install();
    DriverRecord* a = DERIZ(first.table, 0);
    testing::RecordingHost second;
    second.install();  // calls DERIZ with the second table
    DriverRecord* b = DERIZ(second.table, 0xDEADBEEF);  // the second argument is not read
    EXPECT_EQ(a, b);
    hostShowMessage("\n%s\n", "hello");
    EXPECT_TRUE(first.messages.empty());
    ASSERT_EQ(1u, second.messages.size());
    EXPECT_EQ("\nhello\n", second.messages[0]);
}

TEST(HostServices, showMessageCutsAtTheBufferSize) {
    testing::RecordingHost host;
    host.install();
    std::string longText(5000, 'm');
    hostShowMessage("\n%s\n", longText.c_str());
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_EQ(MESSAGE_BUFFER_SIZE - 1, static_cast<int>(host.messages[0].size()));
    EXPECT_EQ('\n', host.messages[0][0]);
}

TEST(HostServices, wrappersPassTheirConstants) {
    testing::RecordingHost host;
    host.install();
    EXPECT_NE(0, hostWriteOutput(3, "abc"));
    EXPECT_EQ("abc", host.output);
    uint8_t block[40] = {1, 2, 3};
    EXPECT_EQ(0, hostSaveSettings(block));
    EXPECT_EQ(1, host.stored[0]);
    uint8_t loaded[40] = {};
    EXPECT_EQ(0, hostLoadSettings(loaded));
    EXPECT_EQ(3, loaded[2]);
    EXPECT_EQ(42, hostExchangeValue(30, 1));
    EXPECT_EQ((std::pair<int, int>(30, 1)), host.exchangeCalls.at(0));
    hostSendDeviceControl("\x1b.R");
    EXPECT_EQ("\x1b.R", host.deviceControls.at(0));
}

TEST(HostServices, noTableMeansARefusingHost) {
    testing::RecordingHost host;
    host.install();
    const uint8_t* saved = state.hostServices;
    state.hostServices = nullptr;
    EXPECT_EQ(0, hostWriteOutput(1, "x"));
    uint8_t block[40];
    EXPECT_NE(0, hostLoadSettings(block));
    EXPECT_NE(0, hostSaveSettings(block));
    hostShowMessage("%s", "dropped");
    state.hostServices = saved;
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace tavix
