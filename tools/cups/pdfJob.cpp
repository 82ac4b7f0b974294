#include "pdfJob.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "driverMessages.h"
#include "hostConfig.h"
#include "hostSession.h"
#include "pdfDocument.h"
#include "pdfPlot.h"
#include "plotRun.h"

namespace tavix::cups {
namespace {

// The PJL universal exit: it ends the printer language and returns the
// printer to the job level, where the next plot's job ticket is read.
constexpr char UNIVERSAL_EXIT[] = "\x1b%-12345X";
constexpr double HALF_POINT = 0.5;

std::string millimetres(double wPoints, double hPoints) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f x %.0f mm", wPoints / POINTS_PER_INCH * 25.4,
                  hPoints / POINTS_PER_INCH * 25.4);
    return text;
}

// A page of w x h points on a paper `across` wide and `along` long, turned
// (its width across the roll) or not.
bool holds(double across, double along, double w, double h, bool turn) {
    return turn ? w <= across + HALF_POINT && h <= along + HALF_POINT
                : w <= along + HALF_POINT && h <= across + HALF_POINT;
}

bool layOut(const ModelProfile& profile, const PlotSettings& settings, double across, double along,
            PageLayout& layout, std::string& error) {
    int dpi = rasterDpi(settings);
    PageShape shape;
    shape.widthPoints = across;
    shape.lengthPoints = along;
    shape.dpiAcross = shape.dpiAlong = static_cast<uint32_t>(dpi);
    shape.pixelsPerRow = static_cast<uint32_t>(std::ceil(across / POINTS_PER_INCH * dpi));
    shape.rows = static_cast<uint32_t>(std::ceil(along / POINTS_PER_INCH * dpi));
    return layOutPage(profile, settings, shape, layout, error);
}

}  // namespace

bool fitPdfPage(const ModelProfile& profile, const PlotSettings& settings, double w, double h,
                const PdfJobOptions& options, PdfPageFit& fit, std::string& error) {
    fit = PdfPageFit{};
    if (!(w > 0) || !(h > 0) || !std::isfinite(w) || !std::isfinite(h)) {
        error = "The page has no size (its crop box is empty).";
        return false;
    }
    // A portrait page runs down the roll as CUPS's raster pages do; a
    // landscape page turns, its long side along the feed.
    bool turn = w <= h;
    double across = options.paperWidthPoints, along = options.paperLengthPoints;
    if (!options.paperFromJob) {
        // The paper that holds the page at 1:1, when one does.
        bool roll = false;
        double shortSide = std::min(w, h), longSide = std::max(w, h);
        if (paperForPage(profile, shortSide / POINTS_PER_INCH, longSide / POINTS_PER_INCH, roll)) {
            across = shortSide;
            along = longSide;
        }
    }
    if (!holds(across, along, w, h, turn) && holds(across, along, w, h, !turn)) turn = !turn;
    fit.turn = turn;
    fit.fit = options.scaling == PageScaling::Fit;
    if (!holds(across, along, w, h, turn) && options.scaling != PageScaling::Fit) {
        if (options.scaling == PageScaling::None) {
            bool roll = false;
            const PaperChoice* other = paperForPage(profile, std::min(w, h) / POINTS_PER_INCH,
                                                    std::max(w, h) / POINTS_PER_INCH, roll);
            error = "The page (" + millimetres(w, h) + ") is larger than the paper (" + millimetres(across, along) +
                    ")" + (other ? "; print it on " + other->text + (roll ? " (custom length)" : "") : "") +
                    ", or with print-scaling=fit.";
            return false;
        }
        fit.fit = fit.scaledDown = true;
    }
    if (!layOut(profile, settings, across, along, fit.layout, error)) return false;
    fit.paper = fit.layout.paper;
    return true;
}

PdfJob::PdfJob(const ModelProfile& profile, const PlotSettings& settings, std::FILE* stream, std::FILE* messages,
               const std::atomic<bool>* cancel)
    : profile_(profile), settings_(settings), stream_(stream), messages_(messages), cancel_(cancel) {}

