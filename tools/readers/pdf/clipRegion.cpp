#include "clipRegion.h"

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>

namespace tavix::pdf {

using geometry::Point;
using geometry::Polyline;

// Paper coordinates in host units stay below 65536; fixed at 1/1024 unit
// they fit Clipper's integers with room to spare and lose nothing a
// plotter shows.
constexpr double FIXED = 1024;
// Coordinates far off the paper are held here, so the fixed form cannot overflow.
constexpr double FAR = 1e9;

struct ClipRegion::Paths {
    ClipperLib::Paths area;
    // When the area is one upright rectangle (the crop box, a viewport),
    // its corners: a line wholly inside needs no clipping.
    bool rectangle = false;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

namespace {

ClipperLib::cInt fixed(double v) {
    if (!std::isfinite(v)) v = 0;
    return static_cast<ClipperLib::cInt>(std::llround(std::clamp(v, -FAR, FAR) * FIXED));
}

ClipperLib::Path toPath(const Polyline& line) {
    ClipperLib::Path path;
    path.reserve(line.size());
    for (const Point& p : line) path.push_back({fixed(p.x), fixed(p.y)});
    return path;
}

ClipperLib::Paths toPaths(const Loops& loops) {
    ClipperLib::Paths paths;
    for (const Polyline& loop : loops)
        if (loop.size() >= 3) paths.push_back(toPath(loop));
    return paths;
}

Polyline toPolyline(const ClipperLib::Path& path, bool close) {
    Polyline line;
    line.reserve(path.size() + 1);
    for (const ClipperLib::IntPoint& p : path)
        line.push_back({static_cast<double>(p.X) / FIXED, static_cast<double>(p.Y) / FIXED});
    if (close && !line.empty()) line.push_back(line.front());
    return line;
}

ClipperLib::PolyFillType clipperRule(FillRule rule) {
    return rule == FillRule::NonZero ? ClipperLib::pftNonZero : ClipperLib::pftEvenOdd;
}

}  // namespace

ClipRegion::ClipRegion() = default;
ClipRegion::ClipRegion(const ClipRegion& other)
    : paths(other.paths ? std::make_unique<Paths>(*other.paths) : nullptr) {}
ClipRegion& ClipRegion::operator=(const ClipRegion& other) {
    paths = other.paths ? std::make_unique<Paths>(*other.paths) : nullptr;
    return *this;
}
ClipRegion::~ClipRegion() = default;

bool ClipRegion::unlimited() const { return paths == nullptr; }

void ClipRegion::intersect(const Loops& loops, FillRule rule) {
    ClipperLib::Clipper clipper;
    ClipperLib::Paths result;
    clipper.AddPaths(toPaths(loops), ClipperLib::ptSubject, true);
    if (paths) {
        clipper.AddPaths(paths->area, ClipperLib::ptClip, true);
        clipper.Execute(ClipperLib::ctIntersection, result, clipperRule(rule), ClipperLib::pftNonZero);
    } else {
        clipper.Execute(ClipperLib::ctUnion, result, clipperRule(rule), clipperRule(rule));
        paths = std::make_unique<Paths>();
    }
    paths->area = std::move(result);
    paths->rectangle = false;
    if (paths->area.size() == 1 && paths->area[0].size() == 4) {
        const ClipperLib::Path& r = paths->area[0];
        bool upright = true;
        for (size_t i = 0; i < 4; ++i) {
            const ClipperLib::IntPoint &a = r[i], &b = r[(i + 1) % 4];
            upright = upright && (a.X == b.X) != (a.Y == b.Y);
        }
        if (upright) {
            paths->rectangle = true;
            paths->x0 = paths->y0 = FAR, paths->x1 = paths->y1 = -FAR;
            for (const ClipperLib::IntPoint& p : r) {
                double x = static_cast<double>(p.X) / FIXED, y = static_cast<double>(p.Y) / FIXED;
                paths->x0 = std::min(paths->x0, x), paths->x1 = std::max(paths->x1, x);
                paths->y0 = std::min(paths->y0, y), paths->y1 = std::max(paths->y1, y);
            }
        }
    }
}

Loops ClipRegion::fillArea(const Loops& loops, FillRule rule) const {
    ClipperLib::Clipper clipper;
    ClipperLib::Paths result;
    clipper.AddPaths(toPaths(loops), ClipperLib::ptSubject, true);
    if (paths) {
        clipper.AddPaths(paths->area, ClipperLib::ptClip, true);
        clipper.Execute(ClipperLib::ctIntersection, result, clipperRule(rule), ClipperLib::pftNonZero);
    } else {
        clipper.Execute(ClipperLib::ctUnion, result, clipperRule(rule), clipperRule(rule));
    }
    Loops out;
    out.reserve(result.size());
    for (const ClipperLib::Path& path : result) out.push_back(toPolyline(path, true));
    return out;
}

bool ClipRegion::holds(double x0, double y0, double x1, double y1) const {
    if (!paths) return true;
    Loops box = {{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}};
    ClipperLib::Clipper clipper;
    ClipperLib::Paths outside;
    clipper.AddPaths(toPaths(box), ClipperLib::ptSubject, true);
    clipper.AddPaths(paths->area, ClipperLib::ptClip, true);
    clipper.Execute(ClipperLib::ctDifference, outside, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    double area = 0;
    for (const ClipperLib::Path& p : outside) area += std::fabs(ClipperLib::Area(p));
    // Less than a unit square outside counts as inside.
    return area < FIXED * FIXED;
}

std::vector<Polyline> ClipRegion::clipLine(const Polyline& line) const {
    if (!paths) return {line};
    if (paths->rectangle &&
        std::all_of(line.begin(), line.end(), [this](const Point& p) {
            return p.x >= paths->x0 && p.x <= paths->x1 && p.y >= paths->y0 && p.y <= paths->y1;
        }))
        return {line};
    // A dot (two equal points) is kept when it lies inside the region.
    if (line.size() == 2 && line[0].x == line[1].x && line[0].y == line[1].y) {
        ClipperLib::IntPoint p{fixed(line[0].x), fixed(line[0].y)};
        int winding = 0;
        for (const ClipperLib::Path& path : paths->area)
            if (ClipperLib::PointInPolygon(p, path) != 0) winding += ClipperLib::Orientation(path) ? 1 : -1;
        return winding != 0 ? std::vector<Polyline>{line} : std::vector<Polyline>{};
    }
    ClipperLib::Clipper clipper;
    clipper.AddPath(toPath(line), ClipperLib::ptSubject, false);
    clipper.AddPaths(paths->area, ClipperLib::ptClip, true);
    ClipperLib::PolyTree tree;
    clipper.Execute(ClipperLib::ctIntersection, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    ClipperLib::Paths open;
    ClipperLib::OpenPathsFromPolyTree(tree, open);
    std::vector<Polyline> out;
    for (const ClipperLib::Path& path : open) out.push_back(toPolyline(path, false));
    return out;
}

}  // namespace tavix::pdf
