// Plot set-up: loading the settings (code 29) and settling the plot area
// (codes 46, 47, 48).
#pragma once

#include <cstdint>

namespace tavix {

void loadPlotSettings(uint8_t* packet);   // code 29
void configurePlot(uint8_t* packet);      // code 46
void setPlotArea(uint8_t* packet);        // code 47
void queryPlotArea(uint8_t* packet);      // code 48

}  // namespace tavix
