#include "entityRenderer.h"

#include <cmath>

#include "geometry/arc.h"
#include "geometry/ellipse.h"
#include "geometry/hatchPattern.h"
#include "geometry/linetype.h"
#include "geometry/mtext.h"
#include "geometry/spline.h"
#include "geometry/strokeText.h"
#include "geometry/widthOutline.h"
#include "penMap.h"

namespace tavix::dxf {
namespace {

using geometry::Point;
using geometry::Polyline;

Point point(const Point2& p) { return {p.x, p.y}; }
Point point(const Vertex& v) { return {v.x, v.y}; }

// Entities whose coordinates are in their own plane's system, where an
// extrusion of (0, 0, -1) turns x round.
bool usesObjectCoordinates(EntityKind kind) {
    switch (kind) {
        case EntityKind::Circle: case EntityKind::Arc: case EntityKind::Polyline: case EntityKind::Solid:
        case EntityKind::Insert: case EntityKind::Text: case EntityKind::Hatch:
            return true;
        default: return false;
    }
}

double sizeOf(const std::vector<Point>& points) {
    if (points.empty()) return 0;
    double x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
    for (const Point& p : points) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    }
    return std::hypot(x1 - x0, y1 - y0);
}

Polyline transformed(const Polyline& local, const Affine& t) {
    Polyline out;
    out.reserve(local.size());
    for (const Point& p : local) out.push_back(t.apply(p));
    return out;
}

double distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

std::string lineText(int line) { return "line " + std::to_string(line) + ": "; }

}  // namespace

EntityRenderer::EntityRenderer(const DxfTables& t, const geometry::StrokeFont* f, PrimitiveSink& s,
                               const RenderSettings& r, fonts::TextFonts* fonts)
    : tables(t), font(f), textFonts(fonts), sink(s), settings(r) {
    // The dashed linetypes of the table, in order, take the printer's line
    // types 1 to 8 and round again.
    int next = 0;
    for (const Linetype& l : tables.linetypes) printerLineTypes.push_back(l.continuous() ? 0 : next++ % 8 + 1);
}

bool EntityRenderer::draw(const Entity& entity, std::string& error) {
    Context top;
    top.colour = 7;
    top.lineweight = LINEWEIGHT_DEFAULT;
    top.linetype = LINETYPE_CONTINUOUS;
    return drawIn(entity, top, error);
}

bool EntityRenderer::visible(int layer, const Context&) const {
    if (layer < 0 || layer >= static_cast<int>(tables.layers.size())) return true;
    const Layer& l = tables.layers[layer];
    return !l.off && !l.frozen && l.plots && settings.frozenInViewport.count(layer) == 0;
}

LineLook EntityRenderer::lookOf(const Entity& e, int layer, const Context& context) const {
    static const Layer defaultLayer;
    const Layer& l = layer >= 0 && layer < static_cast<int>(tables.layers.size()) ? tables.layers[layer] : defaultLayer;
    LineLook look;
    look.line = e.line;
    const EntityStyle& s = e.style;
    if (s.trueColour >= 0) look.colour = nearestColourNumber(s.trueColour);
    else if (s.colour == COLOUR_BYLAYER) look.colour = l.trueColour >= 0 ? nearestColourNumber(l.trueColour) : l.colour;
    else if (s.colour == COLOUR_BYBLOCK) look.colour = context.colour;
    else look.colour = s.colour;
    if (look.colour < 1 || look.colour > 255) look.colour = 7;
    look.lineweight = s.lineweight == LINEWEIGHT_BYLAYER   ? l.lineweight
                      : s.lineweight == LINEWEIGHT_BYBLOCK ? context.lineweight
                                                           : s.lineweight;
    look.linetype = s.linetype == LINETYPE_BYLAYER   ? l.linetype
                    : s.linetype == LINETYPE_BYBLOCK ? context.linetype
                                                     : s.linetype;
    if (look.linetype >= 0 && look.linetype < static_cast<int>(printerLineTypes.size()))
        look.printerLineType = printerLineTypes[look.linetype];
    return look;
}

double EntityRenderer::localTolerance(const Affine& t, double size) const {
    if (settings.tolerance > 0) {
        double stretch = t.stretch();
        return stretch > 0 ? settings.tolerance / stretch : settings.tolerance;
    }
    return std::max(size * 2e-3, 1e-9);
}

