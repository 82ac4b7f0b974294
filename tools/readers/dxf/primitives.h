// What the entities become before they reach the paper: strokes (polylines,
// already dashed when linetypes are drawn in software) and filled areas, in
// drawing coordinates, each with its resolved look.
#pragma once

#include <string>
#include <vector>

#include "geometry/point.h"

namespace tavix::dxf {

struct LineLook {
    int colour = 7;              // colour number 1..255, BYLAYER and BYBLOCK resolved
    int lineweight = -3;         // hundredths of a millimetre, or -3 for the default
    int linetype = -3;           // index into the linetype table; -3 continuous
    int printerLineType = 0;     // the printer's line type 1..8 for it, 0 solid
    double bandWidth = 0;        // polyline width in drawing units (0: none)
    int line = 0;                // line of the file, for messages
    // A pen the pen file gives the line's own RGB colour (PDF): used
    // instead of the colour number's, with its width when set.
    int pen = 0;
    double penWidthMm = -1;
};

class PrimitiveSink {
public:
    virtual ~PrimitiveSink() = default;
    // `slack`: how far the true curve may lie from the chords, in drawing units.
    // False stops the plot; `why` says why.
    virtual bool stroke(const LineLook& look, const geometry::Polyline& points, double slack,
                        std::string& why) = 0;
    // Closed loops filled under the even-odd rule (holes stay empty).
    virtual bool fill(const LineLook& look, const std::vector<geometry::Polyline>& loops, std::string& why) = 0;
    // A wipeout: what was drawn before inside the closed `boundary` is hidden.
    // Sinks that only measure or stream leave it to a WipeoutSink.
    virtual bool wipe(const geometry::Polyline& boundary, std::string& why) {
        (void)boundary, (void)why;
        return true;
    }
    // A raster image file over `corners` (lower left, lower right, upper
    // right, upper left). Sinks that cannot place images leave them out.
    virtual bool image(const LineLook& look, const std::string& file, const geometry::Polyline& corners,
                       std::string& why) {
        (void)look, (void)file, (void)corners, (void)why;
        return true;
    }
};

}  // namespace tavix::dxf
