// Drawing the polylines of a page: pen width and line ends, line-type
// dashes (adaptive ones stretched to whole patterns per vector, starting
// and ending in ink), dots, and
// clipping. On a picture (image surface) the vectors go to StrokeRaster; on
// SVG and PDF they go to the file's VectorOutput, so vectors remain vectors
// (on any other cairo surface they stay cairo paths).
#pragma once

#include <cairo.h>

#include <memory>
#include <vector>

#include "pixelGeometry.h"
#include "preview.h"
#include "strokeRaster.h"
#include "streamModel.h"
#include "vectorOutput.h"

namespace tavix::preview {

class StrokeDrawer {
public:
    // With `vectors`, cr is not drawn on (it may be null).
    StrokeDrawer(cairo_t* cr, const PixelFrame& frame, const PreviewOptions& options, VectorOutput* vectors = nullptr);

    void draw(const Polyline& line);
    // Puts pending pixels on the picture; before cairo draws anything else.
    void finish();

private:
    struct Pen {
        double width;  // pixels
        PixelCap cap;
    };

    Pen penOf(const StrokeStyle& style) const;
    void begin(const Polyline& line, const Pen& pen);
    void end();
    void drawPending();
    void dotsAtPoints(const Polyline& line, const Pen& pen);
    void joinedPath(const Polyline& line);
    void vector(Px a, Px b, const StrokeStyle& style, const Pen& pen);
    std::vector<double> patternParts(int type, double period, const Pen& pen) const;
    void dashes(Px a, Px b, double t0, double length, double period, const StrokeStyle& style, const Pen& pen);
    void adaptiveDashes(Px a, Px b, double from, double to, double length, double count, const StrokeStyle& style,
                        const Pen& pen);
    void piece(Px a, Px b, const Pen& pen);
    void dot(Px p, const Pen& pen);

    cairo_t* cr_;
    const PixelFrame& frame_;
    const PreviewOptions& options_;
    std::unique_ptr<StrokeRaster> raster_;  // null: cairo paths or vectors_
    VectorOutput* vectors_;                 // null: cairo
    VectorPen vectorPen_;                   // the polyline's, while vectors_ draws it
    PixelBox vectorClip_{};
    size_t pending_ = 0;                    // cairo path pieces not yet drawn
    bool filled_ = false;                   // pieces are outlines to fill (triangular ends)
};

}  // namespace tavix::preview
