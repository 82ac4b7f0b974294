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

// Triangular ends are drawn round.
StrokeDrawer::Pen StrokeDrawer::penOf(const StrokeStyle& s) const {
    Pen pen;
    pen.width = std::clamp(s.widthMm * UNITS_PER_MM * frame_.scale, options_.minLinePixels, MAX_PEN_PIXELS);
    pen.cap = s.cap == LineCap::Butt ? PixelCap::Butt : s.cap == LineCap::Square ? PixelCap::Square : PixelCap::Round;
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
    pending_ = 0;
}

void StrokeDrawer::end() {
    if (raster_ || vectors_) return;
    if (pending_) cairo_stroke(cr_);
    pending_ = 0;
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
        return vectors_->polyline(vectorPen_, vectorClip_, points);
    }
    finish();
    std::unique_ptr<StrokeRaster> raster = std::move(raster_);
    Pen pen = penOf(line.style);
    begin(line, pen);
    Px first = frame_.px(line.points[0]);
    cairo_move_to(cr_, first.x, first.y);
    for (size_t i = 1; i < line.points.size(); ++i) {
        Px p = frame_.px(line.points[i]);
        cairo_line_to(cr_, p.x, p.y);
    }
    pending_ = 1;
    end();
    raster_ = std::move(raster);
}

// One vector with its own line ends (the driver's "no join"), and for a
// line type with its pattern started afresh.
void StrokeDrawer::vector(Px a, Px b, const StrokeStyle& s, const Pen& pen) {
    double length = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
    if (length == 0) return dot(a, pen);
    double t0, t1;
    if (!clipSegment(a, b, frame_.paper.grown(pen.width + 2), t0, t1)) return;
    Px ca{a.x + (b.x - a.x) * t0, a.y + (b.y - a.y) * t0};
    Px cb{a.x + (b.x - a.x) * t1, a.y + (b.y - a.y) * t1};
    double period = dashed(s) ? s.pattern.period * frame_.scale : 0;
    // Adaptive: the next whole number of patterns, stretched to the vector.
    if (dashed(s) && s.pattern.adaptive && period > 0) period = length / std::max(1.0, std::ceil(length / period));
    if (dashed(s) && period >= 2 && length / period < MAX_PATTERNS_PER_VECTOR)
        return dashes(ca, cb, t0, length, period, s, pen);
    piece(ca, cb, pen);
}

// The pattern's pen-down parts of the visible part ca-cb of a vector whose
// visible part starts t0 along its length.
void StrokeDrawer::dashes(Px ca, Px cb, double t0, double length, double period, const StrokeStyle& s,
                          const Pen& pen) {
    const std::vector<double>& pattern = PATTERNS[s.pattern.type];
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
    double visible = std::hypot(cb.x - ca.x, cb.y - ca.y);
    double ux = visible > 0 ? (cb.x - ca.x) / visible : 0, uy = visible > 0 ? (cb.y - ca.y) / visible : 0;
    double at = -std::fmod(t0 * length, period);
    for (size_t k = 0; at < visible; k = (k + 1) % parts.size()) {
        double from = at, to = at + parts[k];
        at = to;
        if (k % 2 != 0 || to < 0) continue;
        from = std::max(from, 0.0);
        to = std::min(to, visible);
        piece({ca.x + ux * from, ca.y + uy * from}, {ca.x + ux * to, ca.y + uy * to}, pen);
    }
}

void StrokeDrawer::piece(Px a, Px b, const Pen& pen) {
    if (raster_) return raster_->segment(a, b, pen.width, pen.cap);
    if (vectors_) return vectors_->stroke(vectorPen_, vectorClip_, a, b);
    cairo_move_to(cr_, a.x, a.y);
    cairo_line_to(cr_, b.x, b.y);
    if (++pending_ >= PIECES_PER_CAIRO_STROKE) {
        cairo_stroke(cr_);
        pending_ = 0;
    }
}

// A dot is round with round (and triangular) ends, else square.
void StrokeDrawer::dot(Px p, const Pen& pen) {
    if (!frame_.paper.grown(pen.width).contains(p)) return;
    bool round = pen.cap == PixelCap::Round;
    if (raster_) return raster_->dot(p, pen.width, round);
    if (vectors_) return vectors_->dot(vectorPen_.colour, vectorClip_, p, pen.width, round);
    if (pending_) {
        cairo_stroke(cr_);
        pending_ = 0;
    }
    if (round) cairo_arc(cr_, p.x, p.y, pen.width / 2, 0, 2 * M_PI);
    else cairo_rectangle(cr_, p.x - pen.width / 2, p.y - pen.width / 2, pen.width, pen.width);
    cairo_fill(cr_);
}

}  // namespace tavix::preview
