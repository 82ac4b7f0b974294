// Strokes drawn straight into a picture's pixels: each vector is a convex
// polygon (a quadrilateral with butt or square ends, a hexagon with
// triangular ends; round ends are 16-sided discs), with the exact area
// of each pixel it covers when antialiased and the pixels whose centres it
// covers when not. The shapes are recorded as trapezoids and drawn band by
// band at flush (or when the record is full), in the order they came, so
// that each band of the picture is drawn while it is in cache: dense plots
// of long lines otherwise miss the cache on every row of every line.
// cairo still draws fills, rasters, the panel, and everything on vector
// surfaces (SVG, PDF).
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "pixelGeometry.h"
#include "rasterShapes.h"
#include "streamModel.h"

namespace tavix::preview {

class BandPainter;

enum class PixelCap { Butt, Square, Round, Triangular };

class StrokeRaster {
public:
    // image must be an ARGB32 image surface whose pixels are opaque.
    StrokeRaster(cairo_surface_t* image, bool antialias);
    ~StrokeRaster();
    StrokeRaster(const StrokeRaster&) = delete;
    StrokeRaster& operator=(const StrokeRaster&) = delete;

    // The colour and clip of what follows.
    void use(Rgb colour, const PixelBox& clip);
    // A vector a-b `width` pixels wide with its two ends.
    void segment(Px a, Px b, double width, PixelCap cap);
    // A dot as a vector of no length with these ends: a disc (round), a
    // diamond (triangular: the two end triangles) or a square `width`
    // pixels across.
    void dot(Px centre, double width, PixelCap cap);
    // Draws what is recorded and hands the pixels back to cairo; before
    // cairo draws again.
    void flush();

private:
    void fillConvex(const Px* corners, size_t count);
    void fillDisc(Px centre, double radius);
    void drawRecorded();

    cairo_surface_t* image_;
    bool antialias_;
    int width_ = 0, height_ = 0, stride_ = 0;  // stride in pixels
    int bandRows_ = 1;
    bool writing_ = false;
    RasterPaint paint_{};
    bool paintRecorded_ = false;
    RasterRecord record_;
    std::vector<std::vector<uint32_t>> bands_;  // each band's shapes, in order
    std::unique_ptr<BandPainter> painter_;      // made at the first drawing
    size_t bandEntries_ = 0;
};

}  // namespace tavix::preview
