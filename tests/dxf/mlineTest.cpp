// MLINE draws its elements with its style's colours, fill, caps and miter
// joints, as ezdxf (independent of tavix) draws it; the style is an object
// after the entities.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

#include "dxfReader.h"
#include "dxfText.h"
#include "oracleRun.h"

namespace tavix::dxf {
namespace {

struct ColouredLine {
    int colour;
    Point2 a, b;
};

struct Fill {
    int colour;
    std::vector<Point2> points;
};

struct Drawn {
    std::vector<ColouredLine> lines;
    std::vector<Fill> fills;
};

std::vector<Drawn> parse(const std::string& out) {
    std::vector<Drawn> all;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        in.imbue(std::locale::classic());
        char kind = 0;
        in >> kind;
        if (kind == 'D') all.emplace_back();
        if (all.empty()) continue;
        if (kind == 'L') {
            ColouredLine l{};
            in >> l.colour >> l.a.x >> l.a.y >> l.b.x >> l.b.y;
            all.back().lines.push_back(l);
        } else if (kind == 'F') {
            Fill f{};
            in >> f.colour;
            Point2 p;
            while (in >> p.x >> p.y) f.points.push_back(p);
            all.back().fills.push_back(f);
        }
    }
    return all;
}

bool near(Point2 a, Point2 b) { return std::hypot(a.x - b.x, a.y - b.y) < 1e-6; }

bool sameLine(const ColouredLine& x, const ColouredLine& y) {
    return x.colour == y.colour && ((near(x.a, y.a) && near(x.b, y.b)) || (near(x.a, y.b) && near(x.b, y.a)));
}

Drawn ours(const Block& block) {
    Drawn d;
    for (const Entity& e : block.entities) {
        if (e.kind == EntityKind::Line)
            d.lines.push_back({e.style.colour, {e.vertices[0].x, e.vertices[0].y}, {e.vertices[1].x, e.vertices[1].y}});
        if (e.kind == EntityKind::Polyline) {
            size_t n = e.vertices.size();
            for (size_t k = 1; k < n + (e.closed ? 1 : 0); ++k) {
                const Vertex &p = e.vertices[k - 1], &q = e.vertices[k % n];
                d.lines.push_back({e.style.colour, {p.x, p.y}, {q.x, q.y}});
            }
        }
        if (e.kind == EntityKind::Hatch) {
            EXPECT_TRUE(e.solidFill);
            Fill f{e.style.colour, {}};
            for (const HatchLoop& loop : e.loops)
                for (const Entity& edge : loop.edges)
                    for (const Vertex& v : edge.vertices) f.points.push_back({v.x, v.y});
            d.fills.push_back(f);
        }
    }
    return d;
}

TEST(Multilines, drawTheirElementsFillCapsAndMitersAsEzdxfDoes) {
    std::string path = testing::temporaryFile();
    ASSERT_FALSE(path.empty());
    std::string out;
    ASSERT_TRUE(testing::runOracleScript("mlineOracle.py", path, out)) << out;
    std::vector<Drawn> expected = parse(out);
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
    ASSERT_EQ(expected.size(), blocks.size());
    for (size_t i = 0; i < blocks.size(); ++i) {
        ASSERT_EQ(1u, tables.blocks.count(blocks[i])) << "multiline " << i;
        Drawn got = ours(tables.blocks.at(blocks[i]));
        const Drawn& want = expected[i];
        EXPECT_EQ(want.lines.size(), got.lines.size()) << "multiline " << i;
        for (const ColouredLine& w : want.lines) {
            bool found = false;
            for (const ColouredLine& g : got.lines) found = found || sameLine(w, g);
            EXPECT_TRUE(found) << "multiline " << i << ": no line of colour " << w.colour << " from " << w.a.x << ","
                               << w.a.y << " to " << w.b.x << "," << w.b.y;
        }
        ASSERT_EQ(want.fills.size(), got.fills.size()) << "multiline " << i;
        for (size_t k = 0; k < want.fills.size(); ++k) {
            EXPECT_EQ(want.fills[k].colour, got.fills[k].colour);
            auto covers = [](const std::vector<Point2>& all, const std::vector<Point2>& some) {
                for (const Point2& p : some) {
                    bool found = false;
                    for (const Point2& q : all) found = found || near(p, q);
                    if (!found) return false;
                }
                return true;
            };
            EXPECT_TRUE(covers(want.fills[k].points, got.fills[k].points) &&
                        covers(got.fills[k].points, want.fills[k].points))
                << "multiline " << i << ": the fill's boundary differs";
        }
    }
}

TEST(Multilines, withoutTheirStyleOrOfBadNumbersDrawTheirElementsOrNothing) {
    using testing::Groups;
    Groups base = {{0, "MLINE"}, {8, "0"}, {2, "MISSING"}, {71, "1"}, {72, "2"}, {73, "2"}, {10, "0"}, {20, "0"},
                   {11, "0"}, {21, "0"}, {12, "1"}, {22, "0"}, {13, "0"}, {23, "1"}, {74, "1"}, {41, "1"},
                   {75, "0"}, {74, "1"}, {41, "-1"}, {75, "0"}, {11, "10"}, {21, "0"}, {12, "1"}, {22, "0"},
                   {13, "0"}, {23, "1"}, {74, "1"}, {41, "1"}, {75, "0"}, {74, "1"}, {41, "-1"}, {75, "0"}};
    struct Case {
        const char* name;
        Groups groups;
        size_t lines;
        double reach;  // the farthest element from the path
    };
    Groups oneVertex(base.begin(), base.begin() + 20);
    Groups noElements = base;
    for (auto& g : noElements)
        if (g.first == 74) g.second = "0";
        // Parameters after a count of none are not offsets.
    const Case cases[] = {{"style missing", base, 2, 1}, {"one vertex", oneVertex, 0, 0},
                          {"elements of no offset", noElements, 2, 0}};
    for (const Case& c : cases) {
        DxfTables tables;
        DxfReadReport report;
        size_t lines = 0;
        double reach = 0;
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(testing::drawing(c.groups)),
                                                             &std::fclose);
        ASSERT_TRUE(readDxf(file.get(), tables,
                            [&](const Entity& e, std::string&) {
                                for (const Entity& part : tables.blocks.at(e.rebuiltBlock).entities)
                                    if (part.kind == EntityKind::Polyline) {
                                        ++lines;
                                        for (const Vertex& v : part.vertices) reach = std::max(reach, std::fabs(v.y));
                                    }
                                return true;
                            },
                            report))
            << c.name << ": " << report.error;
        EXPECT_EQ(c.lines, lines) << c.name;
        EXPECT_DOUBLE_EQ(c.reach, reach) << c.name;
    }
}

}  // namespace
}  // namespace tavix::dxf