bool EntityRenderer::emit(const LineLook& look, const Polyline& local, const Affine& t, double tolerance,
                          const EntityStyle& style, std::string& error, bool curve) {
    if (local.empty()) return true;
    double slack = settings.tolerance > 0 ? 0 : tolerance * t.stretch();
    bool dashed = (settings.softwareLinetypes || curve) && settings.tolerance > 0 && look.linetype >= 0 &&
                  look.linetype < static_cast<int>(tables.linetypes.size()) &&
                  !tables.linetypes[look.linetype].continuous() && local.size() > 1;
    if (!dashed) return sink.stroke(look, transformed(local, t), slack, error);
    double scale = tables.ltscale * style.linetypeScale;
    LineLook solid = look;
    solid.printerLineType = 0;
    for (const Polyline& dash : geometry::applyLinetype(local, tables.linetypes[look.linetype].pattern, scale))
        if (!sink.stroke(solid, transformed(dash, t), slack, error)) return false;
    return true;
}

std::optional<Polyline> EntityRenderer::flattenEdge(const Entity& e, double tolerance) {
    switch (e.kind) {
        case EntityKind::Line: return Polyline{point(e.vertices[0]), point(e.vertices[1])};
        case EntityKind::Arc: {
            if (!e.clockwise) return geometry::flattenArc(point(e.centre), e.radius, e.startAngle, e.endAngle, tolerance);
            // A clockwise boundary arc stores its angles measured clockwise.
            auto arc = geometry::flattenArc(point(e.centre), e.radius, -e.endAngle, -e.startAngle, tolerance);
            if (arc) std::reverse(arc->begin(), arc->end());
            return arc;
        }
        case EntityKind::Ellipse: {
            if (!e.clockwise)
                return geometry::flattenEllipse(point(e.centre), point(e.majorAxis), e.ratio, e.startAngle,
                                                e.endAngle, tolerance);
            auto arc = geometry::flattenEllipse(point(e.centre), point(e.majorAxis), e.ratio, -e.endAngle,
                                                -e.startAngle, tolerance);
            if (arc) std::reverse(arc->begin(), arc->end());
            return arc;
        }
        case EntityKind::Spline: {
            geometry::Spline s;
            s.degree = e.degree;
            for (const Point2& p : e.controlPoints) s.controlPoints.push_back(point(p));
            for (const Point2& p : e.fitPoints) s.fitPoints.push_back(point(p));
            s.knots = e.knots;
            if (e.startTangent.x != 0 || e.startTangent.y != 0) s.startTangent = point(e.startTangent);
            if (e.endTangent.x != 0 || e.endTangent.y != 0) s.endTangent = point(e.endTangent);
            bool unit = true;
            for (double w : e.weights) unit = unit && w == 1;
            if (!unit && e.weights.size() == e.controlPoints.size()) s.weights = e.weights;
            s.closed = e.closed || e.periodic;
            return geometry::flattenSpline(s, tolerance);
        }
        case EntityKind::Polyline: {
            bool curve = false;
            return flattenOutline(e, tolerance, curve);
        }
        default: return std::nullopt;
    }
}

// The outline of a curve or polyline entity in its own coordinates.
std::optional<Polyline> EntityRenderer::flattenOutline(const Entity& e, double tolerance, bool& curve) {
    curve = true;
    switch (e.kind) {
        case EntityKind::Circle: return geometry::flattenCircle(point(e.centre), e.radius, tolerance);
        case EntityKind::Arc: return geometry::flattenArc(point(e.centre), e.radius, e.startAngle, e.endAngle, tolerance);
        case EntityKind::Ellipse:
            if (e.mirrored)
                return geometry::flattenEllipse(point(e.centre), point(e.majorAxis), e.ratio, -e.endAngle,
                                                -e.startAngle, tolerance);
            return geometry::flattenEllipse(point(e.centre), point(e.majorAxis), e.ratio, e.startAngle,
                                            e.endAngle, tolerance);
        case EntityKind::Spline: return flattenEdge(e, tolerance);
        case EntityKind::Polyline: {
            curve = false;
            Polyline out;
            size_t n = e.vertices.size();
            if (n == 0) return out;
            if (n == 1) return Polyline{point(e.vertices[0]), point(e.vertices[0])};
            out.push_back(point(e.vertices[0]));
            size_t segments = e.closed ? n : n - 1;
            for (size_t i = 0; i < segments; ++i) {
                const Vertex& a = e.vertices[i];
                const Vertex& b = e.vertices[(i + 1) % n];
                if (a.bulge == 0) {
                    out.push_back(point(b));
                    continue;
                }
                curve = true;
                auto piece = geometry::flattenBulge(point(a), point(b), a.bulge, tolerance);
                if (!piece) return std::nullopt;
                out.insert(out.end(), piece->begin() + (piece->empty() ? 0 : 1), piece->end());
            }
            return out;
        }
        default: return std::nullopt;
    }
}

