// The OutputBuffer: staging, flushing in 128-byte pieces, and the error
// latch that discards what is staged once an output step has failed.
#include "tavix/outputBuffer.h"

#include <cstring>
#include <new>

#include "tavix/driverState.h"
#include "tavix/hostServices.h"
#include "tavix/messageSlots.h"

namespace tavix {

bool (*outputAllocationAllowed)() = nullptr;

namespace {

// The latch drops what is staged and cancels the replot.
int discardLatched() {
    state.outputCount = 0;
    state.somethingDrawn = 0;
    state.copiesToPlot = 1;
    return -1;
}

}  // namespace

bool obtainOutputBuffer() {
    releaseOutputBuffer();
    if (outputAllocationAllowed != nullptr && !outputAllocationAllowed()) return false;
    state.outputBuffer = new (std::nothrow) uint8_t[OUTPUT_BUFFER_SIZE]();
    return state.outputBuffer != nullptr;
}

void releaseOutputBuffer() {
    delete[] state.outputBuffer;
    state.outputBuffer = nullptr;
}

int flushOutput() {
    if (state.outputBuffer == nullptr) return 0;
    if (state.errorLatch != 0) return discardLatched();
    const uint8_t* piece = state.outputBuffer;
    int32_t remaining = state.outputCount;
    // One look-up of the host's write function for every piece of the flush.
    const HostWriteOutputFn writer = hostOutputWriter();
    while (remaining > 0) {
        int32_t n = remaining < OUTPUT_PIECE_SIZE ? remaining : OUTPUT_PIECE_SIZE;
        if (hostWriteOutputWith(writer, n, piece) == 0) {
            // Pieces already sent stay sent; the rest is dropped.
            hostShowMessage("\n%s\n", state.messages[MSG_PLOTTING_ERROR]);
            state.errorLatch = LATCH_OUTPUT;
            return discardLatched();
        }
        piece += n;
        remaining -= n;
    }
    state.outputCount = 0;
    return 0;
}

int writeBytes(const void* bytes, size_t count) {
    if (state.outputBuffer == nullptr) return 0;
    if (state.errorLatch != 0) return discardLatched();
    if (count == 0) return 0;
    const uint8_t* source = static_cast<const uint8_t*>(bytes);
    // A text of OUTPUT_LIMIT bytes or more (no instruction is that long) is
    // staged in parts that each fit, so it is delivered whole and in order
    // instead of running past the buffer.
    while (count > 0) {
        size_t part = count < static_cast<size_t>(OUTPUT_LIMIT - 1) ? count : OUTPUT_LIMIT - 1;
        if (static_cast<size_t>(state.outputCount) + part >= static_cast<size_t>(OUTPUT_LIMIT)) {
            if (state.outputCount > 0 && flushOutput() != 0) return -1;
            state.outputCount = 0;
        }
        std::memcpy(state.outputBuffer + state.outputCount, source, part);
        state.outputCount += static_cast<int32_t>(part);
        source += part;
        count -= part;
    }
    return 0;
}

int writeText(const char* text) { return writeBytes(text, std::strlen(text)); }

}  // namespace tavix
