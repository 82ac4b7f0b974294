#include "wipeoutGeometry.h"

#include <cmath>

#include "rasterFrame.h"

namespace tavix::dxf {

std::vector<Point2> wipeoutBoundary(const RawGroups& groups) {
    std::vector<Point2> path;
    RasterFrame f = readRasterFrame(groups, {1, 1}, [&path](const RawGroup& g) {
        if (g.code == 14 && path.size() < 100000) path.push_back({g.number, 0});
        if (g.code == 24 && !path.empty()) path.back().y = g.number;
    });
    const Point2 &insert = f.insert, &u = f.u, &v = f.v, &size = f.size;
    // Two vertices: opposite corners of a rectangle.
    if (path.size() == 2) path = {path[0], {path[1].x, path[0].y}, path[1], {path[0].x, path[1].y}};
    if (path.size() > 1 && path.front().x == path.back().x && path.front().y == path.back().y) path.pop_back();
    Point2 origin{insert.x + u.x * 0.5 - v.x * 0.5, insert.y + u.y * 0.5 - v.y * 0.5};
    std::vector<Point2> out;
    double area = 0;
    for (const Point2& p : path) {
        double down = size.y - p.y;
        Point2 q{origin.x + u.x * p.x + v.x * down, origin.y + u.y * p.x + v.y * down};
        if (!std::isfinite(q.x) || !std::isfinite(q.y)) return {};
        out.push_back(q);
    }
    for (size_t i = 0; i < out.size(); ++i) {
        const Point2 &a = out[i], &b = out[(i + 1) % out.size()];
        area += a.x * b.y - b.x * a.y;
    }
    if (out.size() < 3 || !(std::fabs(area) > 0)) return {};
    return out;
}

Block wipeoutBlock(const std::vector<Point2>& boundary, bool frame) {
    Block block;
    block.name = "WIPEOUT";
    if (boundary.size() < 3) return block;
    Entity wipe;
    wipe.kind = EntityKind::Wipeout;
    wipe.style.layer = 0;
    wipe.style.colour = COLOUR_BYBLOCK;
    for (const Point2& p : boundary) wipe.vertices.push_back({p.x, p.y, 0});
    Entity outline = wipe;
    block.entities.push_back(std::move(wipe));
    if (frame) {
        outline.kind = EntityKind::Polyline;
        outline.closed = true;
        outline.style.linetype = LINETYPE_BYBLOCK;
        outline.style.lineweight = LINEWEIGHT_BYBLOCK;
        block.entities.push_back(std::move(outline));
    }
    return block;
}

}  // namespace tavix::dxf
