// Dimensions saved without their block are drawn from their definition
// points and style, as ezdxf's dimension renderer (independent of tavix)
// builds their blocks: the same lines, arrowheads and text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

#include "dimensionGeometry.h"
#include "dxfReader.h"
#include "dxfText.h"
#include "entityRenderer.h"
#include "entitySpool.h"
#include "oracleRun.h"

namespace tavix::dxf {
namespace {

using testing::drawing;
using testing::Groups;

struct Segment {
    double x0, y0, x1, y1;
};

struct ExpectedDimension {
    std::vector<Segment> lines;
    std::vector<Point2> arrowTips;
    Point2 textAt;
    double textDegrees = 0;
    std::string text;
    bool hasText = false;
};

double toSegment(double px, double py, const Segment& s) {
    double dx = s.x1 - s.x0, dy = s.y1 - s.y0, dd = dx * dx + dy * dy;
    double t = dd > 0 ? ((px - s.x0) * dx + (py - s.y0) * dy) / dd : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (s.x0 + t * dx), py - (s.y0 + t * dy));
}

bool onAny(double x, double y, const std::vector<Segment>& lines) {
    for (const Segment& s : lines)
        if (toSegment(x, y, s) < 1e-6) return true;
    return false;
}

std::vector<ExpectedDimension> parseOracle(const std::string& out) {
    std::vector<ExpectedDimension> dims;
    std::istringstream lines(out);
    lines.imbue(std::locale::classic());
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        in.imbue(std::locale::classic());
        char kind = 0;
        in >> kind;
        if (kind == 'D') dims.emplace_back();
        if (dims.empty()) continue;
        ExpectedDimension& d = dims.back();
        if (kind == 'L') {
            Segment s{};
            in >> s.x0 >> s.y0 >> s.x1 >> s.y1;
            d.lines.push_back(s);
        } else if (kind == 'A') {
            Point2 p;
            in >> p.x >> p.y;
            d.arrowTips.push_back(p);
        } else if (kind == 'T') {
            in >> d.textAt.x >> d.textAt.y >> d.textDegrees;
            in.get();
            std::getline(in, d.text);
            d.hasText = true;
        }
    }
    return dims;
}

TEST(BlocklessDimensions, areRebuiltAsEzdxfBuildsTheirBlocks) {
    std::string path = testing::temporaryFile();
    ASSERT_FALSE(path.empty());
    std::string out;
    ASSERT_TRUE(testing::runOracleScript("dimensionOracle.py", path, out)) << out;
    std::vector<ExpectedDimension> expected = parseOracle(out);
    ASSERT_EQ(7u, expected.size()) << out;

    std::vector<Entity> dims;
    DxfTables tables;
    DxfReadReport report;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    ASSERT_TRUE(file);
    ASSERT_TRUE(readDxf(file.get(), tables,
                        [&](const Entity& e, std::string&) {
                            if (e.kind == EntityKind::Dimension) dims.push_back(e);
                            return true;
                        },
                        report))
        << report.error;
    std::remove(path.c_str());
    ASSERT_EQ(expected.size(), dims.size());

    for (size_t i = 0; i < dims.size(); ++i) {
        const ExpectedDimension& want = expected[i];
        ASSERT_TRUE(tables.blocks.count(dims[i].rebuiltBlock)) << "dimension " << i;
        const Block& rebuilt = tables.blocks.at(dims[i].rebuiltBlock);
        std::vector<Segment> ours;
        std::vector<Point2> tips;
        const Entity* text = nullptr;
        for (const Entity& e : rebuilt.entities) {
            if (e.kind == EntityKind::Line)
                ours.push_back({e.vertices[0].x, e.vertices[0].y, e.vertices[1].x, e.vertices[1].y});
            if (e.kind == EntityKind::Solid) tips.push_back({e.vertices[0].x, e.vertices[0].y});
            if (e.kind == EntityKind::MText) text = &e;
        }
        // ezdxf breaks the dimension line around centred text; ours runs
        // under it. Each of its lines lies on ours, and ours end on its.
        for (const Segment& s : want.lines) {
            EXPECT_TRUE(onAny(s.x0, s.y0, ours) && onAny(s.x1, s.y1, ours) &&
                        onAny((s.x0 + s.x1) / 2, (s.y0 + s.y1) / 2, ours))
                << "dimension " << i << ": ezdxf's line " << s.x0 << "," << s.y0 << " " << s.x1 << "," << s.y1
                << " is not drawn";
        }
        for (const Segment& s : ours)
            EXPECT_TRUE(onAny(s.x0, s.y0, want.lines) && onAny(s.x1, s.y1, want.lines))
                << "dimension " << i << ": line " << s.x0 << "," << s.y0 << " " << s.x1 << "," << s.y1
                << " is not ezdxf's";
        ASSERT_EQ(want.arrowTips.size(), tips.size()) << "dimension " << i;
        for (const Point2& tip : want.arrowTips) {
            bool found = false;
            for (const Point2& p : tips) found = found || std::hypot(p.x - tip.x, p.y - tip.y) < 1e-6;
            EXPECT_TRUE(found) << "dimension " << i << ": no arrowhead at " << tip.x << "," << tip.y;
        }
        ASSERT_TRUE(want.hasText);
        ASSERT_NE(nullptr, text) << "dimension " << i;
        EXPECT_EQ(want.text, text->text) << "dimension " << i;
        EXPECT_NEAR(want.textAt.x, text->insertion.x, 1e-6) << "dimension " << i;
        EXPECT_NEAR(want.textAt.y, text->insertion.y, 1e-6) << "dimension " << i;
        // ezdxf turns text as its line runs; the CAD host keeps it readable.
        double turn = std::fmod(std::fabs(want.textDegrees - text->rotation), 180.0);
        EXPECT_TRUE(turn < 1e-6 || turn > 180 - 1e-6) << "dimension " << i << ": text at " << text->rotation;
        EXPECT_TRUE(text->rotation > -90 && text->rotation <= 90) << "dimension " << i << ": upside down";
        EXPECT_EQ(5, text->attachment);
        EXPECT_DOUBLE_EQ(2.5, text->height);
    }
}

