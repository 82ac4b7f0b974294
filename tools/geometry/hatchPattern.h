#pragma once
// The lines of a pattern hatch, clipped to its boundary.
#include <optional>
#include <vector>

#include "point.h"

namespace tavix::geometry {

// One line family of a hatch pattern. The family's lines run at `angleDegrees`
// through `basePoint + k * offset` for every integer k; `offset` is in the
// pattern's own coordinates (not along the line), as HATCH stores it. `dashes`
// is the dash list (positive dash, negative gap, zero dot); empty = solid.
struct PatternLine {
  double angleDegrees = 0;
  Point basePoint{0, 0};
  Point offset{0, 0};
  std::vector<double> dashes;
};

// Output larger than this is refused (a pattern far too fine for the area).
constexpr long long MAX_HATCH_SEGMENTS = 2000000;

// The pattern's segments inside the boundary `loops` under the even-odd rule
// (a point is inside when a ray from it crosses the loops an odd number of
// times, so holes stay empty). The definition is first scaled by
// `patternScale` and rotated by `patternAngleDegrees` about the origin;
// HATCH entities store their lines already scaled and rotated, so the reader
// passes 1 and 0. Loops are closed implicitly. A dot is a segment with a == b.
// nullopt for non-finite input, a scale <= 0, a family whose lines do not
// advance (offset along the line), or more than MAX_HATCH_SEGMENTS (or,
// over all the families together, twice that many line and edge meetings
// and pattern repeats to look at).
std::optional<std::vector<Segment>> hatchPatternSegments(const std::vector<PatternLine>& pattern,
                                                         double patternScale,
                                                         double patternAngleDegrees,
                                                         const std::vector<Polyline>& loops);

}  // namespace tavix::geometry
