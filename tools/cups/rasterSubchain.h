// CUPS's own filters from a PDF to CUPS raster (pdftopdf, then
// gstoraster), run as children with the job's arguments and environment,
// for a PDF the user chose to print as a picture. Their raster is read
// from a pipe as the raster filter reads its input.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tavix::cups {

class RasterSubchain {
public:
    // argv: the filter's own (job-id user title copies options); input: a
    // descriptor of the PDF, read from its start.
    RasterSubchain(char* argv[], int input);
    ~RasterSubchain();
    RasterSubchain(const RasterSubchain&) = delete;
    RasterSubchain& operator=(const RasterSubchain&) = delete;

    // The raster's descriptor, or -1 with error() when the children could
    // not be started.
    int rasterFd() const { return raster_; }
    const std::string& error() const { return error_; }
    // Stops the children (the job was cancelled).
    void terminate();
    // Waits for the children; false with error() when one failed.
    bool finish();

private:
    pid_t start(const std::string& program, char* argv[], int in, int out);

    std::vector<pid_t> children_;
    std::vector<std::string> names_;
    int raster_ = -1;
    std::string error_;
};

}  // namespace tavix::cups