struct MeasurementCase {
    double value;
    std::map<int, double> numbers;
    std::string post;
    bool angle;
    const char* text;
};

TEST(BlocklessDimensions, writeTheMeasurementAsTheStyleSays) {
    const MeasurementCase cases[] = {
        {100, {}, "", false, "100.0000"},                                  // the host's defaults
        {100, {{dim::DECIMALS, 2}, {dim::ZERO_SUPPRESS, 8}}, "", false, "100"},
        {12.5, {{dim::DECIMALS, 2}, {dim::ZERO_SUPPRESS, 8}}, "", false, "12.5"},
        {12.5, {{dim::DECIMALS, 2}, {dim::DECIMAL_SEPARATOR, ','}}, "", false, "12,50"},
        {0.5, {{dim::DECIMALS, 2}, {dim::ZERO_SUPPRESS, 4}}, "", false, ".50"},
        {12.4, {{dim::DECIMALS, 1}, {dim::ROUND, 0.25}}, "", false, "12.5"},
        {12.4, {{dim::DECIMALS, 0}, {dim::ROUND, 5}}, "", false, "10"},
        {-0.0001, {{dim::DECIMALS, 2}}, "", false, "0.00"},
        {7, {{dim::DECIMALS, 1}}, "<> mm", false, "7.0 mm"},
        {7, {{dim::DECIMALS, 1}}, "\"", false, "7.0\""},
        {90, {}, "", true, "90%%d"},
        {33.3333, {{dim::ANGLE_DECIMALS, 2}}, "", true, "33.33%%d"},
        {1e300, {{dim::DECIMALS, 1}}, "", false, "0.0"},  // no number of a drawing: no endless digits
        {5, {{dim::DECIMALS, 99}}, "", false, "5.00000000"},
        // Numbers no style holds: bounded, never cast out of range.
        {5, {{dim::DECIMALS, 1e300}, {dim::ZERO_SUPPRESS, 1e300}}, "", false, "5.00000000"},
        {5, {{dim::DECIMALS, -3}, {dim::ZERO_SUPPRESS, -1e300}}, "", false, "5"},
        {5, {{dim::ANGLE_DECIMALS, std::nan("")}}, "", true, "5%%d"},
    };
    for (const MeasurementCase& c : cases) {
        DimensionStyle style;
        style.numbers = c.numbers;
        if (!c.post.empty()) style.texts[dim::POST] = c.post;
        EXPECT_EQ(c.text, measurementText(c.value, style, c.angle)) << c.value;
    }
}

