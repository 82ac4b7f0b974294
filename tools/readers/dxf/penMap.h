// Which pen draws a colour, and how wide. As the CAD host assigns pens by
// colour, the colour number (ACI 1..255) is the pen number unless a pen
// file says otherwise; the driver's palette gives each pen the colour of
// that number. A pen file is lines of "COLOUR PEN [WIDTH]": a colour 1..255,
// the pen 1..255 that draws it and optionally the pen width in millimetres;
// '#' starts a comment. For PDFs, whose lines carry RGB colours and widths
// of their own, COLOUR may also be "R,G,B" (each 0..255), optionally with
// the range of line widths it applies to, "R,G,B:LOW-HIGH" in millimetres
// on paper; the first such line that matches a line chooses its pen.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

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
    // The pen of an RGB colour (0xRRGGBB) for a line `widthMm` wide, when
    // a line of the file names that colour; null otherwise.
    const PenChoice* forRgb(int rgb, double widthMm) const;
    bool hasRgbRules() const { return !rgbRules.empty(); }

private:
    struct RgbRule {
        int rgb = 0;
        double lowMm = 0, highMm = 1e300;
        PenChoice choice;
    };
    static bool rgbColour(std::string_view word, RgbRule& rule, std::string& why);

    std::array<PenChoice, 256> pens;
    std::vector<RgbRule> rgbRules;
    bool anyWidth = false;
};

// The colour number whose colour in the palette is nearest to 0xRRGGBB.
int nearestColourNumber(int rgb);

}  // namespace tavix::dxf
