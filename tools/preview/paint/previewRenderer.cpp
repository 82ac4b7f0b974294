#include "previewRenderer.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

#include "pixelGeometry.h"
#include "strokeDrawer.h"

namespace tavix::preview {
namespace {

constexpr int MAX_SURFACE_SIDE = 32767;

class PageDrawer {
public:
    PageDrawer(cairo_t* cr, const RenderPlan& plan, const PreviewOptions& options, VectorOutput* vectors)
        : cr_(cr), vectors_(vectors), frame_(plan.geometry), strokes_(cr, frame_, options, vectors) {}

    void stroke(const Polyline& line) { strokes_.draw(line); }
    void fill(const Polygon& polygon);
    void raster(const RasterImage& image);
    void finish() { strokes_.finish(); }

private:
    void clipTo(const Rect& clip);
    void colour(Rgb c) { cairo_set_source_rgb(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0); }

    cairo_t* cr_;
    VectorOutput* vectors_;
    PixelFrame frame_;
    StrokeDrawer strokes_;
};

// Printed white under source transparency shows what is below it.
bool transparentWhite(const RasterImage& image, size_t i) {
    return image.whiteTransparent && image.rgba[i] == 255 && image.rgba[i + 1] == 255 && image.rgba[i + 2] == 255;
}

void PageDrawer::clipTo(const Rect& clip) {
    PixelBox c = frame_.clipBox(clip);
    cairo_rectangle(cr_, c.x0, c.y0, c.x1 - c.x0, c.y1 - c.y0);
    cairo_clip(cr_);
}

void PageDrawer::fill(const Polygon& polygon) {
    strokes_.finish();
    if (vectors_) {
        PixelBox box = frame_.paper.grown(2);
        std::vector<std::vector<Px>> rings;
        for (const auto& ring : polygon.rings) {
            std::vector<Px> points;
            points.reserve(ring.size());
            for (const Point& p : ring) points.push_back(frame_.px(p));
            std::vector<Px> clipped = clipRing(points, box);
            if (clipped.size() >= 3) rings.push_back(std::move(clipped));
        }
        return vectors_->fill(polygon.colour, frame_.clipBox(polygon.clip), rings, polygon.evenOdd);
    }
    cairo_save(cr_);
    clipTo(polygon.clip);
    colour(polygon.colour);
    cairo_set_fill_rule(cr_, polygon.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    PixelBox box = frame_.paper.grown(2);
    for (const auto& ring : polygon.rings) {
        std::vector<Px> points;
        points.reserve(ring.size());
        for (const Point& p : ring) points.push_back(frame_.px(p));
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
    strokes_.finish();
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

    double f = image.factor * step * frame_.scale;
    cairo_matrix_t m;
    cairo_matrix_init(&m, image.pixelStep.x * f, -image.pixelStep.y * f, image.rowStep.x * f,
                      -image.rowStep.y * f, frame_.geometry.pixelX(image.origin.x), frame_.geometry.pixelY(image.origin.y));
    double pixelSize = frame_.geometry.dpi * image.factor * step / image.dpi;
    if (vectors_) {
        if (cairo_matrix_invert(&m) == CAIRO_STATUS_SUCCESS) {
            cairo_matrix_invert(&m);
            vectors_->image(frame_.clipBox(image.clip), data, w, h, stride, {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0},
                            pixelSize < 1);
        }
        cairo_surface_destroy(surface);
        return;
    }
    if (cairo_matrix_invert(&m) == CAIRO_STATUS_SUCCESS) {
        cairo_matrix_invert(&m);
        cairo_save(cr_);
        clipTo(image.clip);
        cairo_transform(cr_, &m);
        cairo_set_source_surface(cr_, surface, 0, 0);
        // Picture pixels per stored pixel, from the resolutions themselves so
        // that whole-number ratios are exact: smoothing only when stored
        // pixels are smaller than picture pixels.
        cairo_pattern_set_filter(cairo_get_source(cr_), pixelSize < 1 ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
        cairo_rectangle(cr_, 0, 0, w, h);
        cairo_fill(cr_);
        cairo_restore(cr_);
    }
    cairo_surface_destroy(surface);
}

}  // namespace

void drawPage(cairo_t* cr, const Page* page, const RenderPlan& plan, const PreviewOptions& options,
              VectorOutput* vectors) {
    const PageGeometry& g = plan.geometry;
    double x0 = g.pixelX(g.extent.x0), y0 = g.pixelY(g.extent.y1);
    double x1 = g.pixelX(g.extent.x1), y1 = g.pixelY(g.extent.y0);
    if (vectors) {
        // The grays of the picture's ground and the paper's edge (0.82 and 0.55).
        vectors->rectangle({209, 209, 209}, 0, 0, plan.width, plan.height);
        vectors->rectangle({140, 140, 140}, x0 - 1, y0 - 1, x1 - x0 + 2, y1 - y0 + 2);
        vectors->rectangle({255, 255, 255}, x0, y0, x1 - x0, y1 - y0);
    } else {
        cairo_set_antialias(cr, options.antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
        cairo_set_source_rgb(cr, 0.82, 0.82, 0.82);
        cairo_paint(cr);
        cairo_set_source_rgb(cr, 0.55, 0.55, 0.55);
        cairo_rectangle(cr, x0 - 1, y0 - 1, x1 - x0 + 2, y1 - y0 + 2);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
        cairo_fill(cr);
    }
    if (!page) return;
    PageDrawer drawer(cr, plan, options, vectors);
    constexpr size_t PROGRESS_EVERY = 4096;
    size_t total = 0, done = 0;
    for (const DrawOp& op : page->order) total += op.count;
    for (const DrawOp& op : page->order)
        for (size_t i = op.index; i < op.index + op.count; ++i, ++done) {
            if (options.drawingProgress && done % PROGRESS_EVERY == 0)
                options.drawingProgress(static_cast<double>(done) / static_cast<double>(total));
            switch (op.kind) {
            case OpKind::Stroke: drawer.stroke(page->strokes[i]); break;
            case OpKind::Fill: drawer.fill(page->fills[i]); break;
            case OpKind::Raster: drawer.raster(page->rasters[i]); break;
            }
        }
    drawer.finish();
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
