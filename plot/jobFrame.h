// Begin plot, end plot, abort and initialise: the life of one plot.
#pragma once

#include <cstdint>

namespace tavix {

void beginPlot(uint8_t* packet);  // code 30
void endPlot();                   // code 2
void abortPlot();                 // code 9
void initialisePlotDriver(uint8_t* packet);  // code 49

}  // namespace tavix
