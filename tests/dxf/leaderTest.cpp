// LEADER draws its path and the arrowhead of its dimension style, as ezdxf
// (independent of tavix) draws it; its text is an MTEXT of its own.
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

struct Piece {
    double x0, y0, x1, y1;
};

struct Arrowhead {
    double tipX, tipY, baseX, baseY, half;
};

struct Drawn {
    std::vector<Piece> lines;
    std::vector<Arrowhead> arrows;
};

double toPiece(double px, double py, const Piece& s) {
    double dx = s.x1 - s.x0, dy = s.y1 - s.y0, dd = dx * dx + dy * dy;
    double t = dd > 0 ? std::clamp(((px - s.x0) * dx + (py - s.y0) * dy) / dd, 0.0, 1.0) : 0;
    return std::hypot(px - (s.x0 + t * dx), py - (s.y0 + t * dy));
}

bool onAny(double x, double y, const std::vector<Piece>& pieces) {
    for (const Piece& p : pieces)
        if (toPiece(x, y, p) < 1e-6) return true;
    return false;
}

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
            Piece p{};
            in >> p.x0 >> p.y0 >> p.x1 >> p.y1;
            all.back().lines.push_back(p);
        } else if (kind == 'A') {
            Arrowhead a{};
            in >> a.tipX >> a.tipY >> a.baseX >> a.baseY >> a.half;
            all.back().arrows.push_back(a);
        }
    }
    return all;
}

TEST(Leaders, drawTheirPathAndArrowheadAsEzdxfDoes) {
    std::string path = testing::temporaryFile();
    ASSERT_FALSE(path.empty());
    std::string out;
    ASSERT_TRUE(testing::runOracleScript("leaderOracle.py", path, out)) << out;
    std::vector<Drawn> expected = parse(out);
    ASSERT_EQ(3u, expected.size()) << out;

    DxfTables tables;
    DxfReadReport report;
    std::vector<Entity> read;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    ASSERT_TRUE(file);
    ASSERT_TRUE(readDxf(file.get(), tables,
                        [&](const Entity& e, std::string&) {
                            read.push_back(e);
                            return true;
                        },
                        report))
        << report.error;
    std::remove(path.c_str());
    EXPECT_TRUE(report.skipped.empty());
    ASSERT_EQ(expected.size(), read.size());
    for (size_t i = 0; i < read.size(); ++i) {
        ASSERT_EQ(1u, tables.blocks.count(read[i].rebuiltBlock)) << "leader " << i;
        Drawn ours;
        for (const Entity& e : tables.blocks.at(read[i].rebuiltBlock).entities) {
            if (e.kind == EntityKind::Polyline)
                for (size_t k = 1; k < e.vertices.size(); ++k)
                    ours.lines.push_back({e.vertices[k - 1].x, e.vertices[k - 1].y, e.vertices[k].x, e.vertices[k].y});
            if (e.kind == EntityKind::Solid) {
                const auto& v = e.vertices;
                ours.arrows.push_back({v[0].x, v[0].y, (v[1].x + v[2].x) / 2, (v[1].y + v[2].y) / 2,
                                       std::hypot(v[1].x - v[2].x, v[1].y - v[2].y) / 2});
            }
        }
        const Drawn& want = expected[i];
        // Our path starts at the arrowhead's back, ezdxf's at its tip, under it.
        for (const Piece& p : ours.lines)
            EXPECT_TRUE(onAny(p.x0, p.y0, want.lines) && onAny(p.x1, p.y1, want.lines)) << "leader " << i;
        for (const Piece& p : want.lines) EXPECT_TRUE(onAny(p.x1, p.y1, ours.lines)) << "leader " << i;
        ASSERT_EQ(want.arrows.size(), ours.arrows.size()) << "leader " << i;
        for (size_t k = 0; k < want.arrows.size(); ++k) {
            const Arrowhead &a = ours.arrows[k], &b = want.arrows[k];
            EXPECT_NEAR(b.tipX, a.tipX, 1e-6);
            EXPECT_NEAR(b.tipY, a.tipY, 1e-6);
            EXPECT_NEAR(b.baseX, a.baseX, 1e-6);
            EXPECT_NEAR(b.baseY, a.baseY, 1e-6);
            EXPECT_NEAR(b.half, a.half, b.half * 0.02);  // ezdxf's arrowhead is a shade narrower
        }
    }
}

TEST(Leaders, withoutTwoDistinctVerticesDrawNothing) {
    using testing::Groups;
    const Groups cases[] = {
        {{0, "LEADER"}, {8, "0"}, {3, "Standard"}, {71, "1"}, {76, "0"}},
        {{0, "LEADER"}, {8, "0"}, {71, "1"}, {76, "1"}, {10, "5"}, {20, "5"}},
        {{0, "LEADER"}, {8, "0"}, {71, "1"}, {76, "2"}, {10, "5"}, {20, "5"}, {10, "5"}, {20, "5"}},
        {{0, "LEADER"}, {8, "0"}, {71, "1"}, {76, "2"}, {20, "5"}, {10, "5"}},
    };
    for (const Groups& g : cases) {
        DxfTables tables;
        DxfReadReport report;
        int entities = 0;
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(testing::drawing(g)), &std::fclose);
        ASSERT_TRUE(readDxf(file.get(), tables, [&](const Entity&, std::string&) { return ++entities, true; }, report))
            << report.error;
        EXPECT_EQ(0, entities);
        EXPECT_TRUE(report.skipped.empty());
    }
}

}  // namespace
}  // namespace tavix::dxf
