#include "pagePlotter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "driverMessages.h"
#include "rasterRows.h"
#include "tavix/packet.h"

namespace tavix::cups {
namespace {

constexpr int16_t HOST_RELEASE = 3;
constexpr int16_t AREA_REPLY = 19;
constexpr double WHOLE_AREA = 1e6;  // larger than any paper: the driver answers its maximum
constexpr int PROGRESS_STEP = 10;   // percent between job-media-progress reports
// The PJL universal exit: it ends the printer language and returns the
// printer to the job level, where the next plot's job ticket is read.
constexpr char UNIVERSAL_EXIT[] = "\x1b%-12345X";

host::Packet packetFor(int16_t code) {
    host::Packet p{};
    writeI16(p.data(), 0, code);
    return p;
}

std::string spaceName(unsigned space) {
    switch (space) {
        case CUPS_CSPACE_W: return "gray";
        case CUPS_CSPACE_RGB: return "RGB";
        case CUPS_CSPACE_K: return "black";
        case CUPS_CSPACE_CMYK: return "CMYK";
        case CUPS_CSPACE_CMY: return "CMY";
        case CUPS_CSPACE_SW: return "sGray";
        case CUPS_CSPACE_SRGB: return "sRGB";
        default: return "colour space " + std::to_string(space);
    }
}

int bytesPerPixel(const cups_page_header2_t& h) {
    return h.cupsColorSpace == CUPS_CSPACE_RGB || h.cupsColorSpace == CUPS_CSPACE_SRGB ? 3 : 1;
}

}  // namespace

bool checkHeader(const cups_page_header2_t& h, std::string& error) {
    bool gray = h.cupsColorSpace == CUPS_CSPACE_W || h.cupsColorSpace == CUPS_CSPACE_SW;
    bool rgb = h.cupsColorSpace == CUPS_CSPACE_RGB || h.cupsColorSpace == CUPS_CSPACE_SRGB;
    if ((!gray && !rgb) || h.cupsBitsPerColor != 8 || h.cupsColorOrder != CUPS_ORDER_CHUNKED) {
        error = "The raster is " + std::to_string(h.cupsBitsPerColor) + "-bit " + spaceName(h.cupsColorSpace) +
                (h.cupsColorOrder != CUPS_ORDER_CHUNKED ? " in planes" : "") +
                "; this printer takes 8-bit gray or RGB.";
        return false;
    }
    uint64_t expected = uint64_t{h.cupsWidth} * static_cast<uint64_t>(bytesPerPixel(h));
    if (h.cupsBitsPerPixel != 8u * static_cast<unsigned>(bytesPerPixel(h)) || h.cupsBytesPerLine != expected) {
        error = "The raster header is inconsistent (" + std::to_string(h.cupsBitsPerPixel) + " bits per pixel, " +
                std::to_string(h.cupsBytesPerLine) + " bytes per row of " + std::to_string(h.cupsWidth) +
                " pixels).";
        return false;
    }
    return true;
}

PageShape pageShapeOf(const cups_page_header2_t& h) {
    PageShape pageShape;
    pageShape.widthPoints = h.cupsPageSize[0] > 0 ? h.cupsPageSize[0] : h.PageSize[0];
    pageShape.lengthPoints = h.cupsPageSize[1] > 0 ? h.cupsPageSize[1] : h.PageSize[1];
    pageShape.pixelsPerRow = h.cupsWidth;
    pageShape.rows = h.cupsHeight;
    pageShape.dpiAcross = h.HWResolution[0];
    pageShape.dpiAlong = h.HWResolution[1];
    // A raster narrower or shorter than its page covers the imaging box.
    if (pageShape.dpiAcross > 0 && h.cupsWidth + 1.0 < pageShape.widthPoints / POINTS_PER_INCH * pageShape.dpiAcross)
        pageShape.originAcross = std::max(0.0, double(h.cupsImagingBBox[0])) / POINTS_PER_INCH;
    if (pageShape.dpiAlong > 0 && h.cupsHeight + 1.0 < pageShape.lengthPoints / POINTS_PER_INCH * pageShape.dpiAlong)
        pageShape.originAlong = std::max(0.0, pageShape.lengthPoints - double(h.cupsImagingBBox[3])) / POINTS_PER_INCH;
    return pageShape;
}

PagePlotter::PagePlotter(const ModelProfile& profile, const PlotSettings& settings, std::FILE* stream,
                         std::FILE* messages, const std::atomic<bool>* cancel)
    : profile_(profile),
      settings_(settings),
      stream_(stream),
      messages_(messages),
      cancel_(cancel),
      driverLog_(std::fopen("/dev/null", "w")),
      session_(stream, driverLog_ ? driverLog_ : messages) {
    session_.connect();
}

PagePlotter::~PagePlotter() {
    if (driverLog_) std::fclose(driverLog_);
}

bool PagePlotter::request(host::Packet& p, int16_t expect, const char* what, JobOutcome& outcome) {
    size_t before = session_.messages.size();
    session_.plot(p);
    if (readI16(p.data(), 0) == expect) return true;
    outcome.error = std::string("The driver refused ") + what + ".";
    for (size_t i = before; i < session_.messages.size(); ++i) {
        std::string text = host::messageForUser(session_.messages[i]);
        if (!text.empty()) outcome.error += " " + text;
    }
    return false;
}

bool PagePlotter::plotPage(RasterPageSource& pages, const cups_page_header2_t& header, const PageLayout& layout,
                           JobOutcome& outcome) {
    PlotSettings block = settings_;
    block.setPaperSize(layout.paper->paperSize);
    std::memcpy(session_.storedBlock.data(), block.bytes, sizeof block.bytes);
    session_.hasStoredBlock = true;

    host::Packet p = packetFor(49);
    writeI16(p.data(), 4, 1);
    p[7] = 2;
    session_.plot(p);
    if (readI16(p.data(), 10) != 0) {
        outcome.error = "The driver refused to initialise.";
        return false;
    }
    p = packetFor(50);
    std::memcpy(p.data() + 8, "ja", 2);
    session_.plot(p);
    p = packetFor(29);
    writeI16(p.data(), 4, HOST_RELEASE);
    if (!request(p, 0, "the settings", outcome)) return false;

    // The plot area: the whole paper's, or the custom length's own.
    p = packetFor(48);
    writeF64(p.data(), 9, layout.askMaximum ? WHOLE_AREA : layout.areaX);
    writeF64(p.data(), 17, layout.askMaximum ? WHOLE_AREA : layout.areaY);
    writeF64(p.data(), 41, layout.stepsPerInch);
    writeF64(p.data(), 49, layout.stepsPerInch);
    if (!request(p, AREA_REPLY, "the plot area", outcome)) return false;
    double width = readF64(p.data(), 9), height = readF64(p.data(), 17);
    p = packetFor(47);
    writeF64(p.data(), 9, width);
    writeF64(p.data(), 17, height);
    session_.plot(p);
    if (readI16(p.data(), 0) == -1) {
        outcome.error = "The driver refused the plot area.";
        return false;
    }
    p = packetFor(30);
    if (!request(p, 0, "to begin the plot", outcome)) return false;

    // One image over the whole plot area; the driver fetches its rows when
    // the next request (end plot) comes.
    auto x1 = static_cast<int32_t>(std::trunc(width * layout.stepsPerInch));
    auto y1 = static_cast<int32_t>(std::trunc(height * layout.stepsPerInch));
    RasterRowReader reader = [&pages]() { return pages.nextRow(); };
    const int32_t hostValue = outcome.pages + 1;
    RasterPageRows rows(layout, header.cupsHeight, header.cupsWidth, bytesPerPixel(header), reader, cancel_,
                        hostValue);
    int reported = 0;
    rows.onProgress = [this, &reported](double done) {
        int percent = static_cast<int>(done * 100);
        if (percent >= reported + PROGRESS_STEP) {
            reported = percent - percent % PROGRESS_STEP;
            std::fprintf(messages_, "ATTR: job-media-progress=%d\n", reported);
        }
    };
    p = packetFor(52);
    writeU32(p.data(), 4, host::ImageRowSource::rowSourceAddress());
    writeU32(p.data(), 8, host::ImageRowSource::rowReleaseAddress());
    writeI32(p.data(), 12, hostValue);
    writeI32(p.data(), 24, x1);
    writeI32(p.data(), 28, y1);
    writeI32(p.data(), 32, 1);  // RGB
    writeI32(p.data(), 36, static_cast<int32_t>(layout.cropRows));  // along X
    writeI32(p.data(), 40, static_cast<int32_t>(layout.cropCols));  // along Y
    writeI16(p.data(), 46, 24);
    session_.plot(p);

    p = packetFor(2);
    session_.plot(p);  // the image's rows, then the page end and copies
    if (session_.writeFailed) {
        outcome.error = "The printer stream could not be written.";
        return false;
    }
    // A row the source could not give because the job was cancelled
    // meanwhile ends the page as a cancellation too.
    if (rows.cancelled() || (rows.truncated() && cancel_ && cancel_->load())) {
        outcome.cancelled = true;
        return false;
    }
    if (!rows.finishPage()) {
        outcome.error = "The raster stream ends inside page " + std::to_string(outcome.pages + 1) + " (row " +
                        std::to_string(rows.rowsRead()) + " of " + std::to_string(header.cupsHeight) + ").";
        return false;
    }
    return true;
}

JobOutcome PagePlotter::run(RasterPageSource& pages) {
    JobOutcome outcome;
    cups_page_header2_t header;
    while (!(cancel_ && cancel_->load()) && pages.nextPage(header)) {
        std::string error;
        PageLayout layout;
        if (!checkHeader(header, error) || !layOutPage(profile_, settings_, pageShapeOf(header), layout, error)) {
            outcome.error = "Page " + std::to_string(outcome.pages + 1) + ": " + error;
            return outcome;
        }
        std::fprintf(messages_, "INFO: Printing page %d on %s%s\n", outcome.pages + 1, layout.paper->text.c_str(),
                     layout.roll ? " (custom length)" : "");
        // Each page is a plot of its own, as the printer takes one plot
        // per job: the pages after the first are separate jobs, each begun
        // at the job level after the previous page's PG. A plot without a
        // ticket begins with the universal exit itself; a ticket is read
        // only at the job level, so the exit comes before it.
        bool ticket = profile_.optionOutput && settings_.get(flags::outputOption);
        if (outcome.pages > 0 && ticket && std::fputs(UNIVERSAL_EXIT, stream_) < 0) {
            outcome.error = "The printer stream could not be written.";
            return outcome;
        }
        bool plotted = plotPage(pages, header, layout, outcome);
        if (outcome.cancelled) {
            std::fprintf(messages_, "INFO: Job cancelled; page %d ends early\n", outcome.pages + 1);
            outcome.ok = true;
            return outcome;
        }
        if (!plotted) return outcome;
        ++outcome.pages;
        std::fprintf(messages_, "PAGE: %d %d\n", outcome.pages, settings_.copies());
        std::fflush(messages_);
    }
    if (cancel_ && cancel_->load()) {
        outcome.cancelled = true;
        outcome.ok = true;
        return outcome;
    }
    // The reader ends at the stream's end and at a header it cannot take.
    std::string reason = pages.endNote();
    std::fprintf(messages_, "DEBUG: raster reader: %s\n", reason.empty() ? "end of stream" : reason.c_str());
    if (outcome.pages == 0) {
        outcome.error = "No pages found in the raster stream" + (reason.empty() ? "." : " (" + reason + ").");
        return outcome;
    }
    if (!pages.endError().empty()) {
        // A later page whose header is damaged or empty: the job fails
        // rather than dropping its pages without a word.
        outcome.error = pages.endError();
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}

}  // namespace tavix::cups
