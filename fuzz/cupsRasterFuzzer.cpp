// Raster input as the CUPS filter and the printer application read it:
// CUPS (v1, v2, v3), PWG and Apple raster streams, headers and rows of any
// content, through the page plotter into the driver. Whatever the bytes,
// the job either prints its pages or fails with a reason; a page that
// ended early or a later header that could not be read is never a
// success.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "pagePlotter.h"
#include "ppdOptions.h"
#include "rasterPages.h"

namespace {

using namespace tavix::cups;

// Pages larger than 3 x 3 inches are left out (the source then ends as at
// a damaged header): the driver would fetch every row of the paper for
// them, and the fuzzer would spend its time plotting.
class SmallPages : public RasterPageSource {
public:
    explicit SmallPages(CupsRasterPages& pages) : pages_(pages) {}
    bool nextPage(cups_page_header2_t& header) override {
        if (!pages_.nextPage(header)) return false;
        tooLarge_ = header.PageSize[0] > 216 || header.PageSize[1] > 216 || header.cupsPageSize[0] > 216 ||
                    header.cupsPageSize[1] > 216 || header.HWResolution[0] > 600 || header.HWResolution[1] > 600;
        return !tooLarge_;
    }
    const uint8_t* nextRow() override { return pages_.nextRow(); }
    std::string endError() const override { return tooLarge_ ? "large page" : pages_.endError(); }

private:
    CupsRasterPages& pages_;
    bool tooLarge_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ModelProfile profile = modelProfile(2);  // TX-30: the smallest papers
    static std::FILE* sink = std::fopen("/dev/null", "w");
    int fd = memfd_create("raster", MFD_CLOEXEC);
    if (fd < 0 || write(fd, data, size) != static_cast<ssize_t>(size) || lseek(fd, 0, SEEK_SET) != 0) std::abort();
    {
        CupsRasterPages pages(fd);
        if (pages.opened()) {
            SmallPages small(pages);
            tavix::PlotSettings settings = queueDefaults(profile);
            settings.setCopies(1);
            PagePlotter plotter(profile, settings, sink, sink, nullptr);
            JobOutcome outcome = plotter.run(small);
            if (outcome.ok == !outcome.error.empty()) std::abort();  // a failure says why, a success does not
            if (outcome.ok && (outcome.pages == 0 || !small.endError().empty())) std::abort();
        }
    }
    close(fd);
    return 0;
}
