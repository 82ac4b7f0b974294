#include "meshEdges.h"

namespace tavix::dxf {
namespace {

Entity polyline(const Entity& look, std::vector<Vertex> vertices) {
    Entity e = look;
    e.kind = EntityKind::Polyline;
    e.closed = false;
    e.width = 0;
    e.vertices = std::move(vertices);
    return e;
}

Vertex vertex(const Point2& p) { return {p.x, p.y, 0}; }

// The vertex number of an index, whatever its sign (INT_MIN included).
long long number(int index) { return index < 0 ? -static_cast<long long>(index) : index; }

void polyfaceEdges(const Mesh& mesh, const Entity& look, std::vector<Entity>& out) {
    const int count = static_cast<int>(mesh.points.size());
    for (const std::array<int, 4>& face : mesh.faces) {
        int corners = 0;
        while (corners < 4 && face[corners] != 0) ++corners;
        bool valid = corners >= 2;
        for (int k = 0; k < corners; ++k) valid = valid && number(face[k]) <= count;
        if (!valid) continue;
        // A two-cornered face is one edge, not one there and back.
        const int edges = corners == 2 ? 1 : corners;
        for (int k = 0; k < edges; ++k) {
            if (face[k] < 0) continue;  // invisible edge
            const Point2& a = mesh.points[number(face[k]) - 1];
            const Point2& b = mesh.points[number(face[(k + 1) % corners]) - 1];
            out.push_back(polyline(look, {vertex(a), vertex(b)}));
        }
    }
}

void gridLines(const Mesh& mesh, const Entity& look, std::vector<Entity>& out) {
    if (mesh.m < 1 || mesh.n < 1 || static_cast<long long>(mesh.m) * mesh.n > static_cast<long long>(mesh.points.size()))
        return;
    auto at = [&](int row, int column) { return vertex(mesh.points[static_cast<size_t>(row) * mesh.n + column]); };
    for (int row = 0; row < mesh.m && mesh.n > 1; ++row) {
        std::vector<Vertex> line;
        for (int column = 0; column < mesh.n; ++column) line.push_back(at(row, column));
        if (mesh.closedN) line.push_back(at(row, 0));
        out.push_back(polyline(look, std::move(line)));
    }
    for (int column = 0; column < mesh.n && mesh.m > 1; ++column) {
        std::vector<Vertex> line;
        for (int row = 0; row < mesh.m; ++row) line.push_back(at(row, column));
        if (mesh.closedM) line.push_back(at(0, column));
        out.push_back(polyline(look, std::move(line)));
    }
}

}  // namespace

std::vector<Entity> meshEdges(const Mesh& mesh, const Entity& look) {
    std::vector<Entity> out;
    if (mesh.polyface) polyfaceEdges(mesh, look, out);
    else gridLines(mesh, look, out);
    return out;
}

}  // namespace tavix::dxf
