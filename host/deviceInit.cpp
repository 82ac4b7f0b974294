// Request 21: device initialisation. Settles which settings are in force,
// runs the device setting dialog and tells the host the plot area, the
// resolution and the serial-line values. The margin, plot-area and
// resolution rules are shared with the plot entry's set-up.
//
// Reply (byte offsets, little-endian):
//   0   int16   0 (written by the dispatcher: always succeeds)
//   2   int16   59, the length of the reply
//   8   double  plot-area X extent, inches
//   16  double  plot-area Y extent, inches
//   24  double  steps per inch on X: 1016 / scaleDivisor
//   32  double  steps per inch on Y: the same
//   40  int16   2315
//   42  int16   255
//   44  int16   1
//   46  int16   7
//   48  int16   port kind: 1 serial (serialHandshake), 2 otherwise
//   50  int16   9600, line speed
//   52  int16   0, parity
//   54  int16   8, data bits
//   56  int16   1, stop bits
//   58  uint8   0
#include <cstring>

#include "tavix/configRequests.h"
#include "tavix/dialogLaunchers.h"
#include "tavix/driverState.h"
#include "tavix/hostServices.h"
#include "tavix/packet.h"
#include "tavix/settingsStore.h"
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
    uint8_t* packet = state.currentPacket;

    settleSettings(readI16(packet, 6) == 1);
    bringPaperSizeIntoRange();  // the dialog shows the chosen paper

    // The serial line: port kind, speed, parity, data and stop bits.
    writeI16(packet, 40, 2315);
    writeI16(packet, 48, state.settings.get(flags::serialHandshake) ? 1 : 2);
    writeI16(packet, 56, 1);
    writeI16(packet, 52, 0);
    writeI16(packet, 54, 8);
    writeI16(packet, 50, 9600);
    writeU8(packet, 58, 0);

    // The user may change the paper, the margin and the rest here; what is
    // in force when the dialog closes is what the host is told.
    showDeviceDialogAtConfig();

    writeI16(packet, 2, 59);
    selectMargins();

    PlotArea area = chosenPaperArea();
    writeF64(packet, 8, area.x);
    writeF64(packet, 16, area.y);
    state.deviceWidth = area.deviceWidth;
    state.deviceHeight = area.deviceHeight;

    state.plotWidth = readF64(packet, 8);
    state.plotHeight = readF64(packet, 16);
    state.scaleDivisor = resolutionDivisor(state.plotWidth, state.plotHeight);
    double steps = PLOTTER_UNITS_PER_INCH / state.scaleDivisor;
    writeF64(packet, 24, steps);
    writeF64(packet, 32, steps);
    state.stepsPerInchX = steps;
    state.stepsPerInchY = steps;

    writeI16(packet, 42, 255);
    writeI16(packet, 44, 1);
    writeI16(packet, 46, 7);
    return 0;
}

}  // namespace tavix
