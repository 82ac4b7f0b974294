// The frame IMAGE and WIPEOUT share: the insertion point (10/20), one
// pixel's vectors along U and V (11/21, 12/22) and the size in pixels
// (13/23), read up to the extended data.
#pragma once

#include <functional>

#include "dxfModel.h"
#include "rawEntity.h"

namespace tavix::dxf {

struct RasterFrame {
    Point2 insert, u, v, size;
};

// `size` is the default size; `other` sees every other group.
RasterFrame readRasterFrame(const RawGroups& groups, Point2 size, const std::function<void(const RawGroup&)>& other);

}  // namespace tavix::dxf
