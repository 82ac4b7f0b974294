#include "strokeRaster.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "bandPainter.h"
#include "convexTrapezoids.h"
#include "pixelIndex.h"

namespace tavix::preview {
namespace {

constexpr int DISC_SIDES = 16;
// A band of the picture stays within the core's second-level cache (the
// four-wide form's accumulation rows are touched only where shapes end).
constexpr size_t BAND_BYTES = 1024 * 1024;
// What may be recorded before it is drawn: about 3 MB of trapezoids, 1.3 MB
// of shapes and 2 MB of band entries, whatever the stream's size. More
// saves nothing measurable: a band is drawn in one go either way.
constexpr size_t MAX_TRAPEZOIDS = 1 << 16;
constexpr size_t MAX_BAND_ENTRIES = 1 << 19;
// Corners beyond this (in pixels) are not from a drawable picture.
constexpr double FAR = 1e8;

const std::array<Px, DISC_SIDES>& unitDisc() {
    static const std::array<Px, DISC_SIDES> disc = [] {
        std::array<Px, DISC_SIDES> d{};
        for (int k = 0; k < DISC_SIDES; ++k) {
            double angle = 2 * M_PI * k / DISC_SIDES;
            d[k] = {std::cos(angle), std::sin(angle)};
        }
        return d;
    }();
    return disc;
}

}  // namespace

StrokeRaster::StrokeRaster(cairo_surface_t* image, bool antialias) : image_(image), antialias_(antialias) {
    width_ = cairo_image_surface_get_width(image);
    height_ = cairo_image_surface_get_height(image);
    stride_ = cairo_image_surface_get_stride(image) / 4;
    size_t rowBytes = static_cast<size_t>(std::max(stride_, 1)) * 4;
    bandRows_ = static_cast<int>(std::clamp<size_t>(BAND_BYTES / rowBytes, 1, static_cast<size_t>(std::max(height_, 1))));
    bands_.resize(static_cast<size_t>((std::max(height_, 0) + bandRows_ - 1) / bandRows_));
    // Whole from the start: growing by copies costs more than the drawing
    // of a short vector. (A shape has at least one trapezoid; a polygon
    // cut at the clip may pass the limit by a few.)
    record_.trapezoids.reserve(MAX_TRAPEZOIDS + 64);
    record_.shapes.reserve(MAX_TRAPEZOIDS + 1);
}

StrokeRaster::~StrokeRaster() { flush(); }

void StrokeRaster::use(Rgb colour, const PixelBox& clip) {
    RasterPaint p{};
    p.r = colour.r;
    p.g = colour.g;
    p.b = colour.b;
    p.solid = 0xFF000000u | p.r << 16 | p.g << 8 | p.b;
    p.clipX0 = std::clamp(static_cast<int>(std::lround(std::clamp(clip.x0, -1.0, width_ + 1.0))), 0, width_);
    p.clipX1 = std::clamp(static_cast<int>(std::lround(std::clamp(clip.x1, -1.0, width_ + 1.0))), 0, width_);
    p.clipY0 = std::clamp(static_cast<int>(std::lround(std::clamp(clip.y0, -1.0, height_ + 1.0))), 0, height_);
    p.clipY1 = std::clamp(static_cast<int>(std::lround(std::clamp(clip.y1, -1.0, height_ + 1.0))), 0, height_);
    paint_ = p;
    paintRecorded_ = false;
}

void StrokeRaster::segment(Px a, Px b, double width, PixelCap cap) {
    double dx = b.x - a.x, dy = b.y - a.y, length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0)) return dot(a, width, cap);
    double ux = dx / length, uy = dy / length, h = width / 2;
    double nx = -uy * h, ny = ux * h;
    if (cap == PixelCap::Triangular) {
        // One convex hexagon: each end a triangle reaching half the width
        // past the endpoint. Body and ends in one shape leave no seam
        // where antialiased edges would meet.
        Px hexagon[6] = {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x + ux * h, b.y + uy * h},
                         {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}, {a.x - ux * h, a.y - uy * h}};
        return fillConvex(hexagon, 6);
    }
    if (cap == PixelCap::Square) {
        a = {a.x - ux * h, a.y - uy * h};
        b = {b.x + ux * h, b.y + uy * h};
    }
    Px quad[4] = {{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}};
    fillConvex(quad, 4);
    if (cap == PixelCap::Round) {
        fillDisc(a, h);
        fillDisc(b, h);
    }
}

