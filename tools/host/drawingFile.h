// The plain-text drawing format of `tavix plot` (docs/drawing-format.md):
// one request per line, read into a list of requests that name their line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavix::host {

enum class Unit { Host, Millimetre, Inch };

enum class DrawingOp { Move, Draw, Lift, Pen, LineType, LineTypes, Width, Fill, FillArray, Image, Abort };

struct ImageOptions {
    bool bitonal = false;
    int colourIndex = 7;
    int16_t transparency = 0;  // 0 none, 2 key colour white, 1 also outline capture
};

struct DrawingRequest {
    DrawingOp op = DrawingOp::Lift;
    int line = 0;                     // 1-based line of the drawing file
    Unit unit = Unit::Host;         // unit of the coordinates below
    std::vector<double> coords;     // x, y pairs (move, draw, fills, image rectangle)
    int value = 0;                  // pen, line type, count, fill colour
    double widthInches = 0;         // width
    std::string file;               // image
    ImageOptions image;
};

struct Drawing {
    std::vector<DrawingRequest> requests;
};

// Reads a drawing; on the first bad line returns false with an error that
// names the line ("line 7: ...").
bool parseDrawing(std::string_view text, Drawing& drawing, std::string& error);

// Converts a coordinate to host units (rounded); false when it does not fit
// the unsigned 16-bit range of a request.
bool toHostUnits(double value, Unit unit, double hostUnitsPerInch, uint16_t& out);

}  // namespace tavix::host
