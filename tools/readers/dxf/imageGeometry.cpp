#include "imageGeometry.h"

#include <cmath>

#include "rasterFrame.h"

namespace tavix::dxf {

ImagePlacement readImage(const RawGroups& groups) {
    ImagePlacement out;
    RasterFrame f = readRasterFrame(groups, {}, [&out](const RawGroup& g) {
        if (g.code == 340) out.definition = g.value;
    });
    const Point2 &insert = f.insert, &u = f.u, &v = f.v, &size = f.size;
    // The insertion point is the lower left corner of the lower left pixel.
    Point2 w{u.x * size.x, u.y * size.x}, h{v.x * size.y, v.y * size.y};
    std::vector<Point2> corners = {insert, {insert.x + w.x, insert.y + w.y},
                                   {insert.x + w.x + h.x, insert.y + w.y + h.y}, {insert.x + h.x, insert.y + h.y}};
    double area = w.x * h.y - w.y * h.x;
    for (const Point2& p : corners)
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return out;
    if (std::isfinite(area) && area != 0) out.corners = std::move(corners);
    return out;
}

Block imageBlock(const ImagePlacement& placement, const std::string& file) {
    Block block;
    block.name = "IMAGE";
    if (placement.corners.size() != 4) return block;
    Entity image;
    image.kind = EntityKind::Image;
    image.style.layer = 0;
    image.style.colour = COLOUR_BYBLOCK;
    for (const Point2& p : placement.corners) image.vertices.push_back({p.x, p.y, 0});
    image.text = file;
    block.entities.push_back(std::move(image));
    return block;
}

}  // namespace tavix::dxf