void StrokeRaster::dot(Px c, double width, PixelCap cap) {
    double h = width / 2;
    if (cap == PixelCap::Round) return fillDisc(c, h);
    if (cap == PixelCap::Triangular) {
        Px diamond[4] = {{c.x - h, c.y}, {c.x, c.y - h}, {c.x + h, c.y}, {c.x, c.y + h}};
        return fillConvex(diamond, 4);
    }
    Px square[4] = {{c.x - h, c.y - h}, {c.x + h, c.y - h}, {c.x + h, c.y + h}, {c.x - h, c.y + h}};
    fillConvex(square, 4);
}

void StrokeRaster::fillDisc(Px c, double radius) {
    if (!(radius > 0)) return;
    Px corners[DISC_SIDES];
    const auto& unit = unitDisc();
    for (int k = 0; k < DISC_SIDES; ++k) corners[k] = {c.x + radius * unit[k].x, c.y + radius * unit[k].y};
    fillConvex(corners, DISC_SIDES);
}

// Records the polygon's trapezoids and enters it in the bands it reaches.
void StrokeRaster::fillConvex(const Px* p, size_t n) {
    double top = p[0].y, bottom = p[0].y, left = p[0].x, right = p[0].x;
    for (size_t i = 1; i < n; ++i) {
        top = std::min(top, p[i].y);
        bottom = std::max(bottom, p[i].y);
        left = std::min(left, p[i].x);
        right = std::max(right, p[i].x);
    }
    if (!(bottom > top) || !(right > left) || !(top > -FAR) || !(bottom < FAR) || !(left > -FAR) || !(right < FAR))
        return;
    const RasterPaint& paint = paint_;
    // Within +-FAR, so the cheap whole-number forms are exact.
    int y0 = std::max(paint.clipY0, floorInt(top));
    int y1 = std::min(paint.clipY1, ceilInt(bottom));
    if (y0 >= y1 || paint.clipX0 >= paint.clipX1 || right < paint.clipX0 || left > paint.clipX1) return;
    if (!paintRecorded_) {
        record_.paints.push_back(paint);
        paintRecorded_ = true;
    }
    RasterShape shape{y0, y1, static_cast<uint32_t>(record_.paints.size() - 1),
                      static_cast<uint32_t>(record_.trapezoids.size()), 0};
    cutConvex(p, n, paint.clipX0, paint.clipX1, record_.trapezoids);
    shape.count = static_cast<uint32_t>(record_.trapezoids.size() - shape.first);
    if (shape.count == 0) return;
    auto index = static_cast<uint32_t>(record_.shapes.size());
    record_.shapes.push_back(shape);
    for (int band = y0 / bandRows_; band <= (y1 - 1) / bandRows_; ++band) {
        bands_[static_cast<size_t>(band)].push_back(index);
        ++bandEntries_;
    }
    if (record_.trapezoids.size() >= MAX_TRAPEZOIDS || bandEntries_ >= MAX_BAND_ENTRIES) drawRecorded();
}

// Band after band, each band's shapes in the order they came.
void StrokeRaster::drawRecorded() {
    if (record_.shapes.empty()) return;
    if (!writing_) {
        cairo_surface_flush(image_);
        writing_ = true;
    }
    auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(image_));
    if (pixels) {
        // Kept from one flush to the next: its accumulation rows are left clear.
        if (!painter_) painter_ = std::make_unique<BandPainter>(stride_, width_, bandRows_, antialias_);
        BandPainter& painter = *painter_;
        painter.usePixels(pixels);
        for (size_t band = 0; band < bands_.size(); ++band) {
            int bandTop = static_cast<int>(band) * bandRows_, bandBottom = std::min(height_, bandTop + bandRows_);
            for (uint32_t index : bands_[band]) {
                const RasterShape& shape = record_.shapes[index];
                painter.paint(record_, shape, bandTop, std::max(bandTop, shape.y0), std::min(bandBottom, shape.y1));
            }
        }
    }
    for (auto& band : bands_) band.clear();
    bandEntries_ = 0;
    record_.clear();
    paintRecorded_ = false;
}

void StrokeRaster::flush() {
    drawRecorded();
    if (!writing_) return;
    cairo_surface_mark_dirty(image_);
    writing_ = false;
}

}  // namespace tavix::preview
