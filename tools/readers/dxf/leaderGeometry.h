// LEADER: the path from the arrowhead (at its first vertex) through its
// vertices, straight or as a curve through them, with the arrowhead of its
// dimension style. Its text is an MTEXT of its own, drawn as any.
#pragma once

#include "dimensionStyle.h"
#include "dxfModel.h"
#include "rawEntity.h"

namespace tavix::dxf {

// What the leader draws, in drawing coordinates; empty with fewer than two vertices.
Block leaderBlock(const RawGroups& groups, const DimensionStyle& style);

}  // namespace tavix::dxf
