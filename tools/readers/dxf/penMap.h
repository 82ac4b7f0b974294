// Which pen draws a colour, and how wide. As the CAD host assigns pens by
// colour, the colour number (ACI 1..255) is the pen number unless a pen
// file says otherwise; the driver's palette gives each pen the colour of
// that number. A pen file is lines of "COLOUR PEN [WIDTH]": a colour 1..255,
// the pen 1..255 that draws it and optionally the pen width in millimetres;
// '#' starts a comment.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tavix::dxf {

struct PenChoice {
    int pen = 7;
    double widthMm = -1;  // -1: the width is not set by the pen file
};

class PenMap {
public:
    PenMap();
    PenChoice forColour(int aci) const;
    bool setsWidths() const { return anyWidth; }
    // The pen of one colour (1..255), as a plot style table gives it.
    void assign(int aci, const PenChoice& choice);
    // False with "line N: ..." on the first bad line.
    bool parse(std::string_view text, std::string& error);

private:
    std::array<PenChoice, 256> pens;
    bool anyWidth = false;
};

// The colour number whose colour in the palette is nearest to 0xRRGGBB.
int nearestColourNumber(int rgb);

}  // namespace tavix::dxf
