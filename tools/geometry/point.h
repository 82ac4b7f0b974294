#pragma once
// Plain 2D geometry in drawing units, shared by the readers' curve, text
// and hatch helpers. No transformation lives here: the reader places results.
#include <vector>

namespace tavix::geometry {

struct Point {
  double x, y;
};

// An open chain of points; a closed outline repeats its first point at the end.
using Polyline = std::vector<Point>;

// One straight piece of a hatch or a dash; a dot has a == b.
struct Segment {
  Point a, b;
};

}  // namespace tavix::geometry
