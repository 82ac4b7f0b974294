// Collects the decoded rows of one raster into a RasterImage, within a
// pixel budget: a raster too large to keep whole is kept averaged over
// square blocks of printer pixels (a power-of-two factor).
#pragma once

#include <cstdint>
#include <vector>

#include "streamModel.h"

namespace tavix::preview {

class RasterBuilder {
public:
    // Starts an image `width` printer pixels wide. expectedRows (0 if
    // unknown) and the budget choose the block factor; rows past the
    // storage that the budget allows are not kept (see rowsDropped()).
    void begin(RasterImage& image, int width, int expectedRows, uint64_t budget);
    bool active() const { return image_ != nullptr; }

    // One printed row: pixels[0..width); a pixel with printed[i] == 0 is
    // unprinted paper.
    void addRow(const std::vector<Rgb>& pixels, const std::vector<uint8_t>& printed);
    // n rows of unprinted paper.
    void skipRows(int64_t n);
    // Flushes the partly filled block row; the image is complete.
    void finish();

    bool rowsDropped() const { return dropped_; }

private:
    void flushBlockRow();
    void pushStoredRow();

    RasterImage* image_ = nullptr;
    int factor_ = 1;
    int storedWidth_ = 0;
    int storedCapacity_ = 0;  // stored rows the budget allows
    int rowInBlock_ = 0;
    bool blockHasPixels_ = false;
    bool dropped_ = false;
    std::vector<uint32_t> sumR_, sumG_, sumB_, sumA_;
};

}  // namespace tavix::preview