bool EntityRenderer::drawIn(const Entity& e, const Context& context, std::string& error) {
    if (context.depth > 0 && ++expanded > settings.maxExpandedEntities) {
        error = lineText(e.line) + "the drawing's blocks expand to more than " +
                std::to_string(settings.maxExpandedEntities) + " entities";
        return false;
    }
    int layer = e.style.layer;
    if (context.layer >= 0 && layer == 0) layer = context.layer;
    if (e.kind == EntityKind::Insert || e.kind == EntityKind::Dimension) {
        // A frozen or unplotted block reference hides all of its block; one on
        // a layer that is off still shows what its block draws on other layers.
        if (layer >= 0 && layer < static_cast<int>(tables.layers.size())) {
            const Layer& l = tables.layers[layer];
            if (l.frozen || !l.plots) return true;
        }
    } else if (!visible(layer, context)) {
        return true;
    }
    LineLook look = lookOf(e, layer, context);
    Affine t = context.transform;
    if (e.mirrored && usesObjectCoordinates(e.kind)) t = t.after(Affine::scaling(-1, 1));

    switch (e.kind) {
        case EntityKind::Line:
            return emit(look, {point(e.vertices[0]), point(e.vertices[1])}, t, localTolerance(t, 0), e.style, error);
        case EntityKind::Point:
            return sink.stroke(look, {t.apply(point(e.vertices[0])), t.apply(point(e.vertices[0]))}, 0, error);
        case EntityKind::Circle:
            // Measuring, under a map that keeps circles round: the four extreme points, exactly.
            if (settings.tolerance <= 0 && e.radius >= 0 &&
                ((t.a == t.d && t.b == -t.c) || (t.a == -t.d && t.b == t.c))) {
                Point c = t.apply(point(e.centre));
                double r = e.radius * t.stretch();
                return sink.stroke(look, {{c.x + r, c.y}, {c.x, c.y + r}, {c.x - r, c.y}, {c.x, c.y - r}}, 0, error);
            }
            [[fallthrough]];
        case EntityKind::Arc: case EntityKind::Ellipse: case EntityKind::Spline:
        case EntityKind::Polyline: {
            double size = e.radius;
            if (e.kind == EntityKind::Ellipse) size = std::hypot(e.majorAxis.x, e.majorAxis.y);
            if (e.kind == EntityKind::Arc || e.kind == EntityKind::Ellipse) {
                // A flat arc of a huge circle is as large as its chord, not its circle.
                double sweep = e.kind == EntityKind::Arc ? (e.endAngle - e.startAngle) * M_PI / 180
                                                         : e.endAngle - e.startAngle;
                sweep = std::fmod(std::fmod(sweep, 2 * M_PI) + 2 * M_PI, 2 * M_PI);
                if (sweep > 1e-12 && sweep < M_PI) size *= 2 * std::sin(sweep / 2);
            }
            if (e.kind == EntityKind::Spline) {
                std::vector<Point> pts;
                for (const Point2& p : e.controlPoints.empty() ? e.fitPoints : e.controlPoints) pts.push_back(point(p));
                size = sizeOf(pts);
            }
            if (e.kind == EntityKind::Polyline) {
                std::vector<Point> pts;
                for (const Vertex& v : e.vertices) pts.push_back(point(v));
                size = sizeOf(pts);
                double constant = e.width;
                if (!e.vertexWidths.empty()) {
                    const SegmentWidths& w0 = e.vertexWidths[0];
                    for (const SegmentWidths& w : e.vertexWidths)
                        if (w.start != w0.start || w.end != w0.start)
                            return drawTapered(e, look, t, localTolerance(t, size), error);
                    constant = w0.start;
                }
                look.bandWidth = constant * t.stretch();
            }
            double tolerance = localTolerance(t, size);
            bool curve = false;
            std::optional<Polyline> outline = flattenOutline(e, tolerance, curve);
            if (!outline) {
                ++undrawable[(e.kind == EntityKind::Spline ? "SPLINE" : e.kind == EntityKind::Ellipse ? "ELLIPSE"
                              : e.kind == EntityKind::Polyline ? "POLYLINE" : "ARC") +
                             std::string(" with an impossible shape")];
                return true;
            }
            return emit(look, *outline, t, curve ? tolerance : 0, e.style, error, curve);
        }
        case EntityKind::Solid: {
            std::vector<Point> corners;
            for (const Vertex& v : e.vertices) corners.push_back(t.apply(point(v)));
            if (e.hiddenEdges >= 0) {
                // A 3D face plots its edges, edge i from corner i to the next,
                // each visible one joined to the run before it.
                Polyline run;
                size_t n = e.vertices.size();
                for (size_t i = 0; i < n; ++i) {
                    Point a = point(e.vertices[i]), b = point(e.vertices[(i + 1) % n]);
                    if ((e.hiddenEdges & (1 << i)) != 0 || distance(a, b) == 0) {
                        if (run.size() > 1 && !emit(look, run, t, 0, e.style, error)) return false;
                        run.clear();
                        continue;
                    }
                    if (run.empty()) run.push_back(a);
                    run.push_back(b);
                }
                return run.size() < 2 || emit(look, run, t, 0, e.style, error);
            }
            if (corners.size() == 4 && distance(corners[2], corners[3]) == 0) corners.pop_back();
            if (settings.tolerance <= 0) return sink.stroke(look, corners, 0, error);
            return sink.fill(look, {corners}, error);
        }
        case EntityKind::Insert: case EntityKind::Dimension: {
            auto found = tables.blocks.find(upperCase(e.blockName));
            if (found == tables.blocks.end() && !e.rebuiltBlock.empty()) found = tables.blocks.find(e.rebuiltBlock);
            if (found == tables.blocks.end()) {
                ++undrawable[(e.kind == EntityKind::Insert ? "INSERT of a block the drawing does not define ("
                                                           : "DIMENSION without its block (") +
                             (e.blockName.empty() ? std::string("no name") : e.blockName) + ")"];
                return true;
            }
            const Block& block = found->second;
            if (e.kind == EntityKind::Dimension) return drawBlock(e, block, Affine{}, context, look, layer, error);
            for (int r = 0; r < e.rows; ++r)
                for (int c = 0; c < e.columns; ++c) {
                    Affine placement = Affine::translation(e.insertion.x, e.insertion.y)
                                           .after(Affine::rotation(e.rotation))
                                           .after(Affine::translation(c * e.columnSpacing, r * e.rowSpacing))
                                           .after(Affine::scaling(e.scaleX, e.scaleY))
                                           .after(Affine::translation(-block.base.x, -block.base.y));
                    Context inner = context;
                    inner.transform = t;
                    if (!drawBlock(e, block, placement, inner, look, layer, error)) return false;
                }
            return true;
        }
        case EntityKind::Text: case EntityKind::MText: return drawText(e, look, t, error);
        case EntityKind::Hatch: return drawHatch(e, look, t, error);
        case EntityKind::Ray: return drawRay(e, look, t, error);
        case EntityKind::Wipeout: {
            Polyline boundary;
            for (const Vertex& v : e.vertices) boundary.push_back(t.apply(point(v)));
            if (boundary.size() < 3) return true;
            // Measuring: the wiped area is part of the drawing's extents.
            if (settings.tolerance <= 0) return sink.stroke(look, boundary, 0, error);
            return sink.wipe(boundary, error);
        }
        case EntityKind::Image: {
            Polyline corners;
            for (const Vertex& v : e.vertices) corners.push_back(t.apply(point(v)));
            if (corners.size() != 4) return true;
            // Measuring: the image's area is part of the drawing's extents.
            if (settings.tolerance <= 0) return sink.stroke(look, corners, 0, error);
            return sink.image(look, e.text, corners, error);
        }
    }
    return true;
}

