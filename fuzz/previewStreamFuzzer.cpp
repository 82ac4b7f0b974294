// The preview's stream reader on any bytes: it never fails, every warning
// it gives points inside the stream, reading the bytes in one pass from a
// stream gives what reading them from memory gives, and polylines sent to
// the temporary file come back as they were held.
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "streamParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavix::preview;
    ParseLimits limits;
    limits.maxRasterPixels = 1'000'000;  // keeps each run small; the limits themselves are tested
    limits.maxTotalRasterPixels = 4'000'000;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    ParsedStream stream = parseStream(std::string_view(bytes), limits);
    for (const Warning& w : stream.warnings)
        if (w.offset != NO_OFFSET && w.offset > size) std::abort();
    std::istringstream in(bytes);
    StreamSource source;
    source.in = &in;
    ParsedStream streamed = parseStream(std::move(source), limits);
    if (streamed.warnings.size() != stream.warnings.size() || streamed.pages.size() != stream.pages.size() ||
        streamed.byteCount != stream.byteCount)
        std::abort();
    for (size_t i = 0; i < stream.warnings.size(); ++i)
        if (streamed.warnings[i].offset != stream.warnings[i].offset) std::abort();
    ParseLimits spooling = limits;
    spooling.heldStrokeBytes = 512;
    ParsedStream spooled = parseStream(std::string_view(bytes), spooling);
    if (spooled.pages.size() != stream.pages.size()) std::abort();
    for (size_t p = 0; p < stream.pages.size(); ++p) {
        const StrokeStore &held = stream.pages[p].strokes, &back = spooled.pages[p].strokes;
        if (held.size() != back.size()) std::abort();
        for (size_t i = 0; i < held.size(); ++i)
            if (held[i].points != back[i].points || held[i].offset != back[i].offset) std::abort();
        if (back.readFailed()) std::abort();
    }
    return 0;
}
