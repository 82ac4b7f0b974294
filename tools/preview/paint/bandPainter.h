// Paints recorded shapes onto the rows of one band of the picture. Bands
// are sized to stay in cache, so a long line costs its arithmetic, not a
// cache miss per row.
//
// Plain: the pixels whose centres are inside. Antialiased: each side of a
// trapezoid adds its signed share of each pixel's area to an accumulation
// row, whose running sum along the row is the exact covered area of each
// pixel; the pen colour is then laid over the picture by that coverage.
#pragma once

#include <cstdint>
#include <vector>

#include "rasterShapes.h"
#include "wideEndRows.h"

namespace tavix::preview {

class BandPainter {
public:
    BandPainter(int stride, int width, int bandRows, bool antialias);
    // The picture's pixels, as cairo has them now.
    void usePixels(uint32_t* pixels) { pixels_ = pixels; }

    // Paints rows [top, bottom) of `shape`; `bandTop` is the band's first row.
    void paint(const RasterRecord& record, const RasterShape& shape, int bandTop, int top, int bottom);

private:
    void plain(const RasterRecord& record, const RasterShape& shape, int top, int bottom);
    void antialiased(const RasterRecord& record, const RasterShape& shape, int bandTop, int top, int bottom);
    void composite(const RasterPaint& paint, int y, int bandRow);

    uint32_t* pixels_ = nullptr;
    int stride_;
    bool antialias_;
    std::vector<float> cover_;  // one accumulation row per band row
    int coverStride_;
    std::vector<int> touchedFrom_, touchedTo_;  // columns of each row's accumulation in use
    std::vector<EndRow> endRows_;               // a shape's end rows, gathered
    std::vector<RowPiece> pieces_;              // the trapezoids' parts of them
};

}  // namespace tavix::preview
