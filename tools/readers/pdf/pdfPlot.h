// `tavix plot` of a PDF page: poppler interprets the page, its strokes and
// fills become the host's drawing requests on the paper, at 1:1 or fitted.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "pagePlacement.h"
#include "paperSink.h"
#include "pdfDocument.h"
#include "penMap.h"

namespace tavix::pdf {

struct PdfPlotOptions {
    double toleranceMm = 0.05;  // chords stay this close to the curves on paper
    int page = 1;               // counted from 1
    PagePlacementOptions placement;
    dxf::PenMap pens;           // colour number to pen (and width)
    std::function<void(double fraction, const std::string& stage)> progress;  // may be empty
    bool blankPageFails = true;  // a page on which nothing plots is refused
    bool noteOtherPages = true;  // warn that a document's other pages were left out
};

struct PdfPlotArea {
    double width = 0, height = 0;  // host units
    double unitsPerInch = 1016;
};

struct PdfPlotReport {
    std::vector<std::string> warnings;
    int pages = 0;                 // in the document
    long long strokes = 0, fills = 0;
};

// Plots one page of the PDF `file` (read from its start). False with the
// reason: the file is not a PDF poppler can open, it is encrypted, it has
// no such page, the page does not fit, nothing on it plots, or `send` refused.
bool plotPdf(std::FILE* file, const PdfPlotOptions& options, const PdfPlotArea& area,
             const dxf::RequestSink& send, PdfPlotReport& report, std::string& error);

// The same for a document already open, so that a caller plotting several
// of its pages reads it once.
bool plotPdfPage(OpenPdf& pdf, const PdfPlotOptions& options, const PdfPlotArea& area,
                 const dxf::RequestSink& send, PdfPlotReport& report, std::string& error);

}  // namespace tavix::pdf
