#include "wipeoutSink.h"

#include <algorithm>
#include <cmath>

namespace tavix::dxf {
namespace {

using geometry::Point;
using geometry::Polyline;

bool inside(Point p, const Polyline& polygon) {
    bool in = false;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point &a = polygon[i], &b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

// Where the segment p-q crosses the polygon's edges, as fractions of it.
std::vector<double> crossings(Point p, Point q, const Polyline& polygon) {
    std::vector<double> out;
    double rx = q.x - p.x, ry = q.y - p.y;
    for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point &a = polygon[j], &b = polygon[i];
        double sx = b.x - a.x, sy = b.y - a.y;
        double den = rx * sy - ry * sx;
        if (den == 0) continue;
        double t = ((a.x - p.x) * sy - (a.y - p.y) * sx) / den;
        double u = ((a.x - p.x) * ry - (a.y - p.y) * rx) / den;
        if (t > 0 && t < 1 && u >= 0 && u <= 1) out.push_back(t);
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

std::vector<Polyline> outsideOf(const Polyline& line, const Polyline& boundary) {
    return piecesOf(line, boundary, false);
}

std::vector<Polyline> insideOf(const Polyline& line, const Polyline& boundary) {
    return piecesOf(line, boundary, true);
}

std::vector<Polyline> piecesOf(const Polyline& line, const Polyline& boundary, bool keepInside) {
    std::vector<Polyline> pieces;
    if (boundary.size() < 3) return keepInside ? pieces : std::vector<Polyline>{line};
    Polyline current;
    auto keep = [&](Point a, Point b) {
        if (current.empty() || current.back().x != a.x || current.back().y != a.y) {
            if (current.size() > 1) pieces.push_back(std::move(current));
            current = {a};
        }
        current.push_back(b);
    };
    if (line.size() == 1) return inside(line[0], boundary) != keepInside ? pieces : std::vector<Polyline>{line};
    for (size_t i = 1; i < line.size(); ++i) {
        Point p = line[i - 1], q = line[i];
        std::vector<double> cuts = crossings(p, q, boundary);
        cuts.insert(cuts.begin(), 0.0);
        cuts.push_back(1.0);
        for (size_t k = 1; k < cuts.size(); ++k) {
            double t0 = cuts[k - 1], t1 = cuts[k];
            if (t1 <= t0) continue;
            double mid = (t0 + t1) / 2;
            if (inside({p.x + (q.x - p.x) * mid, p.y + (q.y - p.y) * mid}, boundary) != keepInside) continue;
            keep({p.x + (q.x - p.x) * t0, p.y + (q.y - p.y) * t0}, {p.x + (q.x - p.x) * t1, p.y + (q.y - p.y) * t1});
        }
    }
    if (current.size() > 1) pieces.push_back(std::move(current));
    return pieces;
}

bool WipeoutSink::stroke(const LineLook& look, const Polyline& points, double slack, std::string&) {
    held.push_back({look, {points}, slack, false});
    return true;
}

bool WipeoutSink::fill(const LineLook& look, const std::vector<Polyline>& loops, std::string&) {
    held.push_back({look, loops, 0, true});
    return true;
}

bool WipeoutSink::wipe(const Polyline& boundary, std::string&) {
    if (boundary.size() < 3) return true;
    for (Held& h : held) {
        if (h.isFill) {
            bool covered = true;
            for (const Polyline& loop : h.parts)
                for (const Point& p : loop) covered = covered && inside(p, boundary);
            if (covered) h.parts.clear();
            continue;
        }
        std::vector<Polyline> left;
        for (const Polyline& part : h.parts)
            for (Polyline& piece : outsideOf(part, boundary)) left.push_back(std::move(piece));
        h.parts = std::move(left);
    }
    return true;
}

bool WipeoutSink::finish(std::string& why) {
    for (const Held& h : held) {
        if (h.isFill) {
            if (!h.parts.empty() && !target.fill(h.look, h.parts, why)) return false;
            continue;
        }
        for (const Polyline& part : h.parts)
            if (!target.stroke(h.look, part, h.slack, why)) return false;
    }
    held.clear();
    return true;
}

}  // namespace tavix::dxf
