#include "dimensionGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace tavix::dxf {
namespace {

struct Vec {
    double x = 0, y = 0;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(Vec a, double s) { return {a.x * s, a.y * s}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
double length(Vec a) { return std::hypot(a.x, a.y); }
Vec normal(Vec a) { return {-a.y, a.x}; }
Vec vec(Point2 p) { return {p.x, p.y}; }
Vec polar(double radians) { return {std::cos(radians), std::sin(radians)}; }
double angleOf(Vec a) { return std::atan2(a.y, a.x); }

// Reading angle of text along a direction: turned so it never reads upside down.
double readableDegrees(Vec direction) {
    double deg = angleOf(direction) * 180 / M_PI;
    if (deg > 90.0 + 1e-9) deg -= 180;
    if (deg <= -90.0 + 1e-9) deg += 180;
    return deg;
}

bool finite(Vec v) { return std::isfinite(v.x) && std::isfinite(v.y); }

// Builds the block's entities; colours 0 are BYBLOCK, as in the host's blocks.
class Builder {
public:
    explicit Builder(const DimensionStyle& s) : style(s), scale(s.scale()) {
        arrowSize = std::fabs(s.number(dim::ARROW_SIZE)) * scale;
        tickSize = std::fabs(s.number(dim::TICK_SIZE)) * scale;
        std::string blockName = s.text(dim::ARROW_BLOCK);
        for (char& c : blockName) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (tickSize == 0 && (blockName == "ARCHTICK" || blockName == "OBLIQUE" || blockName == "_ARCHTICK" ||
                              blockName == "_OBLIQUE"))
            tickSize = arrowSize;
        noArrows = blockName == "NONE" || blockName == "_NONE";
    }

    void line(Vec a, Vec b, int colourCode) {
        if (!finite(a) || !finite(b)) return;
        Entity e = base(colourCode);
        e.kind = EntityKind::Line;
        e.vertices = {{a.x, a.y, 0}, {b.x, b.y, 0}};
        block.entities.push_back(std::move(e));
    }

    // An arrowhead with its tip at `tip`, its body towards `inward` (a unit
    // vector); returns how far the dimension line stops short of the tip.
    double arrow(Vec tip, Vec inward) {
        if (noArrows) return 0;
        if (tickSize > 0) {
            Vec slant = (inward + normal(inward)) * (tickSize / 2);
            line(tip - slant, tip + slant, dim::LINE_COLOUR);
            return 0;
        }
        if (arrowSize <= 0 || !finite(tip)) return 0;
        Vec back = tip + inward * arrowSize, side = normal(inward) * (arrowSize / 6);
        Entity e = base(dim::LINE_COLOUR);
        e.kind = EntityKind::Solid;
        Vec a = back + side, b = back - side;
        e.vertices = {{tip.x, tip.y, 0}, {a.x, a.y, 0}, {b.x, b.y, 0}};
        block.entities.push_back(std::move(e));
        return arrowSize;
    }

    // Text centred on `middle`.
    void text(Vec middle, double degrees, const std::string& content) {
        double height = std::fabs(style.number(dim::TEXT_HEIGHT)) * scale;
        if (content.empty() || height <= 0 || !finite(middle)) return;
        Entity e = base(dim::TEXT_COLOUR);
        e.kind = EntityKind::MText;
        e.insertion = {middle.x, middle.y};
        e.height = height;
        e.rotation = degrees;
        e.attachment = 5;  // middle centre
        e.text = content;
        block.entities.push_back(std::move(e));
    }

    // Where text goes by default: at `middle` on the line, or above it by the
    // gap when the style puts text above (DIMTAD).
    Vec textPlace(Vec middle, double degrees) const {
        if (style.number(dim::TEXT_ABOVE) == 0) return middle;
        double height = std::fabs(style.number(dim::TEXT_HEIGHT)) * scale;
        double lift = std::fabs(style.number(dim::GAP)) * scale + height / 2;
        return middle + normal(polar(degrees * M_PI / 180)) * lift;
    }

    double extOffset() const { return style.number(dim::EXT_OFFSET) * scale; }
    double extExtend() const { return style.number(dim::EXT_EXTEND) * scale; }
    double lineExtend() const { return tickSize > 0 ? style.number(dim::LINE_EXTEND) * scale : 0; }

    const DimensionStyle& style;
    double scale;
    double arrowSize = 0, tickSize = 0;
    bool noArrows = false;
    Block block;

private:
    Entity base(int colourCode) const {
        Entity e;
        e.style.layer = 0;
        double colour = style.number(colourCode);
        e.style.colour = colour >= 0 && colour <= 256 ? static_cast<int>(colour) : COLOUR_BYBLOCK;
        e.style.linetype = LINETYPE_BYBLOCK;
        e.style.lineweight = LINEWEIGHT_BYBLOCK;
        return e;
    }
};

// An extension line from the measured point out to the dimension line, short
// of the point by DIMEXO and beyond the line by DIMEXE.
void extensionLine(Builder& b, Vec from, Vec to) {
    Vec v = to - from;
    double len = length(v);
    if (!(len > 1e-12)) return;
    Vec n = v * (1 / len);
    b.line(from + n * b.extOffset(), to + n * b.extExtend(), dim::EXT_COLOUR);
}

// The dimension line between d1 and d2 with its two arrowheads: inside when
// there is room for both, else outside pointing in, the line run out past them.
void dimensionLine(Builder& b, Vec d1, Vec d2) {
    Vec v = d2 - d1;
    double len = length(v);
    if (!(len > 1e-12)) return;
    Vec w = v * (1 / len);
    double extend = b.lineExtend();
    if (b.tickSize > 0 || b.noArrows || len >= 2 * b.arrowSize) {
        double s1 = b.arrow(d1, w), s2 = b.arrow(d2, w * -1);
        b.line(d1 + w * (s1 - extend), d2 - w * (s2 - extend), dim::LINE_COLOUR);
        return;
    }
    b.arrow(d1, w * -1);
    b.arrow(d2, w);
    b.line(d1 - w * (2 * b.arrowSize), d2 + w * (2 * b.arrowSize), dim::LINE_COLOUR);
}

void linear(Builder& b, const DimensionDefinition& d) {
    Vec e1 = vec(d.first), e2 = vec(d.second), p = vec(d.definition);
    Vec u;
    if ((d.type & 7) == 1) {
        double len = length(e2 - e1);
        if (!(len > 1e-12)) return;
        u = (e2 - e1) * (1 / len);
    } else {
        u = polar(d.rotation * M_PI / 180);
    }
    Vec d1 = p + u * dot(e1 - p, u), d2 = p + u * dot(e2 - p, u);
    if (b.style.number(dim::SUPPRESS_EXT1) == 0) extensionLine(b, e1, d1);
    if (b.style.number(dim::SUPPRESS_EXT2) == 0) extensionLine(b, e2, d2);
    dimensionLine(b, d1, d2);
    double measured = std::fabs(dot(e2 - e1, u)) * b.style.number(dim::LENGTH_FACTOR);
    double degrees = readableDegrees(u);
    Vec at = d.textPlaced ? vec(d.textMiddle) : b.textPlace((d1 + d2) * 0.5, degrees);
    b.text(at, degrees, dimensionText(d.text, measurementText(measured, b.style)));
}

// Radius (10 the centre, 15 on the circle) and diameter (15 and 10 across
// the circle): the line from the text side to the circle, arrows at the circle.
void radial(Builder& b, const DimensionDefinition& d, bool diameter) {
    Vec onCircle = vec(d.third), other = vec(d.definition);
    Vec v = onCircle - other;
    double len = length(v);
    if (!(len > 1e-12)) return;
    Vec w = v * (1 / len);
    double measured = len * b.style.number(dim::LENGTH_FACTOR);
    std::string value = measurementText(measured, b.style);
    Vec centre = diameter ? (onCircle + other) * 0.5 : other;
    Vec text = d.textPlaced ? vec(d.textMiddle) : onCircle + w * (2 * b.arrowSize);
    double radius = diameter ? len / 2 : len;
    if (length(text - centre) > radius) {
        // Text outside: a leader from the circle out to the text.
        Vec out = text - onCircle;
        double olen = length(out);
        Vec ow = olen > 1e-12 ? out * (1 / olen) : w;
        double s = b.arrow(onCircle, ow);
        b.line(onCircle + ow * s, text, dim::LINE_COLOUR);
        if (diameter) {
            double s2 = b.arrow(other, w);
            b.line(other + w * s2, centre, dim::LINE_COLOUR);
        }
    } else {
        double s = b.arrow(onCircle, w * -1);
        double s2 = diameter ? b.arrow(other, w) : 0;
        b.line(other + w * s2, onCircle - w * s, dim::LINE_COLOUR);
    }
    double degrees = readableDegrees(w);
    b.text(d.textPlaced ? text : b.textPlace(text, degrees), degrees,
           dimensionText(d.text, (diameter ? "%%c" : "R") + value));
}

// Where two lines meet, if they do.
bool intersection(Vec a1, Vec a2, Vec b1, Vec b2, Vec& at) {
    Vec r = a2 - a1, s = b2 - b1;
    double den = r.x * s.y - r.y * s.x;
    if (std::fabs(den) < 1e-12 * std::max(1.0, length(r) * length(s))) return false;
    double t = ((b1.x - a1.x) * s.y - (b1.y - a1.y) * s.x) / den;
    at = a1 + r * t;
    return finite(at);
}

// Angular dimensions: the arc about the vertex through the arc point, between
// the two lines' rays that enclose it.
void angular(Builder& b, const DimensionDefinition& d) {
    Vec vertex, arcPoint;
    std::array<std::array<Vec, 2>, 2> lines;
    if ((d.type & 7) == 5) {
        vertex = vec(d.third);
        arcPoint = vec(d.definition);
        lines = {{{vertex, vec(d.first)}, {vertex, vec(d.second)}}};
    } else {
        lines = {{{vec(d.first), vec(d.second)}, {vec(d.third), vec(d.definition)}}};
        arcPoint = vec(d.arc);
        if (!intersection(lines[0][0], lines[0][1], lines[1][0], lines[1][1], vertex)) return;
    }
    double radius = length(arcPoint - vertex);
    if (!(radius > 1e-12)) return;
    // The four rays from the vertex along the two lines; the arc runs from
    // the last ray before the arc point (counter-clockwise) to the next after it.
    auto normalised = [](double a) {
        a = std::fmod(a, 2 * M_PI);
        return a < 0 ? a + 2 * M_PI : a;
    };
    struct Ray {
        double angle;
        int line;
    };
    std::array<Ray, 4> rays{};
    for (int i = 0; i < 2; ++i) {
        Vec dir = lines[i][1] - lines[i][0];
        if (!(length(dir) > 1e-12)) return;
        rays[2 * i] = {normalised(angleOf(dir)), i};
        rays[2 * i + 1] = {normalised(angleOf(dir) + M_PI), i};
    }
    double phi = normalised(angleOf(arcPoint - vertex));
    auto before = [&](const Ray& r) { return normalised(phi - r.angle); };
    auto after = [&](const Ray& r) { return normalised(r.angle - phi); };
    const Ray* first = &rays[0];
    const Ray* last = &rays[0];
    for (const Ray& r : rays) {
        if (before(r) < before(*first)) first = &r;
        if (after(r) < after(*last)) last = &r;
    }
    if (first->line == last->line) return;  // parallel lines
    double start = first->angle, sweep = normalised(last->angle - first->angle);
    if (!(sweep > 1e-12)) return;
    double end = start + sweep;
    // Extension lines, where the arc lies beyond the drawn part of a line.
    for (const Ray* r : {first, last}) {
        Vec dir = polar(r->angle);
        double reach = std::max(dot(lines[r->line][0] - vertex, dir), dot(lines[r->line][1] - vertex, dir));
        if (reach < radius) extensionLine(b, vertex + dir * std::max(reach, 0.0), vertex + dir * radius);
    }
    // The arc, its ends left for the arrowheads.
    Vec p0 = vertex + polar(start) * radius, p1 = vertex + polar(end) * radius;
    double s0 = b.arrow(p0, normal(polar(start)));
    double s1 = b.arrow(p1, normal(polar(end)) * -1);
    double a0 = start + s0 / radius, a1 = end - s1 / radius;
    if (a1 > a0) {
        Entity arc;
        arc.kind = EntityKind::Arc;
        arc.style.layer = 0;
        double colour = b.style.number(dim::LINE_COLOUR);
        arc.style.colour = colour >= 0 && colour <= 256 ? static_cast<int>(colour) : COLOUR_BYBLOCK;
        arc.style.linetype = LINETYPE_BYBLOCK;
        arc.style.lineweight = LINEWEIGHT_BYBLOCK;
        arc.centre = {vertex.x, vertex.y};
        arc.radius = radius;
        arc.startAngle = a0 * 180 / M_PI;
        arc.endAngle = a1 * 180 / M_PI;
        b.block.entities.push_back(std::move(arc));
    }
    double middle = start + sweep / 2;
    double degrees = readableDegrees(normal(polar(middle)));
    Vec at = d.textPlaced ? vec(d.textMiddle) : b.textPlace(vertex + polar(middle) * radius, degrees);
    b.text(at, degrees, dimensionText(d.text, measurementText(sweep * 180 / M_PI, b.style, true)));
}

}  // namespace

std::string measurementText(double value, const DimensionStyle& style, bool angle) {
    double round = style.number(dim::ROUND);
    if (!angle && round > 0 && std::isfinite(value / round)) value = std::round(value / round) * round;
    double places = style.number(angle ? dim::ANGLE_DECIMALS : dim::DECIMALS);
    int decimals = places >= 0 && places <= 8 ? static_cast<int>(places) : places > 8 ? 8 : 0;
    if (!std::isfinite(value) || std::fabs(value) > 1e15) value = 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    std::string out = buffer;
    if (out.find_first_not_of("-0.") == std::string::npos) out = decimals > 0 ? "0." + std::string(decimals, '0') : "0";
    double suppress = style.number(dim::ZERO_SUPPRESS);
    int zin = suppress >= 0 && suppress <= 15 ? static_cast<int>(suppress) : 0;
    size_t point = out.find('.');
    if (point != std::string::npos && (zin & 8) != 0) {
        out.erase(out.find_last_not_of('0') + 1);
        if (out.back() == '.') out.pop_back();
    }
    if ((zin & 4) != 0 && out.rfind("0.", 0) == 0) out.erase(0, 1);
    point = out.find('.');
    double separator = style.number(dim::DECIMAL_SEPARATOR);
    if (point != std::string::npos && separator >= 32 && separator < 127) out[point] = static_cast<char>(separator);
    if (angle) return out + "%%d";
    std::string post = style.text(dim::POST);
    size_t slot = post.find("<>");
    if (slot != std::string::npos) return post.substr(0, slot) + out + post.substr(slot + 2);
    return out + post;
}

std::string dimensionText(const std::string& userText, const std::string& measured) {
    if (userText.empty()) return measured;
    if (userText == " ") return std::string();
    std::string out = userText;
    size_t slot = out.find("<>");
    if (slot != std::string::npos) out.replace(slot, 2, measured);
    return out;
}

double addArrowhead(Block& block, Point2 tip, Point2 toward, const DimensionStyle& style) {
    Vec v = vec(toward) - vec(tip);
    double len = length(v);
    if (!(len > 1e-12)) return 0;
    Builder b(style);
    double shortBy = b.arrow(vec(tip), v * (1 / len));
    for (Entity& e : b.block.entities) block.entities.push_back(std::move(e));
    return shortBy;
}

Block blocklessDimension(const DimensionDefinition& d) {
    Builder b(d.style);
    b.block.name = "*D (rebuilt)";
    switch (d.type & 7) {
        case 0: case 1: linear(b, d); break;
        case 2: case 5: angular(b, d); break;
        case 3: radial(b, d, true); break;
        case 4: radial(b, d, false); break;
        default: break;
    }
    return std::move(b.block);
}

}  // namespace tavix::dxf
