// DERIZ and the driver record.
#include <cstring>

#include "tavix/driverRecord.h"
#include "tavix/driverState.h"
#include "tavix/entryPoints.h"

namespace tavix {

DriverRecord driverRecord = {
    .banner = TAVIX_DRIVER_BANNER,
    .zero81 = {},
    .configEntry = 0,
    .plotEntry = 0,
    .value418 = 4,
    .zero420 = {},
    .value432 = 3,
    .plotterNameKey = "$ACADPLNAME$",
    .platformName = "Microsoft Windows Win32",
    .value481 = 6,
    .hostVersion = "14.0-1",
    .models =
        {
            {"TX-90-TAVIX E", 1, 1, 2},
            {"TX-70-TAVIX E", 1, 1, 2},
            {"TX-30-TAVIX E", 1, 1, 2},
            {"Lumen Q1-TAVIX E", 1, 0, 2},
            {"TX Series TAVIX E", 1, 1, 2},
        },
};

bool modelNameEquals(const ModelEntry& model, const char* name) {
    size_t length = std::strlen(name);
    if (length >= sizeof model.name) return false;
    return std::memcmp(model.name, name, length + 1) == 0;
}

}  // namespace tavix

extern "C" tavix::DriverRecord* TAVIX_STDCALL DERIZ(const uint8_t* hostServices, uint32_t) {
    using namespace tavix;
    state.hostServices = hostServices;
    // The entry addresses are the same on every call; filling them here keeps
    // the record free of load-order dependencies in the native build.
    driverRecord.configEntry = hostAddressOf(reinterpret_cast<const void*>(&ConfigEntry));
    driverRecord.plotEntry = hostAddressOf(reinterpret_cast<const void*>(&PlotEntry));
    return &driverRecord;
}
