// WIPEOUT hides what was drawn before it under its boundary: on a plotter
// the strokes before it are cut by the boundary. Its boundary is placed as
// ezdxf (independent of tavix) places it; its frame follows the drawing's
// wipeout frame setting.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

#include "dxfReader.h"
#include "dxfText.h"
#include "entityRenderer.h"
#include "oracleRun.h"
#include "wipeoutSink.h"

namespace tavix::dxf {
namespace {

using geometry::Point;
using geometry::Polyline;

const Polyline SQUARE = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};

struct CutCase {
    const char* name;
    Polyline line;
    std::vector<Polyline> left;
};

TEST(Wipeouts, cutTheStrokesUnderTheirBoundary) {
    const CutCase cases[] = {
        {"through", {{-5, 5}, {15, 5}}, {{{-5, 5}, {0, 5}}, {{10, 5}, {15, 5}}}},
        {"inside", {{2, 2}, {8, 8}}, {}},
        {"outside", {{-5, -5}, {-1, 20}}, {{{-5, -5}, {-1, 20}}}},
        {"into and on", {{-5, 5}, {5, 5}, {5, 20}}, {{{-5, 5}, {0, 5}}, {{5, 10}, {5, 20}}}},
        {"a dot inside", {{5, 5}, {5, 5}}, {}},
        {"a dot outside", {{20, 5}, {20, 5}}, {{{20, 5}, {20, 5}}}},
    };
    for (const CutCase& c : cases) {
        std::vector<Polyline> left = outsideOf(c.line, SQUARE);
        ASSERT_EQ(c.left.size(), left.size()) << c.name;
        for (size_t i = 0; i < left.size(); ++i) {
            ASSERT_EQ(c.left[i].size(), left[i].size()) << c.name;
            for (size_t k = 0; k < left[i].size(); ++k) {
                EXPECT_NEAR(c.left[i][k].x, left[i][k].x, 1e-9) << c.name;
                EXPECT_NEAR(c.left[i][k].y, left[i][k].y, 1e-9) << c.name;
            }
        }
    }
}

struct Recording : PrimitiveSink {
    std::vector<Polyline> strokes;
    int fills = 0;
    bool stroke(const LineLook&, const Polyline& points, double, std::string&) override {
        strokes.push_back(points);
        return true;
    }
    bool fill(const LineLook&, const std::vector<Polyline>&, std::string&) override { return ++fills, true; }
};

TEST(Wipeouts, hideOnlyWhatCameBeforeThem) {
    Recording target;
    WipeoutSink sink(target);
    std::string why;
    LineLook look;
    ASSERT_TRUE(sink.stroke(look, {{-5, 5}, {15, 5}}, 0, why));
    ASSERT_TRUE(sink.fill(look, {{{1, 1}, {2, 1}, {2, 2}}}, why));   // wholly under: hidden
    ASSERT_TRUE(sink.fill(look, {{{-1, 1}, {2, 1}, {2, 2}}}, why));  // partly: kept
    ASSERT_TRUE(sink.wipe(SQUARE, why));
    ASSERT_TRUE(sink.stroke(look, {{5, -5}, {5, 15}}, 0, why));  // drawn over the wipeout
    EXPECT_TRUE(target.strokes.empty()) << "held back until the end";
    ASSERT_TRUE(sink.finish(why));
    ASSERT_EQ(3u, target.strokes.size());
    EXPECT_EQ(1, target.fills);
    ASSERT_EQ(2u, target.strokes[2].size());
    EXPECT_EQ(-5, target.strokes[2][0].y);
    EXPECT_EQ(15, target.strokes[2][1].y);
}

struct Boundary {
    std::vector<Point2> points;
};

// ezdxf writes wipeouts and says where their boundaries lie.
TEST(Wipeouts, lieWhereEzdxfPutsThem) {
    std::string path = testing::temporaryFile();
    ASSERT_FALSE(path.empty());
    std::string out;
    ASSERT_TRUE(testing::runOracleScript("wipeoutOracle.py", path, out)) << out;
    std::vector<Boundary> expected;
    std::istringstream lines(out);
    std::string line;
    int frame = -2;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        in.imbue(std::locale::classic());
        std::string kind;
        in >> kind;
        if (kind == "FRAME") in >> frame;
        if (kind != "W") continue;
        expected.emplace_back();
        Point2 p;
        while (in >> p.x >> p.y) expected.back().points.push_back(p);
    }
    ASSERT_EQ(3u, expected.size()) << out;
    DxfTables tables;
    DxfReadReport report;
    std::vector<std::string> blocks;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    ASSERT_TRUE(file);
    ASSERT_TRUE(readDxf(file.get(), tables,
                        [&](const Entity& e, std::string&) {
                            blocks.push_back(e.rebuiltBlock);
                            return true;
                        },
                        report))
        << report.error;
    std::remove(path.c_str());
    EXPECT_TRUE(report.skipped.empty());
    EXPECT_EQ(3, tables.wipeouts);
    EXPECT_EQ(0, tables.wipeoutFrame);
    EXPECT_EQ(0, frame);
    ASSERT_EQ(expected.size(), blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        const Block& b = tables.blocks.at(blocks[i]);
        ASSERT_EQ(1u, b.entities.size()) << "wipeout " << i << ": a frame the drawing switched off";
        const Entity& wipe = b.entities[0];
        ASSERT_EQ(EntityKind::Wipeout, wipe.kind);
        // ezdxf repeats the first vertex at the end.
        ASSERT_EQ(expected[i].points.size(), wipe.vertices.size() + 1) << "wipeout " << i;
        for (size_t k = 0; k < wipe.vertices.size(); ++k) {
            EXPECT_NEAR(expected[i].points[k].x, wipe.vertices[k].x, 1e-9) << "wipeout " << i;
            EXPECT_NEAR(expected[i].points[k].y, wipe.vertices[k].y, 1e-9) << "wipeout " << i;
        }
    }
}

