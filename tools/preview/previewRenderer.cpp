#include "previewRenderer.h"

#include <pango/pangocairo.h>

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
constexpr int MAX_SURFACE_SIDE = 32767;

struct Px {
    double x, y;
};

struct Box {
    double x0, y0, x1, y1;
    bool contains(Px p) const { return p.x >= x0 && p.x <= x1 && p.y >= y0 && p.y <= y1; }
};

class PageDrawer {
public:
    PageDrawer(cairo_t* cr, const RenderPlan& plan, const PreviewOptions& options)
        : cr_(cr), g_(plan.geometry), options_(options) {
        scale_ = g_.dpi / UNITS_PER_INCH;
        paper_ = {g_.pixelX(g_.extent.x0), g_.pixelY(g_.extent.y1), g_.pixelX(g_.extent.x1),
                  g_.pixelY(g_.extent.y0)};
    }

    void stroke(const Polyline& line);
    void fill(const Polygon& polygon);
    void raster(const RasterImage& image);

private:
    Px px(Point p) const { return {g_.pixelX(p.x), g_.pixelY(p.y)}; }
    Box expanded(double by) const { return {paper_.x0 - by, paper_.y0 - by, paper_.x1 + by, paper_.y1 + by}; }
    void clipTo(const Rect& clip);
    void colour(Rgb c) { cairo_set_source_rgb(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0); }
    void dot(Px p, double w, bool round);

    cairo_t* cr_;
    const PageGeometry& g_;
    const PreviewOptions& options_;
    double scale_;
    Box paper_;
};

