#include "strokeRaster.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

namespace tavix::preview {
namespace {

// FreeType's outline indices are 16-bit; a batch is drawn before it
// reaches them.
constexpr size_t MAX_BATCH_POINTS = 30000;
// FreeType renders in bands of a few hundred cells and walks the whole
// outline for each band, so a batch is kept to about a band's worth of
// edge pixels: many short vectors share one call, a long one has its own.
constexpr double MAX_BATCH_EDGE_PIXELS = 1024;

struct Target {
    unsigned char* data;
    int stride, width, height;
    int x0, x1, y0, y1;  // clip, pixels [x0, x1) x [y0, y1)
    uint32_t r, g, b;
    bool antialias;
};

// Pixel rows come as spans of one coverage (0..255); the pen colour is
// laid over the opaque picture by that coverage (without antialiasing:
// pixels at least half covered take the colour).
void paintSpans(int y, int count, const FT_Span* spans, void* user) {
    const Target& t = *static_cast<const Target*>(user);
    if (y < t.y0 || y >= t.y1) return;
    uint32_t* row = reinterpret_cast<uint32_t*>(t.data + static_cast<size_t>(y) * t.stride);
    uint32_t solid = 0xFF000000u | t.r << 16 | t.g << 8 | t.b;
    for (int i = 0; i < count; ++i) {
        int from = std::max<int>(spans[i].x, t.x0), to = std::min<int>(spans[i].x + spans[i].len, t.x1);
        if (from >= to) continue;
        uint32_t cover = spans[i].coverage;
        if (!t.antialias || cover == 255) {
            if (t.antialias || cover >= 128) std::fill(row + from, row + to, solid);
            continue;
        }
        uint32_t keep = 255 - cover;
        for (int x = from; x < to; ++x) {
            uint32_t d = row[x];
            uint32_t dr = d >> 16 & 255, dg = d >> 8 & 255, db = d & 255;
            row[x] = 0xFF000000u | ((t.r * cover + dr * keep + 127) / 255) << 16 |
                     ((t.g * cover + dg * keep + 127) / 255) << 8 | ((t.b * cover + db * keep + 127) / 255);
        }
    }
}

long fixed(double v) { return std::lround(v * 64); }

}  // namespace

StrokeRaster::StrokeRaster(cairo_surface_t* image, bool antialias) : image_(image), antialias_(antialias) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) == 0) library_ = library;
}

StrokeRaster::~StrokeRaster() {
    flush();
    if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

void StrokeRaster::use(Rgb colour, const PixelBox& clip) {
    bool same = started_ && colour == colour_ && clip.x0 == clip_.x0 && clip.y0 == clip_.y0 && clip.x1 == clip_.x1 &&
                clip.y1 == clip_.y1;
    if (same) return;
    flush();
    colour_ = colour;
    clip_ = clip;
    started_ = true;
}

// Every contour turns the same way (positive area in picture pixels), so
// overlapping pieces add up under the nonzero rule instead of cancelling.
void StrokeRaster::addContour(std::initializer_list<Px> list) {
    const Px* corners = list.begin();
    size_t count = list.size();
    double area = 0;
    for (size_t i = 0; i < count; ++i) {
        const Px& p = corners[i];
        const Px& q = corners[(i + 1) % count];
        area += p.x * q.y - q.x * p.y;
    }
    if (area == 0) return;
    if (points_.size() / 2 + count > MAX_BATCH_POINTS) flush();
    for (size_t k = 0; k < count; ++k) {
        const Px& p = area > 0 ? corners[k] : corners[count - 1 - k];
        points_.push_back(fixed(p.x));
        points_.push_back(fixed(p.y));
        tags_.push_back(FT_CURVE_TAG_ON);
    }
    contourEnds_.push_back(static_cast<short>(points_.size() / 2 - 1));
}

// Eight quadratic arcs, counter-clockwise in picture pixels like the
// contours above.
void StrokeRaster::addCircle(Px c, double radius) {
    if (!(radius > 0)) return;
    if (points_.size() / 2 + 16 > MAX_BATCH_POINTS) flush();
    double controlRadius = radius / std::cos(M_PI / 8);
    for (int k = 0; k < 8; ++k) {
        double on = k * M_PI / 4, off = on + M_PI / 8;
        points_.push_back(fixed(c.x + radius * std::cos(on)));
        points_.push_back(fixed(c.y + radius * std::sin(on)));
        tags_.push_back(FT_CURVE_TAG_ON);
        points_.push_back(fixed(c.x + controlRadius * std::cos(off)));
        points_.push_back(fixed(c.y + controlRadius * std::sin(off)));
        tags_.push_back(FT_CURVE_TAG_CONIC);
    }
    contourEnds_.push_back(static_cast<short>(points_.size() / 2 - 1));
}

void StrokeRaster::budget(double edgePixels) {
    if (batchEdgePixels_ + edgePixels > MAX_BATCH_EDGE_PIXELS) flush();
    batchEdgePixels_ += edgePixels;
}

void StrokeRaster::segment(Px a, Px b, double width, PixelCap cap) {
    double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    if (!(length > 0)) return dot(a, width, cap == PixelCap::Round);
    budget(std::fabs(dx) + std::fabs(dy) + 2 * width + 4);
    double ux = dx / length, uy = dy / length, h = width / 2;
    if (cap == PixelCap::Square) {
        a = {a.x - ux * h, a.y - uy * h};
        b = {b.x + ux * h, b.y + uy * h};
    }
    double nx = -uy * h, ny = ux * h;
    addContour({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}});
    if (cap == PixelCap::Round) {
        addCircle(a, h);
        addCircle(b, h);
    }
}

