// Begin plot, end plot, abort and initialise: the life of one plot's
// OutputBuffer and of the per-plot drawing state.
#include <cstring>

#include "plot/jobFrame.h"
#include "host/identify.h"
#include "plot/penStateMachine.h"
#include "plot/preamble.h"
#include "tavix/driverState.h"
#include "tavix/hostServices.h"
#include "tavix/messageSlots.h"
#include "tavix/outputBuffer.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix {
namespace {

void copyText(char (&to)[RESTORE_TEXT_SIZE], const char* from) {
    std::strncpy(to, from, RESTORE_TEXT_SIZE - 1);
    to[RESTORE_TEXT_SIZE - 1] = '\0';
}

}  // namespace

void beginPlot(uint8_t* packet) {
    state.imageMarker = 0;
    if (state.errorLatch != 0) return refuseRequest(packet);
    writeI16(packet, PACKET_STATUS, 0);

    state.somethingDrawn = 0;
    state.previousX = state.previousY = state.currentX = state.currentY = 0;
    state.lastHostX = state.lastHostY = -1;
    state.currentPen = 7;
    state.outputCount = 0;
    state.penState = state.previousPenState = PEN_OUTSIDE;

    std::strcpy(state.peIntro, state.settings.get(flags::eightBitEncoding) ? "PE" : "PE7");
    // The texts re-sent after an image belong to this plot only: the
    // preamble's "IN" has reset whatever the last plot selected.
    state.restoreTexts = RestoreTexts{};
    copyText(state.restoreTexts.peIntro, state.peIntro);

    if (!obtainOutputBuffer()) {
        hostShowMessage("\n%s", state.messages[MSG_NO_MEMORY]);
        state.errorLatch = LATCH_OUTPUT;
        return refuseRequest(packet);
    }
    state.exchangeToken = hostExchangeValue(30, 1);

    if (writePreamble() != 0) {
        state.errorLatch = LATCH_OUTPUT;
        return refuseRequest(packet);
    }
    state.imageMarker = 0;
}

void endPlot() {
    state.previousPenState = state.penState;
    state.penState = PEN_OUTSIDE;
    if (state.errorLatch == 0 && state.somethingDrawn == 1) {
        state.somethingDrawn = 0;
        writeTrailer();
        state.copiesToPlot = 1;
        if (state.outputCount >= 1 && state.errorLatch == 0 && flushOutput() != 0)
            state.errorLatch = LATCH_OUTPUT;
    }
    // A plot with nothing drawn sends nothing that is still staged.
    state.outputCount = 0;
    releaseOutputBuffer();
    if (state.exchangeToken >= 0) {
        hostExchangeValue(state.exchangeToken, 1);
        // Given back once: a second end plot must not return it again.
        state.exchangeToken = -1;
    }
}

void abortPlot() {
    if (state.errorLatch == 0) state.errorLatch = LATCH_OUTPUT;
    state.copiesToPlot = 1;
    state.somethingDrawn = 0;
}

void initialisePlotDriver(uint8_t* packet) {
    state.firstQuery = 1;
    state.exchangeToken = -1;
    state.errorLatch = 0;
    state.somethingDrawn = 0;
    state.outputCount = 0;
    state.plotWidth = state.plotHeight = 0;
    state.deviceWidth = state.deviceHeight = 0;
    // A plot left open by the host is ended here: its buffer is released,
    // not merely forgotten.
    releaseOutputBuffer();
    state.penReselect = 0;
    state.drawName[0] = '\0';
    state.comment[0] = '\0';
    clearOutlineCapture();
    identifyDriver(packet);
}

}  // namespace tavix
