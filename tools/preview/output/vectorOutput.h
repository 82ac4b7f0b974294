// SVG and PDF previews written as they are drawn: every vector goes to the
// file at once, so memory stays the same whatever the stream's size (cairo's
// vector surfaces keep the whole page until the end). Strokes of one style
// and clip share one path, and a vector that carries on in the direction of
// the one before it lengthens it instead of adding a point.
//
// Coordinates are picture pixels (X right, Y down), as for the PNG.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pictureFile.h"
#include "pixelGeometry.h"
#include "strokeRaster.h"
#include "streamModel.h"

namespace tavix::preview {

struct VectorPen {
    Rgb colour;
    double width = 1;  // pixels
    PixelCap cap = PixelCap::Round;
    LineJoin join = LineJoin::Round;
    bool operator==(const VectorPen&) const = default;
};

// An image placed by an affine map from its pixels to picture pixels:
// x' = xx x + xy y + x0, y' = yx x + yy y + y0 (cairo's order).
struct ImagePlacement {
    double xx = 1, yx = 0, xy = 0, yy = 1, x0 = 0, y0 = 0;
};

struct PanelText {
    std::vector<std::string> lines;  // UTF-8
    double x = 0, width = 0, height = 0;  // the panel's column
    double top = 0;                       // the first line's baseline
    double fontSize = 12, lineHeight = 16;
};

class VectorOutput {
public:
    virtual ~VectorOutput() = default;

    // Strokes: pieces drawn with the pen within the clip.
    void stroke(const VectorPen& pen, const PixelBox& clip, Px from, Px to);
    // A joined polyline in one piece.
    void polyline(const VectorPen& pen, const PixelBox& clip, const std::vector<Px>& points);
    void fill(Rgb colour, const PixelBox& clip, const std::vector<std::vector<Px>>& rings, bool evenOdd);
    void rectangle(Rgb colour, double x, double y, double w, double h);
    void dot(Rgb colour, const PixelBox& clip, Px centre, double diameter, bool round);
    // ARGB32, premultiplied (cairo's image format), rows `stride` bytes apart.
    void image(const PixelBox& clip, const uint8_t* argb, int width, int height, int stride,
               const ImagePlacement& place, bool smooth);
    void panel(const PanelText& text);
    // Ends the picture; false with the reason when anything could not be
    // written, and then a half-written file is removed.
    bool finish(std::string& error);

protected:
    explicit VectorOutput(const std::string& path) : file_(path) {}
    PictureFile& file() { return file_; }
    static std::string number(double v);
    static std::string hexColour(Rgb c);

    // What the formats write.
    virtual void beginStrokes(const VectorPen& pen, const PixelBox& clip) = 0;
    virtual void moveTo(Px p) = 0;
    virtual void lineTo(Px p) = 0;
    virtual void endStrokes() = 0;
    virtual void fillRings(Rgb colour, const PixelBox* clip, const std::vector<std::vector<Px>>& rings,
                           bool evenOdd) = 0;
    virtual void circle(Rgb colour, const PixelBox& clip, Px centre, double radius) = 0;
    virtual void placeImage(const PixelBox& clip, const uint8_t* argb, int width, int height, int stride,
                            const ImagePlacement& place, bool smooth) = 0;
    virtual void writePanel(const PanelText& text) = 0;
    virtual void writeEnd() = 0;

private:
    void flushSegment();

    PictureFile file_;
    bool open_ = false;  // a stroke group is open
    VectorPen pen_;
    PixelBox clip_{};
    // The last vector, held back while the next one may carry it on.
    bool pending_ = false;
    Px from_{}, to_{};
    Px at_{};            // where the path stands
    bool placed_ = false;  // at_ is valid
};

// The writers; null when the file cannot be opened (error says why).
std::unique_ptr<VectorOutput> svgOutput(const std::string& path, int width, int height, double dpi,
                                        std::string& error);
std::unique_ptr<VectorOutput> pdfOutput(const std::string& path, int width, int height, std::string& error);

}  // namespace tavix::preview
