#pragma once
// NURBS curves of DXF SPLINE as chains of chords.
#include <optional>
#include <vector>

#include "point.h"

namespace tavix::geometry {

// A spline as the DXF stores it. With control points, the knot vector has
// controlPoints + degree + 1 entries (an empty one means a clamped uniform
// vector; see `closed` for the periodic form) and weights are empty (all 1) or one per control point. Without
// control points, the curve is the cubic through `fitPoints` (chord length
// parameters), with the given end tangents or tangents estimated from the
// first and last five points, as CAD programs build it.
struct Spline {
  int degree = 3;
  std::vector<Point> controlPoints;
  std::vector<double> knots;
  std::vector<double> weights;
  std::vector<Point> fitPoints;
  std::optional<Point> startTangent;
  std::optional<Point> endTangent;
  // Closed (periodic) curves come in two forms. Stored with count + degree
  // + 1 knots, the control points already repeat at the end and the curve is
  // drawn over [knots[degree], knots[count]] like any other. Stored with
  // count + 1 knots (one period, the CAD host's periodic form), the first
  // `degree` control points are repeated and the knots continued by the
  // period: the curve closes on itself.
  bool closed = false;
};

// Largest control or fit point count accepted; beyond it the file is hostile.
constexpr int MAX_SPLINE_POINTS = 100000;
// Highest degree accepted (the DXF allows any; CAD programs write up to 11).
constexpr int MAX_SPLINE_DEGREE = 25;

// The curve, every chord within `tolerance` of it (adaptive subdivision of
// each knot span). At most 4 * MAX_CHORDS_PER_CURVE points, plus one per knot
// span and 32 for the refinement under way when the limit is reached;
// beyond that a curve is drawn coarser than the tolerance. nullopt when the definition is inconsistent (counts,
// non-finite values, decreasing knots, weights <= 0, degree < 1 or too
// high, too many points) or the tolerance is not positive.
std::optional<Polyline> flattenSpline(const Spline& spline, double tolerance);

// The control points, knots and weights of the cubic through the fit points
// (what flattenSpline draws for a spline without control points); nullopt
// when fewer than two distinct fit points or non-finite input.
std::optional<Spline> splineThroughFitPoints(const Spline& spline);

}  // namespace tavix::geometry
