// What StrokeRaster records between flushes: convex shapes cut into
// trapezoids (slabs between two heights, bounded left and right by one
// straight side each), in picture pixels and already within their clip's
// columns, with the colour and clip they are painted with.
#pragma once

#include <cstdint>
#include <vector>

namespace tavix::preview {

struct RasterPaint {
    uint32_t solid;  // opaque ARGB
    uint32_t r, g, b;
    int clipX0, clipX1, clipY0, clipY1;  // columns and rows that may change
};

// Between heights yTop and yBottom; each side is x = x + (y - yTop) * slope.
struct RasterTrapezoid {
    double yTop, yBottom;
    double leftX, leftSlope, rightX, rightSlope;
};

struct RasterShape {
    int y0, y1;  // rows touched, within the clip
    uint32_t paint;
    uint32_t first, count;  // its trapezoids
};

struct RasterRecord {
    std::vector<RasterPaint> paints;
    std::vector<RasterShape> shapes;
    std::vector<RasterTrapezoid> trapezoids;
    void clear() {
        paints.clear();
        shapes.clear();
        trapezoids.clear();
    }
};

}  // namespace tavix::preview
