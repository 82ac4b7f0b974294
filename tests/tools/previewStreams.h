// Hand-made printer streams for the preview tests, written the way the
// driver writes them: job ticket, PJL switch, HP-GL/2 set-up with the pen
// palette, Polyline Encoded vectors, HP RTL rasters.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "streamModel.h"

namespace tavix::preview {
inline void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "rgb(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }
}  // namespace tavix::preview

namespace tavix::preview::testing {

// "ESC%-12345X@PJL ENTER LANGUAGE = HPGL2\nESC%-1B;BP;IN;" and the set-up
// for a paper of width x height plotter units (PS width,height; IP; SC;
// IW), LA with the line end, NP256, CR and PC for pens 1..n from `pens`
// ("PC1,255,0,0..."), "PUPA0,0PRTR0".
std::string preamble(long width = 33528, long height = 22352, int lineEnd = 1,
                     const std::string& pens = "");

// The 255-pen palette step exactly as the worked example begins it.
std::string examplePalette();

// One PE number in 7-bit (base 32) or 8-bit (base 64) form.
std::string peNumber(long value, bool sevenBit);
// A relative pair.
std::string pePair(long dx, long dy, bool sevenBit);

// The HP RTL set-up of the driver: ESC%1A ESC*p0P ESC&a1N ESC*v6W + config,
// size, method, resolution, then the palette text and ESC*r1A.
std::string rtlBegin(const uint8_t config[6], int width, int height, int dpi,
                     const std::string& palette);
std::string rtlEnd();
// One transfer: ESC*b<method>m<n><letter> + bytes.
std::string rtlRow(int method, const std::string& bytes, char letter = 'W');

std::string bytes(std::initializer_list<int> values);

// The driver's palette for its dithered colour planes: index 0 white,
// then yellow, magenta, red, cyan, green, blue, black.
extern const std::string COLOUR_PLANE_PALETTE;
// The 256-entry gray palette of continuous-tone monochrome: entry i is (i, i, i).
std::string grayPalette();

}  // namespace tavix::preview::testing
