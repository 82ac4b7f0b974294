#include "pathFlattening.h"

#include <GfxState.h>

#include <cmath>

#include "geometry/spline.h"

namespace tavix::pdf {

using geometry::Point;
using geometry::Polyline;

namespace {

// One cubic Bézier as the clamped NURBS of its four control points, which
// the geometry library flattens by its sagitta rule.
void appendBezier(Polyline& out, Point p0, Point p1, Point p2, Point p3, double tolerance) {
    geometry::Spline bezier;
    bezier.degree = 3;
    bezier.controlPoints = {p0, p1, p2, p3};
    bezier.knots = {0, 0, 0, 0, 1, 1, 1, 1};
    auto chords = geometry::flattenSpline(bezier, tolerance);
    if (!chords || chords->empty()) {
        out.push_back(p3);  // degenerate or non-finite: the chord alone
        return;
    }
    out.insert(out.end(), chords->begin() + 1, chords->end());
}

// More dashes than this on one subpath would be a solid line on paper.
constexpr double MAX_DASHES = 1000000;

}  // namespace

namespace {

// The chain of `count` points that `at` and `isCurve` give.
template <typename At, typename IsCurve>
FlatSubpath flatten(int count, const At& at, const IsCurve& isCurve, bool closed, double tolerance) {
    FlatSubpath flat;
    flat.closed = closed;
    if (count == 0) return flat;
    flat.points.push_back(at(0));
    for (int i = 1; i < count;) {
        // Two control points and an end point make a curve.
        if (isCurve(i) && i + 2 < count) {
            appendBezier(flat.points, flat.points.back(), at(i), at(i + 1), at(i + 2), tolerance);
            i += 3;
        } else {
            flat.points.push_back(at(i));
            ++i;
        }
    }
    return flat;
}

}  // namespace

std::vector<FlatSubpath> flattenPath(const GfxPath& path, const geometry::Affine& toPaper, double tolerance) {
    std::vector<FlatSubpath> out;
    for (int s = 0; s < path.getNumSubpaths(); ++s) {
        const GfxSubpath* sub = path.getSubpath(s);
        if (sub->getNumPoints() == 0) continue;
        out.push_back(flatten(
            sub->getNumPoints(), [&](int i) { return toPaper.apply(Point{sub->getX(i), sub->getY(i)}); },
            [&](int i) { return sub->getCurve(i); }, sub->isClosed(), tolerance));
    }
    return out;
}

FlatSubpath flattenPoints(const std::vector<Point>& points, const std::vector<bool>& curve, bool closed,
                          const geometry::Affine& toPaper, double tolerance) {
    FlatSubpath flat = flatten(
        static_cast<int>(points.size()), [&](int i) { return toPaper.apply(points[i]); },
        [&](int i) { return i < static_cast<int>(curve.size()) && curve[i]; }, closed, tolerance);
    if (closed && flat.points.size() > 1 &&
        (flat.points.back().x != flat.points.front().x || flat.points.back().y != flat.points.front().y))
        flat.points.push_back(flat.points.front());
    return flat;
}

// The DXF linetype code draws a line shorter than one repeat solid, as CAD
// programs do; a PDF dash array applies to any length, so it has its own walk.
std::vector<Polyline> dashPolyline(const Polyline& points, const std::vector<double>& dashes, double phase) {
    double period = 0;
    for (double d : dashes) {
        if (!std::isfinite(d) || d < 0) return {points};
        period += d;
    }
    if (dashes.empty() || !(period > 0) || points.empty()) return {points};
    double lineLength = 0;
    for (size_t i = 1; i < points.size(); ++i)
        lineLength += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
    if (!std::isfinite(lineLength) || lineLength / period * dashes.size() > MAX_DASHES) return {points};

    // Where the pattern stands at the start: `phase` into it (an odd array
    // runs twice per period, on and off swapping).
    size_t element = 0;
    bool on = true;
    double into = std::isfinite(phase) ? std::fmod(phase, dashes.size() % 2 ? 2 * period : period) : 0;
    if (into < 0) into += dashes.size() % 2 ? 2 * period : period;
    while (into >= dashes[element] && !(dashes[element] == 0 && into == 0)) {
        into -= dashes[element];
        element = (element + 1) % dashes.size();
        on = !on;
        if (into == 0) break;
    }
    double left = dashes[element] - into;

    std::vector<Polyline> pieces;
    if (on) pieces.push_back({points[0]});
    for (size_t i = 1; i < points.size(); ++i) {
        const Point a = points[i - 1], b = points[i];
        const double segment = std::hypot(b.x - a.x, b.y - a.y);
        double along = 0;
        while (segment - along > left) {
            along += left;
            const Point at{a.x + (b.x - a.x) * along / segment, a.y + (b.y - a.y) * along / segment};
            if (on) pieces.back().push_back(at);
            element = (element + 1) % dashes.size();
            on = !on;
            left = dashes[element];
            if (on) pieces.push_back({at});
        }
        left -= segment - along;
        if (on) pieces.back().push_back(b);
    }
    // A dash begun exactly at the end is nothing; a zero-length dash is a dot.
    if (!pieces.empty() && pieces.back().size() == 1) pieces.pop_back();
    for (Polyline& piece : pieces)
        if (piece.size() == 1) piece.push_back(piece[0]);
    return pieces;
}

}  // namespace tavix::pdf
