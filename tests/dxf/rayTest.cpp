// RAY and XLINE run without end: they are drawn as far as the plot shows
// the drawing, through blocks as any line, and take no part in the extents.
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
    std::vector<geometry::Polyline> strokes;
    bool stroke(const LineLook&, const geometry::Polyline& points, double, std::string&) override {
        strokes.push_back(points);
        return true;
    }
    bool fill(const LineLook&, const std::vector<geometry::Polyline>&, std::string&) override { return true; }
};

Groups ray(const char* kind, double x, double y, double dx, double dy) {
    return {{0, kind}, {8, "0"}, {10, std::to_string(x)}, {20, std::to_string(y)}, {30, "0"},
            {11, std::to_string(dx)}, {21, std::to_string(dy)}, {31, "0"}};
}

struct Case {
    const char* name;
    Groups entities, blocks;
    std::vector<geometry::Polyline> drawn;  // in drawing units
};

// The paper shows drawing units (0, 0) to (100, 50) at 2 paper units each.
TEST(Rays, areCutToWhatThePlotShows) {
    Groups turned = {{0, "BLOCK"}, {8, "0"}, {2, "T"}, {70, "0"}, {10, "0"}, {20, "0"}};
    Groups inBlock = ray("RAY", 0, 0, 1, 0);
    turned.insert(turned.end(), inBlock.begin(), inBlock.end());
    turned.push_back({0, "ENDBLK"});
    const Case cases[] = {
        {"xlineDiagonal", ray("XLINE", 10, 10, 1, 1), {}, {{{0, 0}, {50, 50}}}},
        {"rayAhead", ray("RAY", 10, 10, 3, 0), {}, {{{10, 10}, {100, 10}}}},
        {"rayBack", ray("RAY", 10, 10, -1, 0), {}, {{{10, 10}, {0, 10}}}},
        {"xlineUpright", ray("XLINE", 20, 80, 0, -1), {}, {{{20, 50}, {20, 0}}}},
        {"rayFromOutside", ray("RAY", -50, 25, 1, 0), {}, {{{0, 25}, {100, 25}}}},
        {"rayAwayFromThePaper", ray("RAY", 200, 10, 1, 0), {}, {}},
        {"xlineBesideThePaper", ray("XLINE", 0, 60, 1, 0), {}, {}},
        {"noDirection", ray("XLINE", 10, 10, 0, 0), {}, {}},
        {"turnedInABlock", {{0, "INSERT"}, {8, "0"}, {2, "T"}, {10, "30"}, {20, "20"}, {50, "90"}}, turned,
         {{{30, 20}, {30, 50}}}},
    };
    for (const Case& c : cases) {
        for (bool measuring : {false, true}) {
            DxfTables tables;
            DxfReadReport report;
            Recording sink;
            RenderSettings settings{measuring ? 0 : 0.01, true};
            if (!measuring) {
                settings.toPaper = Affine::scaling(2, 2);
                settings.paperX1 = 200, settings.paperY1 = 100;
            }
            EntityRenderer renderer(tables, nullptr, sink, settings);
            std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(drawing(c.entities, c.blocks)),
                                                                 &std::fclose);
            ASSERT_TRUE(readDxf(file.get(), tables,
                                [&](const Entity& e, std::string& why) { return renderer.draw(e, why); }, report))
                << c.name << ": " << report.error;
            if (measuring) {
                EXPECT_TRUE(sink.strokes.empty()) << c.name << ": a ray has no extent";
                continue;
            }
            ASSERT_EQ(c.drawn.size(), sink.strokes.size()) << c.name;
            for (size_t i = 0; i < c.drawn.size(); ++i) {
                ASSERT_EQ(2u, sink.strokes[i].size()) << c.name;
                for (size_t k = 0; k < 2; ++k) {
                    EXPECT_NEAR(c.drawn[i][k].x, sink.strokes[i][k].x, 1e-9) << c.name;
                    EXPECT_NEAR(c.drawn[i][k].y, sink.strokes[i][k].y, 1e-9) << c.name;
                }
            }
        }
    }
}

}  // namespace
}  // namespace tavix::dxf
