// IMAGE: the raster image file its definition object names, over the
// parallelogram of its pixels. The definition comes after the entities.
#pragma once

#include <string>
#include <vector>

#include "dxfModel.h"
#include "rawEntity.h"

namespace tavix::dxf {

struct ImagePlacement {
    std::vector<Point2> corners;  // lower left, lower right, upper right, upper left; empty when of no area
    std::string definition;       // the handle of its IMAGEDEF (group 340)
};

ImagePlacement readImage(const RawGroups& groups);

// The block an IMAGE draws: one image entity (corners as vertices, the file as text).
Block imageBlock(const ImagePlacement& placement, const std::string& file);

}  // namespace tavix::dxf
