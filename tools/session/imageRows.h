// The host's two row functions of an image request: the driver asks for one
// output row at a time, and the host answers with the pixels of that row.
// Every image source of a front end (a PNG file, a CUPS raster page) is one
// of these.
//
// The driver prints an image only when the next request arrives, so the
// host may already have announced the next image by then. Every source is
// therefore registered under the request's host value (offset 12 of the
// code-52 packet), which the driver hands back in every row query: the row
// functions serve the image that value names.
#pragma once

#include <cstdint>

namespace tavix::host {

class ImageRowSource {
public:
    virtual ~ImageRowSource();
    ImageRowSource(const ImageRowSource&) = delete;
    ImageRowSource& operator=(const ImageRowSource&) = delete;

    int32_t hostValue() const { return hostValue_; }

    // Host addresses of the row functions, for the request packet.
    static uint32_t rowSourceAddress();
    static uint32_t rowReleaseAddress();

protected:
    // Serves the request that carries `hostValue`; one source per host
    // value at a time.
    explicit ImageRowSource(int32_t hostValue);

    // The reply to one row query: 16 bytes that stay valid until the next
    // query (pixels' host address at 0, their byte count at 4, "stop" at 12,
    // an error at 14).
    virtual void* serve(const uint8_t* query) = 0;

private:
    friend struct RowFunctions;
    int32_t hostValue_;
};

}  // namespace tavix::host
