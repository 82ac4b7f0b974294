#include "mlineGeometry.h"

#include <cmath>

namespace tavix::dxf {
namespace {

// Multilines of more elements or vertices than this are cut short.
constexpr size_t MAX_ELEMENTS = 64;
constexpr size_t MAX_VERTICES = 1000000;

int colourCode(double v) { return v >= 0 && v <= 256 ? static_cast<int>(v) : COLOUR_BYLAYER; }

Entity part(EntityKind kind, int colour, int linetype) {
    Entity e;
    e.kind = kind;
    e.style.layer = 0;
    e.style.colour = colour;
    e.style.linetype = linetype;
    e.style.lineweight = LINEWEIGHT_BYBLOCK;
    return e;
}

}  // namespace

MlineShape readMline(const RawGroups& groups) {
    MlineShape shape;
    struct Vertex {
        Point2 at, miter;
        std::vector<double> offsets;
    };
    std::vector<Vertex> vertices;
    int flags = 0;
    bool offsetNext = false;
    for (const RawGroup& g : groups) {
        if (g.code >= 1000) break;
        switch (g.code) {
            case 2: shape.styleName = g.value; break;
            case 71: flags = g.number >= 0 && g.number < 65536 ? static_cast<int>(g.number) : 0; break;
            case 11:
                if (vertices.size() < MAX_VERTICES) vertices.push_back({{g.number, 0}, {}, {}});
                break;
            case 21: if (!vertices.empty()) vertices.back().at.y = g.number; break;
            case 13: if (!vertices.empty()) vertices.back().miter.x = g.number; break;
            case 23: if (!vertices.empty()) vertices.back().miter.y = g.number; break;
            case 74:
                // The first parameter of an element is its offset along the miter.
                if (!vertices.empty() && vertices.back().offsets.size() < MAX_ELEMENTS) {
                    vertices.back().offsets.push_back(0);
                    offsetNext = g.number >= 1;
                }
                break;
            case 41:
                if (offsetNext && !vertices.empty() && !vertices.back().offsets.empty())
                    vertices.back().offsets.back() = g.number;
                offsetNext = false;
                break;
            default: break;
        }
    }
    shape.closed = (flags & 2) != 0;
    shape.suppressStartCap = (flags & 4) != 0;
    shape.suppressEndCap = (flags & 8) != 0;
    size_t count = vertices.empty() ? 0 : vertices[0].offsets.size();
    for (const Vertex& v : vertices) count = std::min(count, v.offsets.size());
    shape.elements.assign(count, {});
    for (const Vertex& v : vertices)
        for (size_t j = 0; j < count; ++j) {
            Point2 p{v.at.x + v.miter.x * v.offsets[j], v.at.y + v.miter.y * v.offsets[j]};
            if (std::isfinite(p.x) && std::isfinite(p.y)) shape.elements[j].push_back(p);
        }
    // Elements that lost points to bad numbers no longer match vertex for vertex.
    for (const auto& points : shape.elements)
        if (points.size() != vertices.size()) shape.elements.clear();
    return shape;
}

MlineStyle readMlineStyle(const RawGroups& groups, std::string& name, std::vector<std::string>& linetypes) {
    MlineStyle style;
    bool elements = false;  // group 71 passed: what follows are the elements
    for (const RawGroup& g : groups) {
        if (g.code >= 1000) break;
        switch (g.code) {
            case 2: name = g.value; break;
            case 70: style.flags = g.number >= 0 && g.number < 65536 ? static_cast<int>(g.number) : 0; break;
            case 71: elements = true; break;
            case 49:
                if (elements && style.elements.size() < MAX_ELEMENTS) {
                    style.elements.emplace_back();
                    linetypes.emplace_back();
                }
                break;
            case 62:
                if (!elements) style.fillColour = colourCode(g.number);
                else if (!style.elements.empty()) style.elements.back().colour = colourCode(g.number);
                break;
            case 6: if (elements && !linetypes.empty()) linetypes.back() = g.value; break;
            default: break;
        }
    }
    return style;
}

Block mlineBlock(const MlineShape& shape, const MlineStyle* style) {
    Block block;
    block.name = "MLINE";
    const auto& elements = shape.elements;
    if (elements.empty() || elements[0].size() < 2) return block;
    size_t vertices = elements[0].size();
    auto elementStyle = [&](size_t j) {
        return style && j < style->elements.size() ? style->elements[j] : MlineElementStyle{};
    };
    // The outermost elements: the fill lies between them, caps and miters join them.
    size_t outer = 0, inner = 0;
    auto offsetOf = [&](size_t j) {
        // Elements keep their style's order; the side of the first vertex tells them apart.
        Point2 a = elements[0][0], b = elements[j][0];
        Point2 d{elements[0][1].x - a.x, elements[0][1].y - a.y};
        return d.x * (b.y - a.y) - d.y * (b.x - a.x);
    };
    for (size_t j = 1; j < elements.size(); ++j) {
        if (offsetOf(j) > offsetOf(outer)) outer = j;
        if (offsetOf(j) < offsetOf(inner)) inner = j;
    }
    if (style && (style->flags & mlineFlag::FILL) != 0 && outer != inner) {
        Entity fill = part(EntityKind::Hatch, style->fillColour, LINETYPE_CONTINUOUS);
        fill.solidFill = true;
        Entity loop;
        loop.kind = EntityKind::Polyline;
        loop.closed = true;
        for (const Point2& p : elements[inner]) loop.vertices.push_back({p.x, p.y, 0});
        if (shape.closed) {
            // A ring: the two outermost elements, filled between under the even-odd rule.
            fill.loops.push_back({{loop}});
            loop.vertices.clear();
        }
        for (size_t i = vertices; i-- > 0;) loop.vertices.push_back({elements[outer][i].x, elements[outer][i].y, 0});
        fill.loops.push_back({{std::move(loop)}});
        block.entities.push_back(std::move(fill));
    }
    for (size_t j = 0; j < elements.size(); ++j) {
        MlineElementStyle s = elementStyle(j);
        Entity line = part(EntityKind::Polyline, s.colour, s.linetype);
        for (const Point2& p : elements[j]) line.vertices.push_back({p.x, p.y, 0});
        line.closed = shape.closed;
        block.entities.push_back(std::move(line));
    }
    // A join across the outermost elements at vertex i, in two halves of their colours.
    auto across = [&](size_t i) {
        Point2 a = elements[outer][i], b = elements[inner][i];
        Point2 middle{(a.x + b.x) / 2, (a.y + b.y) / 2};
        for (size_t j : {outer, inner}) {
            MlineElementStyle s = elementStyle(j);
            Entity half = part(EntityKind::Line, s.colour, s.linetype);
            half.vertices = {{elements[j][i].x, elements[j][i].y, 0}, {middle.x, middle.y, 0}};
            block.entities.push_back(std::move(half));
        }
    };
    if (style && outer != inner) {
        if (!shape.closed && (style->flags & mlineFlag::START_CAP) != 0 && !shape.suppressStartCap) across(0);
        if ((style->flags & mlineFlag::MITERS) != 0)
            for (size_t i = shape.closed ? 0 : 1; i + (shape.closed ? 0 : 1) < vertices; ++i) across(i);
        if (!shape.closed && (style->flags & mlineFlag::END_CAP) != 0 && !shape.suppressEndCap) across(vertices - 1);
    }
    return block;
}

}  // namespace tavix::dxf