void StrokeRaster::dot(Px c, double width, bool round) {
    double h = width / 2;
    budget(2 * width + 4);
    if (round) return addCircle(c, h);
    addContour({{c.x - h, c.y - h}, {c.x + h, c.y - h}, {c.x + h, c.y + h}, {c.x - h, c.y + h}});
}

void StrokeRaster::flush() {
    batchEdgePixels_ = 0;
    if (contourEnds_.empty() || !library_) {
        points_.clear();
        tags_.clear();
        contourEnds_.clear();
        return;
    }
    cairo_surface_flush(image_);
    Target t;
    t.data = cairo_image_surface_get_data(image_);
    t.stride = cairo_image_surface_get_stride(image_);
    t.width = cairo_image_surface_get_width(image_);
    t.height = cairo_image_surface_get_height(image_);
    t.x0 = std::clamp(static_cast<int>(std::lround(clip_.x0)), 0, t.width);
    t.x1 = std::clamp(static_cast<int>(std::lround(clip_.x1)), 0, t.width);
    t.y0 = std::clamp(static_cast<int>(std::lround(clip_.y0)), 0, t.height);
    t.y1 = std::clamp(static_cast<int>(std::lround(clip_.y1)), 0, t.height);
    t.r = colour_.r;
    t.g = colour_.g;
    t.b = colour_.b;
    t.antialias = antialias_;
    if (t.data && t.x0 < t.x1 && t.y0 < t.y1) {
        std::vector<FT_Vector> vectors(points_.size() / 2);
        for (size_t i = 0; i < vectors.size(); ++i) vectors[i] = {points_[2 * i], points_[2 * i + 1]};
        FT_Outline outline{};
        outline.n_points = static_cast<short>(vectors.size());
        outline.n_contours = static_cast<short>(contourEnds_.size());
        outline.points = vectors.data();
        outline.tags = tags_.data();
        outline.contours = contourEnds_.data();
        outline.flags = FT_OUTLINE_NONE;
        FT_Raster_Params params{};
        params.source = &outline;
        params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
        params.gray_spans = paintSpans;
        params.user = &t;
        params.clip_box = {t.x0, t.y0, t.x1, t.y1};
        FT_Outline_Render(static_cast<FT_Library>(library_), &outline, &params);
    }
    cairo_surface_mark_dirty(image_);
    points_.clear();
    tags_.clear();
    contourEnds_.clear();
}

}  // namespace tavix::preview
