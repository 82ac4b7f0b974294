// Where a CUPS page lies on the printer's paper. The page is portrait: its
// rows run across the roll, one after the other along the feed. The driver's
// X axis runs along the feed (the paper's long side) and its Y axis across
// the roll, so raster row k is the driver's X band k and the pixels of a
// raster row run along Y from the plot area's origin. The plot area leaves
// the margins out; only the raster inside it is printed.
#pragma once

#include <cstdint>
#include <string>

#include "modelProfile.h"
#include "tavix/plotSettings.h"

namespace tavix::cups {

constexpr double MIN_CUSTOM_INCHES = 1.0;  // the shortest custom page side

// The driver's raster resolution: 300 dpi in colour, 400 in monochrome.
int rasterDpi(const PlotSettings& settings);

// What CUPS says of a page (from its raster header).
struct PageShape {
    double widthPoints = 0, lengthPoints = 0;  // page size
    uint32_t pixelsPerRow = 0, rows = 0;       // raster size
    uint32_t dpiAcross = 0, dpiAlong = 0;      // resolution
    // Where raster pixel (0, 0) lies on the page, inches from its left edge
    // and from its top: 0 for a raster of the whole page, the imaging box's
    // corner for one of the imageable area only (as ghostscript makes them).
    double originAcross = 0, originAlong = 0;
};

// How one page is plotted.
struct PageLayout {
    const PaperChoice* paper = nullptr;
    bool roll = false;              // a custom length on a long or roll paper
    int divisor = 1;                // the driver's resolution divisor
    double stepsPerInch = 1016;     // host units per inch
    double pixelInches = 0;         // the driver's pixel pitch: divisor / its resolution
    uint32_t dpiAcross = 0, dpiAlong = 0;  // the raster's resolution
    double areaX = 0, areaY = 0;    // requested plot area, inches (X along the feed)
    double marginX = 0, marginY = 0;  // paper before the plot area, inches (along the feed, across)
    bool askMaximum = false;        // fixed paper: ask for the whole plot area
    // The raster inside the plot area: rows [cropTop, cropTop + cropRows),
    // pixels [cropLeft, cropLeft + cropCols).
    uint32_t cropTop = 0, cropRows = 0, cropLeft = 0, cropCols = 0;
};

// Lays the page out on the model's papers; false with a reason for the user
// when the page fits no paper or its raster is empty.
bool layOutPage(const ModelProfile& profile, const PlotSettings& settings, const PageShape& page,
                PageLayout& layout, std::string& error);

}  // namespace tavix::cups
