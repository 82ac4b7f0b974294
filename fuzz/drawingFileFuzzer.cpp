// The host program's drawing reader on any text: it either reads requests
// whose coordinates are finite and non-negative or names a line.
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "drawingFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavix::host;
    Drawing drawing;
    std::string error;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (parseDrawing(text, drawing, error)) {
        for (const DrawingRequest& r : drawing.requests) {
            for (double c : r.coords)
                if (!std::isfinite(c) || c < 0) std::abort();
            uint16_t v;
            for (double c : r.coords) toHostUnits(c, r.unit, 1016, v);
        }
    } else if (error.rfind("line ", 0) != 0) {
        std::abort();
    }
    return 0;
}
