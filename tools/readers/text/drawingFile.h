// The plain-text drawing format of `tavix plot` (docs/drawing-format.md):
// one request per line. A line parser turns one line into a request and
// keeps the unit in force; parseDrawing reads a whole text with it.
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

// The pens a drawing may select: the printer's palette has 255.
constexpr int FIRST_PEN = 1, LAST_PEN = 255;

// Reads one line at a time. The request and the word list are reused from
// line to line, so a long drawing costs no allocation per line.
class DrawingLineParser {
public:
    enum class Result { Request, Nothing, Bad };

    // `line` without its line end; a request goes to `out`, an error names
    // the line ("line 7: ..."). A UTF-8 byte-order mark before line 1 is
    // skipped.
    Result parse(std::string_view line, int lineNumber, DrawingRequest& out, std::string& error);

private:
    bool request(std::string_view verb, DrawingRequest& r);
    bool coordinates(size_t first, size_t count, DrawingRequest& r);
    bool imageRequest(DrawingRequest& r);
    bool fail(const std::string& what);

    Unit unit_ = Unit::Host;
    int line_ = 0;
    std::string* error_ = nullptr;
    std::vector<std::string_view> words_;
};

struct Drawing {
    std::vector<DrawingRequest> requests;
};

// Reads a whole drawing; on the first bad line returns false with an error
// that names the line ("line 7: ...").
bool parseDrawing(std::string_view text, Drawing& drawing, std::string& error);

// Converts a coordinate to host units (rounded); false when it does not fit
// the unsigned 16-bit range of a request.
// Inline: every point of a plot passes here.
inline bool toHostUnits(double value, Unit unit, double hostUnitsPerInch, uint16_t& out) {
    double units = value;
    if (unit == Unit::Millimetre) units = value / 25.4 * hostUnitsPerInch;
    if (unit == Unit::Inch) units = value * hostUnitsPerInch;
    // Rounded half up; for the values that fit, truncating the non-negative
    // sum is the floor.
    double half = units + 0.5;
    if (!(half >= 0 && half < 65536)) return false;
    out = static_cast<uint16_t>(half);
    return true;
}

// A word of the user's for a message: cut to a readable length.
std::string quotedWord(std::string_view word);

}  // namespace tavix::host
