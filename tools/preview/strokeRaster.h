// Strokes drawn straight into a picture's pixels: each vector is a convex
// quadrilateral (its caps squares or 16-sided discs) filled row by row,
// with the exact area of each pixel it covers when antialiased and the
// pixels whose centres it covers when not. The work is the rows
// and pixels the stroke touches, so an antialiased stroke costs about what
// a plain one does. cairo's scan converter works over the stroke's whole
// bounding box and samples many times per row when antialiasing, which
// made dense plots take minutes; cairo still draws fills, rasters, the
// panel, and everything on vector surfaces (SVG, PDF).
#pragma once

#include <cairo.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "pixelGeometry.h"
#include "streamModel.h"

namespace tavix::preview {

enum class PixelCap { Butt, Square, Round };

// One side of a convex polygon: x = x0 + (y - y0) * slope.
struct ConvexLine {
    double x0, y0, slope;
    double at(double y) const { return x0 + (y - y0) * slope; }
};

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
    // A dot: a disc or a square `width` pixels across.
    void dot(Px centre, double width, bool round);
    // Hands the pixels written back to cairo; before cairo draws again.
    void flush();

private:
    void fillConvex(std::initializer_list<Px> corners);
    void fillConvex(const Px* corners, size_t count);
    void fillDisc(Px centre, double radius);
    void coverSlab(const ConvexLine& a, const ConvexLine& b, double top, double bottom);
    void paintRow(int y);
    bool pixelsReady();

    cairo_surface_t* image_;
    bool antialias_;
    uint32_t* pixels_ = nullptr;
    int stride_ = 0;  // in pixels
    int width_ = 0, height_ = 0;
    bool writing_ = false;
    uint32_t r_ = 0, g_ = 0, b_ = 0;
    int clipX0_ = 0, clipX1_ = 0, clipY0_ = 0, clipY1_ = 0;
    std::vector<float> cover_;  // one row's coverage, 256 a whole pixel, over [touchedX0_, touchedX1_)
    int touchedX0_ = 0, touchedX1_ = 0;
};

}  // namespace tavix::preview
