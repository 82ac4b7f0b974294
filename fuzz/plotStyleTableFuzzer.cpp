// Plot style tables (.ctb, .stb) on any bytes: read, or refused with a
// reason; a table read gives every colour a pen from 1 to 255 and a width
// that is the object's (-1) or from 0 to 25.4 mm.
#include <cstdlib>
#include <string_view>

#include "plotStyleTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavix::dxf;
    PlotStyleTable table;
    std::string error;
    if (!readPlotStyleTable(std::string_view(reinterpret_cast<const char*>(data), size), table, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    for (const PlotStyle& style : table.styles)
        for (int aci : {1, 7, 255}) {
            PenChoice choice = penOfStyle(style, aci);
            if (choice.pen < 1 || choice.pen > 255) std::abort();
            if (!(choice.widthMm == -1 || (choice.widthMm > 0 && choice.widthMm <= 25.4))) std::abort();
        }
    return 0;
}
