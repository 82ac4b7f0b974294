#include "paperSink.h"

#include <cmath>
#include <filesystem>
#include <optional>

namespace tavix::dxf {
namespace {

using geometry::Point;
using geometry::Polyline;

struct Rect {
    double x0, y0, x1, y1;
};

// Liang-Barsky: the part of a->b inside `r`, if any.
std::optional<std::pair<Point, Point>> clipSegment(Point a, Point b, const Rect& r) {
    double t0 = 0, t1 = 1;
    double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - r.x0, r.x1 - a.x, a.y - r.y0, r.y1 - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return std::nullopt;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return std::nullopt;
    }
    return std::pair{Point{a.x + t0 * dx, a.y + t0 * dy}, Point{a.x + t1 * dx, a.y + t1 * dy}};
}

double length(Point a, Point b) { return std::hypot(b.x - a.x, b.y - a.y); }

bool inside(Point p, const Rect& r) { return p.x >= r.x0 && p.x <= r.x1 && p.y >= r.y0 && p.y <= r.y1; }

// Sutherland-Hodgman against one edge of a rectangle at a time.
Polyline clipPolygon(const Polyline& polygon, const Rect& r) {
    Polyline out = polygon;
    for (int edge = 0; edge < 4 && !out.empty(); ++edge) {
        auto inside = [&](Point p) {
            switch (edge) {
                case 0: return p.x >= r.x0;
                case 1: return p.x <= r.x1;
                case 2: return p.y >= r.y0;
                default: return p.y <= r.y1;
            }
        };
        auto cross = [&](Point a, Point b) {
            double t = 0;
            switch (edge) {
                case 0: t = (r.x0 - a.x) / (b.x - a.x); break;
                case 1: t = (r.x1 - a.x) / (b.x - a.x); break;
                case 2: t = (r.y0 - a.y) / (b.y - a.y); break;
                default: t = (r.y1 - a.y) / (b.y - a.y); break;
            }
            return Point{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
        };
        Polyline in = std::move(out);
        out.clear();
        for (size_t i = 0; i < in.size(); ++i) {
            Point cur = in[i], prev = in[(i + in.size() - 1) % in.size()];
            if (inside(cur)) {
                if (!inside(prev)) out.push_back(cross(prev, cur));
                out.push_back(cur);
            } else if (inside(prev)) {
                out.push_back(cross(prev, cur));
            }
        }
    }
    return out;
}

bool samePlace(Point a, Point b) {
    return (a.x == b.x && a.y == b.y) ||
           (std::floor(a.x + 0.5) == std::floor(b.x + 0.5) && std::floor(a.y + 0.5) == std::floor(b.y + 0.5));
}

}  // namespace

PaperSink::PaperSink(const Placement& p, double w, double h, const PenMap& m, const PaperOptions& o,
                     const RequestSink& s)
    : placement(p), width(w), height(h), pens(m), options(o), sink(s) {
    request.unit = host::Unit::Host;
}

bool PaperSink::send(host::DrawingRequest& r, std::string& why) { return sink(r, why); }

bool PaperSink::select(const LineLook& look, std::string& why) {
    PenChoice choice = look.pen > 0 ? PenChoice{look.pen, look.penWidthMm} : pens.forColour(look.colour);
    request.line = look.line;
    request.coords.clear();
    if (choice.pen != pen) {
        request.op = host::DrawingOp::Pen;
        request.value = choice.pen;
        if (!send(request, why)) return false;
        pen = choice.pen;
    }
    if (options.lineweights || pens.setsWidths()) {
        double mm = choice.widthMm;
        if (mm < 0) {
            mm = look.lineweight >= 0 ? look.lineweight / 100.0 : options.defaultLineweightMm;
            mm = std::max(mm, look.bandWidth * placement.mmPerUnit);
        }
        if (mm != widthMm) {
            request.op = host::DrawingOp::Width;
            request.widthInches = mm / 25.4;
            if (!send(request, why)) return false;
            widthMm = mm;
        }
    }
    if (options.printerLinetypes) {
        int type = look.printerLineType;
        if (type != lineType) {
            request.op = host::DrawingOp::LineType;
            request.value = type;
            if (!send(request, why)) return false;
            lineType = type;
        }
    }
    return true;
}

bool PaperSink::moveOrDraw(host::DrawingOp op, Point p, int line, std::string& why) {
    request.op = op;
    request.line = line;
    request.coords.resize(2);  // no allocation after the first point
    request.coords[0] = p.x;
    request.coords[1] = p.y;
    if (!send(request, why)) return false;
    penAt = p;
    penAtKnown = true;
    return true;
}

bool PaperSink::stroke(const LineLook& look, const Polyline& points, double, std::string& why) {
    if (points.empty()) return true;
    double mmPerHost = placement.mmPerUnit / placement.toPaper.stretch();
    Rect area{0, 0, std::min(width, 65535.0), std::min(height, 65535.0)};
    bool selected = false;
    auto drawPiece = [&](Point a, Point b) -> bool {
        if (!selected) {
            if (!select(look, why)) return false;
            selected = true;
        }
        if (!penAtKnown || !samePlace(penAt, a))
            if (!moveOrDraw(host::DrawingOp::Move, a, look.line, why)) return false;
        // Inside the area both ends are within 65535 units: no overflow.
        double dx = b.x - a.x, dy = b.y - a.y;
        drawnMm += std::sqrt(dx * dx + dy * dy) * mmPerHost;
        return moveOrDraw(host::DrawingOp::Draw, b, look.line, why);
    };
    Point previous = placement.toPaper.apply(points[0]);
    size_t count = points.size();
    if (count == 1) count = 2;  // a single point is drawn as a dot
    for (size_t i = 1; i < count; ++i) {
        Point next = i < points.size() ? placement.toPaper.apply(points[i]) : previous;
        Point a = previous, b = next;
        previous = next;
        if (placement.window) {
            const Extents& w = placement.windowOnPaper;
            auto inWindow = clipSegment(a, b, Rect{w.x0, w.y0, w.x1, w.y1});
            if (!inWindow) continue;
            a = inWindow->first, b = inWindow->second;
        }
        // Most segments lie inside: nothing to clip or measure as clipped.
        if (inside(a, area) && inside(b, area)) {
            if (!drawPiece(a, b)) return false;
            continue;
        }
        auto inArea = clipSegment(a, b, area);
        double whole = length(a, b);
        if (!inArea) {
            clippedMm += whole * mmPerHost;
            continue;
        }
        clippedMm += (whole - length(inArea->first, inArea->second)) * mmPerHost;
        if (!drawPiece(inArea->first, inArea->second)) return false;
    }
    ++strokes;
    return true;
}

bool PaperSink::fill(const LineLook& look, const std::vector<Polyline>& loops, std::string& why) {
    // The loops joined into one polygon through bridges to the first vertex:
    // each bridge is travelled there and back, so under the even-odd rule the
    // polygon covers exactly what the loops cover, holes left empty.
    Polyline polygon;
    for (const Polyline& loop : loops) {
        if (loop.size() < 2) continue;
        for (const Point& p : loop) polygon.push_back(placement.toPaper.apply(p));
        Point first = placement.toPaper.apply(loop.front());
        if (!samePlace(polygon.back(), first)) polygon.push_back(first);
        if (&loop != &loops.front()) polygon.push_back(placement.toPaper.apply(loops.front().front()));
    }
    if (polygon.size() < 3) return true;
    if (placement.window) {
        const Extents& w = placement.windowOnPaper;
        polygon = clipPolygon(polygon, Rect{w.x0, w.y0, w.x1, w.y1});
    }
    Polyline clipped = clipPolygon(polygon, Rect{0, 0, std::min(width, 65535.0), std::min(height, 65535.0)});
    if (clipped.size() != polygon.size() || !std::equal(clipped.begin(), clipped.end(), polygon.begin(),
                                                          [](Point a, Point b) { return a.x == b.x && a.y == b.y; }))
        ++clippedFills;
    if (clipped.size() < 3) return true;
    if (clipped.size() > 32767) {
        ++oversizeFills;
        return true;
    }
    host::DrawingRequest r;
    r.op = host::DrawingOp::FillArray;
    r.unit = host::Unit::Host;
    r.line = look.line;
    r.value = pens.forColour(look.colour).pen;
    r.coords.reserve(clipped.size() * 2);
    for (const Point& p : clipped) {
        r.coords.push_back(p.x);
        r.coords.push_back(p.y);
    }
    penAtKnown = false;
    ++fills;
    return send(r, why);
}

namespace {

bool isPng(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    unsigned char head[8] = {};
    size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    static const unsigned char PNG[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return n == 8 && std::equal(head, head + 8, PNG);
}

// The file as the drawing names it, else beside the drawing (drawings keep
// the path of the machine they were made on, often with backslashes).
std::string findImage(const std::string& named, const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    std::vector<std::string> tries;
    if (fs::path(named).is_absolute()) tries.push_back(named);
    else if (!folder.empty()) tries.push_back(folder + "/" + named);
    size_t slash = named.find_last_of("/\\");
    std::string base = slash == std::string::npos ? named : named.substr(slash + 1);
    if (!folder.empty() && !base.empty()) tries.push_back(folder + "/" + base);
    for (const std::string& path : tries)
        if (fs::is_regular_file(path, ignored)) return path;
    return {};
}

}  // namespace

bool PaperSink::image(const LineLook& look, const std::string& file, const Polyline& corners, std::string& why) {
    if (file.empty()) {
        ++imagesLeftOut["IMAGE without the definition that names its file"];
        return true;
    }
    std::string path = findImage(file, options.drawingFolder);
    if (path.empty()) {
        ++imagesLeftOut["IMAGE file " + file + " not found"];
        return true;
    }
    if (!isPng(path)) {
        ++imagesLeftOut["IMAGE file " + file + " not a PNG (the printer takes PNG images)"];
        return true;
    }
    if (corners.size() != 4) return true;
    Point p[4];
    for (int i = 0; i < 4; ++i) p[i] = placement.toPaper.apply(corners[i]);
    // The printer places images upright: along the paper's axes, not mirrored.
    double size = std::hypot(p[2].x - p[0].x, p[2].y - p[0].y), slack = size * 1e-6;
    bool upright = std::fabs(p[1].y - p[0].y) <= slack && std::fabs(p[3].x - p[0].x) <= slack &&
                   p[1].x > p[0].x && p[3].y > p[0].y;
    if (!upright) {
        ++imagesLeftOut["IMAGE file " + file + " turned or mirrored on the paper"];
        return true;
    }
    double x0 = std::round(p[0].x), y0 = std::round(p[0].y), x1 = std::round(p[2].x), y1 = std::round(p[2].y);
    if (!(x0 < x1 && y0 < y1)) return true;
    if (x0 < 0 || y0 < 0 || x1 > std::min(width, 65535.0) || y1 > std::min(height, 65535.0)) {
        ++imagesLeftOut["IMAGE file " + file + " not wholly inside the plot area"];
        return true;
    }
    host::DrawingRequest r;
    r.op = host::DrawingOp::Image;
    r.unit = host::Unit::Host;
    r.line = look.line;
    r.coords = {x0, y0, x1, y1};
    r.file = path;
    penAtKnown = false;
    ++images;
    return send(r, why);
}

}  // namespace tavix::dxf
