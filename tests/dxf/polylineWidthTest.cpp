// Polylines whose widths vary (tapered segments, widths per vertex) plot as
// the filled outlines of their widths, segment by segment; the areas are
// checked against the areas the widths enclose.
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

struct Fills : PrimitiveSink {
    std::vector<geometry::Polyline> polygons;
    int strokes = 0;
    bool stroke(const LineLook&, const geometry::Polyline&, double, std::string&) override {
        ++strokes;
        return true;
    }
    bool fill(const LineLook&, const std::vector<geometry::Polyline>& loops, std::string&) override {
        for (const auto& l : loops) polygons.push_back(l);
        return true;
    }
};

double area(const geometry::Polyline& p) {
    double a = 0;
    for (size_t i = 0; i < p.size(); ++i) {
        const geometry::Point& u = p[i];
        const geometry::Point& v = p[(i + 1) % p.size()];
        a += u.x * v.y - v.x * u.y;
    }
    return std::fabs(a) / 2;
}

Fills render(const Groups& entities) {
    Fills out;
    DxfTables tables;
    DxfReadReport report;
    EntityRenderer renderer(tables, nullptr, out, RenderSettings{0.001, true});
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(drawing(entities)), &std::fclose);
    EXPECT_TRUE(readDxf(file.get(), tables, [&](const Entity& e, std::string& why) { return renderer.draw(e, why); },
                        report))
        << report.error;
    return out;
}

struct Case {
    const char* name;
    Groups entities;
    std::vector<double> areas;  // of each segment's outline
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

const double PI = std::acos(-1.0);

const Case CASES[] = {
    // From a point to 10 wide over 100, then 4 wide up 50.
    {"lightweightTaperedThenConstant",
     {{0, "LWPOLYLINE"}, {8, "0"}, {90, "3"}, {70, "0"}, {10, "0"}, {20, "0"}, {40, "0"}, {41, "10"},
      {10, "100"}, {20, "0"}, {40, "4"}, {41, "4"}, {10, "100"}, {20, "50"}},
     {500, 200}},
    // The same as an old-style POLYLINE, its default widths 4 and 4 on the header.
    {"polylineWithVertexWidths",
     {{0, "POLYLINE"}, {8, "0"}, {66, "1"}, {10, "0"}, {20, "0"}, {70, "0"}, {40, "4"}, {41, "4"},
      {0, "VERTEX"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "0"}, {41, "10"},
      {0, "VERTEX"}, {8, "0"}, {10, "100"}, {20, "0"},
      {0, "VERTEX"}, {8, "0"}, {10, "100"}, {20, "50"}, {0, "SEQEND"}, {8, "0"}},
     {500, 200}},
    // A half circle of radius 50 (bulge 1), 2 wide at its start and 6 at its
    // end: the area between the two offset curves is R * sweep * mean width.
    {"taperedArc",
     {{0, "LWPOLYLINE"}, {8, "0"}, {90, "2"}, {70, "0"}, {10, "0"}, {20, "0"}, {40, "2"}, {41, "6"}, {42, "1"},
      {10, "100"}, {20, "0"}},
     {50 * PI * 4}},
    // Closed: the last segment, back to the first vertex, has its widths too.
    {"closedTriangle",
     {{0, "LWPOLYLINE"}, {8, "0"}, {90, "3"}, {70, "1"}, {10, "0"}, {20, "0"}, {40, "2"}, {41, "2"},
      {10, "100"}, {20, "0"}, {40, "2"}, {41, "2"}, {10, "100"}, {20, "100"}, {40, "0"}, {41, "6"}},
     {200, 200, 100 * std::sqrt(2.0) * 3}},
};

class PolylineWidth : public ::testing::TestWithParam<Case> {};

TEST_P(PolylineWidth, segmentsAreFilledOutlinesOfTheirWidths) {
    const Case& c = GetParam();
    Fills f = render(c.entities);
    ASSERT_EQ(c.areas.size(), f.polygons.size());
    for (size_t i = 0; i < c.areas.size(); ++i) EXPECT_NEAR(c.areas[i], area(f.polygons[i]), c.areas[i] * 2e-3) << i;
}

INSTANTIATE_TEST_SUITE_P(Polylines, PolylineWidth, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Constant widths keep the wide pen, and polylines without widths are lines.
TEST(PolylineWidth, constantAndNoWidthsStayStrokes) {
    Fills constant = render({{0, "LWPOLYLINE"}, {8, "0"}, {90, "2"}, {70, "0"}, {43, "3"}, {10, "0"}, {20, "0"},
                             {10, "100"}, {20, "0"}});
    EXPECT_TRUE(constant.polygons.empty());
    EXPECT_EQ(1, constant.strokes);
    Fills plain = render({{0, "LWPOLYLINE"}, {8, "0"}, {90, "2"}, {70, "0"}, {10, "0"}, {20, "0"}, {10, "100"},
                          {20, "0"}});
    EXPECT_TRUE(plain.polygons.empty());
    EXPECT_EQ(1, plain.strokes);
}

}  // namespace
}  // namespace tavix::dxf
