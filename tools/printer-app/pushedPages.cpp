#include "pushedPages.h"

namespace tavix::printerapp {

// One offer at a time. The producer posts an offer and waits until the
// consumer has come back for the next one: only then is the previous line
// no longer in use (the driver reads a row until it asks for the next).
bool PushedPages::handOver(Offer offer) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return stopped_ || offer_ == Offer::None; });
    if (stopped_) return false;
    offer_ = offer;
    changed_.notify_all();
    // Wait until it is taken and the consumer asks for what follows it.
    changed_.wait(lock, [this] { return stopped_ || offer_ == Offer::None; });
    return !stopped_;
}

bool PushedPages::startPage(const cups_page_header2_t& header) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        header_ = header;
    }
    return handOver(Offer::Page);
}

bool PushedPages::writeLine(const uint8_t* line) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        line_ = line;
    }
    return handOver(Offer::Line);
}

bool PushedPages::endPage() { return handOver(Offer::PageEnd); }

void PushedPages::endJob(const std::string& error) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        endError_ = error;
    }
    handOver(Offer::JobEnd);
}

void PushedPages::stopConsuming() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
}

bool PushedPages::nextPage(cups_page_header2_t& header) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        // The offer taken last (a line, a page end) is released by asking on.
        if (taken_) {
            offer_ = Offer::None;
            taken_ = false;
            changed_.notify_all();
        }
        changed_.wait(lock, [this] { return offer_ != Offer::None; });
        Offer offer = offer_;
        if (offer == Offer::JobEnd) {
            taken_ = false;  // stays posted: every later call sees the end
            offer_ = Offer::None;
            stopped_ = true;  // nothing follows the end
            changed_.notify_all();
            return false;
        }
        taken_ = true;
        if (offer == Offer::Page) {
            header = header_;
            inPage_ = true;
            return true;
        }
        // Lines or a page end the plotter did not ask for (a page it
        // stopped reading early): passed over.
    }
}

const uint8_t* PushedPages::nextRow() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!inPage_) return nullptr;
    if (taken_) {
        offer_ = Offer::None;
        taken_ = false;
        changed_.notify_all();
    }
    changed_.wait(lock, [this] { return offer_ != Offer::None || stopped_; });
    if (offer_ == Offer::Line) {
        taken_ = true;
        return line_;
    }
    // The page ended before the row (or the job did): the page is short.
    inPage_ = false;
    if (offer_ == Offer::PageEnd) taken_ = true;
    return nullptr;
}

std::string PushedPages::endError() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return endError_;
}

}  // namespace tavix::printerapp
