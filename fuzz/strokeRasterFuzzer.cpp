// The stroke rasteriser on any geometry: NaN, infinities, huge and tiny
// widths, shapes far outside the picture, and any clip, drawn plain and
// antialiased in both forms (eight columns at a time where the processor
// has it, and four). Nothing is written outside the picture (the sanitizer
// watches its buffer) or outside the clip, and every pixel stays opaque.
#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "strokeRaster.h"
#include "wideColumns.h"

namespace {

using namespace tavix::preview;

// Odd sizes, so that rows end inside groups of four and eight pixels.
constexpr int WIDTH = 61, HEIGHT = 53;

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Mostly coordinates near the picture in steps of 1/64 pixel; now and
    // then any double at all.
    double number() {
        uint8_t kind = byte();
        if (kind < 240) return (static_cast<int16_t>(byte() | byte() << 8)) / 64.0 - (kind & 15) * 4.0;
        double d = 0;
        uint8_t bits[8];
        for (uint8_t& b : bits) b = byte();
        std::memcpy(&d, bits, sizeof d);
        return d;
    }

private:
    const uint8_t* data_;
    size_t size_, at_ = 0;
};

void draw(const uint8_t* data, size_t size, bool antialias) {
    Input in(data, size);
    PixelBox clip{in.number(), in.number(), in.number(), in.number()};
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, WIDTH, HEIGHT);
    auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
    int stride = cairo_image_surface_get_stride(surface) / 4;
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) pixels[y * stride + x] = 0xFFFFFFFFu;
    cairo_surface_mark_dirty(surface);
    {
        StrokeRaster raster(surface, antialias);
        int strokes = 0;
        while (!in.empty() && strokes++ < 200) {
            uint8_t op = in.byte();
            raster.use(Rgb{static_cast<uint8_t>(op * 41), static_cast<uint8_t>(op * 7), 0}, clip);
            Px a{in.number(), in.number()};
            if (op % 4 == 3) {
                raster.dot(a, in.number(), static_cast<PixelCap>((op >> 2) % 4));
                continue;
            }
            Px b{in.number(), in.number()};
            raster.segment(a, b, in.number(), static_cast<PixelCap>((op >> 2) % 4));
        }
    }
    cairo_surface_flush(surface);
    // Outside the clip, widened to whole pixels, nothing changes.
    auto edge = [](double v, double fallback) { return std::isfinite(v) ? v : fallback; };
    double x0 = std::floor(edge(clip.x0, -1e9)), x1 = std::ceil(edge(clip.x1, 1e9));
    double y0 = std::floor(edge(clip.y0, -1e9)), y1 = std::ceil(edge(clip.y1, 1e9));
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x) {
            uint32_t p = pixels[y * stride + x];
            if (p >> 24 != 0xFF) std::abort();
            bool inside = x + 1 > x0 && x < x1 && y + 1 > y0 && y < y1;
            if (!inside && p != 0xFFFFFFFFu) std::abort();
        }
    cairo_surface_destroy(surface);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    draw(data, size, false);
    for (bool wide : {true, false}) {
        allowWideColumns(wide);
        draw(data, size, true);
    }
    allowWideColumns(true);
    return 0;
}
