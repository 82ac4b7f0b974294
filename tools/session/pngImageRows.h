// The rows of an image from a file (PNG), resampled to the rows the driver
// asks for: the whole picture is in memory, and each output pixel takes the
// image pixel under its centre.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "imageRows.h"
#include "pngImage.h"

namespace tavix::host {

class PngImageRows : public ImageRowSource {
public:
    // The image in the target rectangle (host units) of the request that
    // carries `hostValue`.
    PngImageRows(const RgbImage& image, bool bitonal, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                 int32_t hostValue);

    int rowsServed = 0;
    // Called for every row with the share of the image done so far (0..1).
    std::function<void(double done)> onRow;

private:
    void* serve(const uint8_t* query) override;

    const RgbImage& image_;
    bool bitonal_;
    int32_t x0_, y0_, x1_, y1_;
    std::vector<uint8_t> pixels_;
    uint8_t reply_[16] = {};
};

}  // namespace tavix::host