bool EntityRenderer::drawRay(const Entity& e, const LineLook& look, const Affine& t, std::string& error) {
    const RenderSettings& s = settings;
    if (!(s.paperX1 > s.paperX0 && s.paperY1 > s.paperY0) || e.vertices.size() != 2) return true;
    // Affine maps keep the parameter along a line: cut it on the paper, draw
    // the same stretch in the ray's own coordinates.
    const Affine whole = s.toPaper.after(t);
    const Point base = point(e.vertices[0]), ahead = point(e.vertices[1]);
    const Point p = whole.apply(base), q = whole.apply(ahead);
    const double dx = q.x - p.x, dy = q.y - p.y;
    double t0 = e.closed ? -INFINITY : 0, t1 = INFINITY;
    const double along[4] = {-dx, dx, -dy, dy};
    const double room[4] = {p.x - s.paperX0, s.paperX1 - p.x, p.y - s.paperY0, s.paperY1 - p.y};
    for (int i = 0; i < 4; ++i) {
        if (along[i] == 0) {
            if (room[i] < 0) return true;
            continue;
        }
        const double at = room[i] / along[i];
        if (along[i] < 0) t0 = std::max(t0, at);
        else t1 = std::min(t1, at);
    }
    if (!(t0 < t1) || !std::isfinite(t0) || !std::isfinite(t1)) return true;  // misses the paper, or no direction
    const Point a{base.x + t0 * (ahead.x - base.x), base.y + t0 * (ahead.y - base.y)};
    const Point b{base.x + t1 * (ahead.x - base.x), base.y + t1 * (ahead.y - base.y)};
    return emit(look, {a, b}, t, 0, e.style, error);
}

