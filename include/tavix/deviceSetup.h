// The device set-up figures a host program may ask of the driver beside
// its requests: the margins in force and the resolution divisor of a plot
// area. Device initialisation itself is the core's (host/deviceInit.h).
#pragma once

#include <cstdint>

namespace tavix {

// Margin selection from the plotMargin flag: fills hostMargins,
// deviceMargins and offsetMargins.
void selectMargins();

// 1, 2, 4, 8 or 16 for a plot area of w x h inches.
int32_t resolutionDivisor(double width, double height);

}  // namespace tavix
