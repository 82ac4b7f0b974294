// The PDF reader and everything after it, up to the requests the host
// sends, on any bytes: a plot either completes with requests the driver
// can take (coordinates inside the plot area) or fails with a reason.
// Poppler itself is not instrumented; the walk, the clipping and the
// placement are.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "pdfPlot.h"

namespace {

constexpr double AREA_WIDTH = 16399, AREA_HEIGHT = 11478;  // A3 at 1016 units per inch

const std::string& scratchFile() {
    static std::string path = [] {
        char name[] = "/tmp/tavix-pdf-fuzz-XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        return std::string(name);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavix;
    std::FILE* f = std::fopen(scratchFile().c_str(), "wb");
    if (f == nullptr || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();

    pdf::PdfPlotOptions options;
    options.placement.fit = size % 2 == 1;  // large pages fit; small ones at 1:1
    options.placement.rotate = size % 3 == 1;
    pdf::PdfPlotReport report;
    std::string error;
    auto send = [](const host::DrawingRequest& r, std::string&) {
        for (size_t i = 0; i + 1 < r.coords.size(); i += 2)
            // Half a unit either side: the host rounds to whole units, and a
            // clip on the area's edge may land a rounding error outside it.
            if (!(r.coords[i] >= -0.5 && r.coords[i] <= AREA_WIDTH + 0.5 && r.coords[i + 1] >= -0.5 &&
                  r.coords[i + 1] <= AREA_HEIGHT + 0.5))
                std::abort();
        return true;
    };
    std::FILE* drawing = std::fopen(scratchFile().c_str(), "rb");
    if (drawing == nullptr) std::abort();
    bool plotted = pdf::plotPdf(drawing, options, pdf::PdfPlotArea{AREA_WIDTH, AREA_HEIGHT, 1016}, send, report, error);
    std::fclose(drawing);
    if (!plotted && error.empty()) std::abort();
    return 0;
}