bool EntityRenderer::drawBlock(const Entity& e, const Block& block, const Affine& placement, const Context& context,
                               const LineLook& look, int layer, std::string& error) {
    for (const Block* b : chain)
        if (b == &block) {
            std::string path;
            for (const Block* c : chain) path += c->name + " > ";
            error = lineText(e.line) + "the block " + block.name + " inserts itself (" + path + block.name + ")";
            return false;
        }
    if (context.depth >= MAX_BLOCK_DEPTH) {
        error = lineText(e.line) + "blocks are nested more than " + std::to_string(MAX_BLOCK_DEPTH) + " deep (in " +
                block.name + ")";
        return false;
    }
    Context inner;
    inner.transform = context.transform.after(placement);
    inner.layer = layer;
    inner.colour = look.colour;
    inner.lineweight = look.lineweight;
    inner.linetype = look.linetype;
    inner.depth = context.depth + 1;
    chain.push_back(&block);
    for (const Entity& child : block.entities)
        if (!drawIn(child, inner, error)) {
            chain.pop_back();
            return false;
        }
    chain.pop_back();
    return true;
}

// A polyline whose width changes: each segment the filled outline of its
// widths, a segment of no width a line.
bool EntityRenderer::drawTapered(const Entity& e, const LineLook& look, const Affine& t, double tolerance,
                                 std::string& error) {
    size_t n = e.vertices.size();
    size_t segments = e.closed ? n : n - 1;
    for (size_t i = 0; i < segments && n > 1; ++i) {
        const Vertex& a = e.vertices[i];
        const Vertex& b = e.vertices[(i + 1) % n];
        SegmentWidths w = i < e.vertexWidths.size() ? e.vertexWidths[i] : SegmentWidths{};
        if (w.start == 0 && w.end == 0) {
            auto middle = geometry::flattenBulge(point(a), point(b), a.bulge, tolerance);
            if (!middle) {
                ++undrawable["POLYLINE with an impossible shape"];
                continue;
            }
            if (!emit(look, *middle, t, a.bulge != 0 ? tolerance : 0, e.style, error)) return false;
            continue;
        }
        auto outline = geometry::widthOutline(point(a), point(b), a.bulge, w.start, w.end, tolerance);
        if (!outline) continue;  // a segment of no length covers nothing
        if (outline->empty()) {
            ++undrawable["POLYLINE with an impossible shape"];
            continue;
        }
        Polyline placed = transformed(*outline, t);
        bool ok = settings.tolerance <= 0 ? sink.stroke(look, placed, tolerance * t.stretch(), error)
                                          : sink.fill(look, {placed}, error);
        if (!ok) return false;
    }
    return true;
}