// Liang-Barsky: the part of a-b inside the box, as parameters t0..t1.
bool clipSegment(Px a, Px b, const Box& box, double& t0, double& t1) {
    t0 = 0;
    t1 = 1;
    double dx = b.x - a.x, dy = b.y - a.y;
    double p[4] = {-dx, dx, -dy, dy};
    double q[4] = {a.x - box.x0, box.x1 - a.x, a.y - box.y0, box.y1 - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

// Sutherland-Hodgman against the four sides of a box.
std::vector<Px> clipRing(const std::vector<Px>& ring, const Box& box) {
    std::vector<Px> current = ring;
    for (int side = 0; side < 4 && !current.empty(); ++side) {
        auto inside = [&](Px p) {
            switch (side) {
            case 0: return p.x >= box.x0;
            case 1: return p.x <= box.x1;
            case 2: return p.y >= box.y0;
            default: return p.y <= box.y1;
            }
        };
        auto cross = [&](Px a, Px b) {
            double t;
            switch (side) {
            case 0: t = (box.x0 - a.x) / (b.x - a.x); break;
            case 1: t = (box.x1 - a.x) / (b.x - a.x); break;
            case 2: t = (box.y0 - a.y) / (b.y - a.y); break;
            default: t = (box.y1 - a.y) / (b.y - a.y); break;
            }
            return Px{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
        };
        std::vector<Px> next;
        for (size_t i = 0; i < current.size(); ++i) {
            Px a = current[i], b = current[(i + 1) % current.size()];
            bool ina = inside(a), inb = inside(b);
            if (ina) next.push_back(a);
            if (ina != inb) next.push_back(cross(a, b));
        }
        current.swap(next);
    }
    return current;
}

// Printed white under source transparency shows what is below it.
bool transparentWhite(const RasterImage& image, size_t i) {
    return image.whiteTransparent && image.rgba[i] == 255 && image.rgba[i + 1] == 255 && image.rgba[i + 2] == 255;
}

cairo_line_cap_t capOf(LineCap cap) {
    switch (cap) {
    case LineCap::Butt: return CAIRO_LINE_CAP_BUTT;
    case LineCap::Square: return CAIRO_LINE_CAP_SQUARE;
    default: return CAIRO_LINE_CAP_ROUND;  // triangular ends are drawn round
    }
}

cairo_line_join_t joinOf(LineJoin join) {
    switch (join) {
    case LineJoin::Mitered:
    case LineJoin::MiteredBeveled: return CAIRO_LINE_JOIN_MITER;
    case LineJoin::Beveled: return CAIRO_LINE_JOIN_BEVEL;
    default: return CAIRO_LINE_JOIN_ROUND;
    }
}

void PageDrawer::clipTo(const Rect& clip) {
    Box c{std::max(g_.pixelX(clip.x0), paper_.x0), std::max(g_.pixelY(clip.y1), paper_.y0),
          std::min(g_.pixelX(clip.x1), paper_.x1), std::min(g_.pixelY(clip.y0), paper_.y1)};
    if (!(c.x1 > c.x0) || !(c.y1 > c.y0)) c = {0, 0, 0, 0};
    cairo_rectangle(cr_, c.x0, c.y0, c.x1 - c.x0, c.y1 - c.y0);
    cairo_clip(cr_);
}

void PageDrawer::dot(Px p, double w, bool round) {
    if (!expanded(w).contains(p)) return;
    if (round) cairo_arc(cr_, p.x, p.y, w / 2, 0, 2 * M_PI);
    else cairo_rectangle(cr_, p.x - w / 2, p.y - w / 2, w, w);
    cairo_fill(cr_);
}

void PageDrawer::stroke(const Polyline& line) {
    const StrokeStyle& s = line.style;
    if (line.points.empty()) return;
    double w = std::clamp(s.widthMm * UNITS_PER_MM * scale_, options_.minLinePixels, MAX_PEN_PIXELS);
    cairo_save(cr_);
    clipTo(line.clip);
    colour(s.colour);
    cairo_set_line_width(cr_, w);
    cairo_set_line_cap(cr_, capOf(s.cap));
    cairo_set_line_join(cr_, joinOf(s.join));
    bool roundDot = s.cap == LineCap::Round || s.cap == LineCap::Triangular;
    Box visible = expanded(w + 2);

    if (!s.pattern.solid && s.pattern.type == 0) {  // dots at the points only
        for (const Point& p : line.points) dot(px(p), w, roundDot);
        cairo_restore(cr_);
        return;
    }

    bool dashed = !s.pattern.solid && s.pattern.type >= 1 && s.pattern.type <= 8;
    // Joined polylines as one path when every point is near the paper.
    bool joined = !dashed && s.join != LineJoin::None;
    if (joined) {
        Box near = expanded(1e5);
        for (const Point& p : line.points)
            if (!near.contains(px(p))) joined = false;
    }
    if (joined) {
        cairo_move_to(cr_, px(line.points[0]).x, px(line.points[0]).y);
        for (size_t i = 1; i < line.points.size(); ++i) cairo_line_to(cr_, px(line.points[i]).x, px(line.points[i]).y);
        cairo_stroke(cr_);
        cairo_restore(cr_);
        return;
    }

    // Vector by vector: each with its own line ends (no join), and for a
    // line type each starting its pattern afresh.
    size_t pending = 0;
    for (size_t i = 0; i + 1 < line.points.size(); ++i) {
        Px a = px(line.points[i]), b = px(line.points[i + 1]);
        double length = std::hypot(b.x - a.x, b.y - a.y);
        if (length == 0) {
            dot(a, w, roundDot);
            continue;
        }
        double t0, t1;
        if (!clipSegment(a, b, visible, t0, t1)) continue;
        Px ca{a.x + (b.x - a.x) * t0, a.y + (b.y - a.y) * t0};
        Px cb{a.x + (b.x - a.x) * t1, a.y + (b.y - a.y) * t1};
        double period = dashed ? s.pattern.period * scale_ : 0;
        if (dashed && s.pattern.adaptive && period > 0)
            period = length / std::max(1.0, std::ceil(length / period));  // whole patterns, the last not cut short
        bool useDash = dashed && period >= 2 && length / period < 1e5;
        if (!useDash) {
            cairo_move_to(cr_, ca.x, ca.y);
            cairo_line_to(cr_, cb.x, cb.y);
            if (++pending >= 256) {
                cairo_stroke(cr_);
                pending = 0;
            }
            continue;
        }
        if (pending) {
            cairo_stroke(cr_);
            pending = 0;
        }
        const std::vector<double>& pattern = PATTERNS[s.pattern.type];
        std::vector<double> dashes(pattern.size());
        for (size_t k = 0; k < pattern.size(); ++k) dashes[k] = pattern[k] * period / 100;
        if (s.cap == LineCap::Butt) {
            // A dot of the pattern is a pen-width dash, taken from the gap after it.
            for (size_t k = 0; k + 1 < dashes.size(); k += 2) {
                if (dashes[k] > 0) continue;
                double d = std::min(w, dashes[k + 1] / 2);
                dashes[k] = d;
                dashes[k + 1] -= d;
            }
        }
        cairo_set_dash(cr_, dashes.data(), static_cast<int>(dashes.size()), std::fmod(t0 * length, period));
        cairo_move_to(cr_, ca.x, ca.y);
        cairo_line_to(cr_, cb.x, cb.y);
        cairo_stroke(cr_);
        cairo_set_dash(cr_, nullptr, 0, 0);
    }
    if (pending) cairo_stroke(cr_);
    cairo_restore(cr_);
}

void PageDrawer::fill(const Polygon& polygon) {
    cairo_save(cr_);
    clipTo(polygon.clip);
    colour(polygon.colour);
    cairo_set_fill_rule(cr_, polygon.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    Box box = expanded(2);
    for (const auto& ring : polygon.rings) {
        std::vector<Px> points;
        points.reserve(ring.size());
        for (const Point& p : ring) points.push_back(px(p));
        std::vector<Px> clipped = clipRing(points, box);
        if (clipped.size() < 3) continue;
        cairo_move_to(cr_, clipped[0].x, clipped[0].y);
        for (size_t i = 1; i < clipped.size(); ++i) cairo_line_to(cr_, clipped[i].x, clipped[i].y);
        cairo_close_path(cr_);
    }
    cairo_fill(cr_);
    cairo_restore(cr_);
}

void PageDrawer::raster(const RasterImage& image) {
    if (image.storedWidth <= 0 || image.storedHeight <= 0) return;
    // A surface side is limited; a larger raster is averaged down first.
    int step = 1;
    while (image.storedWidth / step > MAX_SURFACE_SIDE || image.storedHeight / step > MAX_SURFACE_SIDE) step *= 2;
    int w = (image.storedWidth + step - 1) / step, h = (image.storedHeight + step - 1) / step;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < h; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t sr = 0, sg = 0, sb = 0, sa = 0, n = 0;
            for (int dy = 0; dy < step && y * step + dy < image.storedHeight; ++dy)
                for (int dx = 0; dx < step && x * step + dx < image.storedWidth; ++dx) {
                    size_t i = (static_cast<size_t>(y * step + dy) * image.storedWidth + x * step + dx) * 4;
                    uint32_t a = image.rgba[i + 3];
                    if (transparentWhite(image, i)) a = 0;
                    sr += image.rgba[i] * a;
                    sg += image.rgba[i + 1] * a;
                    sb += image.rgba[i + 2] * a;
                    sa += a;
                    ++n;
                }
            uint32_t a = n ? sa / n : 0;
            uint32_t r = n ? sr / 255 / n : 0, g = n ? sg / 255 / n : 0, b = n ? sb / 255 / n : 0;
            row[x] = (a << 24) | (std::min(r, a) << 16) | (std::min(g, a) << 8) | std::min(b, a);
        }
    }
    cairo_surface_mark_dirty(surface);

    double f = image.factor * step * scale_;
    cairo_matrix_t m;
    cairo_matrix_init(&m, image.pixelStep.x * f, -image.pixelStep.y * f, image.rowStep.x * f,
                      -image.rowStep.y * f, g_.pixelX(image.origin.x), g_.pixelY(image.origin.y));
    if (cairo_matrix_invert(&m) == CAIRO_STATUS_SUCCESS) {
        cairo_matrix_invert(&m);
        cairo_save(cr_);
        clipTo(image.clip);
        cairo_transform(cr_, &m);
        cairo_set_source_surface(cr_, surface, 0, 0);
        // Picture pixels per stored pixel, from the resolutions themselves so
        // that whole-number ratios are exact: smoothing only when stored
        // pixels are smaller than picture pixels.
        double pixelSize = g_.dpi * image.factor * step / image.dpi;
        cairo_pattern_set_filter(cairo_get_source(cr_), pixelSize < 1 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
        cairo_rectangle(cr_, 0, 0, w, h);
        cairo_fill(cr_);
        cairo_restore(cr_);
    }
    cairo_surface_destroy(surface);
}

}  // namespace

void drawPage(cairo_t* cr, const Page* page, const RenderPlan& plan, const PreviewOptions& options) {
    cairo_set_antialias(cr, options.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    cairo_set_source_rgb(cr, 0.82, 0.82, 0.82);
    cairo_paint(cr);
    const PageGeometry& g = plan.geometry;
    double x0 = g.pixelX(g.extent.x0), y0 = g.pixelY(g.extent.y1);
    double x1 = g.pixelX(g.extent.x1), y1 = g.pixelY(g.extent.y0);
    cairo_set_source_rgb(cr, 0.55, 0.55, 0.55);
    cairo_rectangle(cr, x0 - 1, y0 - 1, x1 - x0 + 2, y1 - y0 + 2);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
    cairo_fill(cr);
    if (!page) return;
    PageDrawer drawer(cr, plan, options);
    for (const DrawOp& op : page->order) {
        switch (op.kind) {
        case OpKind::Stroke: drawer.stroke(page->strokes[op.index]); break;
        case OpKind::Fill: drawer.fill(page->fills[op.index]); break;
        case OpKind::Raster: drawer.raster(page->rasters[op.index]); break;
        }
    }
}

int drawPanel(cairo_t* cr, const RenderPlan& plan) {
    if (plan.panelWidth <= 0) return 0;
    cairo_save(cr);
    cairo_rectangle(cr, plan.panelX, 0, plan.panelWidth, plan.height);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, 0.97, 0.97, 0.95);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    // Pango with fontconfig: characters the monospaced font lacks (the
    // Japanese of stamp texts and comments) come from a font that has them.
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans Mono");
    pango_font_description_set_absolute_size(font, plan.fontSize * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    double y = plan.geometry.margin + plan.fontSize;
    int unknown = 0;
    for (const std::string& line : plan.panel) {
        pango_layout_set_text(layout, line.c_str(), static_cast<int>(line.size()));
        unknown += pango_layout_get_unknown_glyphs_count(layout);
        cairo_move_to(cr, plan.panelX + 10, y - pango_layout_get_baseline(layout) / double(PANGO_SCALE));
        pango_cairo_show_layout(cr, layout);
        y += plan.lineHeight;
    }
    pango_font_description_free(font);
    g_object_unref(layout);
    cairo_restore(cr);
    return unknown;
}

}  // namespace tavix::preview
