// A viewport of a layout: model space drawn onto the sheet through the
// viewport's view (centre, scale, twist) and clipped to its boundary, the
// viewport's rectangle or its clipping entity.
#pragma once

#include <string>
#include <vector>

#include "geometry/affine.h"
#include "primitives.h"

namespace tavix::dxf {

class ViewportSink : public PrimitiveSink {
public:
    // `toSheet`: model space to sheet units; `boundary`: closed, on the sheet.
    ViewportSink(const geometry::Affine& toSheet, geometry::Polyline boundary, PrimitiveSink& target);

    bool stroke(const LineLook& look, const geometry::Polyline& points, double slack, std::string& why) override;
    bool fill(const LineLook& look, const std::vector<geometry::Polyline>& loops, std::string& why) override;
    bool image(const LineLook& look, const std::string& file, const geometry::Polyline& corners,
               std::string& why) override;

    int fillsLeftOut = 0;            // fills too far out to clip (beyond a million sheet units)
    int imagesLeftOut = 0;           // images not wholly inside

private:
    geometry::Polyline place(const geometry::Polyline& points) const;

    geometry::Affine toSheet;
    double scale;                    // sheet length per model length
    geometry::Polyline boundary;
    bool convex;
    PrimitiveSink& target;
};

// The part of the closed `loop` inside the convex closed polygon `clip`
// (Sutherland-Hodgman); empty when none.
geometry::Polyline clipToConvex(const geometry::Polyline& loop, const geometry::Polyline& clip);
bool isConvex(const geometry::Polyline& polygon);
// The even-odd area of `loops` inside the closed polygon `clip` (any shape),
// as loops that overlap nowhere; `tooFar` when a point lies beyond what the
// clipping's integers hold (nothing is returned then).
std::vector<geometry::Polyline> clipToPolygon(const std::vector<geometry::Polyline>& loops,
                                              const geometry::Polyline& clip, bool& tooFar);

}  // namespace tavix::dxf
