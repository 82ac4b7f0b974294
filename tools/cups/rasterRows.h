// An image row source of the host session (imageRows.h), served from a
// CUPS raster page as it streams in. The driver asks for its rows in order;
// each is one X band of the plot area (a raster row) with the pixels along
// Y (the raster row's pixels), resampled to the counts the driver asks for.
// Only the current raster row is held, so a 600-inch roll needs a few rows
// of memory.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "imageRows.h"
#include "rasterGeometry.h"

namespace tavix::cups {

// The next raster row of the page (pixelsPerRow * bytesPerPixel bytes),
// valid until the next call; null when the stream ends early. The source
// keeps the row (a CUPS raster reader's buffer, a printer application's
// line): the pixels are not copied on their way to the driver.
using RasterRowReader = std::function<const uint8_t*()>;

class RasterPageRows : public host::ImageRowSource {
public:
    // bytesPerPixel: 1 (gray) or 3 (RGB). The page has `pageRows` rows; it
    // serves the request that carries `hostValue`.
    RasterPageRows(const PageLayout& layout, uint32_t pageRows, uint32_t pixelsPerRow, int bytesPerPixel,
                   RasterRowReader reader, const std::atomic<bool>* cancel, int32_t hostValue);

    // Reads the rest of the page, so that the next page header follows;
    // false when the stream ended early.
    bool finishPage();

    uint32_t rowsServed() const { return rowsServed_; }
    bool truncated() const { return truncated_; }
    bool cancelled() const { return cancelled_; }
    uint32_t rowsRead() const { return rowsRead_; }

    // Called with the share of the page's rows served so far (0..1).
    std::function<void(double done)> onProgress;

private:
    void* serve(const uint8_t* query) override;
    bool advanceTo(uint32_t row);
    void fillPixels(uint32_t count);

    PageLayout layout_;
    uint32_t pageRows_, pixelsPerRow_;
    int bytesPerPixel_;
    RasterRowReader reader_;
    const std::atomic<bool>* cancel_;
    const uint8_t* line_ = nullptr;  // the current raster row (the reader's)
    uint32_t rowsRead_ = 0;        // raster rows read so far
    std::vector<uint32_t> columns_;  // raster column of each pixel of a driver row
    bool identityColumns_ = false;   // columns_[i] == cropLeft + i throughout
    std::vector<uint8_t> pixels_;  // the reply's RGB pixels, when resampled
    const uint8_t* replyPixels_ = nullptr;  // what the reply points at
    uint8_t reply_[16] = {};
    uint32_t rowsServed_ = 0;
    bool truncated_ = false;
    bool cancelled_ = false;
};

}  // namespace tavix::cups
