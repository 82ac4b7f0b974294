// Where the page plotter takes its pages from: a page header, then the
// page's rows one at a time. The CUPS filter reads a CUPS (or PWG, Apple)
// raster stream; the printer application (tools/printer-app) is handed the
// rows by PAPPL's raster callbacks. Both print through the one PagePlotter.
#pragma once

#include <cups/raster.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tavix::cups {

class RasterPageSource {
public:
    virtual ~RasterPageSource() = default;

    // The next page's header; false when there is none (end()).
    virtual bool nextPage(cups_page_header2_t& header) = 0;
    // The page's next row (cupsBytesPerLine bytes), valid until the next
    // call; null when the page ends early.
    virtual const uint8_t* nextRow() = 0;

    // After nextPage answered false: empty at a clean end of the stream,
    // else why the pages stopped (a damaged page header).
    virtual std::string endError() const = 0;
    // For the log: what the reader said at the end.
    virtual std::string endNote() const { return {}; }
};

// A raster stream read with libcups from a file descriptor.
class CupsRasterPages : public RasterPageSource {
public:
    // Reads `fd` (not closed here); opened() is false when the stream does
    // not begin as a raster stream.
    explicit CupsRasterPages(int fd);
    ~CupsRasterPages() override;
    CupsRasterPages(const CupsRasterPages&) = delete;
    CupsRasterPages& operator=(const CupsRasterPages&) = delete;

    bool opened() const { return raster_ != nullptr; }

    bool nextPage(cups_page_header2_t& header) override;
    const uint8_t* nextRow() override;
    std::string endError() const override { return endError_; }
    std::string endNote() const override { return endNote_; }

private:
    static ssize_t readStream(void* context, unsigned char* buffer, size_t bytes);

    int fd_;
    bool endOfStream_ = false;  // a read answered 0 (or failed)
    cups_raster_t* raster_ = nullptr;
    std::vector<uint8_t> row_;
    int pages_ = 0;
    std::string endError_, endNote_;
};

}  // namespace tavix::cups
