#include "rasterRows.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "platform/hostAddress.h"
#include "tavix/packet.h"

namespace tavix::cups {
namespace {

// The driver's rows are never wider than its row buffers hold; a query
// beyond that is answered with the largest row it can take.
constexpr uint32_t MAX_ROW_PIXELS = 30000;

// Image row query and reply, as the driver fills and reads them.
constexpr int QUERY_FIRST_COLUMN = 0, QUERY_FIRST_ROW = 4, QUERY_LAST_ROW = 12;
constexpr int REPLY_PIXELS = 0, REPLY_COUNT = 4, REPLY_STOP = 12, REPLY_ERROR = 14;

}  // namespace

RasterPageRows::RasterPageRows(const PageLayout& layout, uint32_t pageRows, uint32_t pixelsPerRow,
                               int bytesPerPixel, RasterRowReader reader,
                               const std::atomic<bool>* cancel, int32_t hostValue)
    : ImageRowSource(hostValue),
      layout_(layout),
      pageRows_(pageRows),
      pixelsPerRow_(pixelsPerRow),
      bytesPerPixel_(bytesPerPixel),
      reader_(std::move(reader)),
      cancel_(cancel) {
    // One reply buffer for every row, so its host address stays the same.
    pixels_.reserve(static_cast<size_t>(MAX_ROW_PIXELS) * 3);
}

bool RasterPageRows::advanceTo(uint32_t row) {
    while (rowsRead_ <= row) {
        const uint8_t* row = reader_();
        if (!row) {
            truncated_ = true;
            return false;
        }
        line_ = row;
        ++rowsRead_;
    }
    return true;
}

bool RasterPageRows::finishPage() {
    if (truncated_) return false;
    if (rowsRead_ < pageRows_) return advanceTo(pageRows_ - 1);
    return true;
}

// The driver's pixel i takes the raster pixel under its centre, (i + 0.5)
// driver pixels from the plot area's edge; at equal resolutions that is
// raster pixel cropLeft + i.
void RasterPageRows::fillPixels(uint32_t count) {
    if (columns_.size() != count) {
        columns_.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            double at = (i + 0.5) * layout_.pixelInches * layout_.dpiAcross;
            uint32_t c = std::min(static_cast<uint32_t>(at), layout_.cropCols - 1);
            columns_[i] = std::min(layout_.cropLeft + c, pixelsPerRow_ - 1);
        }
        identityColumns_ = count > 0 && columns_[count - 1] == layout_.cropLeft + count - 1;
    }
    const uint8_t* in = line_;
    if (bytesPerPixel_ == 3 && identityColumns_) {
        // The raster row already holds the driver's row: no copy.
        replyPixels_ = in + static_cast<size_t>(layout_.cropLeft) * 3;
        return;
    }
    pixels_.resize(static_cast<size_t>(count) * 3);
    replyPixels_ = pixels_.data();
    uint8_t* out = pixels_.data();
    if (bytesPerPixel_ == 3) {
        for (uint32_t i = 0; i < count; ++i, out += 3) std::memcpy(out, in + static_cast<size_t>(columns_[i]) * 3, 3);
        return;
    }
    if (identityColumns_ && std::endian::native == std::endian::little) {
        // Gray to RGB triples, four pixels (twelve bytes) at a time.
        const uint8_t* gray = in + layout_.cropLeft;
        uint32_t i = 0;
        for (; i + 4 <= count; i += 4, out += 12) {
            uint32_t g0 = gray[i], g1 = gray[i + 1], g2 = gray[i + 2], g3 = gray[i + 3];
            uint32_t w0 = g0 * 0x010101u | g1 << 24, w1 = g1 * 0x0101u | g2 * 0x010100u << 8;
            uint32_t w2 = g2 | g3 * 0x01010100u;
            std::memcpy(out, &w0, 4);  // little-endian byte order
            std::memcpy(out + 4, &w1, 4);
            std::memcpy(out + 8, &w2, 4);
        }
        for (; i < count; ++i, out += 3) out[0] = out[1] = out[2] = gray[i];
        return;
    }
    for (uint32_t i = 0; i < count; ++i, out += 3) out[0] = out[1] = out[2] = in[columns_[i]];
}

void* RasterPageRows::serve(const uint8_t* query) {
    ++rowsServed_;
    std::memset(reply_, 0, sizeof reply_);
    if (cancel_ && cancel_->load()) {
        cancelled_ = true;
        writeI16(reply_, REPLY_STOP, 1);
        return reply_;
    }
    // Direction 7: the row is one X band, its pixels run along Y.
    int64_t count64 = int64_t{readI32(query, QUERY_LAST_ROW)} - readI32(query, QUERY_FIRST_ROW) + 1;
    uint32_t count = static_cast<uint32_t>(std::clamp<int64_t>(count64, 0, MAX_ROW_PIXELS));
    // Direction 7 numbers the rows as output columns: row r is the X band
    // r driver pixels from the plot area's edge; it takes the raster row
    // under its centre (at equal resolutions, raster row cropTop + r).
    double row = std::max(0, readI32(query, QUERY_FIRST_COLUMN));
    double along = (row + 0.5) * layout_.pixelInches * layout_.dpiAlong;
    uint32_t band = std::min(static_cast<uint32_t>(along), layout_.cropRows - 1);
    double share = std::clamp(double(band + 1) / layout_.cropRows, 0.0, 1.0);
    if (!advanceTo(layout_.cropTop + band)) {
        writeI16(reply_, REPLY_STOP, 1);
        return reply_;
    }
    fillPixels(count);
    if (onProgress) onProgress(share);
    writeU32(reply_, REPLY_PIXELS, hostAddressOf(replyPixels_));
    writeI32(reply_, REPLY_COUNT, static_cast<int32_t>(count * 3));
    writeI16(reply_, REPLY_ERROR, 0);
    return reply_;
}

}  // namespace tavix::cups
