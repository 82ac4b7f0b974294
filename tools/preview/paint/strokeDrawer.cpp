#include "strokeDrawer.h"

#include <algorithm>
#include <cmath>

namespace tavix::preview {
namespace {

// HP-GL/2 line types 1..8: pen down, pen up, ... in percent of the pattern.
const std::vector<double> PATTERNS[9] = {
    {},
    {0, 100},
    {50, 50},
    {70, 30},
    {80, 10, 0, 10},
    {70, 10, 10, 10},
    {50, 10, 10, 10, 10, 10},
    {70, 10, 0, 10, 0, 10},
    {50, 10, 0, 10, 10, 10, 0, 10},
};

constexpr double MAX_PEN_PIXELS = 5000;
constexpr size_t PIECES_PER_CAIRO_STROKE = 256;
constexpr double MAX_PATTERNS_PER_VECTOR = 1e5;
// Every point of a joined polyline lies this close to the paper, so cairo
// can take the path whole.
constexpr double JOINED_PATH_REACH = 1e5;

cairo_line_cap_t cairoCap(PixelCap cap) {
    switch (cap) {
    case PixelCap::Butt: return CAIRO_LINE_CAP_BUTT;
    case PixelCap::Square: return CAIRO_LINE_CAP_SQUARE;
    case PixelCap::Triangular: return CAIRO_LINE_CAP_BUTT;  // the triangles are filled
    default: return CAIRO_LINE_CAP_ROUND;
    }
}

cairo_line_join_t cairoJoin(LineJoin join) {
    switch (join) {
    case LineJoin::Mitered:
    case LineJoin::MiteredBeveled: return CAIRO_LINE_JOIN_MITER;
    case LineJoin::Beveled: return CAIRO_LINE_JOIN_BEVEL;
    default: return CAIRO_LINE_JOIN_ROUND;
    }
}

bool dashed(const StrokeStyle& s) { return !s.pattern.solid && s.pattern.type >= 1 && s.pattern.type <= 8; }

Px along(Px a, double ux, double uy, double at) { return {a.x + ux * at, a.y + uy * at}; }

// The triangle that ends a line at `end`, coming from direction u: half
// the pen's width long. Its base reaches `overlap` back into the line, so
// that antialiased edges leave no seam between the two.
std::vector<Px> triangleEnd(Px end, double ux, double uy, double h, double overlap) {
    Px base{end.x - ux * overlap, end.y - uy * overlap};
    return {{base.x - uy * h, base.y + ux * h}, {end.x - uy * h, end.y + ux * h}, {end.x + ux * h, end.y + uy * h},
            {end.x + uy * h, end.y - ux * h}, {base.x + uy * h, base.y - ux * h}};
}

// A vector from a to b with triangular ends: a hexagon; of no length, a diamond.
std::vector<Px> triangularOutline(Px a, Px b, double h) {
    double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    if (!(length > 0)) return {{a.x - h, a.y}, {a.x, a.y - h}, {a.x + h, a.y}, {a.x, a.y + h}};
    double ux = dx / length * h, uy = dy / length * h;
    return {{a.x - uy, a.y + ux}, {b.x - uy, b.y + ux}, {b.x + ux, b.y + uy},
            {b.x + uy, b.y - ux}, {a.x + uy, a.y - ux}, {a.x - ux, a.y - uy}};
}

// The two end triangles of a joined polyline, each pointing along the
// nearest vector of some length; a polyline of no length is one diamond.
std::vector<std::vector<Px>> triangleEnds(const std::vector<Px>& points, double width) {
    size_t i = 1, j = points.size() - 1;
    while (i < points.size() && points[i].x == points[0].x && points[i].y == points[0].y) ++i;
    while (j > 0 && points[j - 1].x == points.back().x && points[j - 1].y == points.back().y) --j;
    if (i == points.size()) return {triangularOutline(points[0], points[0], width / 2)};
    auto end = [&](Px from, Px to) {
        double length = std::hypot(to.x - from.x, to.y - from.y);
        return triangleEnd(to, (to.x - from.x) / length, (to.y - from.y) / length, width / 2, std::min(length, 0.5));
    };
    return {end(points[i], points[0]), end(points[j - 1], points.back())};
}

void addRing(cairo_t* cr, const std::vector<Px>& ring) {
    cairo_move_to(cr, ring[0].x, ring[0].y);
    for (size_t i = 1; i < ring.size(); ++i) cairo_line_to(cr, ring[i].x, ring[i].y);
    cairo_close_path(cr);
}

}  // namespace

StrokeDrawer::StrokeDrawer(cairo_t* cr, const PixelFrame& frame, const PreviewOptions& options,
                           VectorOutput* vectors)
    : cr_(cr), frame_(frame), options_(options), vectors_(vectors) {
    if (vectors_) return;
    cairo_surface_t* target = cairo_get_target(cr);
    if (cairo_surface_get_type(target) == CAIRO_SURFACE_TYPE_IMAGE &&
        cairo_image_surface_get_format(target) == CAIRO_FORMAT_ARGB32) {
        raster_ = std::make_unique<StrokeRaster>(target, options.antialias);
    }
}

void StrokeDrawer::finish() {
    if (raster_) raster_->flush();
}

StrokeDrawer::Pen StrokeDrawer::penOf(const StrokeStyle& s) const {
    Pen pen;
    pen.width = std::clamp(s.widthMm * UNITS_PER_MM * frame_.scale, options_.minLinePixels, MAX_PEN_PIXELS);
    switch (s.cap) {
    case LineCap::Butt: pen.cap = PixelCap::Butt; break;
    case LineCap::Square: pen.cap = PixelCap::Square; break;
    case LineCap::Triangular: pen.cap = PixelCap::Triangular; break;
    default: pen.cap = PixelCap::Round;
    }
    return pen;
}

void StrokeDrawer::begin(const Polyline& line, const Pen& pen) {
    const Rgb& c = line.style.colour;
    if (vectors_) {
        vectorPen_ = {c, pen.width, pen.cap, line.style.join};
        vectorClip_ = frame_.clipBox(line.clip);
        return;
    }
    if (raster_) {
        raster_->use(c, frame_.clipBox(line.clip));
        return;
    }
    PixelBox clip = frame_.clipBox(line.clip);
    cairo_save(cr_);
    cairo_rectangle(cr_, clip.x0, clip.y0, clip.x1 - clip.x0, clip.y1 - clip.y0);
    cairo_clip(cr_);
    cairo_set_source_rgb(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0);
    cairo_set_line_width(cr_, pen.width);
    cairo_set_line_cap(cr_, cairoCap(pen.cap));
    cairo_set_line_join(cr_, cairoJoin(line.style.join));
    // Cairo has no triangular ends: such vectors are filled outlines.
    filled_ = pen.cap == PixelCap::Triangular;
    pending_ = 0;
}

void StrokeDrawer::drawPending() {
    if (!pending_) return;
    if (filled_) cairo_fill(cr_);
    else cairo_stroke(cr_);
    pending_ = 0;
}

void StrokeDrawer::end() {
    if (raster_ || vectors_) return;
    drawPending();
    cairo_restore(cr_);
}

void StrokeDrawer::draw(const Polyline& line) {
    const StrokeStyle& s = line.style;
    if (line.points.empty()) return;
    Pen pen = penOf(s);
    if (!s.pattern.solid && s.pattern.type == 0) {
        begin(line, pen);
        dotsAtPoints(line, pen);
        return end();
    }
    // Joined polylines as one path when every point is near the paper.
    bool joined = !dashed(s) && s.join != LineJoin::None;
    PixelBox near = frame_.paper.grown(JOINED_PATH_REACH);
    for (size_t i = 0; joined && i < line.points.size(); ++i) joined = near.contains(frame_.px(line.points[i]));
    if (joined) return joinedPath(line);
    begin(line, pen);
    for (size_t i = 0; i + 1 < line.points.size(); ++i)
        vector(frame_.px(line.points[i]), frame_.px(line.points[i + 1]), s, pen);
    end();
}

void StrokeDrawer::dotsAtPoints(const Polyline& line, const Pen& pen) {
    for (const Point& p : line.points) dot(frame_.px(p), pen);
}

// Joins are drawn by cairo on any surface; pending pixels go first.
void StrokeDrawer::joinedPath(const Polyline& line) {
    if (vectors_) {
        begin(line, penOf(line.style));
        std::vector<Px> points;
        points.reserve(line.points.size());
        for (const Point& p : line.points) points.push_back(frame_.px(p));
        if (vectorPen_.cap != PixelCap::Triangular) return vectors_->polyline(vectorPen_, vectorClip_, points);
        VectorPen butt = vectorPen_;
        butt.cap = PixelCap::Butt;
        vectors_->polyline(butt, vectorClip_, points);
        for (const std::vector<Px>& tip : triangleEnds(points, vectorPen_.width))
            vectors_->fill(vectorPen_.colour, vectorClip_, {tip}, false);
        return;
    }
    finish();
    std::unique_ptr<StrokeRaster> raster = std::move(raster_);
    Pen pen = penOf(line.style);
    begin(line, pen);
    std::vector<Px> points(line.points.size());
    for (size_t i = 0; i < points.size(); ++i) points[i] = frame_.px(line.points[i]);
    cairo_move_to(cr_, points[0].x, points[0].y);
    for (size_t i = 1; i < points.size(); ++i) cairo_line_to(cr_, points[i].x, points[i].y);
    cairo_stroke(cr_);
    if (pen.cap == PixelCap::Triangular) {
        for (const std::vector<Px>& tip : triangleEnds(points, pen.width)) addRing(cr_, tip);
        cairo_fill(cr_);
    }
    pending_ = 0;
    end();
    raster_ = std::move(raster);
}

// One vector with its own line ends (the driver's "no join"), and for a
// line type with its pattern started afresh.
void StrokeDrawer::vector(Px a, Px b, const StrokeStyle& s, const Pen& pen) {
    double length = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
    if (length == 0) return dot(a, pen);
    // Most vectors lie on the paper: then nothing is cut and t0, t1 are
    // what clipping would give.
    PixelBox reach = frame_.paper.grown(pen.width + 2);
    double t0 = 0, t1 = 1;
    if (!(reach.contains(a) && reach.contains(b)) && !clipSegment(a, b, reach, t0, t1)) return;
    Px ca{a.x + (b.x - a.x) * t0, a.y + (b.y - a.y) * t0};
    Px cb{a.x + (b.x - a.x) * t1, a.y + (b.y - a.y) * t1};
    if (dashed(s)) {
        double period = s.pattern.period * frame_.scale;
        if (s.pattern.adaptive && period > 0) {
            // The next whole number of patterns, stretched to the vector.
            double count = std::max(1.0, std::ceil(length / period));
            if (length / count >= 2 && count < MAX_PATTERNS_PER_VECTOR)
                return adaptiveDashes(a, b, t0 * length, t1 * length, length, count, s, pen);
        } else if (period >= 2 && length / period < MAX_PATTERNS_PER_VECTOR) {
            return dashes(ca, cb, t0, length, period, s, pen);
        }
    }
    piece(ca, cb, pen);
}

// The pattern's pen-down and pen-up lengths in pixels for one period.
std::vector<double> StrokeDrawer::patternParts(int type, double period, const Pen& pen) const {
    const std::vector<double>& pattern = PATTERNS[type];
    std::vector<double> parts(pattern.size());
    for (size_t k = 0; k < pattern.size(); ++k) parts[k] = pattern[k] * period / 100;
    if (pen.cap == PixelCap::Butt) {
        // A dot of the pattern is a pen-width dash, taken from the gap after it.
        for (size_t k = 0; k + 1 < parts.size(); k += 2) {
            if (parts[k] > 0) continue;
            double d = std::min(pen.width, parts[k + 1] / 2);
            parts[k] = d;
            parts[k + 1] -= d;
        }
    }
    return parts;
}

// The pattern's pen-down parts of the visible part ca-cb of a vector whose
// visible part starts t0 along its length.
void StrokeDrawer::dashes(Px ca, Px cb, double t0, double length, double period, const StrokeStyle& s,
                          const Pen& pen) {
    std::vector<double> parts = patternParts(s.pattern.type, period, pen);
    double visible = std::hypot(cb.x - ca.x, cb.y - ca.y);
    double ux = visible > 0 ? (cb.x - ca.x) / visible : 0, uy = visible > 0 ? (cb.y - ca.y) / visible : 0;
    double at = -std::fmod(t0 * length, period);
    for (size_t k = 0; at < visible; k = (k + 1) % parts.size()) {
        double from = at, to = at + parts[k];
        at = to;
        if (k % 2 != 0 || to < 0) continue;
        from = std::max(from, 0.0);
        to = std::min(to, visible);
        piece(along(ca, ux, uy, from), along(ca, ux, uy, to), pen);
    }
}

// An adaptive pattern: `count` whole patterns over the vector a-b, the
// first dash of each split between its two ends, so that the vector
// starts and ends in ink (LT-2: 25 % down, 50 % up, 25 % down). The dashes
// are placed by pattern number, not by summing, so the last one ends on
// b; only those between `from` and `to` along the vector are drawn.
void StrokeDrawer::adaptiveDashes(Px a, Px b, double from, double to, double length, double count,
                                  const StrokeStyle& s, const Pen& pen) {
    double period = length / count;
    std::vector<double> parts = patternParts(s.pattern.type, period, pen);
    std::vector<double> starts(parts.size());
    for (size_t k = 1; k < parts.size(); ++k) starts[k] = starts[k - 1] + parts[k - 1];
    // A first dash that is a dot made a pen-width dash stays whole, inside
    // the vector at its two ends.
    bool wholeFirst = pen.cap == PixelCap::Butt && PATTERNS[s.pattern.type][0] == 0;
    double shift = wholeFirst ? 0 : parts[0] / 2;
    double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
    auto last = static_cast<long>(count);
    for (long p = std::max(0L, static_cast<long>(std::floor(from / period)) - 1); p <= last; ++p) {
        double base = p == last ? length : period * static_cast<double>(p);
        if (base - shift > to) break;
        for (size_t k = 0; k < parts.size(); k += 2) {
            double down = base + starts[k] - shift;
            if (k == 0 && wholeFirst && p == last) down = length - parts[0];
            else if (p == last && k > 0) break;
            double up = down + parts[k];
            if (k == 0 && !wholeFirst) up = base + shift;
            // A dot (a dash of no length) only where it lies on the vector.
            if (up > down ? (up <= from || down >= to) : (down < from || down > to)) continue;
            piece(along(a, ux, uy, std::max(down, from)), along(a, ux, uy, std::min(up, to)), pen);
        }
    }
}

void StrokeDrawer::piece(Px a, Px b, const Pen& pen) {
    if (raster_) return raster_->segment(a, b, pen.width, pen.cap);
    bool triangular = pen.cap == PixelCap::Triangular;
    if (vectors_) {
        // SVG and PDF have no triangular ends either: such vectors are filled outlines.
        if (triangular) return vectors_->fill(vectorPen_.colour, vectorClip_, {triangularOutline(a, b, pen.width / 2)}, false);
        return vectors_->stroke(vectorPen_, vectorClip_, a, b);
    }
    if (triangular) {
        addRing(cr_, triangularOutline(a, b, pen.width / 2));
    } else {
        cairo_move_to(cr_, a.x, a.y);
        cairo_line_to(cr_, b.x, b.y);
    }
    if (++pending_ >= PIECES_PER_CAIRO_STROKE) drawPending();
}

// A dot is a vector of no length with the pen's ends: round with round
// ends, a diamond with triangular ones, else square.
void StrokeDrawer::dot(Px p, const Pen& pen) {
    if (!frame_.paper.grown(pen.width).contains(p)) return;
    if (raster_) return raster_->dot(p, pen.width, pen.cap);
    bool round = pen.cap == PixelCap::Round;
    if (vectors_) {
        if (pen.cap == PixelCap::Triangular)
            return vectors_->fill(vectorPen_.colour, vectorClip_, {triangularOutline(p, p, pen.width / 2)}, false);
        return vectors_->dot(vectorPen_.colour, vectorClip_, p, pen.width, round);
    }
    drawPending();
    double h = pen.width / 2;
    if (round) cairo_arc(cr_, p.x, p.y, h, 0, 2 * M_PI);
    else if (pen.cap == PixelCap::Triangular) addRing(cr_, triangularOutline(p, p, h));
    else cairo_rectangle(cr_, p.x - h, p.y - h, pen.width, pen.width);
    cairo_fill(cr_);
}

}  // namespace tavix::preview
