// MULTILEADER draws its leader lines with their arrowheads, the doglegs and
// its text, as ezdxf (independent of tavix) draws it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>

#include "dxfReader.h"
#include "dxfText.h"
#include "multileaderGeometry.h"
#include "oracleRun.h"

namespace tavix::dxf {
namespace {

struct Piece {
    double x0, y0, x1, y1;
};

struct Drawn {
    std::vector<Piece> lines;
    std::vector<Point2> tips;
    Point2 textAt;
    double height = 0;
    int attachment = 0;
    std::string text;
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
        Drawn& d = all.back();
        if (kind == 'L') {
            Piece p{};
            in >> p.x0 >> p.y0 >> p.x1 >> p.y1;
            d.lines.push_back(p);
        } else if (kind == 'A') {
            Point2 p;
            in >> p.x >> p.y;
            d.tips.push_back(p);
        } else if (kind == 'T') {
            in >> d.textAt.x >> d.textAt.y >> d.height >> d.attachment;
            in.get();
            std::getline(in, d.text);
        }
    }
    return all;
}

TEST(Multileaders, drawTheirLinesArrowheadsDoglegsAndTextAsEzdxfDoes) {
    std::string path = testing::temporaryFile();
    ASSERT_FALSE(path.empty());
    std::string out;
    ASSERT_TRUE(testing::runOracleScript("multileaderOracle.py", path, out)) << out;
    std::vector<Drawn> expected = parse(out);
    ASSERT_EQ(2u, expected.size()) << out;
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
        Drawn got;
        const Entity* text = nullptr;
        for (const Entity& e : tables.blocks.at(blocks[i]).entities) {
            if (e.kind == EntityKind::Polyline)
                for (size_t k = 1; k < e.vertices.size(); ++k)
                    got.lines.push_back({e.vertices[k - 1].x, e.vertices[k - 1].y, e.vertices[k].x, e.vertices[k].y});
            if (e.kind == EntityKind::Solid) got.tips.push_back({e.vertices[0].x, e.vertices[0].y});
            if (e.kind == EntityKind::MText) text = &e;
        }
        const Drawn& want = expected[i];
        // ezdxf's first line starts at the arrowhead's back, as ours.
        EXPECT_EQ(want.lines.size(), got.lines.size()) << "multileader " << i;
        for (const Piece& p : want.lines)
            EXPECT_TRUE(onAny(p.x0, p.y0, got.lines) && onAny(p.x1, p.y1, got.lines))
                << "multileader " << i << ": ezdxf's line " << p.x0 << "," << p.y0 << " " << p.x1 << "," << p.y1;
        for (const Piece& p : got.lines)
            EXPECT_TRUE(onAny(p.x0, p.y0, want.lines) && onAny(p.x1, p.y1, want.lines)) << "multileader " << i;
        ASSERT_EQ(want.tips.size(), got.tips.size()) << "multileader " << i;
        for (size_t k = 0; k < want.tips.size(); ++k) {
            EXPECT_NEAR(want.tips[k].x, got.tips[k].x, 1e-9);
            EXPECT_NEAR(want.tips[k].y, got.tips[k].y, 1e-9);
        }
        ASSERT_NE(nullptr, text) << "multileader " << i;
        EXPECT_EQ(want.text, text->text);
        EXPECT_NEAR(want.textAt.x, text->insertion.x, 1e-9);
        EXPECT_NEAR(want.textAt.y, text->insertion.y, 1e-9);
        EXPECT_DOUBLE_EQ(want.height, text->height);
        EXPECT_EQ(want.attachment, text->attachment);
    }
}

TEST(Multileaders, takeTheColourMethodFromTheTopByte) {
    struct Case {
        double value;
        int colour, trueColour;
    };
    const Case cases[] = {
        {-1073741824.0, COLOUR_BYLAYER, -1},        // 0xC0000000
        {-1056964608.0, COLOUR_BYBLOCK, -1},        // 0xC1000000
        {-1040187391.0, 1, -1},                     // 0xC2000001, red
        {-1023410176.0 + 0x123456, COLOUR_BYLAYER, 0x123456},  // 0xC3 with RGB
        {1e20, COLOUR_BYBLOCK, -1},
    };
    for (const Case& c : cases) {
        int colour = -5, trueColour = -5;
        multileaderColour(c.value, colour, trueColour);
        EXPECT_EQ(c.colour, colour) << c.value;
        EXPECT_EQ(c.trueColour, trueColour) << c.value;
    }
}

}  // namespace
}  // namespace tavix::dxf
