#include "arc.h"

#include <cmath>
#include <numbers>

#include "chordCount.h"
#include "vectorMath.h"

namespace tavix::geometry {
namespace {

constexpr double PI = std::numbers::pi;

// The sweep from start counter-clockwise to end in (0, 2 pi]; equal angles
// give the full turn.
double counterClockwiseSweep(double startRadians, double endRadians) {
  double sweep = std::fmod(endRadians - startRadians, 2 * PI);
  if (sweep < 0) sweep += 2 * PI;
  if (sweep <= 1e-12 || sweep >= 2 * PI - 1e-12) sweep = 2 * PI;
  return sweep;
}

std::optional<Polyline> arcChords(Point centre, double radius, double startRadians, double sweep,
                                  double tolerance) {
  const int chords = chordCount(radius, sweep, tolerance);
  if (chords == 0 || !isFinite(centre)) return std::nullopt;
  if (radius == 0) return Polyline{centre};
  // Every point lies within the radius (and the turning vector's drift) of
  // the centre: if that box fits in doubles, so do all the points.
  const double reach = radius * (1 + 1e-9);
  if (!std::isfinite(std::fabs(centre.x) + reach) || !std::isfinite(std::fabs(centre.y) + reach))
    return std::nullopt;
  Polyline out(chords + 1);
  std::size_t i = 0;
  turnSteps(startRadians, sweep, chords,
            [&](double c, double s) { out[i++] = {centre.x + radius * c, centre.y + radius * s}; });
  if (sweep == 2 * PI) out.back() = out.front();  // closed exactly
  return out;
}

}  // namespace

std::optional<Polyline> flattenArc(Point centre, double radius, double startDegrees,
                                   double endDegrees, double tolerance) {
  if (!std::isfinite(startDegrees) || !std::isfinite(endDegrees)) return std::nullopt;
  // Reduce first: angles like 1e300 degrees carry no usable fraction.
  const double start = std::fmod(startDegrees, 360.0) * PI / 180;
  const double end = std::fmod(endDegrees, 360.0) * PI / 180;
  return arcChords(centre, radius, start, counterClockwiseSweep(start, end), tolerance);
}

std::optional<Polyline> flattenCircle(Point centre, double radius, double tolerance) {
  return arcChords(centre, radius, 0, 2 * PI, tolerance);
}

std::optional<Polyline> flattenBulge(Point from, Point to, double bulge, double tolerance) {
  if (!isFinite(from) || !isFinite(to) || !std::isfinite(bulge) || !std::isfinite(tolerance) ||
      tolerance <= 0)
    return std::nullopt;
  const Point chord = to - from;
  const double chordLength = length(chord);
  // The included angle is 4 atan(bulge); its sagitta is bulge * chord / 2.
  if (bulge == 0 || chordLength == 0 || !std::isfinite(chordLength) ||
      std::fabs(bulge) * chordLength / 2 <= tolerance / 1e6)
    return Polyline{from, to};
  const double included = 4 * std::atan(bulge);  // signed, |.| < 2 pi
  const double radius = chordLength / (2 * std::fabs(std::sin(included / 2)));
  // The centre lies on the perpendicular bisector, to the left of the chord
  // for a counter-clockwise (positive) bulge.
  const Point middle = 0.5 * (from + to);
  const Point leftNormal{-chord.y / chordLength, chord.x / chordLength};
  const double toCentre = radius * std::cos(included / 2) * (bulge > 0 ? 1 : -1);
  const Point centre = middle + toCentre * leftNormal;
  const double startAngle = std::atan2(from.y - centre.y, from.x - centre.x);
  const int chords = chordCount(radius, included, tolerance);
  if (chords == 0 || !isFinite(centre)) return std::nullopt;
  Polyline out;
  out.reserve(chords + 1);
  turnSteps(startAngle, included, chords,
            [&](double c, double s) { out.push_back({centre.x + radius * c, centre.y + radius * s}); });
  out.front() = from;  // the vertices themselves, not their rounded images
  out.back() = to;
  if (!allFinite(out)) return std::nullopt;
  return out;
}

}  // namespace tavix::geometry