bool PdfJob::plotPage(pdf::OpenPdf& pdf, int page, const PdfJobOptions& options, JobOutcome& outcome) {
    pdf::PageSize size = pdf::pageSize(pdf, page);
    PdfPageFit fit;
    std::string error;
    if (!fitPdfPage(profile_, settings_, size.width, size.height, options, fit, error)) {
        outcome.error = "Page " + std::to_string(page) + ": " + error;
        return false;
    }
    const PageLayout& layout = fit.layout;
    std::fprintf(messages_, "INFO: Printing page %d on %s%s%s\n", page, fit.paper->text.c_str(),
                 layout.roll ? " (custom length)" : "", fit.fit ? ", scaled to fit" : "");
    if (fit.scaledDown)
        std::fprintf(messages_, "WARNING: Page %d (%s) is larger than the paper; it is scaled down to fit\n", page,
                     millimetres(size.width, size.height).c_str());

    // The driver keeps its messages to itself; they reach the user through
    // the run's errors.
    std::FILE* driverLog = std::fopen("/dev/null", "w");
    host::HostSession session(stream_, driverLog ? driverLog : messages_);
    session.connect();
    host::HostConfig config;
    PlotSettings block = settings_;
    block.setPaperSize(fit.paper->paperSize);
    std::memcpy(config.block.data(), block.bytes, sizeof block.bytes);
    config.hasBlock = true;
    config.stepsPerInch = layout.stepsPerInch;
    if (!layout.askMaximum) {
        config.plotWidth = layout.areaX;
        config.plotHeight = layout.areaY;
    }
    host::PlotOptions plot;
    plot.warn = [this](const std::string& w) { std::fprintf(messages_, "WARNING: %s\n", w.c_str()); };
    host::PlotRun run(session, config, plot);
    auto finish = [&](bool ok) {
        if (driverLog) std::fclose(driverLog);
        return ok;
    };
    if (!run.begin()) {
        run.abort();
        outcome.error = "Page " + std::to_string(page) + ": " + run.error() + ".";
        return finish(false);
    }

    pdf::PdfPlotOptions pdfOptions;
    pdfOptions.toleranceMm = options.toleranceMm;
    pdfOptions.page = page;
    pdfOptions.blankPageFails = false;
    pdfOptions.noteOtherPages = false;
    pdfOptions.placement.rotate = fit.turn;
    pdfOptions.placement.fit = fit.fit;
    pdfOptions.placement.centre = fit.fit;
    if (!fit.fit) {
        // The page on the paper's corner, as a printed page lies; the
        // margins cut what lies on them. The page fits the paper (as
        // fitPdfPage found), so the frame is the page's own size.
        double spi = layout.stepsPerInch;
        double along = (fit.turn ? size.height : size.width) / POINTS_PER_INCH;
        double across = (fit.turn ? size.width : size.height) / POINTS_PER_INCH;
        pdfOptions.placement.paper = pdf::PaperFrame{-layout.marginX * spi, -layout.marginY * spi, along * spi,
                                                     across * spi};
    }
    pdf::PdfPlotArea area{run.plotWidthInches() * run.hostUnitsPerInch(),
                          run.plotHeightInches() * run.hostUnitsPerInch(), run.hostUnitsPerInch()};
    bool cancelled = false, refused = false;
    dxf::RequestSink send = [&](const host::DrawingRequest& r, std::string& why) {
        if (cancel_ && cancel_->load()) {
            cancelled = true;
            why = "cancelled";
            return false;
        }
        if (run.send(r)) return true;
        refused = true;
        why = run.error();
        return false;
    };
    pdf::PdfPlotReport report;
    bool plotted = pdf::plotPdfPage(pdf, pdfOptions, area, send, report, error);
    if (cancelled) {
        // The plot ends as the driver ends one: the stream stays whole.
        outcome.cancelled = true;
        if (!run.finish()) outcome.error = "The printer stream could not be written.";
        return finish(false);
    }
    if (!plotted) {
        run.abort();
        outcome.error = "Page " + std::to_string(page) + ": " + (refused ? run.error() : error) + ".";
        return finish(false);
    }
    for (const std::string& w : report.warnings) std::fprintf(messages_, "WARNING: Page %d: %s\n", page, w.c_str());
    if (std::string clip = run.clipWarning(); !clip.empty())
        std::fprintf(messages_, "WARNING: Page %d: %s\n", page, clip.c_str());
    if (!run.finish() || session.writeFailed) {
        outcome.error = session.writeFailed ? "The printer stream could not be written."
                                            : "Page " + std::to_string(page) + ": " + run.error() + ".";
        return finish(false);
    }
    return finish(true);
}

JobOutcome PdfJob::run(pdf::OpenPdf& pdf, const PdfJobOptions& options) {
    JobOutcome outcome;
    int count = pdf::pageCount(pdf);
    bool ticket = profile_.optionOutput && settings_.get(flags::outputOption);
    for (int page = 1; page <= count; ++page) {
        if (!options.pages.includes(page)) continue;
        if (cancel_ && cancel_->load()) break;
        // Each page is a plot of its own, as the printer takes one plot per
        // job; a ticket is read only at the job level, so the universal
        // exit comes before the next page's ticket.
        if (outcome.pages > 0 && ticket && std::fputs(UNIVERSAL_EXIT, stream_) < 0) {
            outcome.error = "The printer stream could not be written.";
            return outcome;
        }
        bool plotted = plotPage(pdf, page, options, outcome);
        if (outcome.cancelled) {
            std::fprintf(messages_, "INFO: Job cancelled; page %d ends early\n", page);
            outcome.ok = outcome.error.empty();
            return outcome;
        }
        if (!plotted) return outcome;
        ++outcome.pages;
        std::fprintf(messages_, "PAGE: %d %d\n", outcome.pages, settings_.copies());
        std::fflush(messages_);
    }
    if (cancel_ && cancel_->load()) {
        std::fprintf(messages_, "INFO: Job cancelled after %d page%s\n", outcome.pages, outcome.pages == 1 ? "" : "s");
        outcome.cancelled = true;
        outcome.ok = true;
        return outcome;
    }
    if (outcome.pages == 0) {
        outcome.error = count == 0 ? "The PDF has no pages."
                                   : "No page of the PDF's " + std::to_string(count) + " is in the page ranges asked for.";
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}

}  // namespace tavix::cups
