// The spool between the plot's two passes gives back every entity as it was
// written, each kind with its own fields, nested hatch edges included.
#include <gtest/gtest.h>

#include "entitySpool.h"

namespace tavix::dxf {
namespace {

std::vector<Entity> everyKind() {
    std::vector<Entity> out;
    for (int k = 0; k <= static_cast<int>(EntityKind::Image); ++k) {
        Entity e;
        e.kind = static_cast<EntityKind>(k);
        e.line = 100 + k;
        e.mirrored = k % 2 == 1;
        e.style = EntityStyle{k, 3, 0x123456, 2, 35, 0.5};
        e.vertices = {{1, 2, 0.5}, {3, 4, -1}};
        e.closed = true;
        e.width = 0.7;
        e.hiddenEdges = 5;
        e.vertexWidths = {{1, 2}, {3, 4}};
        e.startTangent = {0.5, -0.5}, e.endTangent = {1, 0};
        e.centre = {5, 6};
        e.radius = 7;
        e.startAngle = 10, e.endAngle = 20;
        e.majorAxis = {8, 9};
        e.ratio = 0.25;
        e.degree = 2;
        e.knots = {0, 0, 0, 1, 1, 1};
        e.weights = {1, 2, 1};
        e.controlPoints = {{0, 0}, {1, 1}, {2, 0}};
        e.fitPoints = {{9, 9}};
        e.blockName = "BLOCK " + std::to_string(k);
        e.rebuiltBlock = "<rebuilt " + std::to_string(k) + ">";
        e.insertion = {11, 12};
        e.scaleX = -2, e.scaleY = 3, e.rotation = 45;
        e.columns = 4, e.rows = 5, e.columnSpacing = 6, e.rowSpacing = 7;
        e.text = "日本 \\P text";
        e.textStyle = "注釈 " + std::to_string(k);
        e.height = 2.5;
        e.alignH = 4;
        e.solidFill = true;
        Entity edge;
        edge.kind = EntityKind::Arc;
        edge.radius = 3;
        edge.clockwise = true;
        e.loops = {HatchLoop{{edge, edge}}, HatchLoop{}};
        e.pattern = {HatchPatternLine{45, {1, 2}, {3, 4}, {5, -1, 0}}};
        out.push_back(e);
    }
    return out;
}

TEST(EntitySpool, givesBackWhatWasWrittenInOrder) {
    EntitySpool spool;
    ASSERT_TRUE(spool.ok());
    std::vector<Entity> written = everyKind();
    for (const Entity& e : written) ASSERT_TRUE(spool.write(e));
    ASSERT_EQ(static_cast<long long>(written.size()), spool.size());
    ASSERT_TRUE(spool.rewind());
    for (const Entity& w : written) {
        Entity r;
        ASSERT_TRUE(spool.read(r));
        SCOPED_TRACE(static_cast<int>(w.kind));
        EXPECT_EQ(w.kind, r.kind);
        EXPECT_EQ(w.line, r.line);
        EXPECT_EQ(w.mirrored, r.mirrored);
        EXPECT_EQ(w.style.layer, r.style.layer);
        EXPECT_EQ(w.style.trueColour, r.style.trueColour);
        EXPECT_EQ(w.style.linetypeScale, r.style.linetypeScale);
        switch (w.kind) {
            case EntityKind::Line: case EntityKind::Point: case EntityKind::Solid: case EntityKind::Polyline:
            case EntityKind::Ray: case EntityKind::Wipeout: case EntityKind::Image:
                ASSERT_EQ(2u, r.vertices.size());
                if (w.kind == EntityKind::Image) {
                    EXPECT_EQ(w.text, r.text);
                }
                EXPECT_EQ(-1, r.vertices[1].bulge);
                EXPECT_EQ(0.7, r.width);
                if (w.kind == EntityKind::Solid) {
                    EXPECT_EQ(5, r.hiddenEdges);
                }
                if (w.kind == EntityKind::Polyline) {
                    ASSERT_EQ(2u, r.vertexWidths.size());
                    EXPECT_EQ(4, r.vertexWidths[1].end);
                }
                break;
            case EntityKind::Circle: case EntityKind::Arc: case EntityKind::Ellipse:
                EXPECT_EQ(7, r.radius);
                EXPECT_EQ(20, r.endAngle);
                EXPECT_EQ(0.25, r.ratio);
                break;
            case EntityKind::Spline:
                EXPECT_EQ(w.knots, r.knots);
                EXPECT_EQ(w.weights, r.weights);
                ASSERT_EQ(3u, r.controlPoints.size());
                EXPECT_EQ(1, r.controlPoints[1].y);
                EXPECT_EQ(-0.5, r.startTangent.y);
                EXPECT_EQ(1, r.endTangent.x);
                break;
            case EntityKind::Insert: case EntityKind::Dimension:
                EXPECT_EQ(w.blockName, r.blockName);
                EXPECT_EQ(w.kind == EntityKind::Dimension ? w.rebuiltBlock : "", r.rebuiltBlock);
                EXPECT_EQ(-2, r.scaleX);
                EXPECT_EQ(7, r.rowSpacing);
                break;
            case EntityKind::Text: case EntityKind::MText:
                EXPECT_EQ(w.text, r.text);
                EXPECT_EQ(w.textStyle, r.textStyle);
                EXPECT_EQ(4, r.alignH);
                break;
            case EntityKind::Hatch:
                ASSERT_EQ(2u, r.loops.size());
                ASSERT_EQ(2u, r.loops[0].edges.size());
                EXPECT_TRUE(r.loops[0].edges[1].clockwise);
                EXPECT_EQ(3, r.loops[0].edges[1].radius);
                ASSERT_EQ(1u, r.pattern.size());
                EXPECT_EQ(w.pattern[0].dashes, r.pattern[0].dashes);
                break;
        }
    }
    Entity past;
    EXPECT_FALSE(spool.read(past));
}

}  // namespace
}  // namespace tavix::dxf
