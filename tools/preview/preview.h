// The preview of a printer stream: what the printer will print, drawn with
// cairo into a PNG, SVG or PDF file, with the job ticket and a summary as text
// beside the picture. `tavix preview` and `tavix plot --preview` call this;
// tavix-preview is the same on its own.
//
// The picture shows the page as the drawing is seen: HP-GL/2 X to the
// right, Y up, the paper (PS) in white on a gray ground.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "streamModel.h"

namespace tavix::preview {

enum class OutputFormat { Png, Svg, Pdf };

struct PreviewOptions {
    OutputFormat format = OutputFormat::Png;
    std::string outputPath;        // the file renderStream writes
    double dpi = 50;               // picture resolution, pixels per inch of paper
    uint64_t maxPixels = 40'000'000;  // the resolution is lowered to keep the picture within
    int maxDimension = 30'000;     // pixels, either side
    int page = 1;                  // which page to show (1-based)
    bool sidePanel = true;
    bool antialias = true;
    double minLinePixels = 1.0;    // thinner pens are drawn this wide
    ParseLimits limits;
    // Told how far drawing has come (0..1), now and then; may be empty.
    std::function<void(double fraction)> drawingProgress;
};

// Where the paper lies in the picture, to find a plotter point's pixel.
struct PageGeometry {
    double dpi = 0;        // after any lowering
    Rect extent;           // the page shown, plotter units
    double margin = 0;     // pixels of gray ground around the paper
    double pixelX(double x) const { return margin + (x - extent.x0) * dpi / UNITS_PER_INCH; }
    double pixelY(double y) const { return margin + (extent.y1 - y) * dpi / UNITS_PER_INCH; }
};

struct PreviewImage {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;  // 0xAARRGGBB, row by row
    Rgb pixel(int x, int y) const;
};

struct PreviewResult {
    bool ok = false;
    std::string error;               // set when no picture was made
    std::vector<Warning> warnings;   // the stream's warnings, then rendering notes
    size_t warningsDropped = 0;
    int pageCount = 0;               // pages with something drawn
    int width = 0, height = 0;       // picture size in pixels (points for SVG)
    PageGeometry geometry;
};

// PDF pages are drawn at 72 units per inch: the paper at its true size,
// whatever its length (the picture limits apply to PNG only).
inline constexpr double PDF_UNITS_PER_INCH = 72;

// Reads the stream and writes the preview to options.outputPath.
PreviewResult renderStream(const std::string& bytes, const PreviewOptions& options);
// Reads the stream and draws the preview into memory (PNG options apply).
PreviewResult renderStreamToImage(const std::string& bytes, const PreviewOptions& options,
                                  PreviewImage& image);
// The same from a stream already read.
PreviewResult renderParsed(const ParsedStream& stream, const PreviewOptions& options,
                           PreviewImage* image);

// "offset 1234: text" (or "text" when the warning has no offset).
std::string formatWarning(const Warning& warning);

}  // namespace tavix::preview
