// Dimensions saved without their block (QCAD, LibreCAD, dxflib and OpenSCAD
// write them so): the block the CAD host would build, rebuilt from the
// definition points and the dimension style — dimension and extension lines,
// arrowheads or ticks, and the measured text.
#pragma once

#include <string>

#include "dimensionStyle.h"
#include "dxfModel.h"

namespace tavix::dxf {

// The DIMENSION's own groups.
struct DimensionDefinition {
    int type = 0;                      // group 70, low bits: 0 rotated, 1 aligned, 2 angular, 3 diameter, 4 radius, 5 angular by three points
    Point2 definition;                 // 10
    Point2 textMiddle;                 // 11
    bool textPlaced = false;           // 11 given
    Point2 first, second, third, arc;  // 13, 14, 15, 16
    double rotation = 0;               // 50, degrees
    std::string text;                  // 1: "" or "<>" the measurement, " " none
    DimensionStyle style;              // the style with the dimension's overrides
};

// The entities of the rebuilt block, in drawing coordinates (base point 0, 0);
// empty for a kind not rebuilt (ordinate) or a shape of no size.
Block blocklessDimension(const DimensionDefinition& d);

// The measurement as the style writes it: DIMRND, DIMDEC (DIMADEC for
// angles, in degrees), DIMZIN's zero suppression, DIMDSEP and DIMPOST.
std::string measurementText(double value, const DimensionStyle& style, bool angle = false);

// An arrowhead of the style (or its tick) with its tip at `tip`, its body
// towards `toward`, added to `block`; how far a line to the tip stops short of it.
double addArrowhead(Block& block, Point2 tip, Point2 toward, const DimensionStyle& style);

// The text drawn: the user's text with "<>" standing for the measurement.
std::string dimensionText(const std::string& userText, const std::string& measured);

}  // namespace tavix::dxf
