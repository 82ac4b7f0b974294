// Where a PDF page goes on the paper: at 1:1 (a point is 1/72 inch) from the
// plot area's lower left corner, or scaled to fit it; turned a quarter
// counter-clockwise on request; centred on request.
#pragma once

#include <optional>
#include <string>

#include "geometry/affine.h"

namespace tavix::pdf {

// The paper around the plot area, in host units from the area's origin
// (x and y at most 0: the margins before it).
struct PaperFrame {
    double x = 0, y = 0, width = 0, height = 0;
};

struct PagePlacementOptions {
    bool fit = false;
    bool rotate = false;  // a quarter turn counter-clockwise
    bool centre = false;
    // When set, a page at 1:1 lies on the paper's corner, as a printed page
    // does, and the margins cut what lies on them; it must fit the paper
    // rather than the plot area. A fitted page still fits the plot area.
    std::optional<PaperFrame> paper;
};

// `pageWidth` and `pageHeight` in points as the page is shown (its /Rotate
// applied); the plot area in host units. False with the reason when the
// page at 1:1 does not fit the area, or has no size.
bool placePage(double pageWidth, double pageHeight, const PagePlacementOptions& options, double areaWidth,
               double areaHeight, double unitsPerInch, geometry::Affine& toPaper, std::string& error);

}  // namespace tavix::pdf
