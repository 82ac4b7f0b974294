// The host's two row functions of an image request: the driver asks for one
// output row at a time, and the host resamples its image to that row.
//
// The driver prints an image only when the next request arrives, so the
// host may already have announced the next image by then. Every source is
// therefore registered under the request's host value (offset 12 of the
// code-52 packet), which the driver hands back in every row query: the row
// functions serve the image that value names.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "pngImage.h"

namespace tavix::host {

class ImageRowSource {
public:
    // The image in the target rectangle (host units) of the request that
    // carries `hostValue`; one source per host value at a time.
    ImageRowSource(const RgbImage& image, bool bitonal, int32_t x0, int32_t y0, int32_t x1,
                   int32_t y1, int32_t hostValue);
    ~ImageRowSource();
    ImageRowSource(const ImageRowSource&) = delete;
    ImageRowSource& operator=(const ImageRowSource&) = delete;

    int32_t hostValue() const { return hostValue_; }

    // Host addresses of the row functions, for the request packet.
    static uint32_t rowSourceAddress();
    static uint32_t rowReleaseAddress();

    int rowsServed = 0;
    // Called for every row with the share of the image done so far (0..1).
    std::function<void(double done)> onRow;

private:
    friend struct RowFunctions;
    void* serve(const uint8_t* query);

    const RgbImage& image_;
    bool bitonal_;
    int32_t x0_, y0_, x1_, y1_;
    int32_t hostValue_;
    std::vector<uint8_t> pixels_;
    uint8_t reply_[16] = {};
};

}  // namespace tavix::host
