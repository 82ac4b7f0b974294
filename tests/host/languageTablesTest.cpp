#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/languageTables.h"
#include "support/recordingHost.h"
#include "tavix/driverState.h"
#include "tavix/messages.h"
#include "tavix/tables.h"

namespace tavix {
namespace {

class LanguageTables : public ::testing::Test {
protected:
    void SetUp() override {
        host.install();
        std::memset(packet, 0, sizeof packet);
        packet[0] = 50;
        state.currentPacket = packet;
    }
    void setLanguage(const char* code, size_t n) { std::memcpy(packet + 8, code, n); }
    testing::RecordingHost host;
    uint8_t packet[64];
};

TEST_F(LanguageTables, anyHostLanguageGivesJapanese) {
    setLanguage("en", 3);
    EXPECT_FALSE(languageIsJapanese());
    loadLanguageTables();
    EXPECT_EQ(0, std::memcmp(state.languageCode, "ja\0\0\0\0\0\0\0", 9));
    EXPECT_TRUE(languageIsJapanese());
    EXPECT_EQ(0, state.languageIndex);
    EXPECT_EQ(0, std::memcmp(state.messages, japaneseMessages, sizeof state.messages));
    // The packet is not written.
    EXPECT_EQ(50, packet[0]);
    EXPECT_EQ('e', packet[8]);
}

TEST_F(LanguageTables, aLongLanguageCodeStaysInsideItsField) {
    setLanguage("abcdefghijklmnop", 16);
    state.languageIndex = 3;
    loadLanguageTables();
    EXPECT_STREQ("ja", state.languageCode);
    EXPECT_EQ(0, state.languageIndex);
}

TEST_F(LanguageTables, japaneseComparesWithTheTerminatingNul) {
    std::memcpy(state.languageCode, "jap", 4);
    EXPECT_FALSE(languageIsJapanese());
    std::memcpy(state.languageCode, "ja", 3);
    EXPECT_TRUE(languageIsJapanese());
}

TEST_F(LanguageTables, workingTablesAreCopiedWithTheTrayTableOfTheCurrentModel) {
    state.currentModel = 2;  // TX-30: three trays
    loadLanguageTables();
    EXPECT_EQ(0, std::memcmp(state.mediaTypeWork, mediaTypeTable, sizeof state.mediaTypeWork));
    EXPECT_EQ(0, std::memcmp(state.stampPlacementWork, stampPlacementTable,
                             sizeof state.stampPlacementWork));
    EXPECT_EQ(0, std::memcmp(state.lineEndWork, lineEndTable, sizeof state.lineEndWork));
    EXPECT_EQ(3, optionRowCount(state.trayWork));
    EXPECT_STREQ("Tray=Tray2\r\n", state.trayWork[2].ticketLine);

    // A later run follows the model now in use, and leaves no row of the
    // longer table behind when the model has fewer trays.
    state.currentModel = 4;
    loadLanguageTables();
    EXPECT_EQ(6, optionRowCount(state.trayWork));
    EXPECT_STREQ("Tray=SheetPaper\r\n", state.trayWork[5].ticketLine);
    state.currentModel = 2;
    loadLanguageTables();
    EXPECT_EQ(3, optionRowCount(state.trayWork));
    static const OptionRow zero = {};
    for (int i = 3; i <= TRAY_ROWS_MAX; ++i)
        EXPECT_EQ(0, std::memcmp(&zero, &state.trayWork[i], sizeof zero)) << i;
}

TEST_F(LanguageTables, metricPaperLabelsAfterLanguageSetUp) {
    const PaperSize& first = paperListFor(modelEntry(0))[0];
    EXPECT_STREQ(first.inchLabel, paperLabel(first));
    loadLanguageTables();
    EXPECT_STREQ(first.metricLabel, paperLabel(first));
}

}  // namespace
}  // namespace tavix
