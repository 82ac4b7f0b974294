#include "chordCount.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavix::geometry {

int chordCount(double radius, double sweepRadians, double tolerance) {
  if (!std::isfinite(radius) || !std::isfinite(sweepRadians) || !std::isfinite(tolerance) ||
      radius < 0 || tolerance <= 0)
    return 0;
  const double sweep = std::fabs(sweepRadians);
  const double turns = sweep / (2 * std::numbers::pi);
  const double fewest = std::max(1.0, std::ceil(turns * MIN_CHORDS_PER_TURN - 1e-9));
  // The largest step whose sagitta stays within the tolerance; a radius no
  // larger than the tolerance allows any step.
  double chords = fewest;
  if (radius > tolerance) {
    const double step = 2 * std::acos(1 - tolerance / radius);
    if (step > 0) chords = std::max(fewest, std::ceil(sweep / step - 1e-9));
    else chords = MAX_CHORDS_PER_CURVE;
  }
  return static_cast<int>(std::min<double>(chords, MAX_CHORDS_PER_CURVE));
}

}  // namespace tavix::geometry