bool EntityRenderer::drawHatch(const Entity& e, const LineLook& look, const Affine& t, std::string& error) {
    double size = 0;
    std::vector<Point> all;
    for (const HatchLoop& loop : e.loops)
        for (const Entity& edge : loop.edges) {
            if (!edge.vertices.empty()) all.push_back(point(edge.vertices[0]));
            if (edge.kind == EntityKind::Arc) {
                // Its ends and middle: a flat arc of a huge circle is no larger than its chord.
                double from = edge.clockwise ? -edge.endAngle : edge.startAngle;
                double to = edge.clockwise ? -edge.startAngle : edge.endAngle;
                double sweep = std::fmod(std::fmod(to - from, 360.0) + 360.0, 360.0);
                if (sweep == 0) sweep = 360;
                for (double f : {0.0, 0.25, 0.5, 0.75, 1.0}) {
                    double a = (from + f * sweep) * M_PI / 180;
                    Point p{edge.centre.x + edge.radius * std::cos(a), edge.centre.y + edge.radius * std::sin(a)};
                    if (std::isfinite(p.x) && std::isfinite(p.y)) all.push_back(p);
                }
            } else if (edge.kind == EntityKind::Ellipse) {
                double r = std::hypot(edge.majorAxis.x, edge.majorAxis.y);
                all.push_back({edge.centre.x - r, edge.centre.y - r});
                all.push_back({edge.centre.x + r, edge.centre.y + r});
            }
            for (const Point2& p : edge.controlPoints) all.push_back(point(p));
        }
    size = sizeOf(all);
    double tolerance = localTolerance(t, size / 4);
    std::vector<Polyline> loops;
    for (const HatchLoop& loop : e.loops) {
        Polyline outline;
        for (const Entity& edge : loop.edges) {
            std::optional<Polyline> piece = flattenEdge(edge, tolerance);
            if (!piece || piece->empty()) continue;
            if (!outline.empty() && distance(outline.back(), piece->back()) < distance(outline.back(), piece->front()))
                std::reverse(piece->begin(), piece->end());
            size_t first = !outline.empty() && distance(outline.back(), piece->front()) == 0 ? 1 : 0;
            outline.insert(outline.end(), piece->begin() + first, piece->end());
        }
        if (outline.size() >= 2) loops.push_back(std::move(outline));
    }
    if (loops.empty()) return true;
    if (settings.tolerance <= 0) {  // measuring: the boundary is the extent
        for (const Polyline& loop : loops)
            if (!sink.stroke(look, transformed(loop, t), tolerance * t.stretch(), error)) return false;
        return true;
    }
    if (e.solidFill) {
        std::vector<Polyline> world;
        for (const Polyline& loop : loops) world.push_back(transformed(loop, t));
        return sink.fill(look, world, error);
    }
    if (e.pattern.empty()) {
        ++undrawable["HATCH pattern without its definition lines"];
        return true;
    }
    std::vector<geometry::PatternLine> pattern;
    for (const HatchPatternLine& p : e.pattern)
        pattern.push_back({p.angle, point(p.base), point(p.offset), p.dashes});
    auto segments = geometry::hatchPatternSegments(pattern, 1, 0, loops);
    if (!segments) {
        ++undrawable["HATCH pattern too fine or malformed for its area"];
        return true;
    }
    for (const geometry::Segment& s : *segments)
        if (!sink.stroke(look, {t.apply(s.a), t.apply(s.b)}, 0, error)) return false;
    return true;
}

const geometry::StrokeFont* EntityRenderer::fontOf(const Entity& e, const TextStyleFont*& style) const {
    const auto entry = tables.textStyles.find(upperCase(e.textStyle.empty() ? "STANDARD" : e.textStyle));
    style = entry != tables.textStyles.end() ? &entry->second : nullptr;
    if (textFonts == nullptr || style == nullptr) return font;
    return textFonts->fontFor({style->file, style->family, style->bold, style->italic});
}

