#pragma once
// The area one segment of a wide polyline covers, when its width changes
// along it: the outline the CAD host fills for tapered segments.
#include <optional>

#include "point.h"

namespace tavix::geometry {

// The closed outline (first point not repeated) of the segment from `from`
// to `to` (straight, or an arc for a non-zero bulge), its width going
// linearly from `startWidth` to `endWidth` along it; the arc's chords keep
// within `tolerance`. Empty when an argument is not finite or the widths
// are negative; nullopt for a segment of zero length.
std::optional<Polyline> widthOutline(Point from, Point to, double bulge, double startWidth, double endWidth,
                                     double tolerance);

}  // namespace tavix::geometry
