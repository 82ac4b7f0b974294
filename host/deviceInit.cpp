// Request 21: device initialisation. Settles which settings are in force,
// runs the device setting dialog and tells the host the plot area, the
// resolution and the serial-line values. The margin, plot-area and
// resolution rules are shared with the plot entry's set-up.
//
// The reply's layout is in requestPackets.h.
#include <cstring>

#include "dialogs/launchers.h"
#include "host/deviceInit.h"
#include "tavix/driverState.h"
#include "tavix/hostServices.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"
#include "settings/settingsDefaults.h"
#include "tavix/tables.h"

namespace tavix {
namespace {

// Row 0 with the plot margin on, row 1 with it off; indices 0 and 1 apply
// to the paper's W side, 2 and 3 to its H side.
constexpr double hostMarginTable[2][4] = {{0.197, 0.197, 0.197, 0.197}, {0, 0, 0, 0}};
constexpr double deviceMarginTable[2][4] = {{0.197, 0.197, 0.197, 0.197}, {0, 0, 0, 0}};
constexpr double offsetMarginTable[2][4] = {{0, 0, 0, 0}, {0, 0, 0, 0}};

// Stored settings or defaults: defaults when the host asks for them, when
// the block in memory was made for another model, or when the host has no
// block; else the stored block, checked before it is trusted.
void settleSettings(bool hostWantsDefaults) {
    if (hostWantsDefaults || state.currentModel != state.settings.modelIndex()) {
        applySettingsDefaults();
        return;
    }
    PlotSettings loaded;
    std::memcpy(&loaded, &state.settings, sizeof loaded);
    if (hostLoadSettings(loaded.bytes) != 0 || loaded.modelIndex() != state.currentModel) {
        applySettingsDefaults();
        return;
    }
    state.settings = loaded;
    bringIndicesIntoRange();
    // A fresh process has no pen data yet; saving at request 47 would
    // otherwise write all-zero pens over the user's pen settings file.
    if (!state.penDataValid) loadPenSettingsOrDefaults();
}

}  // namespace

void selectMargins() {
    int row = state.settings.get(flags::plotMargin) ? 0 : 1;
    std::memcpy(state.hostMargins, hostMarginTable[row], sizeof state.hostMargins);
    std::memcpy(state.deviceMargins, deviceMarginTable[row], sizeof state.deviceMargins);
    std::memcpy(state.offsetMargins, offsetMarginTable[row], sizeof state.offsetMargins);
}

void bringPaperSizeIntoRange() {
    int count = paperCount(paperListFor(currentModelEntry()));
    int32_t size = state.settings.paperSize();
    if (size < 1 || size > count) state.settings.setPaperSize(1);
}

const PaperSize& chosenPaper() {
    bringPaperSizeIntoRange();
    return paperListFor(currentModelEntry())[state.settings.paperSize() - 1];
}

PlotArea plotAreaFor(const PaperSize& paper) {
    const double w = paper.width;
    const double h = paper.height;
    const double* m = state.hostMargins;
    const double* d = state.deviceMargins;
    if (w > h) return {w - m[1] - m[0], h - m[3] - m[2], w - d[1] - d[0], h - d[3] - d[2], true};
    return {h - m[3] - m[2], w - m[1] - m[0], h - d[3] - d[2], w - d[1] - d[0], false};
}

PlotArea chosenPaperArea() {
    PlotArea area = plotAreaFor(chosenPaper());
    state.settings.set(flags::landscapePaper, area.landscape);
    state.paperPortrait = area.landscape ? 0 : 1;
    return area;
}

int32_t resolutionDivisor(double width, double height) {
    // Each threshold accepts equality: 129 inches still get divisor 2. At
    // divisor 1, 64.5 inches are 65532 steps.
    if (width <= 64.5 && height <= 64.5) return 1;
    if (width <= 129.0 && height <= 129.0) return 2;
    if (width <= 258.0 && height <= 258.0) return 4;
    if (width <= 516.0 && height <= 516.0) return 8;
    return 16;
}

int initialiseDevice() {
    using namespace devicePacket;
    uint8_t* packet = state.currentPacket;

    settleSettings(readI16(packet, WANTS_DEFAULTS) == 1);
    bringPaperSizeIntoRange();  // the dialog shows the chosen paper

    // The serial line: port kind, speed, parity, data and stop bits.
    writeI16(packet, FIELD_2315, 2315);
    writeI16(packet, PORT_KIND, state.settings.get(flags::serialHandshake) ? 1 : 2);
    writeI16(packet, STOP_BITS, 1);
    writeI16(packet, PARITY, 0);
    writeI16(packet, DATA_BITS, 8);
    writeI16(packet, LINE_SPEED, 9600);
    writeU8(packet, LAST_BYTE, 0);

    // The user may change the paper, the margin and the rest here; what is
    // in force when the dialog closes is what the host is told.
    showDeviceDialogAtConfig();

    writeI16(packet, LENGTH, REPLY_LENGTH);
    selectMargins();

    PlotArea area = chosenPaperArea();
    writeF64(packet, AREA_X, area.x);
    writeF64(packet, AREA_Y, area.y);
    state.deviceWidth = area.deviceWidth;
    state.deviceHeight = area.deviceHeight;

    state.plotWidth = readF64(packet, AREA_X);
    state.plotHeight = readF64(packet, AREA_Y);
    state.scaleDivisor = resolutionDivisor(state.plotWidth, state.plotHeight);
    double steps = PLOTTER_UNITS_PER_INCH / state.scaleDivisor;
    writeF64(packet, STEPS_X, steps);
    writeF64(packet, STEPS_Y, steps);
    state.stepsPerInchX = steps;
    state.stepsPerInchY = steps;

    writeI16(packet, FIELD_255, 255);
    writeI16(packet, FIELD_1, 1);
    writeI16(packet, FIELD_7, 7);
    return 0;
}

}  // namespace tavix
