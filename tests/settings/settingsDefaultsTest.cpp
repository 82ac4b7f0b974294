#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tavix/penSettingsFile.h"
#include "support/recordingHost.h"
#include "support/scratchDirectory.h"
#include "tavix/driverState.h"
#include "settings/settingsDefaults.h"

namespace tavix {
namespace {

class SettingsDefaults : public ::testing::Test {
protected:
    void SetUp() override {
        host.install();
        // Bytes the defaults must not touch keep this pattern.
        std::memset(state.settings.bytes, 0xEE, sizeof state.settings.bytes);
    }

    // The 40 bytes the defaults give for a model's density and flag byte C.
    std::string expectedBlock(int16_t density, uint8_t flagsC) {
        uint8_t b[40];
        std::memset(b, 0xEE, sizeof b);
        writeI32(b, 0, 1);   // copies
        writeI32(b, 4, 1);   // paperSize
        b[8] = 0x70;         // fillStyle, eightBitEncoding, centering
        b[9] = 0x00;
        b[10] = flagsC;
        b[11] = 0x00;
        writeI16(b, 12, 0);  // mediaType
        writeI16(b, 14, 0);
        writeI16(b, 16, 0);  // stampPosition
        writeI16(b, 18, 4);  // stampFontSize: 12 points
        writeI16(b, 20, 3);  // lineEnd: rounded
        writeI16(b, 22, 0);  // tray
        writeI16(b, 24, density);
        writeF32(b, 28, 0.0f);
        writeF32(b, 32, 0.0f);
        return std::string(reinterpret_cast<char*>(b), sizeof b);
    }

    std::string block() {
        return std::string(reinterpret_cast<const char*>(state.settings.bytes), 40);
    }

    testing::ScratchDirectory scratch;
    testing::RecordingHost host;
};

TEST_F(SettingsDefaults, perModelDensityAndFlagByteC) {
    struct Case {
        int model;
        int16_t density;
        uint8_t flagsC;
    } cases[] = {{0, 15, 0x03}, {1, 15, 0x03}, {2, 16, 0x03}, {3, 15, 0x02}, {4, 20, 0x03}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        std::memset(state.settings.bytes, 0xEE, sizeof state.settings.bytes);
        state.selectedModel = c.model;
        applySettingsDefaults();
        // modelIndex (36..39) and the reserved field at 26 keep what they had.
        EXPECT_BYTES(expectedBlock(c.density, c.flagsC), block());
    }
}

TEST_F(SettingsDefaults, namedFlagsOfTheTx30Defaults) {
    state.selectedModel = 2;
    applySettingsDefaults();
    const PlotSettings& s = state.settings;
    EXPECT_TRUE(s.get(flags::fillStyle));
    EXPECT_TRUE(s.get(flags::eightBitEncoding));
    EXPECT_TRUE(s.get(flags::centering));
    EXPECT_FALSE(s.get(flags::serialHandshake));
    EXPECT_FALSE(s.get(flags::mirror));
    EXPECT_TRUE(s.get(flags::outputOption));
    EXPECT_TRUE(s.get(flags::plotMargin));
    EXPECT_FALSE(s.get(flags::colorMode));
    EXPECT_FALSE(s.get(flags::landscapePaper));
    EXPECT_EQ(16, s.density());
}

TEST_F(SettingsDefaults, loadThePenFileOrTheirOwnDefaults) {
    applySettingsDefaults();
    EXPECT_TRUE(state.penDataValid);
    EXPECT_EQ(0.254f, state.penTable[254].penWidth);
    EXPECT_EQ(100, state.penGrayList[0]);

    // With a pen settings file, its pens.
    state.penTable[3].penWidth = 1.5f;
    state.penGrayList[3] = 12;
    std::strcpy(state.drawName, "kept");
    ASSERT_EQ(0, writePenSettingsFile());
    host.install();
    applySettingsDefaults();
    EXPECT_EQ(1.5f, state.penTable[3].penWidth);
    EXPECT_EQ(12, state.penGrayList[3]);
    EXPECT_STREQ("kept", state.drawName);
}

TEST_F(SettingsDefaults, penDefaults) {
    std::memset(state.comment, 'x', sizeof state.comment);
    std::memset(state.drawName, 'y', sizeof state.drawName);
    applyPenDefaults();
    for (int i = 0; i < PEN_COUNT; ++i) {
        ASSERT_EQ(100, state.penGrayList[i]);
        ASSERT_EQ(0.254f, state.penTable[i].penWidth);
        ASSERT_EQ(100, state.penTable[i].penGray);
    }
    for (char c : state.comment) ASSERT_EQ('\0', c);
    for (char c : state.drawName) ASSERT_EQ('\0', c);
    EXPECT_TRUE(state.penDataValid);
}

TEST_F(SettingsDefaults, indicesOutsideTheirTablesTakeTheirDefaults) {
    state.selectedModel = state.currentModel = 2;  // TX-30: trays 0 to 2
    applySettingsDefaults();
    PlotSettings& s = state.settings;
    s.setTray(2);
    s.setMediaType(3);
    s.setStampPosition(8);
    s.setStampFontSize(15);
    s.setLineEnd(0);
    bringIndicesIntoRange();
    EXPECT_EQ(2, s.tray());
    EXPECT_EQ(3, s.mediaType());
    EXPECT_EQ(8, s.stampPosition());
    EXPECT_EQ(15, s.stampFontSize());
    EXPECT_EQ(0, s.lineEnd());

    s.setTray(3);
    s.setMediaType(4);
    s.setStampPosition(-1);
    s.setStampFontSize(16);
    s.setLineEnd(4);
    bringIndicesIntoRange();
    EXPECT_EQ(0, s.tray());
    EXPECT_EQ(0, s.mediaType());
    EXPECT_EQ(0, s.stampPosition());
    EXPECT_EQ(4, s.stampFontSize());
    EXPECT_EQ(3, s.lineEnd());

    state.currentModel = 4;  // six trays: SheetPaper is 5
    s.setTray(5);
    bringIndicesIntoRange();
    EXPECT_EQ(5, s.tray());
}

}  // namespace
}  // namespace tavix
