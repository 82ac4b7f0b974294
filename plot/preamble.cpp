// The job preamble and trailer. Every plot opens with, in this order:
//
//   device-control strings   serial plotters only, sent at once
//   job ticket               "##DOZ START" .. "##DOZ END\r\n===" (Option output)
//   "\x1b%-12345X"           PJL universal exit
//   "@PJL ENTER LANGUAGE = HPGL2\n"
//   "\x1b%-1B;BP;IN;"        HP-GL/2, begin plot, initialise
//   "PS" C, D                paper size (device area)
//   "IP" .. "SC" ..          scaling points and scale ("IP" only for level 1)
//   "IW0,0," A, B            window, kept in restoreTexts
//   line-end text            "LA1,n,2,6SP7RF"
//   "NP256"                  room for pens 0..255
//   "CR0,255,0,255,0,255"    colour range
//   "PC" x 255               the palette
//   "PUPA0,0PR" / "PUPR"     pen up, relative plotting from the origin
//   "TR0"                    transparency off
//
// and ends, when something was drawn, with ";PUSP0;PG;" and "RP" for the
// extra copies.
#include <cstring>

#include "plot/preamble.h"
#include "plot/pens.h"
#include "tavix/driverState.h"
#include "runtime/hostNumbers.h"
#include "tavix/hostServices.h"
#include "settings/jobTicket.h"
#include "tavix/outputBuffer.h"
#include "settings/settingsDefaults.h"
#include "tavix/tables.h"
#include "runtime/textFormat.h"

namespace tavix {
namespace {

// Bit 6 of the host's option word: the host drives the serial line itself.
constexpr uint32_t HOST_OPTION_NO_DEVICE_CONTROL = 0x40;

void sendDeviceControlStrings() {
    hostSendDeviceControl("\x1b.R");
    if (state.settings.get(flags::xonXoffHandshake)) {
        hostSendDeviceControl("\x1b.I81;0;17:");
        hostSendDeviceControl("\x1b.N10;19:");
        hostSendDeviceControl("\x1b.@;0:");
    } else {
        hostSendDeviceControl("\x1b.@;1:");
    }
}

// floor(inches x steps per inch) as an integer, times the scale divisor.
int64_t plotterUnits(double inches, double stepsPerInch) {
    int64_t steps = floorToInt32(saneHostDouble(inches, 0) * saneHostDouble(stepsPerInch, 0));
    return clampToInt32(steps * state.scaleDivisor);
}

// A fresh text in stagingText.
TextBuilder staging() { return TextBuilder(state.stagingText, STAGING_TEXT_SIZE); }

// "head" followed by x and y: "PS33528,22352".
int writePair(const char* head, int64_t x, int64_t y) {
    staging().text(head).integer(x).character(',').integer(y);
    return writeText(state.stagingText);
}

}  // namespace

PlotFrame computePlotFrame() {
    PlotFrame f{};
    f.plotX = plotterUnits(state.plotWidth, state.stepsPerInchX);
    f.plotY = plotterUnits(state.plotHeight, state.stepsPerInchY);
    f.deviceX = plotterUnits(state.deviceWidth, state.stepsPerInchX);
    f.deviceY = plotterUnits(state.deviceHeight, state.stepsPerInchY);
    // All four offsets use the X resolution.
    for (int k = 0; k < 4; ++k) f.offset[k] = plotterUnits(state.offsetMargins[k], state.stepsPerInchX);
    return f;
}

int writePreamble() {
    const ModelEntry& model = currentModelEntry();
    bool portrait = state.paperPortrait == 1;
    bool scaled = model.hpglLevel > 1;

    if (state.settings.get(flags::serialHandshake) &&
        (state.hostOptions & HOST_OPTION_NO_DEVICE_CONTROL) == 0)
        sendDeviceControlStrings();

    if (model.optionOutput == 1 && state.settings.get(flags::outputOption) &&
        writeJobTicket() != 0)
        return -1;

    if (writeText("\x1b%-12345X") != 0) return -1;
    if (writeText("@PJL ENTER LANGUAGE = HPGL2\n") != 0) return -1;
    if (writeText("\x1b%-1B;BP;IN;") != 0) return -1;

    PlotFrame f = computePlotFrame();
    const int64_t* e = f.offset;
    int r = portrait ? writePair("PS", f.deviceY, f.deviceX) : writePair("PS", f.deviceX, f.deviceY);
    if (r != 0) return -1;
    if (scaled) {
        if (portrait)
            staging().text("IP").integer(e[2]).character(',').integer(e[0]).character(',')
                .integer(f.deviceX - e[3]).character(',').integer(f.deviceY - e[1]);
        else
            staging().text("IP").integer(e[0]).character(',').integer(e[3]).character(',')
                .integer(f.deviceX - e[1]).character(',').integer(f.deviceY - e[2]);
        if (writeText(state.stagingText) != 0) return -1;
        staging().text("SC0,").integer(f.plotX).text(",0,").integer(f.plotY);
        if (writeText(state.stagingText) != 0) return -1;
    } else {
        // Level 1: scaling points 10 units beyond the window, and no scale.
        if (writePair("IP0,0,", f.plotX + 10, f.plotY + 10) != 0) return -1;
    }
    staging().text("IW0,0,").integer(f.plotX).character(',').integer(f.plotY);
    std::strncpy(state.restoreTexts.window, state.stagingText, RESTORE_TEXT_SIZE - 1);
    state.restoreTexts.window[RESTORE_TEXT_SIZE - 1] = '\0';
    if (writeText(state.stagingText) != 0) return -1;

    if (writeText(optionTicketLine(lineEndTable, state.settings.lineEnd(), DEFAULT_LINE_END)) != 0) return -1;
    if ((scaled || state.settings.get(flags::fillStyle)) && writeText("NP256") != 0) return -1;
    if (writeText("CR0,255,0,255,0,255") != 0) return -1;
    if (writePalette() != 0) return -1;
    // The pen waits at the origin, where the chain of relative steps begins.
    if (writeText(scaled ? "PUPA0,0PR" : "PUPR") != 0) return -1;
    if (writeText("TR0") != 0) return -1;
    state.imageMarker = 0;
    return 0;
}

int writeTrailer() {
    char text[48];
    TextBuilder b(text, sizeof text);
    b.text(";PUSP0;PG;");
    if (state.copiesToPlot >= 2) b.text("RP").integer(int64_t{state.copiesToPlot} - 1);
    return writeText(text);
}

}  // namespace tavix
