// A 3DFACE plots as its edges, as the CAD host plots it, without those its
// group 70 marks invisible (1: the first edge, 2: the second, 4: the third,
// 8: the fourth); SOLID and TRACE stay filled areas.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "dxfReader.h"
#include "dxfText.h"
#include "entityRenderer.h"

namespace tavix::dxf {
namespace {

using testing::drawing;
using testing::Groups;

struct Edges : PrimitiveSink {
    std::vector<std::pair<geometry::Point, geometry::Point>> segments;
    int fills = 0;
    bool stroke(const LineLook&, const geometry::Polyline& points, double, std::string&) override {
        for (size_t i = 1; i < points.size(); ++i) segments.push_back({points[i - 1], points[i]});
        return true;
    }
    bool fill(const LineLook&, const std::vector<geometry::Polyline>&, std::string&) override {
        ++fills;
        return true;
    }
    // Whether a segment joins a and b, either way round.
    bool has(geometry::Point a, geometry::Point b) const {
        auto same = [](geometry::Point p, geometry::Point q) { return p.x == q.x && p.y == q.y; };
        for (const auto& [p, q] : segments)
            if ((same(p, a) && same(q, b)) || (same(p, b) && same(q, a))) return true;
        return false;
    }
};

Edges render(const Groups& entities) {
    Edges out;
    DxfTables tables;
    DxfReadReport report;
    EntityRenderer renderer(tables, nullptr, out, RenderSettings{0.01, true});
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(drawing(entities)), &std::fclose);
    EXPECT_TRUE(readDxf(file.get(), tables, [&](const Entity& e, std::string& why) { return renderer.draw(e, why); },
                        report))
        << report.error;
    return out;
}

// Corners (0,0) (10,0) (10,10) and the fourth (0,10), or the third again.
Groups face(int flags, bool triangle = false) {
    return {{0, "3DFACE"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "10"}, {21, "0"}, {31, "0"},
            {12, "10"}, {22, "10"}, {32, "0"}, {13, triangle ? "10" : "0"}, {23, "10"}, {33, "0"},
            {70, std::to_string(flags)}};
}

TEST(FaceEdges, drawsTheVisibleEdgesAndFillsNothing) {
    const geometry::Point c[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    for (int flags = 0; flags < 16; ++flags) {
        SCOPED_TRACE(::testing::Message() << "flags " << flags);
        Edges e = render(face(flags));
        EXPECT_EQ(0, e.fills);
        size_t visible = 0;
        for (int edge = 0; edge < 4; ++edge) {
            bool shown = (flags & (1 << edge)) == 0;
            visible += shown;
            EXPECT_EQ(shown, e.has(c[edge], c[(edge + 1) % 4])) << "edge " << edge + 1;
        }
        EXPECT_EQ(visible, e.segments.size());
    }
}

TEST(FaceEdges, aTriangleHasThreeEdges) {
    Edges e = render(face(0, true));
    EXPECT_EQ(0, e.fills);
    EXPECT_EQ(3u, e.segments.size());
    EXPECT_TRUE(e.has({10, 10}, {0, 0}));
    // Its fourth edge runs from the repeated corner back to the first: hidden.
    EXPECT_EQ(2u, render(face(8, true)).segments.size());
}

TEST(FaceEdges, solidsAndTracesStayFilled) {
    for (const char* kind : {"SOLID", "TRACE"}) {
        Edges e = render({{0, kind}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "10"}, {21, "0"}, {12, "0"}, {22, "10"},
                          {13, "10"}, {23, "10"}});
        EXPECT_EQ(1, e.fills) << kind;
        EXPECT_TRUE(e.segments.empty()) << kind;
    }
}

}  // namespace
}  // namespace tavix::dxf
