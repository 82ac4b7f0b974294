// Wipeouts on a plotter, which cannot paint over what it has drawn: the
// strokes are held back until the end, and each wipeout cuts away the parts
// of the strokes before it that lie inside its boundary. Fills wholly inside
// are dropped; fills partly inside are kept whole. Used only for drawings
// with wipeouts, since it holds the whole plot.
#pragma once

#include <string>
#include <vector>

#include "primitives.h"

namespace tavix::dxf {

class WipeoutSink : public PrimitiveSink {
public:
    explicit WipeoutSink(PrimitiveSink& target) : target(target) {}

    bool stroke(const LineLook& look, const geometry::Polyline& points, double slack, std::string& why) override;
    bool fill(const LineLook& look, const std::vector<geometry::Polyline>& loops, std::string& why) override;
    bool wipe(const geometry::Polyline& boundary, std::string& why) override;
    // Images go straight on, under the strokes held back.
    bool image(const LineLook& look, const std::string& file, const geometry::Polyline& corners,
               std::string& why) override {
        return target.image(look, file, corners, why);
    }

    // Hands what is left on, in the order drawn.
    bool finish(std::string& why);

private:
    struct Held {
        LineLook look;
        std::vector<geometry::Polyline> parts;  // a stroke's pieces, or a fill's loops
        double slack = 0;
        bool isFill = false;
    };
    PrimitiveSink& target;
    std::vector<Held> held;
};

// The pieces of `line` outside the closed polygon `boundary` (even-odd).
std::vector<geometry::Polyline> outsideOf(const geometry::Polyline& line, const geometry::Polyline& boundary);
// The pieces inside it (a viewport's clipping boundary).
std::vector<geometry::Polyline> insideOf(const geometry::Polyline& line, const geometry::Polyline& boundary);
std::vector<geometry::Polyline> piecesOf(const geometry::Polyline& line, const geometry::Polyline& boundary,
                                         bool keepInside);

}  // namespace tavix::dxf
