// Where a PDF page goes on the paper: at 1:1 (a point is 1/72 inch) from the
// plot area's lower left corner, or scaled to fit it; turned a quarter
// counter-clockwise on request; centred on request.
#pragma once

#include <string>

#include "geometry/affine.h"

namespace tavix::pdf {

struct PagePlacementOptions {
    bool fit = false;
    bool rotate = false;  // a quarter turn counter-clockwise
    bool centre = false;
};

// `pageWidth` and `pageHeight` in points as the page is shown (its /Rotate
// applied); the plot area in host units. False with the reason when the
// page at 1:1 does not fit the area, or has no size.
bool placePage(double pageWidth, double pageHeight, const PagePlacementOptions& options, double areaWidth,
               double areaHeight, double unitsPerInch, geometry::Affine& toPaper, std::string& error);

}  // namespace tavix::pdf
