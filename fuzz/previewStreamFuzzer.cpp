// The preview's stream reader on any bytes: it never fails, and every
// warning it gives points inside the stream.
#include <cstdlib>
#include <string_view>

#include "streamParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavix::preview;
    ParseLimits limits;
    limits.maxRasterPixels = 1'000'000;  // keeps each run small; the limits themselves are tested
    limits.maxTotalRasterPixels = 4'000'000;
    ParsedStream stream = parseStream(std::string_view(reinterpret_cast<const char*>(data), size), limits);
    for (const Warning& w : stream.warnings)
        if (w.offset != NO_OFFSET && w.offset > size) std::abort();
    return 0;
}
