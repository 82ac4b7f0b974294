// MULTILEADER: its leader lines, each from its arrowhead through its
// vertices to its leader's landing point, the dogleg from there, and its
// text content. A content block is not drawn (it is named by handle only).
#pragma once

#include "dxfModel.h"
#include "rawEntity.h"

namespace tavix::dxf {

Block multileaderBlock(const RawGroups& groups);

// An AutoCAD colour value as MULTILEADER stores it (the method in the top
// byte: by layer, by block, a colour number, true colour) into the colour
// number and true colour of an entity's style.
void multileaderColour(double value, int& colour, int& trueColour);

}  // namespace tavix::dxf
