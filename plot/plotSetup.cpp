// Plot set-up: loading the settings (code 29) and settling the plot area
// (codes 46, 47, 48).
//
// PlotAreaRecord, the packet of codes 46 to 48, is laid out in
// requestPackets.h.
#include <cstring>

#include "dialogs/launchers.h"
#include "host/configEntry.h"
#include "host/deviceInit.h"
#include "plot/plotSetup.h"
#include "tavix/penSettingsFile.h"
#include "tavix/driverState.h"
#include "runtime/hostNumbers.h"
#include "tavix/hostServices.h"
#include "tavix/messageSlots.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"
#include "settings/settingsDefaults.h"
#include "tavix/tables.h"

namespace tavix {
namespace {

constexpr int16_t LOWEST_HOST_RELEASE = 3;

// Device area of the whole paper less the device margins.
void deviceFromPaper(const PlotArea& a) {
    state.deviceWidth = a.deviceWidth;
    state.deviceHeight = a.deviceHeight;
}

// Device area of a requested plot area plus the offset margins.
void deviceFromRequest(bool wide, double width, double height) {
    const double* o = state.offsetMargins;
    if (wide) {
        state.deviceWidth = width + o[1] + o[0];
        state.deviceHeight = height + o[3] + o[2];
    } else {
        state.deviceWidth = width + o[3] + o[2];
        state.deviceHeight = height + o[1] + o[0];
    }
}

void markMaximum(uint8_t* record) {
    std::memcpy(record + plotAreaPacket::MAX_MARK, "MAX", 4);
}

}  // namespace

void loadPlotSettings(uint8_t* packet) {
    if (state.errorLatch != 0) return refuseRequest(packet);
    writeI16(packet, PACKET_STATUS, 0);
    if (readI16(packet, releasePacket::RELEASE) < LOWEST_HOST_RELEASE)
        return failConfiguration(packet, MSG_WRONG_RELEASE);

    // The block is taken only when the host says it delivered it.
    PlotSettings loaded = state.settings;
    if (hostLoadSettings(loaded.bytes) != 0) return failConfiguration(packet, MSG_CANNOT_GET);
    state.settings = loaded;
    loadPenSettingsOrDefaults();

    state.currentModel = state.settings.modelIndex();
    // A stored count outside 1..999 plots one copy.
    int32_t copies = state.settings.copies();
    if (copies > 999 || copies < 1) state.settings.setCopies(1);
    state.copiesToPlot = state.settings.copies();

    writeI16(packet, releasePacket::RELEASE, 3);
    writeI16(packet, releasePacket::ZERO, 0);
    state.hostWindow = readU32(packet, releasePacket::HOST_WINDOW);
}

void configurePlot(uint8_t* packet) {
    using namespace plotAreaPacket;
    if (state.errorLatch != 0) return refuseRequest(packet);
    writeI16(packet, PACKET_STATUS, 0);

    uint8_t record[SIZE];
    std::memcpy(record, packet, sizeof record);
    state.hostOptions = readU32(record, OPTIONS);
    record[ONE] = 1;
    record[ZERO] = 0;

    showDeviceDialogAtPlot();
    selectMargins();
    PlotArea a = chosenPaperArea();
    deviceFromPaper(a);
    writeF64(record, WIDTH, a.x);
    writeF64(record, HEIGHT, a.y);
    writeF64(record, MAX_WIDTH, a.x);
    writeF64(record, MAX_HEIGHT, a.y);
    state.plotWidth = a.x;
    state.plotHeight = a.y;

    state.scaleDivisor = resolutionDivisor(state.plotWidth, state.plotHeight);
    double steps = PLOTTER_UNITS_PER_INCH / state.scaleDivisor;
    writeF64(record, UNITS_X, steps);
    writeF64(record, UNITS_Y, steps);
    state.stepsPerInchX = state.stepsPerInchY = steps;
    markMaximum(record);

    std::memcpy(packet, record, sizeof record);
    writeI16(packet, PACKET_STATUS, REPLY);

    // The block is saved for the model it was loaded for: modelIndex is
    // the stored one, not the configuration run's selection.
    if (hostSaveSettings(state.settings.bytes) != 0)
        return failConfiguration(packet, MSG_CANNOT_SAVE);
    writePenSettingsFile();
}

void setPlotArea(uint8_t* packet) {
    using namespace plotAreaPacket;
    if (state.errorLatch != 0) return refuseRequest(packet);
    selectMargins();
    const PaperSize& paper = chosenPaper();
    double width = hostDouble(packet, WIDTH, 0);
    double height = hostDouble(packet, HEIGHT, 0);
    deviceFromRequest(paper.width > paper.height, width, height);
    state.plotWidth = width;
    state.plotHeight = height;
    packet[ONE] = 1;
    state.hostOptions = readU32(packet, OPTIONS);
}

void queryPlotArea(uint8_t* packet) {
    using namespace plotAreaPacket;
    if (state.errorLatch != 0) return refuseRequest(packet);
    writeI16(packet, PACKET_STATUS, 0);
    state.hostOptions = readU32(packet, OPTIONS);
    // The paper list is built once after each initialise.
    if (state.firstQuery != 1) return;
    state.firstQuery = 0;

    // Metric labels in Japanese, inch labels otherwise.
    const PaperSize* papers = paperListFor(currentModelEntry());
    state.paperCount = paperCount(papers);
    for (int i = 0; i < state.paperCount; ++i) {
        std::memcpy(state.paperLabels[i], paperLabel(papers[i]), PAPER_LABEL_SIZE - 1);
        state.paperLabels[i][PAPER_LABEL_SIZE - 1] = '\0';
    }

    packet[ONE] = 1;
    packet[ZERO] = 0;
    int32_t paperSize = state.settings.paperSize();
    if (paperSize > state.paperCount || paperSize < 1) state.settings.setPaperSize(1);

    selectMargins();
    PlotArea a = chosenPaperArea();
    writeF64(packet, MAX_WIDTH, a.x);
    writeF64(packet, MAX_HEIGHT, a.y);
    state.scaleDivisor = resolutionDivisor(a.x, a.y);

    double width = hostDouble(packet, WIDTH, 0);
    double height = hostDouble(packet, HEIGHT, 0);
    if (a.x > width || a.y > height) {
        deviceFromRequest(a.landscape, width, height);
    } else {
        // A request of at least the maximum both ways gets the maximum.
        width = a.x;
        height = a.y;
        writeF64(packet, WIDTH, width);
        writeF64(packet, HEIGHT, height);
        markMaximum(packet);
        deviceFromPaper(a);
    }
    state.plotWidth = width;
    state.plotHeight = height;
    double defaultSteps = PLOTTER_UNITS_PER_INCH / state.scaleDivisor;
    state.stepsPerInchX = hostDouble(packet, UNITS_X, defaultSteps);
    state.stepsPerInchY = hostDouble(packet, UNITS_Y, defaultSteps);
    writeI16(packet, PACKET_STATUS, REPLY);
}

}  // namespace tavix
