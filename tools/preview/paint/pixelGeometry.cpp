#include "pixelGeometry.h"

#include <algorithm>

namespace tavix::preview {

PixelBox PixelFrame::clipBox(const Rect& clip) const {
    PixelBox c{std::max(geometry.pixelX(clip.x0), paper.x0), std::max(geometry.pixelY(clip.y1), paper.y0),
               std::min(geometry.pixelX(clip.x1), paper.x1), std::min(geometry.pixelY(clip.y0), paper.y1)};
    if (!(c.x1 > c.x0) || !(c.y1 > c.y0)) c = {0, 0, 0, 0};
    return c;
}

// Liang-Barsky: the part of a-b inside the box, as parameters t0..t1.
bool clipSegment(Px a, Px b, const PixelBox& box, double& t0, double& t1) {
    t0 = 0;
    t1 = 1;
    double dx = b.x - a.x, dy = b.y - a.y;
    double p[4] = {-dx, dx, -dy, dy};
    double q[4] = {a.x - box.x0, box.x1 - a.x, a.y - box.y0, box.y1 - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

// Sutherland-Hodgman against the four sides of a box.
std::vector<Px> clipRing(const std::vector<Px>& ring, const PixelBox& box) {
    std::vector<Px> current = ring;
    for (int side = 0; side < 4 && !current.empty(); ++side) {
        auto inside = [&](Px p) {
            switch (side) {
            case 0: return p.x >= box.x0;
            case 1: return p.x <= box.x1;
            case 2: return p.y >= box.y0;
            default: return p.y <= box.y1;
            }
        };
        auto cross = [&](Px a, Px b) {
            double t;
            switch (side) {
            case 0: t = (box.x0 - a.x) / (b.x - a.x); break;
            case 1: t = (box.x1 - a.x) / (b.x - a.x); break;
            case 2: t = (box.y0 - a.y) / (b.y - a.y); break;
            default: t = (box.y1 - a.y) / (b.y - a.y); break;
            }
            return Px{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
        };
        std::vector<Px> next;
        for (size_t i = 0; i < current.size(); ++i) {
            Px a = current[i], b = current[(i + 1) % current.size()];
            bool ina = inside(a), inb = inside(b);
            if (ina) next.push_back(a);
            if (ina != inb) next.push_back(cross(a, b));
        }
        current.swap(next);
    }
    return current;
}

}  // namespace tavix::preview
