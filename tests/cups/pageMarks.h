// A page whose corners are marked in three colours, and where the marks
// lie on a printed plot: which way up the page printed.
#pragma once

#include <array>

#include "cupsTestSupport.h"
#include "streamModel.h"

namespace tavix::cups::testing {

// The page's corners, clockwise from the top left; the bottom right is not
// marked.
enum Corner { TOP_LEFT, TOP_RIGHT, BOTTOM_RIGHT, BOTTOM_LEFT, NONE };
extern const char* const CORNER_NAMES[5];

struct Mark {
    Corner corner;
    preview::Rgb colour;
};
extern const Mark MARKS[3];  // top left red, top right blue, bottom left green

// A page of width x height points with a square at three corners.
PdfPage markedPage(double width, double height);

// Where each mark lies on the plot (the preview draws X to the right and Y
// up), by the mean plotter position of its pixels against the middle of
// the raster.
std::array<Corner, 3> placesOnPlot(const preview::RasterImage& image);

}  // namespace tavix::cups::testing
