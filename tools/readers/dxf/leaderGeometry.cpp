#include "leaderGeometry.h"

#include <cmath>

#include "dimensionGeometry.h"

namespace tavix::dxf {

Block leaderBlock(const RawGroups& groups, const DimensionStyle& style) {
    bool arrow = true, curved = false;
    std::vector<Point2> vertices;
    for (const RawGroup& g : groups) {
        if (g.code == 71) arrow = g.number != 0;
        if (g.code == 72) curved = g.number == 1;
        if (g.code == 10) vertices.push_back({g.number, 0});
        if (g.code == 20 && !vertices.empty()) vertices.back().y = g.number;
    }
    Block block;
    block.name = "LEADER";
    // Repeated vertices say nothing and would turn the arrowhead nowhere.
    std::vector<Point2> path;
    for (const Point2& p : vertices)
        if (std::isfinite(p.x) && std::isfinite(p.y) &&
            (path.empty() || std::hypot(p.x - path.back().x, p.y - path.back().y) > 1e-12))
            path.push_back(p);
    if (path.size() < 2) return block;
    double shortBy = arrow ? addArrowhead(block, path[0], path[1], style) : 0;
    Entity line;
    line.style.layer = 0;
    double colour = style.number(dim::LINE_COLOUR);
    line.style.colour = colour >= 0 && colour <= 256 ? static_cast<int>(colour) : COLOUR_BYBLOCK;
    line.style.linetype = LINETYPE_BYBLOCK;
    line.style.lineweight = LINEWEIGHT_BYBLOCK;
    // The line meets the arrowhead at its back when the first leg is long enough.
    Point2 start = path[0];
    double first = std::hypot(path[1].x - path[0].x, path[1].y - path[0].y);
    if (shortBy > 0 && shortBy < first) {
        start.x += (path[1].x - path[0].x) * shortBy / first;
        start.y += (path[1].y - path[0].y) * shortBy / first;
    }
    if (curved && path.size() > 2) {
        line.kind = EntityKind::Spline;
        line.degree = 3;
        line.fitPoints = path;
    } else {
        line.kind = EntityKind::Polyline;
        line.vertices.push_back({start.x, start.y, 0});
        for (size_t i = 1; i < path.size(); ++i) line.vertices.push_back({path[i].x, path[i].y, 0});
    }
    block.entities.push_back(std::move(line));
    return block;
}

}  // namespace tavix::dxf
