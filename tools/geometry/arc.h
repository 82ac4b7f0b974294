#pragma once
// Circles, arcs and polyline bulges as chains of chords.
#include <optional>

#include "point.h"

namespace tavix::geometry {

// The arc from `startDegrees` counter-clockwise to `endDegrees` (as the DXF
// stores ARC), every chord within `tolerance` (drawing units) of the arc.
// Equal angles (after reduction modulo 360) give the full circle, as CAD
// programs draw them. A zero radius gives the single centre point.
// nullopt for non-finite input, a negative radius, a tolerance <= 0, or a
// result that does not fit in doubles.
std::optional<Polyline> flattenArc(Point centre, double radius, double startDegrees,
                                   double endDegrees, double tolerance);

// The full circle, starting and ending at angle 0.
std::optional<Polyline> flattenCircle(Point centre, double radius, double tolerance);

// The segment of a polyline from `from` to `to` with the DXF bulge (the tangent
// of a quarter of the included angle; positive turns counter-clockwise).
// A bulge of 0 (or points too close for an arc) gives the straight segment.
// The result starts with `from` and ends with `to` exactly.
std::optional<Polyline> flattenBulge(Point from, Point to, double bulge, double tolerance);

}  // namespace tavix::geometry
