#include "ellipse.h"

#include <cmath>
#include <numbers>

#include "chordCount.h"
#include "vectorMath.h"

namespace tavix::geometry {

std::optional<Polyline> flattenEllipse(Point centre, Point majorAxis, double ratio,
                                       double startParameter, double endParameter,
                                       double tolerance) {
  constexpr double TURN = 2 * std::numbers::pi;
  if (!isFinite(centre) || !isFinite(majorAxis) || !std::isfinite(ratio) ||
      !std::isfinite(startParameter) || !std::isfinite(endParameter) || !(ratio > 0) ||
      ratio > 1 + 1e-9)
    return std::nullopt;
  const double major = length(majorAxis);
  if (!(major > 0) || !std::isfinite(major)) return std::nullopt;
  const Point minorAxis{-majorAxis.y * ratio, majorAxis.x * ratio};
  const double start = std::fmod(startParameter, TURN);
  double sweep = std::fmod(std::fmod(endParameter, TURN) - start, TURN);
  if (sweep < 0) sweep += TURN;
  if (sweep <= 1e-12 || sweep >= TURN - 1e-12) sweep = TURN;
  // The ellipse is the circle of the major radius squeezed along the minor
  // axis; squeezing never lengthens the gap between arc and chord, so equal
  // parameter steps chosen for that circle keep within the tolerance.
  const int chords = chordCount(major, sweep, tolerance);
  if (chords == 0) return std::nullopt;
  Polyline out;
  out.reserve(chords + 1);
  turnSteps(start, sweep, chords, [&](double c, double s) { out.push_back(centre + c * majorAxis + s * minorAxis); });
  if (sweep == TURN) out.back() = out.front();  // closed exactly
  if (!allFinite(out)) return std::nullopt;
  return out;
}

}  // namespace tavix::geometry
