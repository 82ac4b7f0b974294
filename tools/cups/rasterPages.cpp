#include "rasterPages.h"

#include <unistd.h>

#include <cerrno>

namespace tavix::cups {

CupsRasterPages::CupsRasterPages(int fd) : fd_(fd) {
    raster_ = cupsRasterOpenIO(&CupsRasterPages::readStream, this, CUPS_RASTER_READ);
}

CupsRasterPages::~CupsRasterPages() {
    if (raster_) cupsRasterClose(raster_);
}

ssize_t CupsRasterPages::readStream(void* context, unsigned char* buffer, size_t bytes) {
    auto* self = static_cast<CupsRasterPages*>(context);
    ssize_t got;
    do {
        got = ::read(self->fd_, buffer, bytes);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) self->endOfStream_ = true;
    return got;
}

bool CupsRasterPages::nextPage(cups_page_header2_t& header) {
    if (!raster_) return false;
    if (cupsRasterReadHeader2(raster_, &header)) {
        ++pages_;
        row_.resize(header.cupsBytesPerLine);
        return true;
    }
    // libcups answers the same for the stream's end and for a header it
    // cannot take. At the end the header's read found nothing more in the
    // stream; a damaged or empty header was read whole while more of the
    // stream (or its buffered rest) was there.
    const char* readerError = cupsRasterErrorString();
    endNote_ = readerError ? readerError : "";
    while (!endNote_.empty() && (endNote_.back() == '\n' || endNote_.back() == ' ')) endNote_.pop_back();
    if (!endOfStream_)
        endError_ = "The raster stream's header of page " + std::to_string(pages_ + 1) +
                    " is damaged or empty; the pages from there were not printed.";
    return false;
}

const uint8_t* CupsRasterPages::nextRow() {
    if (row_.empty()) return nullptr;
    auto bytes = static_cast<unsigned>(row_.size());
    return cupsRasterReadPixels(raster_, row_.data(), bytes) == bytes ? row_.data() : nullptr;
}

}  // namespace tavix::cups
