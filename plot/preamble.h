// The job preamble and trailer.
#pragma once

#include <cstdint>

namespace tavix {

// The preamble of begin plot, from the device-control strings to "TR0".
int writePreamble();

// ";PUSP0;PG;" and, for two copies or more, "RP" with the extra copies.
int writeTrailer();

// The plot numbers of the preamble, plotter units (A, B, C, D, E0..E3).
struct PlotFrame {
    int64_t plotX, plotY;      // A, B
    int64_t deviceX, deviceY;  // C, D
    int64_t offset[4];         // E0..E3
};
PlotFrame computePlotFrame();

}  // namespace tavix
