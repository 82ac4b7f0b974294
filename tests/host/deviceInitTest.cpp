#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/host/configTestSupport.h"
#include "host/deviceInit.h"
#include "support/recordingHost.h"
#include "support/scratchDirectory.h"
#include "support/testSeams.h"
#include "tavix/driverState.h"
#include "tavix/requestPackets.h"
#include "settings/settingsDefaults.h"
#include "tavix/tables.h"

namespace tavix {
namespace {

using testing::Packet;
using testing::sendConfig;

class DeviceInit : public ::testing::Test {
protected:
    void SetUp() override { host.install(); }

    // Stores a block for `model` with the defaults changed by `edit`, and
    // makes `model` the chosen one, as requests 47 and 20 would.
    template <typename Edit>
    void storeAndChoose(int model, Edit edit) {
        state.selectedModel = model;
        applySettingsDefaults();
        state.settings.setModelIndex(model);
        edit(state.settings);
        std::memcpy(host.stored, state.settings.bytes, 40);
        host.hasStored = true;
        state.selectedModel = state.currentModel = model;
    }

    Packet run(int16_t useDefaults = 0) {
        Packet packet(21);
        writeI16(packet.data(), devicePacket::WANTS_DEFAULTS, useDefaults);
        sendConfig(packet);
        return packet;
    }

    // The whole reply for a plot area, a divisor and a port kind.
    std::string expectedReply(double x, double y, int divisor, int16_t portKind,
                              int16_t useDefaults = 0) {
        Packet e(21);
        writeI16(e.data(), devicePacket::WANTS_DEFAULTS, useDefaults);
        writeI16(e.data(), PACKET_STATUS, 0);
        writeI16(e.data(), devicePacket::LENGTH, 59);
        writeF64(e.data(), devicePacket::AREA_X, x);
        writeF64(e.data(), devicePacket::AREA_Y, y);
        writeF64(e.data(), devicePacket::STEPS_X, 1016.0 / divisor);
        writeF64(e.data(), devicePacket::STEPS_Y, 1016.0 / divisor);
        writeI16(e.data(), devicePacket::FIELD_2315, 2315);
        writeI16(e.data(), devicePacket::FIELD_255, 255);
        writeI16(e.data(), devicePacket::FIELD_1, 1);
        writeI16(e.data(), devicePacket::FIELD_7, 7);
        writeI16(e.data(), devicePacket::PORT_KIND, portKind);
        writeI16(e.data(), devicePacket::LINE_SPEED, 9600);
        writeI16(e.data(), devicePacket::PARITY, 0);
        writeI16(e.data(), devicePacket::DATA_BITS, 8);
        writeI16(e.data(), devicePacket::STOP_BITS, 1);
        e.bytes[devicePacket::LAST_BYTE] = 0;
        return e.str();
    }