bool EntityRenderer::drawText(const Entity& e, const LineLook& look, const Affine& t, std::string& error) {
    const TextStyleFont* style = nullptr;
    const geometry::StrokeFont* font = fontOf(e, style);
    if (font == nullptr) {
        ++undrawable["text (no stroke font)"];
        return true;
    }
    std::optional<geometry::StrokedText> stroked;
    if (e.kind == EntityKind::Text) {
        geometry::TextStyle textStyle;
        textStyle.text = e.text;
        textStyle.insertion = point(e.insertion);
        textStyle.alignment = point(e.alignPoint);
        textStyle.height = e.height;
        textStyle.rotationDegrees = e.rotation;
        textStyle.widthFactor = e.widthFactor > 0 ? e.widthFactor : 1;
        textStyle.obliqueDegrees = e.oblique;
        textStyle.horizontal = static_cast<geometry::HorizontalAlignment>(e.alignH >= 0 && e.alignH <= 5 ? e.alignH : 0);
        textStyle.vertical = static_cast<geometry::VerticalAlignment>(e.alignV >= 0 && e.alignV <= 3 ? e.alignV : 0);
        stroked = geometry::strokeText(*font, textStyle);
    } else {
        geometry::MTextStyle textStyle;
        textStyle.text = e.text;
        textStyle.insertion = point(e.insertion);
        textStyle.height = e.height;
        textStyle.rotationDegrees = e.rotation;
        textStyle.referenceWidth = e.boxWidth > 0 ? e.boxWidth : 0;
        textStyle.attachment = static_cast<geometry::Attachment>(e.attachment >= 1 && e.attachment <= 9 ? e.attachment : 1);
        textStyle.lineSpacingFactor = e.lineSpacing;
        if (textFonts != nullptr)
            textStyle.fonts = [this](const geometry::FontSwitch& wanted) {
                return textFonts->fontFor(wanted.file ? fonts::FontRequest{wanted.name, "", false, false}
                                                      : fonts::FontRequest{"", wanted.name, wanted.bold, wanted.italic});
            };
        // MTEXT has no width factor or slant of its own: its style's.
        if (style != nullptr) {
            textStyle.widthFactor = style->widthFactor;
            textStyle.obliqueDegrees = style->oblique;
        }
        stroked = geometry::strokeMText(*font, textStyle);
    }
    if (!stroked) {
        ++undrawable[std::string(e.kind == EntityKind::Text ? "TEXT" : "MTEXT") + " of zero height or impossible shape"];
        return true;
    }
    if (stroked->missingGlyphs > 0) {
        if (missingGlyphs == 0) firstMissingGlyphLine = e.line;
        missingGlyphs += stroked->missingGlyphs;
    }
    Affine place = t;
    if (e.scaleX < 0 || e.scaleY < 0) {  // backwards or upside-down text, mirrored about its insertion point
        Point2 at = e.insertion;
        place = t.after(Affine::translation(at.x, at.y))
                    .after(Affine::rotation(e.rotation))
                    .after(Affine::scaling(e.scaleX < 0 ? -1 : 1, e.scaleY < 0 ? -1 : 1))
                    .after(Affine::rotation(-e.rotation))
                    .after(Affine::translation(-at.x, -at.y));
    }
    auto colouredBy = [&](const geometry::TextColour& c) {
        LineLook coloured = look;
        // BYLAYER and BYBLOCK inside the text are the entity's own colour.
        if (c.rgb >= 0) coloured.colour = nearestColourNumber(c.rgb);
        else if (c.number >= 1 && c.number <= 255) coloured.colour = c.number;
        return coloured;
    };
    double slack = 0;
    for (size_t i = 0; i < stroked->strokes.size(); ++i) {
        const geometry::TextColour c = i < stroked->colours.size() ? stroked->colours[i] : geometry::TextColour{};
        if (!sink.stroke(colouredBy(c), transformed(stroked->strokes[i], place), slack, error)) return false;
    }
    // Outline glyphs are filled, or outlined where small on paper (and while
    // measuring, where only their extent counts).
    const bool outlined = settings.mmPerUnit <= 0 || e.height * place.stretch() * settings.mmPerUnit < OUTLINED_TEXT_MM;
    for (const geometry::TextFill& fill : stroked->fills) {
        std::vector<Polyline> outlines;
        for (const Polyline& outline : fill.outlines) outlines.push_back(transformed(outline, place));
        const LineLook coloured = colouredBy(fill.colour);
        if (!outlined) {
            if (!sink.fill(coloured, outlines, error)) return false;
            continue;
        }
        for (const Polyline& outline : outlines)
            if (!sink.stroke(coloured, outline, slack, error)) return false;
    }
    return true;
}

}  // namespace tavix::dxf
