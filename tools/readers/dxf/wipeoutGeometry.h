// WIPEOUT: its boundary in drawing coordinates. The boundary is kept like an
// image's clipping path: in pixels of its image from the top left corner
// (a wipeout's image is one pixel, its vertices from -0.5 to 0.5), placed by
// the image's insertion point and pixel vectors.
#pragma once

#include <vector>

#include "dxfModel.h"
#include "rawEntity.h"

namespace tavix::dxf {

// The closed boundary (first vertex not repeated); empty when it has no area to hide.
std::vector<Point2> wipeoutBoundary(const RawGroups& groups);

// The block a WIPEOUT draws: the wipe, then its frame when `frame`.
Block wipeoutBlock(const std::vector<Point2>& boundary, bool frame);

}  // namespace tavix::dxf