    testing::ScratchDirectory scratch;
    testing::TestSeams seams;
    testing::RecordingHost host;
};

constexpr double M = 0.197;

TEST_F(DeviceInit, archEWithMargin) {
    storeAndChoose(0, [](PlotSettings&) {});
    Packet reply = run();
    EXPECT_BYTES(expectedReply(48 - M - M, 36 - M - M, 1, 2), reply.str());
    EXPECT_NEAR(47.606, readF64(reply.data(), devicePacket::AREA_X), 1e-12);
    EXPECT_NEAR(35.606, readF64(reply.data(), devicePacket::AREA_Y), 1e-12);
    EXPECT_EQ(1, state.scaleDivisor);
    EXPECT_EQ(1016.0, state.stepsPerInchX);
    EXPECT_EQ(1016.0, state.stepsPerInchY);
    EXPECT_TRUE(state.settings.get(flags::landscapePaper));
    EXPECT_EQ(0, state.paperPortrait);
    EXPECT_EQ(readF64(reply.data(), devicePacket::AREA_X), state.plotWidth);
    EXPECT_EQ(readF64(reply.data(), devicePacket::AREA_Y), state.plotHeight);
    EXPECT_EQ(48 - M - M, state.deviceWidth);
    EXPECT_EQ(36 - M - M, state.deviceHeight);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(M, state.hostMargins[i]);
        EXPECT_EQ(M, state.deviceMargins[i]);
        EXPECT_EQ(0.0, state.offsetMargins[i]);
    }
}

TEST_F(DeviceInit, archEWithoutMargin) {
    storeAndChoose(0, [](PlotSettings& s) { s.set(flags::plotMargin, false); });
    EXPECT_BYTES(expectedReply(48, 36, 1, 2), run().str());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(0.0, state.hostMargins[i]);
}

TEST_F(DeviceInit, longPlot129KeepsDivisor2WithAndWithoutMargin) {
    storeAndChoose(0, [](PlotSettings& s) { s.setPaperSize(22); });
    Packet reply = run();
    EXPECT_BYTES(expectedReply(129 - M - M, 36 - M - M, 2, 2), reply.str());
    EXPECT_NEAR(128.606, readF64(reply.data(), devicePacket::AREA_X), 1e-12);
    EXPECT_EQ(508.0, readF64(reply.data(), devicePacket::STEPS_X));

    storeAndChoose(0, [](PlotSettings& s) {
        s.setPaperSize(22);
        s.set(flags::plotMargin, false);
    });
    EXPECT_BYTES(expectedReply(129, 36, 2, 2), run().str());
}

TEST_F(DeviceInit, maxPaperGetsDivisor16) {
    storeAndChoose(0, [](PlotSettings& s) { s.setPaperSize(25); });
    Packet reply = run();
    EXPECT_BYTES(expectedReply(600 - M - M, 36 - M - M, 16, 2), reply.str());
    EXPECT_EQ(63.5, readF64(reply.data(), devicePacket::STEPS_X));
    EXPECT_EQ(16, state.scaleDivisor);
}

TEST_F(DeviceInit, squareAndTallPapersPutXAlongTheLongerSide) {
    static const PaperSize papers[PAPER_ROWS] = {{"SQUARE", "SQUARE", 30, 30},
                                                 {"TALL", "TALL", 24, 36}};
    activeTables.paperList = [](const ModelEntry&) { return &papers[0]; };

    storeAndChoose(0, [](PlotSettings& s) { s.set(flags::landscapePaper, true); });
    EXPECT_BYTES(expectedReply(30 - M - M, 30 - M - M, 1, 2), run().str());
    EXPECT_EQ(1, state.paperPortrait);
    EXPECT_FALSE(state.settings.get(flags::landscapePaper));

    // W 24, H 36, margins apart so that the sides cannot be mixed up.
    storeAndChoose(0, [](PlotSettings& s) { s.setPaperSize(2); });
    Packet reply = run();
    EXPECT_BYTES(expectedReply(36 - M - M, 24 - M - M, 1, 2), reply.str());
    EXPECT_EQ(1, state.paperPortrait);
    EXPECT_EQ(36 - M - M, state.deviceWidth);
    EXPECT_EQ(24 - M - M, state.deviceHeight);

    state.hostMargins[0] = 1;
    state.hostMargins[1] = 2;
    state.hostMargins[2] = 3;
    state.hostMargins[3] = 4;
    PlotArea tall = plotAreaFor(papers[1]);
    EXPECT_EQ(36.0 - 4 - 3, tall.x);
    EXPECT_EQ(24.0 - 2 - 1, tall.y);
    EXPECT_FALSE(tall.landscape);
    PlotArea wide = plotAreaFor(shippedPaperList(modelEntry(0))[0]);
    EXPECT_EQ(48.0 - 2 - 1, wide.x);
    EXPECT_EQ(36.0 - 4 - 3, wide.y);
    EXPECT_TRUE(wide.landscape);
}

TEST_F(DeviceInit, serialPortKind) {
    storeAndChoose(0, [](PlotSettings& s) { s.set(flags::serialHandshake, true); });
    EXPECT_BYTES(expectedReply(48 - M - M, 36 - M - M, 1, 1), run().str());
    storeAndChoose(0, [](PlotSettings&) {});
    EXPECT_EQ(2, readI16(run().data(), 48));
}

TEST_F(DeviceInit, theHostCanAskForDefaults) {
    storeAndChoose(0, [](PlotSettings& s) {
        s.setPaperSize(22);
        s.setDensity(40);
        s.set(flags::serialHandshake, true);
    });
    EXPECT_BYTES(expectedReply(48 - M - M, 36 - M - M, 1, 2, 1), run(1).str());
    EXPECT_EQ(15, state.settings.density());
    EXPECT_EQ(0, host.loadCalls);
}

TEST_F(DeviceInit, aBlockForAnotherModelGivesTheNewModelsDefaults) {
    storeAndChoose(0, [](PlotSettings& s) { s.setDensity(40); });
    state.selectedModel = state.currentModel = 2;  // the user picked the TX-30
    Packet reply = run();
    EXPECT_EQ(16, state.settings.density());
    EXPECT_EQ(0x70, state.settings.flagByte(0));
    EXPECT_EQ(0x03, state.settings.flagByte(2));
    // ARCH D is the first paper of the 24-inch list.
    EXPECT_EQ(36 - M - M, readF64(reply.data(), devicePacket::AREA_X));
    EXPECT_EQ(24 - M - M, readF64(reply.data(), devicePacket::AREA_Y));
    EXPECT_EQ(0, host.loadCalls);
}

TEST_F(DeviceInit, aFailedLoadGivesDefaultsSilently) {
    storeAndChoose(0, [](PlotSettings& s) { s.setDensity(40); });
    host.failLoadAtCall = 0;
    EXPECT_EQ(0, run().status());
    EXPECT_EQ(15, state.settings.density());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(state.penDataValid);
}

TEST_F(DeviceInit, theStoredBlockIsKept) {
    storeAndChoose(3, [](PlotSettings& s) {
        s.setDensity(40);
        s.setCopies(7);
        s.setPaperSize(17);
    });
    std::memset(state.settings.bytes, 0, 36);  // memory differs from the store
    Packet reply = run();
    EXPECT_EQ(40, state.settings.density());
    EXPECT_EQ(7, state.settings.copies());
    EXPECT_EQ(17, state.settings.paperSize());
    EXPECT_EQ(600 - M - M, readF64(reply.data(), devicePacket::AREA_X));
    EXPECT_EQ(63.5, readF64(reply.data(), devicePacket::STEPS_X));
}

TEST_F(DeviceInit, aPaperSizeOutsideTheListBecomes1) {
    for (int32_t size : {18, 0, -4, 1 << 30}) {
        SCOPED_TRACE(size);
        storeAndChoose(2, [size](PlotSettings& s) { s.setPaperSize(size); });
        Packet reply = run();
        EXPECT_EQ(1, state.settings.paperSize());
        EXPECT_EQ(36 - M - M, readF64(reply.data(), devicePacket::AREA_X));  // ARCH D
    }
    // 17 is the last paper of the TX-30.
    storeAndChoose(2, [](PlotSettings& s) { s.setPaperSize(17); });
    run();
    EXPECT_EQ(17, state.settings.paperSize());
}

TEST_F(DeviceInit, aTrayBeyondTheModelsTableBecomesAutomatic) {
    storeAndChoose(2, [](PlotSettings& s) {
        s.setTray(5);
        s.setMediaType(9);
    });
    run();
    EXPECT_EQ(0, state.settings.tray());
    EXPECT_EQ(0, state.settings.mediaType());
}

TEST(ResolutionDivisor, thresholdsAcceptEquality) {
    struct Case {
        double w, h;
        int divisor;
    } cases[] = {{64.5, 64.5, 1},  {64.51, 10, 2},  {10, 64.51, 2},  {129, 129, 2},
                 {129.001, 1, 4},  {258, 36, 4},    {258.5, 36, 8},  {516, 516, 8},
                 {516.01, 36, 16}, {600, 36, 16},   {0, 0, 1},       {47.606, 35.606, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(c.divisor, resolutionDivisor(c.w, c.h)) << c.w << " x " << c.h;
}

TEST(SelectMargins, followThePlotMarginFlag) {
    testing::RecordingHost host;
    host.install();
    state.settings.set(flags::plotMargin, true);
    selectMargins();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(0.197, state.hostMargins[i]);
    state.settings.set(flags::plotMargin, false);
    selectMargins();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(0.0, state.hostMargins[i]);
        EXPECT_EQ(0.0, state.deviceMargins[i]);
    }
}

}  // namespace
}  // namespace tavix
