// Where the drawing goes on the paper: the drawing's extents (or a window of
// it) fitted to the plot area or at a scale in real units, turned by a
// quarter, in the corner or centred.
#pragma once

#include <string>

#include "geometry/affine.h"

namespace tavix::dxf {

using geometry::Affine;

struct Extents {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty = true;
    void add(double x, double y, double slack = 0);
};

struct PlacementOptions {
    bool fit = true;             // false: at `paperPerReal`
    double paperPerReal = 1;     // --scale 1:N gives 1/N
    bool rotate = false;         // a quarter turn counter-clockwise
    bool centre = false;
    bool window = false;
    double fitMargin = 0;        // host units kept clear on every side when fitting
    double windowX0 = 0, windowY0 = 0, windowX1 = 0, windowY1 = 0;
};

struct Placement {
    Affine toPaper;              // drawing units to host units
    double mmPerUnit = 1;        // paper millimetres per drawing unit
    bool window = false;         // only what lies inside `windowOnPaper` is drawn
    Extents windowOnPaper;       // host units
};

// Millimetres per drawing unit for $INSUNITS; unitless drawings (0) and
// unknown codes are taken as millimetres.
double millimetresPerUnit(int insunits);

// `width` and `height` of the plot area in host units. False with the reason
// when nothing can be placed (no extents, extents of zero size to fit, a
// window of zero size).
bool placeDrawing(const Extents& extents, const PlacementOptions& options, int insunits, double width,
                  double height, double unitsPerInch, Placement& placement, std::string& error);

// "1:100", "2:1", "1/50" or a plain factor "0.5": paper length per real length.
// False when it is not a positive finite scale.
bool parseScale(const std::string& text, double& paperPerReal);

// "X0,Y0,X1,Y1" in drawing units; false unless four finite numbers.
bool parseWindow(const std::string& text, PlacementOptions& options);

}  // namespace tavix::dxf
