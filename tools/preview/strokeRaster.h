// Strokes drawn straight into a picture's pixels with FreeType's smooth
// rasteriser, which computes each pixel's exact covered area in one pass:
// an antialiased stroke costs what a plain one does. cairo's scan converter
// samples every pixel row many times when antialiasing, which made dense
// plots take minutes; cairo still draws fills, rasters, the panel, and
// everything on vector surfaces (SVG, PDF).
//
// A batch holds the vectors of one colour and clip. They are drawn as one
// outline whose pieces all turn the same way, so overlaps fill once (the
// nonzero rule) and the opaque pen colour gives what drawing them one by
// one would give.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include "pixelGeometry.h"
#include "streamModel.h"

namespace tavix::preview {

enum class PixelCap { Butt, Square, Round };

class StrokeRaster {
public:
    // image must be an ARGB32 image surface whose pixels are opaque.
    StrokeRaster(cairo_surface_t* image, bool antialias);
    ~StrokeRaster();
    StrokeRaster(const StrokeRaster&) = delete;
    StrokeRaster& operator=(const StrokeRaster&) = delete;

    bool ok() const { return library_ != nullptr; }

    // Starts a batch (drawing what is pending first) when colour or clip change.
    void use(Rgb colour, const PixelBox& clip);
    // A vector a-b `width` pixels wide with its two ends.
    void segment(Px a, Px b, double width, PixelCap cap);
    // A dot: a disc or a square `width` pixels across.
    void dot(Px centre, double width, bool round);
    // Draws what is pending.
    void flush();

private:
    void addContour(std::initializer_list<Px> corners);
    void budget(double edgePixels);
    void addCircle(Px centre, double radius);

    void* library_ = nullptr;  // FT_Library
    cairo_surface_t* image_;
    bool antialias_;
    Rgb colour_{};
    PixelBox clip_{0, 0, 0, 0};
    bool started_ = false;
    double batchEdgePixels_ = 0;
    std::vector<long> points_;  // x, y pairs in 26.6 fixed point
    std::vector<char> tags_;
    std::vector<short> contourEnds_;
};

}  // namespace tavix::preview
