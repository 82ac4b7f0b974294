// Entities to strokes and fills: the CAD host's conventions for layers,
// BYLAYER and BYBLOCK inside blocks, mirrored planes, and block references
// that would never end.
#include <gtest/gtest.h>

#include <memory>

#include "dxfReader.h"
#include "dxfText.h"
#include "entityRenderer.h"

namespace tavix::dxf {
namespace {

using testing::drawing;
using testing::Groups;

struct Recording : PrimitiveSink {
    struct Stroke {
        LineLook look;
        geometry::Polyline points;
    };
    std::vector<Stroke> strokes;
    int fills = 0;
    bool stroke(const LineLook& look, const geometry::Polyline& points, double, std::string&) override {
        strokes.push_back({look, points});
        return true;
    }
    bool fill(const LineLook&, const std::vector<geometry::Polyline>&, std::string&) override {
        ++fills;
        return true;
    }
};

struct Rendered {
    bool ok = false;
    std::string error;
    Recording sink;
    std::map<std::string, int> undrawable;
};

Rendered render(const std::string& text, RenderSettings settings = {0.01, true}) {
    Rendered r;
    DxfTables tables;
    DxfReadReport report;
    EntityRenderer renderer(tables, nullptr, r.sink, settings);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(text), &std::fclose);
    r.ok = readDxf(file.get(), tables, [&](const Entity& e, std::string& why) { return renderer.draw(e, why); },
                   report);
    r.error = report.error;
    r.undrawable = renderer.undrawable;
    return r;
}

Groups block(const std::string& name, const Groups& entities) {
    Groups g = {{0, "BLOCK"}, {8, "0"}, {2, name}, {70, "0"}, {10, "0"}, {20, "0"}};
    g.insert(g.end(), entities.begin(), entities.end());
    g.push_back({0, "ENDBLK"});
    return g;
}

Groups insert(const std::string& name, const std::string& layer = "0", const std::string& colour = "256") {
    return {{0, "INSERT"}, {8, layer}, {62, colour}, {2, name}, {10, "0"}, {20, "0"}};
}

Groups line(const std::string& layer, const std::string& colour, double y = 0) {
    return {{0, "LINE"}, {8, layer}, {62, colour}, {10, "0"}, {20, std::to_string(y)}, {11, "1"},
            {21, std::to_string(y)}};
}

Groups layerTable(const Groups& layers) {
    Groups g = {{0, "TABLE"}, {2, "LAYER"}};
    g.insert(g.end(), layers.begin(), layers.end());
    g.push_back({0, "ENDTAB"});
    return g;
}

Groups concat(std::initializer_list<Groups> parts) {
    Groups out;
    for (const Groups& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(EntityRenderer, aBlockThatInsertsItselfIsAnError) {
    Rendered direct = render(drawing(insert("A"), block("A", insert("A"))));
    EXPECT_FALSE(direct.ok);
    // The line is that of the reference that closes the cycle.
    EXPECT_EQ("line 17: the block A inserts itself (A > A)", direct.error);
    Rendered indirect = render(drawing(insert("A"), concat({block("A", insert("B")), block("B", insert("a"))})));
    EXPECT_FALSE(indirect.ok);
    EXPECT_EQ("line 43: the block A inserts itself (A > B > A)", indirect.error);
}

TEST(EntityRenderer, blocksNestedTooDeepAreAnError) {
    Groups blocks;
    for (int i = 0; i < MAX_BLOCK_DEPTH + 1; ++i)
        blocks = concat({blocks, block("B" + std::to_string(i), insert("B" + std::to_string(i + 1)))});
    blocks = concat({blocks, block("B" + std::to_string(MAX_BLOCK_DEPTH + 1), line("0", "1"))});
    Rendered r = render(drawing(insert("B0"), blocks));
    EXPECT_FALSE(r.ok);
    EXPECT_NE(std::string::npos, r.error.find("blocks are nested more than 32 deep")) << r.error;
    // One level less is drawn.
    Groups fits;
    for (int i = 0; i < MAX_BLOCK_DEPTH - 1; ++i)
        fits = concat({fits, block("B" + std::to_string(i), insert("B" + std::to_string(i + 1)))});
    fits = concat({fits, block("B" + std::to_string(MAX_BLOCK_DEPTH - 1), line("0", "1"))});
    Rendered ok = render(drawing(insert("B0"), fits));
    EXPECT_TRUE(ok.ok) << ok.error;
    EXPECT_EQ(1u, ok.sink.strokes.size());
}

TEST(EntityRenderer, arraysThatMultiplyBeyondTheLimitAreAnError) {
    Groups grid = {{0, "INSERT"}, {2, "DOT"}, {10, "0"}, {20, "0"}, {70, "100"}, {71, "100"}, {44, "1"}, {45, "1"}};
    Groups outer = {{0, "INSERT"}, {2, "GRID"}, {10, "0"}, {20, "0"}, {70, "100"}, {71, "100"}, {44, "1"}, {45, "1"}};
    RenderSettings settings{0.01, true, 100000};
    Rendered r = render(drawing(outer, concat({block("DOT", line("0", "1")), block("GRID", grid)})), settings);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ("line 17: the drawing's blocks expand to more than 100000 entities", r.error);
}

TEST(EntityRenderer, blockContentFollowsTheReferencesLayerAndColour) {
    Groups layers = layerTable(concat({
        {{0, "LAYER"}, {2, "OFFLAYER"}, {70, "0"}, {62, "-3"}},
        {{0, "LAYER"}, {2, "COLD"}, {70, "1"}, {62, "4"}},
        {{0, "LAYER"}, {2, "RED"}, {70, "0"}, {62, "1"}},
        {{0, "LAYER"}, {2, "GREEN"}, {70, "0"}, {62, "3"}, {370, "70"}},
    }));
    // On layer 0 and BYBLOCK: the reference's; on a layer of its own: its own.
    Groups content = concat({line("0", "256", 1), line("0", "0", 2), line("GREEN", "256", 3)});
    struct Case {
        Groups reference;
        std::vector<std::pair<double, int>> drawn;  // y and colour of each line drawn
    };
    std::vector<Case> cases = {
        {insert("PART", "RED", "5"), {{1, 1}, {2, 5}, {3, 3}}},
        {insert("PART", "RED", "0"), {{1, 1}, {2, 7}, {3, 3}}},   // BYBLOCK at the top: white/black
        {insert("PART", "OFFLAYER", "2"), {{3, 3}}},                 // layer 0 content hides with the reference
        {insert("PART", "COLD", "2"), {}},                           // a frozen reference hides all
    };
    for (const Case& c : cases) {
        Rendered r = render(drawing(c.reference, block("PART", content), layers));
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_EQ(c.drawn.size(), r.sink.strokes.size());
        for (size_t i = 0; i < c.drawn.size(); ++i) {
            EXPECT_EQ(c.drawn[i].first, r.sink.strokes[i].points[0].y);
            EXPECT_EQ(c.drawn[i].second, r.sink.strokes[i].look.colour);
        }
        if (!c.drawn.empty()) {
            EXPECT_EQ(70, r.sink.strokes.back().look.lineweight);
        }
    }
}

TEST(EntityRenderer, layersThatAreOffFrozenOrNotPlottedDrawNothing) {
    Groups layers = layerTable(concat({
        {{0, "LAYER"}, {2, "OFF"}, {70, "0"}, {62, "-3"}},
        {{0, "LAYER"}, {2, "FROZEN"}, {70, "1"}, {62, "4"}},
        {{0, "LAYER"}, {2, "NOPLOT"}, {70, "0"}, {62, "4"}, {290, "0"}},
        {{0, "LAYER"}, {2, "SHOWN"}, {70, "0"}, {62, "6"}},
    }));
    Rendered r = render(drawing(concat({line("OFF", "256"), line("FROZEN", "256"), line("NOPLOT", "256"),
                                        line("SHOWN", "256"), line("UNLISTED", "256")}),
                                {}, layers));
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(2u, r.sink.strokes.size());
    EXPECT_EQ(6, r.sink.strokes[0].look.colour);
    EXPECT_EQ(7, r.sink.strokes[1].look.colour);  // a layer without an entry: colour 7
}

TEST(EntityRenderer, trueColourPicksTheNearestColourNumber) {
    Rendered r = render(drawing(concat({
        {{0, "LINE"}, {62, "1"}, {420, std::to_string(0x0000F0)}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}},
        {{0, "LINE"}, {420, std::to_string(0x7F7F7F)}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}},
    })));
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(2u, r.sink.strokes.size());
    EXPECT_EQ(5, r.sink.strokes[0].look.colour);  // blue
    EXPECT_EQ(9, r.sink.strokes[1].look.colour);  // the gray 127,127,127
}

TEST(EntityRenderer, anUpsideDownPlaneMirrorsItsEntities) {
    Rendered r = render(drawing({{0, "ARC"}, {10, "10"}, {20, "0"}, {40, "1"}, {50, "0"}, {51, "90"}, {210, "0"},
                                 {220, "0"}, {230, "-1"}}));
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(1u, r.sink.strokes.size());
    // The plane's x axis runs along -X: from (-11, 0) to (-10, 1) about (-10, 0).
    const geometry::Polyline& p = r.sink.strokes[0].points;
    EXPECT_NEAR(-11, p.front().x, 1e-9);
    EXPECT_NEAR(0, p.front().y, 1e-9);
    EXPECT_NEAR(-10, p.back().x, 1e-9);
    EXPECT_NEAR(1, p.back().y, 1e-9);
}

TEST(EntityRenderer, whatCannotBeDrawnIsCountedNotFatal) {
    Rendered r = render(drawing(concat({insert("NOWHERE"), insert("NOWHERE"),
                                        {{0, "ELLIPSE"}, {10, "0"}, {20, "0"}, {11, "0"}, {21, "0"}, {40, "0.5"}}})));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ((std::map<std::string, int>{{"INSERT of a block the drawing does not define (NOWHERE)", 2},
                                          {"ELLIPSE with an impossible shape", 1}}),
              r.undrawable);
}

}  // namespace
}  // namespace tavix::dxf