TEST(BlocklessDimensions, takeTheUsersTextAroundTheMeasurement) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "12.5"}, {"<>", "12.5"}, {" ", ""}, {"%%c<> H7", "%%c12.5 H7"}, {"fixed", "fixed"}};
    for (const auto& [user, drawn] : cases) EXPECT_EQ(drawn, dimensionText(user, "12.5")) << user;
}

Groups dimensionGroups(int type, std::vector<std::pair<int, std::string>> points) {
    Groups g = {{0, "DIMENSION"}, {8, "0"}, {70, std::to_string(type)}, {3, "Standard"}};
    g.insert(g.end(), points.begin(), points.end());
    return g;
}

Block readOne(const Groups& entity, const Groups& tables = {}, const Groups& header = {}) {
    DxfTables t;
    DxfReadReport report;
    Block out;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(drawing(entity, {}, tables, header)),
                                                         &std::fclose);
    EXPECT_TRUE(readDxf(file.get(), t,
                        [&](const Entity& e, std::string&) {
                            if (!e.rebuiltBlock.empty()) out = t.blocks.at(e.rebuiltBlock);
                            return true;
                        },
                        report))
        << report.error;
    return out;
}

const Entity* findText(const Block& b) {
    for (const Entity& e : b.entities)
        if (e.kind == EntityKind::MText) return &e;
    return nullptr;
}

TEST(BlocklessDimensions, followTheStyleTableHeaderAndOverrides) {
    Groups linear = dimensionGroups(0, {{10, "0"}, {20, "10"}, {13, "0"}, {23, "0"}, {14, "40"}, {24, "0"}});
    Groups styleTable = {{0, "TABLE"}, {2, "DIMSTYLE"}, {0, "DIMSTYLE"}, {2, "Standard"}, {140, "3.5"},
                         {271, "1"}, {41, "2"}, {0, "ENDTAB"}};
    // From the style table.
    Block fromTable = readOne(linear, styleTable);
    const Entity* t = findText(fromTable);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ("40.0", t->text);
    EXPECT_DOUBLE_EQ(3.5, t->height);
    // From the header, when the style is not in the table.
    Block fromHeader = readOne(linear, {}, {{9, "$DIMTXT"}, {40, "5"}, {9, "$DIMDEC"}, {70, "3"}});
    t = findText(fromHeader);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ("40.000", t->text);
    EXPECT_DOUBLE_EQ(5, t->height);
    // Overridden by the dimension's extended data.
    Groups overridden = linear;
    overridden.insert(overridden.end(), {{1001, "ACAD"}, {1000, "DSTYLE"}, {1002, "{"}, {1070, "271"}, {1070, "0"},
                                         {1070, "140"}, {1040, "7"}, {1002, "}"}});
    Block fromOverrides = readOne(overridden, styleTable);
    t = findText(fromOverrides);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ("40", t->text);
    EXPECT_DOUBLE_EQ(7, t->height);
}

TEST(BlocklessDimensions, drawRadiiDiametersAndAngles) {
    struct Case {
        const char* name;
        Groups groups;
        const char* text;
        size_t arrows;
    };
    const Case cases[] = {
        {"radius", dimensionGroups(4, {{10, "0"}, {20, "0"}, {15, "30"}, {25, "40"}, {11, "15"}, {21, "20"}}),
         "R50.0000", 1},
        {"diameter", dimensionGroups(3, {{10, "-30"}, {20, "0"}, {15, "30"}, {25, "0"}, {11, "0"}, {21, "1"}}),
         "%%c60.0000", 2},
        {"angle between two lines",
         dimensionGroups(2, {{13, "10"}, {23, "0"}, {14, "20"}, {24, "0"}, {15, "0"}, {25, "10"}, {10, "0"},
                             {20, "20"}, {16, "7"}, {26, "7"}}),
         "90%%d", 2},
        {"angle by three points",
         dimensionGroups(5, {{15, "0"}, {25, "0"}, {13, "10"}, {23, "0"}, {14, "10"}, {24, "10"}, {10, "9"},
                             {20, "2"}}),
         "45%%d", 2},
    };
    for (const Case& c : cases) {
        Block b = readOne(c.groups);
        const Entity* t = findText(b);
        ASSERT_NE(nullptr, t) << c.name;
        EXPECT_EQ(c.text, t->text) << c.name;
        size_t arrows = 0;
        for (const Entity& e : b.entities) arrows += e.kind == EntityKind::Solid;
        EXPECT_EQ(c.arrows, arrows) << c.name;
    }
}

