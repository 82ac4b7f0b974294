// Plot style tables, as the CAD host keeps users' pens: colour-dependent
// (.ctb, a style per colour number) and named (.stb, a style per name). A
// file is a 48-byte signature, three 32-bit counts and a zlib stream of
// text: "key=value" lines and "name{ ... }" groups. Each style gives its
// pen, lineweight (an index into the file's lineweight table), colour and
// screening.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "penMap.h"

namespace tavix::dxf {

struct PlotStyle {
    std::string name;
    int colour = -1;         // 0xRRGGBB, or -1: the object's own colour
    int physicalPen = 0;     // 1..255, or 0: chosen by colour
    int screen = 100;        // per cent of the colour's ink
    double lineweightMm = 0; // 0: the object's own lineweight
};

struct PlotStyleTable {
    bool colourDependent = true;         // .ctb; false: .stb
    std::vector<PlotStyle> styles;       // .ctb: index 0 is colour number 1
};

// Reads a table from the file's bytes; false with the reason.
bool readPlotStyleTable(std::string_view bytes, PlotStyleTable& table, std::string& error);

// Reads the table file at `path`; false with the reason.
bool loadPlotStyleTable(const std::string& path, PlotStyleTable& table, std::string& error);

// The pen a style gives an object of colour number `aci`, as the CAD host
// applies it: its physical pen; else its colour (or the object's), lightened
// towards white by the screening, as the palette's nearest colour number.
PenChoice penOfStyle(const PlotStyle& style, int aci);

// The pen map of a colour-dependent table.
PenMap penMapOf(const PlotStyleTable& table);

}  // namespace tavix::dxf
