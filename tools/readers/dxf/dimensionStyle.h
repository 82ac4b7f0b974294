// A dimension style as the drawing gives it: the DIMSTYLE table entry's
// values by group code, overridden per dimension by its extended data, over
// the CAD host's own defaults for the values a writer leaves out.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tavix::dxf {

// Group codes of the dimension variables used to draw a dimension.
namespace dim {
constexpr int POST = 3;           // DIMPOST: prefix and suffix around "<>"
constexpr int ARROW_BLOCK = 5;    // DIMBLK (by name)
constexpr int SCALE = 40;         // DIMSCALE
constexpr int ARROW_SIZE = 41;    // DIMASZ
constexpr int EXT_OFFSET = 42;    // DIMEXO
constexpr int EXT_EXTEND = 44;    // DIMEXE
constexpr int ROUND = 45;         // DIMRND
constexpr int LINE_EXTEND = 46;   // DIMDLE
constexpr int SUPPRESS_EXT1 = 75; // DIMSE1
constexpr int SUPPRESS_EXT2 = 76; // DIMSE2
constexpr int TEXT_ABOVE = 77;    // DIMTAD
constexpr int ZERO_SUPPRESS = 78; // DIMZIN
constexpr int TEXT_HEIGHT = 140;  // DIMTXT
constexpr int TICK_SIZE = 142;    // DIMTSZ
constexpr int LENGTH_FACTOR = 144;// DIMLFAC
constexpr int GAP = 147;          // DIMGAP
constexpr int LINE_COLOUR = 176;  // DIMCLRD
constexpr int EXT_COLOUR = 177;   // DIMCLRE
constexpr int TEXT_COLOUR = 178;  // DIMCLRT
constexpr int DECIMALS = 271;     // DIMDEC
constexpr int ANGLE_DECIMALS = 179; // DIMADEC
constexpr int DECIMAL_SEPARATOR = 278;  // DIMDSEP, a character code
}  // namespace dim

struct DimensionStyle {
    std::map<int, double> numbers;
    std::map<int, std::string> texts;

    // The value of group `code`: the style's, or the CAD host's default.
    double number(int code) const;
    std::string text(int code) const;
    // DIMSCALE, where 0 (scaled to a layout's viewport) counts as 1 in model space.
    double scale() const;
    // Values of `over` replace this style's.
    DimensionStyle overriddenBy(const DimensionStyle& over) const;
};

// The group code of a header variable ($DIMASZ ...), or 0 for one not used.
int dimensionVariableCode(std::string_view headerName);

}  // namespace tavix::dxf
