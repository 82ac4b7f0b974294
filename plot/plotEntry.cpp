// PlotEntry: the plot request dispatcher.
//
// The host calls it once per plot request with a RequestPacket; the code is
// the signed 16-bit value at offset 0 and every reply goes into the same
// packet. An image announced by the previous call is printed first, then the
// code is looked up in a table of 53 handlers for codes 2..54. Codes without
// a handler, and codes outside 2..54, leave the packet exactly as it came.
#include <cstdint>

#include "host/languageTables.h"
#include "plot/imageRequests.h"
#include "plot/jobFrame.h"
#include "plot/penStateMachine.h"
#include "plot/pens.h"
#include "plot/plotInfo.h"
#include "plot/plotSetup.h"
#include "plot/polygonFill.h"
#include "plot/requestGate.h"
#include "plot/requestGuard.h"
#include "tavix/driverState.h"
#include "tavix/entryPoints.h"
#include "runtime/hostNumbers.h"
#include "tavix/imageRequest.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix {
namespace {

using Handler = void (*)(uint8_t* packet);

constexpr int FIRST_CODE = 2;
constexpr int LAST_CODE = 54;

void onEndPlot(uint8_t*) { endPlot(); }

void onSelectPen(uint8_t* packet) {
    if (selectPen(readI16(packet, plotPacket::VALUE)) != 0) refuseRequest(packet);
}

void onLineType(uint8_t* packet) {
    if (setLineType(readU16(packet, plotPacket::VALUE)) != 0) refuseRequest(packet);
}

void onLiftPen(uint8_t* packet) {
    if (liftPen() != 0) refuseRequest(packet);
}

void onAbort(uint8_t*) { abortPlot(); }

void onShowLineTypes(uint8_t*) { showLineTypes(); }

void onLoadSettings(uint8_t* packet) { loadPlotSettings(packet); }

void onBeginPlot(uint8_t* packet) { beginPlot(packet); }

void onShowSummary(uint8_t*) { showSettingsSummary(); }

void onFillInline(uint8_t* packet) { fillInlineRequest(packet); }

void onLineTypeCount(uint8_t* packet) { state.lineTypeCount = readI16(packet, plotPacket::VALUE); }

void onPenWidth(uint8_t* packet) {
    writeI16(packet, PACKET_STATUS, 0);
    // NaN and infinities become the limit, which is written as the widest pen.
    double inches = hostDouble(packet, plotPacket::VALUE, HOST_DOUBLE_LIMIT);
    if (setPenWidth(inches) != 0) refuseRequest(packet);
}

void onModelAndLineTypes(uint8_t* packet) {
    state.currentModel = state.settings.modelIndex();
    state.lineTypeCount = packet[plotPacket::LINE_TYPE_COUNT];
}

void onConfigurePlot(uint8_t* packet) { configurePlot(packet); }

void onSetPlotArea(uint8_t* packet) { setPlotArea(packet); }

void onQueryPlotArea(uint8_t* packet) { queryPlotArea(packet); }

void onInitialise(uint8_t* packet) { initialisePlotDriver(packet); }

void onSetLanguage(uint8_t*) { loadLanguageTables(); }

void onBeginImage(uint8_t* packet) {
    announceImage(packet);
    // A newly armed outline starts empty.
    if (readI16(packet, imagePacket::TRANSPARENCY) == 1 && state.outlineCapture != 0)
        state.outlineCount = 0;
}

void onFillArray(uint8_t* packet) { fillArrayRequest(packet); }

// Indexed by code - 2. Empty entries: accepted and ignored.
constexpr Handler handlers[LAST_CODE - FIRST_CODE + 1] = {
    onEndPlot,            // 2
    moveRequest,          // 3
    drawRequest,          // 4
    onSelectPen,          // 5
    nullptr,              // 6
    onLineType,           // 7
    onLiftPen,            // 8
    onAbort,              // 9
    nullptr, nullptr, nullptr, nullptr, nullptr,  // 10..14
    onShowLineTypes,      // 15
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,  // 16..22
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,           // 23..28
    onLoadSettings,       // 29
    onBeginPlot,          // 30
    onShowSummary,        // 31
    nullptr,              // 32
    onFillInline,         // 33
    nullptr, nullptr,     // 34, 35
    onLineTypeCount,      // 36
    nullptr, nullptr, nullptr,  // 37..39
    nullptr,              // 40
    onPenWidth,           // 41
    nullptr,              // 42
    onModelAndLineTypes,  // 43
    nullptr, nullptr,     // 44, 45
    onConfigurePlot,      // 46
    onSetPlotArea,        // 47
    onQueryPlotArea,      // 48
    onInitialise,         // 49
    onSetLanguage,        // 50
    nullptr,              // 51
    onBeginImage,         // 52
    nullptr,              // 53
    onFillArray,          // 54
};
static_assert(sizeof handlers / sizeof handlers[0] == 53);

void printImageFirst() {
    bool capturing = state.outlineCapture != 0;
    printPendingImage();
    // Capture given up by the image drops the points collected so far.
    if (capturing && state.outlineCapture == 0) state.outlineCount = 0;
}

// Every request the common path below does not take: the image announced
// by the previous call first, then the code's handler.
[[gnu::noinline]] int dispatchInGeneral(uint8_t* packet, int code) {
    return guardRequest(packet, [&] {
        if (state.imageMarker == IMAGE_PENDING) printImageFirst();
        if (code >= FIRST_CODE && code <= LAST_CODE) {
            if (Handler h = handlers[code - FIRST_CODE]) h(packet);
        }
    });
}

}  // namespace
}  // namespace tavix

// Nothing may escape into the host: any failure is the packet's -1. The
// common path calls nothing but guarded functions (guardRequest), and only
// as its last step.
extern "C" int TAVIX_ENTRY_CDECL PlotEntry(uint8_t* packet) {
    using namespace tavix;
    if (packet == nullptr) return 0;
    state.currentPacket = packet;
    int code = readI16(packet, PACKET_STATUS);
    // Draws and moves that go on from a drawn or moved point, nearly every
    // request of a plot, are served here; the open gate also means that no
    // image is waiting to be printed first.
    int16_t s;
    if (code == 4 && gate::drawMayContinue(s)) return continueDraw(packet, s);
    if (code == 3 && gate::moveMayContinue(s)) return continueMove(packet, s);
    return dispatchInGeneral(packet, code);
}
