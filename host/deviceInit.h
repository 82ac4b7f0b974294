// Device initialisation (request 21) and the margin, plot-area and
// resolution rules it shares with the plot entry's set-up.
#pragma once

#include <cstdint>

#include "tavix/deviceSetup.h"
#include "tavix/tableTypes.h"

namespace tavix {

// Request 21: device initialisation; returns 0.
int initialiseDevice();


// Sets paperSize to 1 when it is not a row of the current model's paper
// list (a stored block may carry any value).
void bringPaperSizeIntoRange();

// Row paperSize - 1 of the current model's paper list (paperSize brought
// into range first).
const PaperSize& chosenPaper();

// The plot area of a paper with the margins in force: the host's X axis
// runs along the longer side; a square paper counts as portrait.
struct PlotArea {
    double x, y;                       // inches, after hostMargins
    double deviceWidth, deviceHeight;  // inches, after deviceMargins
    bool landscape;                    // W > H
};
PlotArea plotAreaFor(const PaperSize& paper);

// The plot area of the chosen paper; the paper's orientation is recorded
// (landscapePaper, paperPortrait) as the host is told the area.
PlotArea chosenPaperArea();

// The plotter's steps per inch at scale divisor 1.
constexpr double PLOTTER_UNITS_PER_INCH = 1016.0;


}  // namespace tavix
