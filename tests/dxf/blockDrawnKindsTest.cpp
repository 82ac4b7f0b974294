// ARC_DIMENSION and LARGE_RADIAL_DIMENSION are drawn through their blocks,
// as dimensions are (the block in drawing coordinates); ACAD_TABLE through
// its block at its insertion point, as ezdxf places it.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "dxfReader.h"
#include "dxfText.h"
#include "entityRenderer.h"

namespace tavix::dxf {
namespace {

using testing::Groups;

struct Recording : PrimitiveSink {
    std::vector<geometry::Polyline> strokes;
    bool stroke(const LineLook&, const geometry::Polyline& points, double, std::string&) override {
        strokes.push_back(points);
        return true;
    }
    bool fill(const LineLook&, const std::vector<geometry::Polyline>&, std::string&) override { return true; }
};

Groups blockOfALine(const char* name) {
    return {{0, "BLOCK"}, {8, "0"}, {2, name}, {70, "1"}, {10, "0"}, {20, "0"}, {0, "LINE"}, {8, "0"},
            {10, "0"}, {20, "0"}, {11, "10"}, {21, "0"}, {0, "ENDBLK"}};
}

struct Case {
    const char* name;
    Groups entity;
    geometry::Point from, to;
};

TEST(BlockDrawnKinds, drawTheirBlocks) {
    Groups blocks = blockOfALine("*D1");
    Groups table = blockOfALine("*T1");
    blocks.insert(blocks.end(), table.begin(), table.end());
    const Case cases[] = {
        {"ARC_DIMENSION",
         {{0, "ARC_DIMENSION"}, {8, "0"}, {100, "AcDbDimension"}, {2, "*D1"}, {10, "50"}, {20, "50"}, {70, "37"}},
         {0, 0}, {10, 0}},
        {"LARGE_RADIAL_DIMENSION",
         {{0, "LARGE_RADIAL_DIMENSION"}, {8, "0"}, {100, "AcDbDimension"}, {2, "*D1"}, {10, "5"}, {20, "5"}},
         {0, 0}, {10, 0}},
        {"ACAD_TABLE",
         {{0, "ACAD_TABLE"}, {8, "0"}, {100, "AcDbBlockReference"}, {2, "*T1"}, {10, "100"}, {20, "20"}},
         {100, 20}, {110, 20}},
    };
    for (const Case& c : cases) {
        DxfTables tables;
        DxfReadReport report;
        Recording sink;
        RenderSettings settings{0.01, true};
        EntityRenderer renderer(tables, nullptr, sink, settings);
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(testing::drawing(c.entity, blocks)),
                                                             &std::fclose);
        ASSERT_TRUE(readDxf(file.get(), tables,
                            [&](const Entity& e, std::string& why) { return renderer.draw(e, why); }, report))
            << c.name << ": " << report.error;
        EXPECT_TRUE(report.skipped.empty()) << c.name;
        ASSERT_EQ(1u, sink.strokes.size()) << c.name;
        ASSERT_EQ(2u, sink.strokes[0].size()) << c.name;
        EXPECT_NEAR(c.from.x, sink.strokes[0][0].x, 1e-9) << c.name;
        EXPECT_NEAR(c.from.y, sink.strokes[0][0].y, 1e-9) << c.name;
        EXPECT_NEAR(c.to.x, sink.strokes[0][1].x, 1e-9) << c.name;
        EXPECT_NEAR(c.to.y, sink.strokes[0][1].y, 1e-9) << c.name;
    }
}

TEST(BlockDrawnKinds, withoutTheirBlockAreReportedNotDrawn) {
    DxfTables tables;
    DxfReadReport report;
    Recording sink;
    RenderSettings settings{0.01, true};
    EntityRenderer renderer(tables, nullptr, sink, settings);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        testing::memoryFile(testing::drawing({{0, "ARC_DIMENSION"}, {8, "0"}, {2, "*D9"}})), &std::fclose);
    ASSERT_TRUE(readDxf(file.get(), tables, [&](const Entity& e, std::string& why) { return renderer.draw(e, why); },
                        report))
        << report.error;
    EXPECT_TRUE(sink.strokes.empty());
    EXPECT_EQ(1, renderer.undrawable["DIMENSION without its block (*D9)"]);
}

}  // namespace
}  // namespace tavix::dxf
