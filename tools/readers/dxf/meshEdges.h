// Polyface and polygon meshes (POLYLINE flags 64 and 16) as the CAD host
// plots them in a top view: the visible edges of their faces, or the lines
// of their grid.
#pragma once

#include <array>
#include <vector>

#include "dxfModel.h"

namespace tavix::dxf {

struct Mesh {
    bool polyface = false;          // faces of indexed vertices; otherwise an M x N grid
    int m = 0, n = 0;               // grid size (groups 71, 72)
    bool closedM = false, closedN = false;  // POLYLINE flags 1 and 32
    std::vector<Point2> points;     // the vertices, in file order
    // Polyface faces: 1-based vertex indices (groups 71 to 74); 0 ends the
    // face; a negative index hides the edge that starts at that vertex.
    std::vector<std::array<int, 4>> faces;
};

// The edges as open polylines, each with the style of `look`. Faces or grid
// lines that name vertices the mesh does not have are left out.
std::vector<Entity> meshEdges(const Mesh& mesh, const Entity& look);

}  // namespace tavix::dxf
