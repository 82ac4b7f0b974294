#include "multileaderGeometry.h"

#include <cmath>
#include <cstdint>

#include "dimensionGeometry.h"

namespace tavix::dxf {
namespace {

constexpr size_t MAX_POINTS = 100000;

struct LeaderLine {
    std::vector<Point2> vertices;
};

struct Leader {
    Point2 last, dogleg;
    double doglegLength = 0;
    std::vector<LeaderLine> lines;
};

struct Parsed {
    std::vector<Leader> leaders;
    std::string text;
    Point2 textAt, textDirection{1, 0};
    double textHeight = 0, textWidth = 0, arrowSize = 0;
    int attachment = 1;
    double textColour = -1056964608;  // by block
    double lineColour = -1056964608;
    int lineType = 1;                 // 0 none, 1 straight, 2 spline
    bool dogleg = true;
    bool hasText = false;
};

bool finite(Point2 p) { return std::isfinite(p.x) && std::isfinite(p.y); }

Parsed parse(const RawGroups& groups) {
    Parsed m;
    enum class Where { Entity, Context, Leader, Line } where = Where::Entity;
    for (const RawGroup& g : groups) {
        if (g.code >= 1000) break;
        if (g.code == 300 && g.value == "CONTEXT_DATA{") where = Where::Context;
        else if (g.code == 301) where = Where::Entity;
        else if (g.code == 302 && where == Where::Context && g.value == "LEADER{") {
            where = Where::Leader;
            if (m.leaders.size() < MAX_POINTS) m.leaders.emplace_back();
        } else if (g.code == 303 && where == Where::Leader) where = Where::Context;
        else if (g.code == 304 && where == Where::Leader && g.value == "LEADER_LINE{") {
            where = Where::Line;
            if (!m.leaders.empty() && m.leaders.back().lines.size() < MAX_POINTS) m.leaders.back().lines.emplace_back();
        } else if (g.code == 305 && where == Where::Line) where = Where::Leader;
        else if (where == Where::Line && !m.leaders.empty() && !m.leaders.back().lines.empty()) {
            auto& v = m.leaders.back().lines.back().vertices;
            if (g.code == 10 && v.size() < MAX_POINTS) v.push_back({g.number, 0});
            if (g.code == 20 && !v.empty()) v.back().y = g.number;
        } else if (where == Where::Leader && !m.leaders.empty()) {
            Leader& l = m.leaders.back();
            switch (g.code) {
                case 10: l.last.x = g.number; break;
                case 20: l.last.y = g.number; break;
                case 11: l.dogleg.x = g.number; break;
                case 21: l.dogleg.y = g.number; break;
                case 40: l.doglegLength = g.number; break;
                default: break;
            }
        } else if (where == Where::Context) {
            switch (g.code) {
                case 41: m.textHeight = g.number; break;
                case 140: m.arrowSize = g.number; break;
                case 304: m.text = g.value, m.hasText = true; break;
                case 12: m.textAt.x = g.number; break;
                case 22: m.textAt.y = g.number; break;
                case 13: m.textDirection.x = g.number; break;
                case 23: m.textDirection.y = g.number; break;
                case 43: m.textWidth = g.number; break;
                case 171: m.attachment = g.number >= 1 && g.number <= 9 ? static_cast<int>(g.number) : 1; break;
                case 90: m.textColour = g.number; break;
                default: break;
            }
        } else if (where == Where::Entity) {
            switch (g.code) {
                case 170: m.lineType = g.number >= 0 && g.number <= 2 ? static_cast<int>(g.number) : 1; break;
                case 91: m.lineColour = g.number; break;
                case 291: m.dogleg = g.number != 0; break;
                case 172: if (g.number == 1) m.hasText = false; break;  // block content
                default: break;
            }
        }
    }
    return m;
}

}  // namespace

void multileaderColour(double value, int& colour, int& trueColour) {
    trueColour = -1;
    if (!(value >= INT32_MIN && value <= INT32_MAX)) {
        colour = COLOUR_BYBLOCK;
        return;
    }
    uint32_t v = static_cast<uint32_t>(static_cast<int32_t>(value));
    switch (v >> 24) {
        case 0xC0: colour = COLOUR_BYLAYER; break;
        case 0xC2: colour = static_cast<int>(v & 0xFF) == 0 ? COLOUR_BYBLOCK : static_cast<int>(v & 0xFF); break;
        case 0xC3: colour = COLOUR_BYLAYER, trueColour = static_cast<int>(v & 0xFFFFFF); break;
        default: colour = COLOUR_BYBLOCK; break;
    }
}

Block multileaderBlock(const RawGroups& groups) {
    Parsed m = parse(groups);
    Block block;
    block.name = "MULTILEADER";
    DimensionStyle arrows;
    arrows.numbers[dim::ARROW_SIZE] = m.arrowSize;
    arrows.numbers[dim::SCALE] = 1;
    int colour = COLOUR_BYBLOCK, trueColour = -1;
    multileaderColour(m.lineColour, colour, trueColour);
    arrows.numbers[dim::LINE_COLOUR] = colour;
    auto path = [&](const std::vector<Point2>& points) {
        Entity e;
        e.kind = EntityKind::Polyline;
        e.style.layer = 0;
        e.style.colour = colour;
        e.style.trueColour = trueColour;
        e.style.linetype = LINETYPE_BYBLOCK;
        e.style.lineweight = LINEWEIGHT_BYBLOCK;
        for (const Point2& p : points) e.vertices.push_back({p.x, p.y, 0});
        block.entities.push_back(std::move(e));
    };
    if (m.lineType != 0)
        for (const Leader& leader : m.leaders) {
            for (const LeaderLine& line : leader.lines) {
                std::vector<Point2> points;
                for (const Point2& p : line.vertices)
                    if (finite(p)) points.push_back(p);
                if (finite(leader.last)) points.push_back(leader.last);
                if (points.size() < 2) continue;
                size_t before = block.entities.size();
                double shortBy = addArrowhead(block, points[0], points[1], arrows);
                for (size_t i = before; i < block.entities.size(); ++i) block.entities[i].style.trueColour = trueColour;
                double first = std::hypot(points[1].x - points[0].x, points[1].y - points[0].y);
                if (shortBy > 0 && shortBy < first) {
                    points[0].x += (points[1].x - points[0].x) * shortBy / first;
                    points[0].y += (points[1].y - points[0].y) * shortBy / first;
                }
                path(points);
            }
            Point2 end{leader.last.x + leader.dogleg.x * leader.doglegLength,
                       leader.last.y + leader.dogleg.y * leader.doglegLength};
            if (m.dogleg && !leader.lines.empty() && leader.doglegLength != 0 && finite(leader.last) && finite(end))
                path({leader.last, end});
        }
    if (m.hasText && !m.text.empty() && m.textHeight > 0 && finite(m.textAt)) {
        Entity text;
        text.kind = EntityKind::MText;
        text.style.layer = 0;
        multileaderColour(m.textColour, text.style.colour, text.style.trueColour);
        text.insertion = m.textAt;
        text.height = m.textHeight;
        text.boxWidth = m.textWidth > 0 ? m.textWidth : 0;
        text.attachment = m.attachment;
        text.rotation = std::atan2(m.textDirection.y, m.textDirection.x) * 180 / M_PI;
        if (!std::isfinite(text.rotation)) text.rotation = 0;
        text.text = m.text;
        block.entities.push_back(std::move(text));
    }
    return block;
}

}  // namespace tavix::dxf
