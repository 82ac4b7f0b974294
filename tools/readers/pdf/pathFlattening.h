// A PDF path as chains of points on the paper: lines kept, Bézier curves
// cut into chords within the tolerance, dash arrays laid along each subpath.
#pragma once

#include <vector>

#include "geometry/affine.h"
#include "geometry/point.h"

class GfxPath;

namespace tavix::pdf {

struct FlatSubpath {
    geometry::Polyline points;  // a closed subpath repeats its first point
    bool closed = false;
};

// The subpaths of `path` mapped by `toPaper`, every curve within `tolerance`
// (in the units `toPaper` maps to). Curves are flattened after the map, so
// the tolerance holds on the paper whatever the page's transformation.
std::vector<FlatSubpath> flattenPath(const GfxPath& path, const geometry::Affine& toPaper, double tolerance);

// One chain of `points` (`curve[i]` marks Bézier control points, two
// before each end point, as in a PDF path), mapped and flattened likewise.
FlatSubpath flattenPoints(const std::vector<geometry::Point>& points, const std::vector<bool>& curve,
                          bool closed, const geometry::Affine& toPaper, double tolerance);

// The pen-down pieces of `points` under a PDF dash array (alternately on and
// off lengths, starting `phase` into the pattern), lengths in the units of
// `points`. The pattern runs on across the vertices. An empty array, or one
// whose lengths are all zero, gives the chain itself; a zero "on" length is
// a dot.
std::vector<geometry::Polyline> dashPolyline(const geometry::Polyline& points,
                                                 const std::vector<double>& dashes, double phase);

}  // namespace tavix::pdf
