#include "viewportSink.h"

#include <polyclipping/clipper.hpp>

#include <cmath>

#include "wipeoutSink.h"

namespace tavix::dxf {

using geometry::Point;
using geometry::Polyline;

namespace {

double cross(Point o, Point a, Point b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

// The polygon without its closing repeat of the first point.
Polyline open(const Polyline& p) {
    Polyline out = p;
    if (out.size() > 1 && out.front().x == out.back().x && out.front().y == out.back().y) out.pop_back();
    return out;
}

bool allInside(const Polyline& points, const Polyline& boundary) {
    for (const Polyline& piece : insideOf(points, boundary))
        if (piece.size() == points.size()) return true;
    return false;
}

}  // namespace

bool isConvex(const Polyline& polygon) {
    Polyline p = open(polygon);
    if (p.size() < 3) return false;
    int sign = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        double c = cross(p[i], p[(i + 1) % p.size()], p[(i + 2) % p.size()]);
        if (c == 0) continue;
        int s = c > 0 ? 1 : -1;
        if (sign != 0 && s != sign) return false;
        sign = s;
    }
    return sign != 0;
}

Polyline clipToConvex(const Polyline& loop, const Polyline& clip) {
    Polyline c = open(clip);
    Polyline out = open(loop);
    if (c.size() < 3) return {};
    double area = 0;
    for (size_t i = 0; i < c.size(); ++i) area += cross({0, 0}, c[i], c[(i + 1) % c.size()]);
    double orientation = area >= 0 ? 1 : -1;
    for (size_t i = 0; i < c.size() && !out.empty(); ++i) {
        Point a = c[i], b = c[(i + 1) % c.size()];
        auto in = [&](Point p) { return cross(a, b, p) * orientation >= 0; };
        Polyline next;
        for (size_t k = 0; k < out.size(); ++k) {
            Point p = out[k], q = out[(k + 1) % out.size()];
            bool pin = in(p), qin = in(q);
            if (pin) next.push_back(p);
            if (pin != qin) {
                double dp = cross(a, b, p), dq = cross(a, b, q);
                double t = dp / (dp - dq);
                next.push_back({p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t});
            }
        }
        out = std::move(next);
    }
    if (out.size() < 3) return {};
    out.push_back(out.front());
    return out;
}

std::vector<Polyline> clipToPolygon(const std::vector<Polyline>& loops, const Polyline& clip, bool& tooFar) {
    // Clipper's integers: a millionth of a sheet unit, on sheets up to a
    // million units across.
    constexpr double FIXED = 1e6, FARTHEST = 1e6;
    tooFar = false;
    auto path = [&](const Polyline& line) {
        ClipperLib::Path out;
        for (const Point& p : line) {
            tooFar = tooFar || !(std::fabs(p.x) < FARTHEST && std::fabs(p.y) < FARTHEST);
            out.push_back({static_cast<ClipperLib::cInt>(std::llround(p.x * FIXED)),
                           static_cast<ClipperLib::cInt>(std::llround(p.y * FIXED))});
        }
        return out;
    };
    ClipperLib::Clipper clipper;
    for (const Polyline& loop : loops) clipper.AddPath(path(loop), ClipperLib::ptSubject, true);
    clipper.AddPath(path(clip), ClipperLib::ptClip, true);
    if (tooFar) return {};
    ClipperLib::Paths result;
    clipper.Execute(ClipperLib::ctIntersection, result, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
    // The pieces overlap nowhere, holes run the other way: even-odd fills them right.
    std::vector<Polyline> out;
    for (const ClipperLib::Path& r : result) {
        if (r.size() < 3) continue;
        Polyline loop;
        for (const ClipperLib::IntPoint& p : r) loop.push_back({p.X / FIXED, p.Y / FIXED});
        loop.push_back(loop.front());
        out.push_back(std::move(loop));
    }
    return out;
}

ViewportSink::ViewportSink(const geometry::Affine& toSheet, Polyline boundary, PrimitiveSink& target)
    : toSheet(toSheet), scale(std::sqrt(std::fabs(toSheet.determinant()))), boundary(std::move(boundary)),
      convex(isConvex(this->boundary)), target(target) {}

Polyline ViewportSink::place(const Polyline& points) const {
    Polyline out;
    out.reserve(points.size());
    for (const Point& p : points) out.push_back(toSheet.apply(p));
    return out;
}

bool ViewportSink::stroke(const LineLook& look, const Polyline& points, double slack, std::string& why) {
    LineLook onSheet = look;
    onSheet.bandWidth = look.bandWidth * scale;
    for (const Polyline& piece : insideOf(place(points), boundary))
        if (!target.stroke(onSheet, piece, slack * scale, why)) return false;
    return true;
}

bool ViewportSink::fill(const LineLook& look, const std::vector<Polyline>& loops, std::string& why) {
    std::vector<Polyline> placed;
    for (const Polyline& loop : loops) {
        Polyline p = place(loop);
        if (convex) p = clipToConvex(p, boundary);
        if (!p.empty()) placed.push_back(std::move(p));
    }
    if (!convex) {
        bool far = false;
        placed = clipToPolygon(placed, boundary, far);
        if (far) {
            ++fillsLeftOut;
            return true;
        }
    }
    if (placed.empty()) return true;
    return target.fill(look, placed, why);
}

bool ViewportSink::image(const LineLook& look, const std::string& file, const Polyline& corners, std::string& why) {
    Polyline placed = place(corners);
    Polyline closed = placed;
    if (!closed.empty()) closed.push_back(closed.front());
    if (!allInside(closed, boundary)) {
        ++imagesLeftOut;
        return true;
    }
    return target.image(look, file, placed, why);
}

}  // namespace tavix::dxf
