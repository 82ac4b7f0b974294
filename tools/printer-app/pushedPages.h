// Pages handed over row by row: PAPPL pushes a job's raster lines through
// its raster callbacks (one thread), while the driver pulls the rows of an
// image request (the plot thread running the page plotter). Each line is
// handed over by its address and held until the plotter asks for the next
// row, so no pixel is copied between the two.
#pragma once

#include <condition_variable>
#include <mutex>

#include "rasterPages.h"

namespace tavix::printerapp {

class PushedPages : public cups::RasterPageSource {
public:
    // Producer side (PAPPL's job thread). Each call returns once the
    // plotter has taken what it hands over; false when the plotter has
    // stopped (the job failed or was cancelled) and wants no more.
    bool startPage(const cups_page_header2_t& header);
    bool writeLine(const uint8_t* line);
    // The page's lines are all written (the plotter may read past them:
    // it then sees the page end early).
    bool endPage();
    // No more pages; `error` when the input ended in a way the job must
    // fail for.
    void endJob(const std::string& error = {});

    // Consumer side (the plot thread).
    bool nextPage(cups_page_header2_t& header) override;
    const uint8_t* nextRow() override;
    std::string endError() const override;
    // The plotter is done: every later push answers false at once.
    void stopConsuming();

private:
    enum class Offer { None, Page, Line, PageEnd, JobEnd };
    // Waits until the consumer has taken the current offer.
    bool handOver(Offer offer);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Offer offer_ = Offer::None;
    bool taken_ = false;          // the consumer has the offer
    bool released_ = true;        // the consumer asked past the offer
    bool stopped_ = false;
    bool inPage_ = false;         // consumer side: inside a page
    cups_page_header2_t header_{};
    const uint8_t* line_ = nullptr;
    std::string endError_;
};

}  // namespace tavix::printerapp
