// Attributes are text: an ATTRIB drawn backwards or upside down (group 71)
// turns as TEXT does, and an ATTDEF left in model space shows its tag.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "dxfReader.h"
#include "dxfText.h"
#include "entityRenderer.h"
#include "geometry/strokeFont.h"

namespace tavix::dxf {
namespace {

using testing::drawing;
using testing::Groups;

struct Box : PrimitiveSink {
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    int strokes = 0;
    bool stroke(const LineLook&, const geometry::Polyline& points, double, std::string&) override {
        ++strokes;
        for (const geometry::Point& p : points)
            x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
        return true;
    }
    bool fill(const LineLook&, const std::vector<geometry::Polyline>&, std::string&) override { return true; }
};

Box render(const std::string& text, const geometry::StrokeFont& font) {
    Box box;
    DxfTables tables;
    DxfReadReport report;
    EntityRenderer renderer(tables, &font, box, RenderSettings{0.01, true});
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(text), &std::fclose);
    EXPECT_TRUE(readDxf(file.get(), tables, [&](const Entity& e, std::string& why) { return renderer.draw(e, why); },
                        report))
        << report.error;
    return box;
}

// "LT" 10 high at (100, 100), value "LT", tag "LTAG" for the definitions.
Groups textOf(const std::string& kind, int flags) {
    Groups g = {{0, kind}, {8, "0"}, {10, "100"}, {20, "100"}, {40, "10"}, {1, "LT"}};
    if (kind != "TEXT") g.insert(g.end(), {{2, "LTAG"}, {70, "0"}});
    g.push_back({71, std::to_string(flags)});
    return g;
}

// An ATTRIB follows the INSERT it belongs to.
Groups attribute(int flags) {
    Groups g = {{0, "INSERT"}, {8, "0"}, {66, "1"}, {2, "EMPTY"}, {10, "0"}, {20, "0"}};
    Groups a = textOf("ATTRIB", flags);
    g.insert(g.end(), a.begin(), a.end());
    g.push_back({0, "SEQEND"});
    return g;
}

const Groups EMPTY_BLOCK = {{0, "BLOCK"}, {8, "0"}, {2, "EMPTY"}, {70, "2"}, {10, "0"}, {20, "0"}, {0, "ENDBLK"}};

class AttributeText : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        auto loaded = geometry::loadStrokeFont();
        ASSERT_TRUE(loaded.has_value());
        font = new geometry::StrokeFont(*loaded);
    }
    static void TearDownTestSuite() { delete font; }
    static inline geometry::StrokeFont* font = nullptr;
};

TEST_F(AttributeText, backwardsAndUpsideDownTurnAboutTheInsertionPoint) {
    struct Case {
        int flags;
        bool left, below;  // the text lies left of / below the insertion point
    };
    for (const char* kind : {"TEXT", "ATTRIB", "ATTDEF"})
        for (Case c : {Case{0, false, false}, Case{2, true, false}, Case{4, false, true}, Case{6, true, true}}) {
            SCOPED_TRACE(::testing::Message() << kind << " flags " << c.flags);
            Groups entities = std::string(kind) == "ATTRIB" ? attribute(c.flags) : textOf(kind, c.flags);
            Box b = render(drawing(entities, EMPTY_BLOCK), *font);
            ASSERT_GT(b.strokes, 0);
            if (c.left) EXPECT_LE(b.x1, 100 + 1e-9);
            else EXPECT_GE(b.x0, 100 - 1e-9);
            if (c.below) EXPECT_LE(b.y1, 100 + 1e-9);
            else EXPECT_GE(b.y0, 100 - 1e-9);
            EXPECT_GT(b.y1 - b.y0, 5);  // the letters' height, whichever way up
        }
}

TEST_F(AttributeText, definitionInModelSpaceShowsItsTagAndInABlockNothing) {
    Box text = render(drawing({{0, "TEXT"}, {8, "0"}, {10, "100"}, {20, "100"}, {40, "10"}, {1, "LTAG"}}), *font);
    Box definition = render(drawing(textOf("ATTDEF", 0)), *font);
    EXPECT_EQ(text.strokes, definition.strokes);
    EXPECT_NEAR(text.x1, definition.x1, 1e-9);
    EXPECT_NEAR(text.y1, definition.y1, 1e-9);

    Groups block = {{0, "BLOCK"}, {8, "0"}, {2, "HOLDER"}, {70, "2"}, {10, "0"}, {20, "0"}};
    Groups def = textOf("ATTDEF", 0);
    block.insert(block.end(), def.begin(), def.end());
    block.push_back({0, "ENDBLK"});
    Box inBlock = render(drawing({{0, "INSERT"}, {8, "0"}, {2, "HOLDER"}, {10, "0"}, {20, "0"}}, block), *font);
    EXPECT_EQ(0, inBlock.strokes);
}

}  // namespace
}  // namespace tavix::dxf