struct FrameCase {
    const char* name;
    testing::Groups header, objects;
    bool framed;
};

TEST(Wipeouts, areFramedAsTheDrawingSays) {
    testing::Groups wipeout = {{0, "WIPEOUT"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "10"}, {21, "0"},
                               {12, "0"}, {22, "10"}, {13, "1"}, {23, "1"}, {71, "2"}, {91, "2"},
                               {14, "-0.5"}, {24, "-0.5"}, {14, "0.5"}, {24, "0.5"}};
    testing::Groups variables = {{0, "SECTION"}, {2, "OBJECTS"}, {0, "WIPEOUTVARIABLES"}, {70, "0"}, {0, "ENDSEC"}};
    const FrameCase cases[] = {
        {"the host's default", {}, {}, true},
        {"header off", {{9, "$WIPEOUTFRAME"}, {70, "0"}}, {}, false},
        {"header shown, not plotted", {{9, "$WIPEOUTFRAME"}, {70, "2"}}, {}, false},
        {"header on", {{9, "$WIPEOUTFRAME"}, {70, "1"}}, {}, true},
        {"variables object off", {}, variables, false},
    };
    for (const FrameCase& c : cases) {
        std::string text = testing::drawing(wipeout, {}, {}, c.header);
        if (!c.objects.empty()) text.insert(text.rfind("  0\nEOF"), testing::dxfText(c.objects));
        DxfTables tables;
        DxfReadReport report;
        std::string block;
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(text), &std::fclose);
        ASSERT_TRUE(readDxf(file.get(), tables,
                            [&](const Entity& e, std::string&) {
                                block = e.rebuiltBlock;
                                return true;
                            },
                            report))
            << c.name << ": " << report.error;
        ASSERT_EQ(1u, tables.blocks.count(block)) << c.name;
        const Block& b = tables.blocks.at(block);
        EXPECT_EQ(c.framed ? 2u : 1u, b.entities.size()) << c.name;
        // The boundary: the image's one pixel, (0, 0) to (10, 10).
        ASSERT_EQ(4u, b.entities[0].vertices.size()) << c.name;
        EXPECT_NEAR(0, b.entities[0].vertices[0].x, 1e-12);
        EXPECT_NEAR(10, b.entities[0].vertices[0].y, 1e-12);
        EXPECT_NEAR(10, b.entities[0].vertices[2].x, 1e-12);
        EXPECT_NEAR(0, b.entities[0].vertices[2].y, 1e-12);
    }
}

}  // namespace
}  // namespace tavix::dxf
