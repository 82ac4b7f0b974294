// `--linetypes printer`: straight lines take the printer's line types, whose
// adaptive patterns fit each vector; the chords of curves would each start
// the pattern again (a dashed circle looks solid), so curves are dashed here
// and drawn solid.
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

struct Recording : PrimitiveSink {
    std::vector<std::pair<LineLook, geometry::Polyline>> strokes;
    bool stroke(const LineLook& look, const geometry::Polyline& points, double, std::string&) override {
        strokes.push_back({look, points});
        return true;
    }
    bool fill(const LineLook&, const std::vector<geometry::Polyline>&, std::string&) override { return true; }
};

// A DASHED linetype of 0.5 dashes and 0.25 gaps.
const Groups LINETYPES = {{0, "TABLE"}, {2, "LTYPE"}, {0, "LTYPE"}, {2, "DASHED"}, {70, "0"}, {3, "__ __"},
                          {72, "65"}, {73, "2"}, {40, "0.75"}, {49, "0.5"}, {74, "0"}, {49, "-0.25"}, {74, "0"},
                          {0, "ENDTAB"}};

struct Case {
    const char* name;
    Groups entity;
    bool softwareLinetypes;
    size_t minStrokes, maxStrokes;
    int printerLineType;  // of every stroke
};

Groups dashed(const char* kind, Groups rest) {
    Groups g = {{0, kind}, {6, "DASHED"}};
    g.insert(g.end(), rest.begin(), rest.end());
    return g;
}

TEST(PrinterLinetypes, curvesAreDashedHereStraightLinesByThePrinter) {
    const Groups circle = {{10, "0"}, {20, "0"}, {40, "10"}};
    const Case cases[] = {
        {"line", dashed("LINE", {{10, "0"}, {20, "0"}, {11, "20"}, {21, "0"}}), false, 1, 1, 1},
        {"straightPolyline", dashed("LWPOLYLINE", {{90, "3"}, {10, "0"}, {20, "0"}, {10, "5"}, {20, "0"}, {10, "5"},
                                                   {20, "5"}}),
         false, 1, 1, 1},
        // 62.8 long: 84 patterns of one dash each.
        {"circle", dashed("CIRCLE", circle), false, 83, 85, 0},
        {"arc", dashed("ARC", {{10, "0"}, {20, "0"}, {40, "10"}, {50, "0"}, {51, "180"}}), false, 41, 43, 0},
        {"ellipse", dashed("ELLIPSE", {{10, "0"}, {20, "0"}, {11, "10"}, {21, "0"}, {40, "0.5"}, {41, "0"},
                                       {42, "6.283185307179586"}}),
         false, 40, 80, 0},
        {"bulgedPolyline", dashed("LWPOLYLINE", {{90, "2"}, {10, "0"}, {20, "0"}, {42, "1"}, {10, "20"}, {20, "0"}}),
         false, 41, 43, 0},
        {"continuousCircle", Groups{{0, "CIRCLE"}, {10, "0"}, {20, "0"}, {40, "10"}}, false, 1, 1, 0},
        {"circleInSoftwareMode", dashed("CIRCLE", circle), true, 83, 85, 0},
    };
    for (const Case& c : cases) {
        // Read first, then draw, as the plot does: the line types come from the whole table.
        DxfTables tables;
        DxfReadReport report;
        std::vector<Entity> entities;
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(drawing(c.entity, {}, LINETYPES)),
                                                             &std::fclose);
        ASSERT_TRUE(readDxf(file.get(), tables, [&](const Entity& e, std::string&) {
            entities.push_back(e);
            return true;
        }, report)) << c.name << ": " << report.error;
        Recording sink;
        EntityRenderer renderer(tables, nullptr, sink, RenderSettings{0.001, c.softwareLinetypes});
        std::string error;
        for (const Entity& e : entities) ASSERT_TRUE(renderer.draw(e, error)) << c.name << ": " << error;
        EXPECT_GE(sink.strokes.size(), c.minStrokes) << c.name;
        EXPECT_LE(sink.strokes.size(), c.maxStrokes) << c.name;
        for (const auto& [look, points] : sink.strokes) {
            EXPECT_EQ(c.printerLineType, look.printerLineType) << c.name;
            if (c.minStrokes > 1) {  // a dash is no longer than the pattern's
                double length = 0;
                for (size_t i = 1; i < points.size(); ++i)
                    length += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
                EXPECT_LE(length, 0.5 + 1e-6) << c.name;
            }
        }
    }
}

}  // namespace
}  // namespace tavix::dxf
