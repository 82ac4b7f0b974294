#include "clipRegion.h"

#include <polyclipping/clipper.hpp>

#include <cmath>

namespace tavix::pdf {

using dxf::geometry::Point;
using dxf::geometry::Polyline;

// Paper coordinates in host units stay below 65536; fixed at 1/1024 unit
// they fit Clipper's integers with room to spare and lose nothing a
// plotter shows.
constexpr double FIXED = 1024;
// Coordinates far off the paper are held here, so the fixed form cannot overflow.
constexpr double FAR = 1e9;

struct ClipRegion::Paths {
    ClipperLib::Paths area;
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

std::vector<Polyline> ClipRegion::clipLine(const Polyline& line) const {
    if (!paths) return {line};
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
