#include "rasterFrame.h"

namespace tavix::dxf {

RasterFrame readRasterFrame(const RawGroups& groups, Point2 size, const std::function<void(const RawGroup&)>& other) {
    RasterFrame f;
    f.size = size;
    for (const RawGroup& g : groups) {
        if (g.code >= 1000) break;
        switch (g.code) {
            case 10: f.insert.x = g.number; break;
            case 20: f.insert.y = g.number; break;
            case 11: f.u.x = g.number; break;
            case 21: f.u.y = g.number; break;
            case 12: f.v.x = g.number; break;
            case 22: f.v.y = g.number; break;
            case 13: f.size.x = g.number; break;
            case 23: f.size.y = g.number; break;
            default: other(g); break;
        }
    }
    return f;
}

}  // namespace tavix::dxf
