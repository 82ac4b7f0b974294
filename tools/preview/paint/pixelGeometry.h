// Points and boxes in picture pixels (X right, Y down), where the page's
// plotter units land in the picture, and clipping in those terms.
#pragma once

#include <vector>

#include "preview.h"
#include "streamModel.h"

namespace tavix::preview {

struct Px {
    double x, y;
};

struct PixelBox {
    double x0, y0, x1, y1;
    bool contains(Px p) const { return p.x >= x0 && p.x <= x1 && p.y >= y0 && p.y <= y1; }
    PixelBox grown(double by) const { return {x0 - by, y0 - by, x1 + by, y1 + by}; }
};

// The paper of a page in picture pixels, and a point's pixel.
struct PixelFrame {
    explicit PixelFrame(const PageGeometry& g)
        : geometry(g), scale(g.dpi / UNITS_PER_INCH),
          paper{g.pixelX(g.extent.x0), g.pixelY(g.extent.y1), g.pixelX(g.extent.x1), g.pixelY(g.extent.y0)} {}
    Px px(Point p) const { return {geometry.pixelX(p.x), geometry.pixelY(p.y)}; }
    // A clip rectangle in plotter units, within the paper; empty when they do not meet.
    PixelBox clipBox(const Rect& clip) const;

    const PageGeometry& geometry;
    double scale;  // pixels per plotter unit
    PixelBox paper;
};

// Liang-Barsky: the part of a-b inside the box, as parameters t0..t1.
bool clipSegment(Px a, Px b, const PixelBox& box, double& t0, double& t1);
// Sutherland-Hodgman against the four sides of a box.
std::vector<Px> clipRing(const std::vector<Px>& ring, const PixelBox& box);

}  // namespace tavix::preview
