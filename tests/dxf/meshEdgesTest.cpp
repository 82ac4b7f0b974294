// Polyface and polygon meshes, read from the file: the visible edges of
// the faces, the lines of the grid, and nothing for faces that name
// vertices the mesh lacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "dxfReader.h"
#include "dxfText.h"

namespace tavix::dxf {
namespace {

using testing::drawing;
using testing::Groups;

using Segment = std::array<double, 4>;  // x0, y0, x1, y1, the lower end first

// The segments of every polyline handed on, in a canonical order.
std::vector<Segment> segmentsOf(const std::string& text, bool& ok, std::string& error) {
    DxfTables tables;
    DxfReadReport report;
    std::vector<Segment> out;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(text), &std::fclose);
    ok = readDxf(file.get(), tables, [&](const Entity& e, std::string&) {
        EXPECT_EQ(EntityKind::Polyline, e.kind);
        EXPECT_FALSE(e.closed);
        EXPECT_EQ(3, e.style.colour);
        for (size_t i = 1; i < e.vertices.size(); ++i) {
            Segment s{e.vertices[i - 1].x, e.vertices[i - 1].y, e.vertices[i].x, e.vertices[i].y};
            if (std::make_pair(s[2], s[3]) < std::make_pair(s[0], s[1])) s = {s[2], s[3], s[0], s[1]};
            out.push_back(s);
        }
        return true;
    }, report);
    error = report.error;
    std::sort(out.begin(), out.end());
    return out;
}

Groups vertex(int flags, double x, double y, std::vector<int> indices = {}) {
    Groups g = {{0, "VERTEX"}, {8, "0"}, {70, std::to_string(flags)}, {10, std::to_string(x)},
                {20, std::to_string(y)}, {30, "0"}};
    for (size_t k = 0; k < indices.size(); ++k) g.push_back({71 + static_cast<int>(k), std::to_string(indices[k])});
    return g;
}

Groups meshOf(int flags, int m, int n, const std::vector<Groups>& vertices) {
    Groups g = {{0, "POLYLINE"}, {8, "0"}, {62, "3"}, {66, "1"}, {10, "0"}, {20, "0"}, {30, "0"},
                {70, std::to_string(flags)}, {71, std::to_string(m)}, {72, std::to_string(n)}};
    for (const Groups& v : vertices) g.insert(g.end(), v.begin(), v.end());
    g.push_back({0, "SEQEND"});
    return g;
}

TEST(MeshEdges, polyfacesDrawTheirVisibleEdges) {
    // A square of two triangles; the diagonal between them is hidden on both sides.
    Groups mesh = meshOf(64, 4, 3, {vertex(192, 0, 0), vertex(192, 10, 0), vertex(192, 10, 10), vertex(192, 0, 10),
                                    vertex(128, 0, 0, {1, 2, -3}), vertex(128, 0, 0, {-1, 3, 4}),
                                    vertex(128, 0, 0, {1, 9, 2}),  // no vertex 9: left out
                                    vertex(128, 0, 0, {1, -2147483647 - 1, 2})});
    bool ok = false;
    std::string error;
    std::vector<Segment> got = segmentsOf(drawing(mesh), ok, error);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ((std::vector<Segment>{{0, 0, 0, 10}, {0, 0, 10, 0}, {0, 10, 10, 10}, {10, 0, 10, 10}}), got);
}

TEST(MeshEdges, polygonMeshesDrawTheirGrid) {
    // Two rows of three, closed across the rows (flag 32): each row a loop.
    std::vector<Groups> vertices;
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column) vertices.push_back(vertex(64, column * 10, row * 5));
    bool ok = false;
    std::string error;
    std::vector<Segment> got = segmentsOf(drawing(meshOf(16 | 32, 2, 3, vertices)), ok, error);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ((std::vector<Segment>{{0, 0, 0, 5}, {0, 0, 10, 0}, {0, 0, 20, 0}, {0, 5, 10, 5}, {0, 5, 20, 5},
                                    {10, 0, 10, 5}, {10, 0, 20, 0}, {10, 5, 20, 5}, {20, 0, 20, 5}}),
              got);
    // A grid larger than its vertices draws nothing rather than reading past them.
    got = segmentsOf(drawing(meshOf(16, 3, 3, vertices)), ok, error);
    ASSERT_TRUE(ok) << error;
    EXPECT_TRUE(got.empty());
}

}  // namespace
}  // namespace tavix::dxf