TEST(BlocklessDimensions, ofNoSizeOrBadNumbersDrawNothingAndDoNotFail) {
    const Groups cases[] = {
        dimensionGroups(1, {{13, "5"}, {23, "5"}, {14, "5"}, {24, "5"}}),
        dimensionGroups(4, {{10, "1"}, {20, "1"}, {15, "1"}, {25, "1"}}),
        dimensionGroups(2, {{13, "0"}, {23, "0"}, {14, "1"}, {24, "0"}, {15, "0"}, {25, "1"}, {10, "1"}, {20, "1"}}),
        dimensionGroups(6, {{13, "5"}, {23, "5"}, {14, "9"}, {24, "5"}}),
        dimensionGroups(0, {{13, "0"}, {23, "0"}, {14, "1e9"}, {24, "0"}, {50, "1e9"}}),
    };
    for (const Groups& g : cases) {
        Block b = readOne(g);
        for (const Entity& e : b.entities)
            for (const Vertex& v : e.vertices) EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
    }
}

// A dimension line running against its rotation (150 degrees, measured from
// right to left): arrows inside, pointing out, and text that reads from the left.
TEST(BlocklessDimensions, keepTheirTextReadableAndArrowsInside) {
    Block b = readOne(dimensionGroups(0, {{10, "0"}, {20, "20"}, {13, "0"}, {23, "0"}, {14, "-86.6025403784"},
                                          {24, "50"}, {50, "150"}}));
    const Entity* t = findText(b);
    ASSERT_NE(nullptr, t);
    EXPECT_NEAR(-30, t->rotation, 1e-9);
    EXPECT_EQ("100.0000", t->text);
    std::vector<Point2> tips, bases;
    for (const Entity& e : b.entities)
        if (e.kind == EntityKind::Solid) {
            tips.push_back({e.vertices[0].x, e.vertices[0].y});
            bases.push_back({(e.vertices[1].x + e.vertices[2].x) / 2, (e.vertices[1].y + e.vertices[2].y) / 2});
        }
    ASSERT_EQ(2u, tips.size());
    // Each base lies between the two tips.
    double span = std::hypot(tips[1].x - tips[0].x, tips[1].y - tips[0].y);
    for (int i = 0; i < 2; ++i) {
        EXPECT_LT(std::hypot(bases[i].x - tips[1 - i].x, bases[i].y - tips[1 - i].y), span);
        EXPECT_NEAR(0.18, std::hypot(bases[i].x - tips[i].x, bases[i].y - tips[i].y), 1e-9);
    }
}

struct Counting : PrimitiveSink {
    int strokes = 0, fills = 0;
    bool stroke(const LineLook&, const geometry::Polyline&, double, std::string&) override { return ++strokes, true; }
    bool fill(const LineLook&, const std::vector<geometry::Polyline>&, std::string&) override { return ++fills, true; }
};

// The plot keeps model space in a spool between reading and drawing: the
// rebuilt block must come through it and be drawn, not counted as missing.
TEST(BlocklessDimensions, arePlottedThroughTheSpool) {
    Groups linear = dimensionGroups(0, {{10, "0"}, {20, "10"}, {13, "0"}, {23, "0"}, {14, "40"}, {24, "0"}});
    DxfTables tables;
    DxfReadReport report;
    EntitySpool spool;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(drawing(linear)), &std::fclose);
    ASSERT_TRUE(readDxf(file.get(), tables, [&](const Entity& e, std::string&) { return spool.write(e); }, report))
        << report.error;
    ASSERT_TRUE(spool.rewind());
    Counting sink;
    RenderSettings settings{0.01, true};
    EntityRenderer renderer(tables, nullptr, sink, settings);
    Entity e;
    int entities = 0;
    while (spool.read(e)) {
        ++entities;
        std::string why;
        ASSERT_TRUE(renderer.draw(e, why)) << why;
    }
    EXPECT_EQ(1, entities);
    EXPECT_EQ(3, sink.strokes);  // two extension lines, the dimension line
    EXPECT_EQ(2, sink.fills);    // two arrowheads
    EXPECT_EQ(1u, renderer.undrawable.size());  // only the text, for want of a font here
    EXPECT_EQ(1, renderer.undrawable["text (no stroke font)"]);
}

}  // namespace
}  // namespace tavix::dxf
