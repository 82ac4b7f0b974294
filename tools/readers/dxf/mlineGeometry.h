// MLINE: parallel lines along a path, each element of its style at the
// offsets the entity keeps per vertex (along the vertex's miter), with the
// style's colours and line types, its fill, caps and miter joints.
#pragma once

#include <string>
#include <vector>

#include "dxfModel.h"
#include "rawEntity.h"

namespace tavix::dxf {

// MLINESTYLE object flags (group 70).
namespace mlineFlag {
constexpr int FILL = 1, MITERS = 2, START_CAP = 16, END_CAP = 256;
}

struct MlineElementStyle {
    int colour = COLOUR_BYLAYER;
    int linetype = LINETYPE_BYLAYER;  // resolved by the reader
};

struct MlineStyle {
    int flags = 0;
    int fillColour = COLOUR_BYLAYER;
    std::vector<MlineElementStyle> elements;
};

// The entity's own geometry: each element's point at each vertex.
struct MlineShape {
    std::string styleName = "STANDARD";
    bool closed = false;
    bool suppressStartCap = false, suppressEndCap = false;
    std::vector<std::vector<Point2>> elements;  // [element][vertex]
};

MlineShape readMline(const RawGroups& groups);
// The style's name and what it says, from an MLINESTYLE object's groups; the
// element line types by name, for the reader to resolve.
MlineStyle readMlineStyle(const RawGroups& groups, std::string& name, std::vector<std::string>& linetypes);

// What the multiline draws; without its style (not found) only the element lines.
Block mlineBlock(const MlineShape& shape, const MlineStyle* style);

}  // namespace tavix::dxf
