#pragma once
// Ellipses and elliptical arcs as chains of chords.
#include <optional>

#include "point.h"

namespace tavix::geometry {

// The ellipse of DXF ELLIPSE: `majorAxis` is the vector from the centre to the
// end of the major axis, `ratio` the minor to major axis ratio (0 < ratio <= 1),
// the parameters run counter-clockwise in radians from `startParameter` to
// `endParameter` (point(t) = centre + major cos t + minor sin t). Equal
// parameters (modulo 2 pi) give the whole ellipse. Every chord lies within
// `tolerance` of the curve. nullopt for non-finite input, a ratio outside
// (0, 1], a zero axis, or a tolerance <= 0.
std::optional<Polyline> flattenEllipse(Point centre, Point majorAxis, double ratio,
                                       double startParameter, double endParameter,
                                       double tolerance);

}  // namespace tavix::geometry
