// The PDF filter's side of the driver: every chosen page of the document is
// one plot, its strokes, fills, text and images sent as the host's drawing
// requests through the plot run `tavix plot` uses, at 1:1 on the paper.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>

#include "modelProfile.h"
#include "pagePlotter.h"
#include "pageRanges.h"
#include "tavix/plotSettings.h"

namespace tavix::pdf {
struct OpenPdf;
}

namespace tavix::cups {

// How the job's options scale a page (IPP print-scaling; fit-to-page is
// CUPS's older name for fit).
enum class PageScaling {
    Auto,  // 1:1, or fitted when the page is larger than the paper
    None,  // 1:1; a page larger than the paper is refused
    Fit,   // scaled to the plot area, centred
};

struct PdfJobOptions {
    host::PageSelection pages;
    PageScaling scaling = PageScaling::Auto;
    // The marked paper (width across the roll, length along the feed,
    // points): the job's when it names one, else the queue's default.
    double paperWidthPoints = 0, paperLengthPoints = 0;
    // A job that names no paper prints each page on the paper that holds
    // it at 1:1; the default paper takes only a page no paper holds.
    bool paperFromJob = false;
    double toleranceMm = 0.05;
};

class PdfJob {
public:
    // stream: where the printer stream goes; messages: the filter's
    // standard error ("INFO:", "PAGE:", "WARNING:" lines).
    PdfJob(const ModelProfile& profile, const PlotSettings& settings, std::FILE* stream, std::FILE* messages,
           const std::atomic<bool>* cancel);

    JobOutcome run(pdf::OpenPdf& pdf, const PdfJobOptions& options);

private:
    bool plotPage(pdf::OpenPdf& pdf, int page, const PdfJobOptions& options, JobOutcome& outcome);

    const ModelProfile& profile_;
    PlotSettings settings_;
    std::FILE* stream_;
    std::FILE* messages_;
    const std::atomic<bool>* cancel_;
};

// The paper a page goes on and whether it turns: a page is portrait on the
// roll as CUPS's pages are (its long side along the feed only when it is
// landscape). False with a reason for the user.
struct PdfPageFit {
    const PaperChoice* paper = nullptr;
    PageLayout layout;
    bool turn = false;  // a quarter turn: the page's width runs across the roll
    bool fit = false;   // scaled to the plot area
    bool scaledDown = false;  // larger than the paper, fitted by print-scaling auto
};
bool fitPdfPage(const ModelProfile& profile, const PlotSettings& settings, double pageWidthPoints,
                double pageHeightPoints, const PdfJobOptions& options, PdfPageFit& fit, std::string& error);

}  // namespace tavix::cups
