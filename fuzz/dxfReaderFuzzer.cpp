// The DXF reader and everything after it, up to the requests the host
// sends, on any bytes (a third of the runs plotting the layout "Layout1"): a plot either completes with requests the driver
// can take (coordinates inside the plot area) or fails with a reason.
// Bytes that begin as a binary DXF go through its translation first.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "binaryDxf.h"
#include "drawingKind.h"
#include "dxfPlot.h"

namespace {

constexpr double AREA_WIDTH = 16399, AREA_HEIGHT = 11478;  // A3 at 1016 units per inch

const std::string& scratchFile() {
    static std::string path = [] {
        char name[] = "/tmp/tavix-dxf-fuzz-XXXXXX";
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
    static const std::optional<geometry::StrokeFont> font = geometry::loadStrokeFont();
    std::FILE* f = std::fopen(scratchFile().c_str(), "wb");
    if (f == nullptr || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();

    dxf::DxfPlotOptions options;
    options.font = font ? &*font : nullptr;
    options.maxExpandedEntities = 200000;  // the limit's check, not its size, is what matters here
    options.printerLinetypes = size % 2 == 1;
    if (size % 3 == 2) options.layout = "Layout1";  // the layout plot: paper space and viewports
    dxf::DxfPlotReport report;
    std::string error;
    auto send = [](const host::DrawingRequest& r, std::string&) {
        for (size_t i = 0; i + 1 < r.coords.size(); i += 2)
            if (!(r.coords[i] >= 0 && r.coords[i] <= AREA_WIDTH + 0.5 && r.coords[i + 1] >= 0 &&
                  r.coords[i + 1] <= AREA_HEIGHT + 0.5))
                std::abort();
        return true;
    };
    std::FILE* drawing = std::fopen(scratchFile().c_str(), "rb");
    if (drawing == nullptr) std::abort();
    if (dxf::sniffDrawing(std::string_view(reinterpret_cast<const char*>(data), size)) == dxf::DrawingKind::BinaryDxf) {
        std::FILE* ascii = std::tmpfile();
        if (ascii == nullptr) std::abort();
        bool read = dxf::binaryDxfToAscii(drawing, ascii, error);
        std::fclose(drawing);
        if (!read) {
            std::fclose(ascii);
            if (error.empty()) std::abort();
            return 0;
        }
        std::rewind(ascii);
        drawing = ascii;
    }
    bool plotted = dxf::plotDxf(drawing, options, dxf::PlotArea{AREA_WIDTH, AREA_HEIGHT, 1016}, send, report, error);
    std::fclose(drawing);
    if (!plotted && error.empty()) std::abort();
    return 0;
}
