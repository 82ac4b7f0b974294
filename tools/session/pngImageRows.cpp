#include "pngImageRows.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/hostAddress.h"
#include "tavix/packet.h"

namespace tavix::host {
namespace {

// Output rows never exceed what the driver can hold in one row.
constexpr int32_t MAX_ROW_PIXELS = 100000;

int clampIndex(double v, int size) {
    int i = static_cast<int>(std::floor(v));
    return std::clamp(i, 0, size - 1);
}

}  // namespace

PngImageRows::PngImageRows(const RgbImage& image, bool bitonal, int32_t x0, int32_t y0, int32_t x1,
                           int32_t y1, int32_t hostValue)
    : ImageRowSource(hostValue), image_(image), bitonal_(bitonal), x0_(x0), y0_(y0), x1_(x1), y1_(y1) {
    // One buffer for every row, so its host address stays the same.
    pixels_.reserve(static_cast<size_t>(MAX_ROW_PIXELS) * 3);
}

// Samples the image at the centre of each output pixel. Direction 2: the row
// runs along X (columns of the query) at one device Y band; direction 7: the
// row runs along Y at one device X band. Image row 0 is the top, the far end
// of the Y axis.
void* PngImageRows::serve(const uint8_t* query) {
    ++rowsServed;
    int32_t firstCol = readI32(query, 0), firstRow = readI32(query, 4);
    int32_t lastCol = readI32(query, 8), lastRow = readI32(query, 12);
    int32_t devX0 = readI32(query, 16), devY0 = readI32(query, 20);
    int32_t devX1 = readI32(query, 24), devY1 = readI32(query, 28);
    bool alongX = readI32(query, 40) == 2;
    int64_t count64 = alongX ? int64_t{lastCol} - firstCol + 1 : int64_t{lastRow} - firstRow + 1;
    int32_t count = static_cast<int32_t>(std::clamp<int64_t>(count64, 0, MAX_ROW_PIXELS));
    double spanX = std::max(1, x1_ - x0_), spanY = std::max(1, y1_ - y0_);
    size_t bytesPerPixel = bitonal_ ? 1 : 3;
    pixels_.assign(static_cast<size_t>(count) * bytesPerPixel, 0);
    for (int32_t i = 0; i < count; ++i) {
        double u, v;  // 0..1 across the rectangle, v from the bottom
        if (alongX) {
            u = (i + 0.5) / count;
            v = ((devY0 + devY1) / 2.0 - y0_) / spanY;
        } else {
            u = ((devX0 + devX1) / 2.0 - x0_) / spanX;
            v = (i + 0.5) / count;
        }
        int sx = clampIndex(u * image_.width, image_.width);
        int sy = clampIndex((1.0 - v) * image_.height, image_.height);
        const uint8_t* p = image_.pixel(sx, sy);
        if (bitonal_) {
            pixels_[static_cast<size_t>(i)] = (30 * p[0] + 59 * p[1] + 11 * p[2]) / 100 < 128 ? 1 : 0;
        } else {
            std::copy(p, p + 3, pixels_.begin() + static_cast<std::ptrdiff_t>(i) * 3);
        }
    }
    if (onRow) {
        double done = alongX ? (double(devY1) - y0_) / spanY : (double(devX1) - x0_) / spanX;
        onRow(std::clamp(done, 0.0, 1.0));
    }
    writeU32(reply_, 0, hostAddressOf(pixels_.data()));
    writeI32(reply_, 4, static_cast<int32_t>(pixels_.size()));
    writeI16(reply_, 12, 0);
    writeI16(reply_, 14, 0);
    return reply_;
}

}  // namespace tavix::host
