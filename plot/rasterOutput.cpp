#include "plot/rasterOutput.h"

#include <cstring>

#include "tavix/driverState.h"
#include "tavix/hostServices.h"
#include "tavix/messageSlots.h"

namespace tavix {

int rasterWrite(const void* bytes, int32_t count) {
    if (state.errorLatch != 0) return -1;
    // An empty write is skipped: the host answers it with 0, its failure value.
    if (count <= 0) return 0;
    if (hostWriteOutput(count, bytes) != 0) return 0;
    hostShowMessage("\n%s\n", state.messages[MSG_PLOTTING_ERROR]);
    state.errorLatch = LATCH_OUTPUT;
    state.outputCount = 0;
    state.somethingDrawn = 0;
    state.copiesToPlot = 1;
    return -1;
}

int rasterWriteText(const char* text) {
    return rasterWrite(text, static_cast<int32_t>(std::strlen(text)));
}

}  // namespace tavix
