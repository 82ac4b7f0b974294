#pragma once
// Nesting of hatch boundary loops, for fills drawn as outlines with holes.
#include <vector>

#include "point.h"

namespace tavix::geometry {

// An outer loop with the loops directly inside it (its holes), by index into
// the loops given. Islands inside holes are outer loops of their own.
struct FillRegion {
  int outer;
  std::vector<int> holes;
};

// Containment tests (vertices visited) allowed for one call; a hatch that
// needs more is hostile and gets no regions.
constexpr long long MAX_NESTING_WORK = 200000000;

// Groups the loops by containment under the even-odd rule: a loop inside an
// even number of others is an outer loop, one inside an odd number is a
// hole of the smallest loop around it. Loops with fewer than three points
// or non-finite points are left out. Empty when the nesting would take more
// than MAX_NESTING_WORK.
std::vector<FillRegion> nestBoundaryLoops(const std::vector<Polyline>& loops);

}  // namespace tavix::geometry
