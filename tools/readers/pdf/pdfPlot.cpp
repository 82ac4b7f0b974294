#include "pdfPlot.h"

#include <PDFDoc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "pageWalker.h"
#include "pdfDocument.h"

namespace tavix::pdf {
namespace {

constexpr double POINTS_PER_INCH = 72;

// As for DXF: the host rounds every point to its whole units, half a unit
// on each axis, so the chords get the tolerance less that (a quarter of it
// at least).
double chordToleranceMm(double toleranceMm, double unitsPerInch) {
    double rounding = unitsPerInch > 0 ? 25.4 / unitsPerInch * std::sqrt(0.5) : 0;
    return std::max(toleranceMm - rounding, toleranceMm / 4);
}

std::string hexColour(int rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", rgb & 0xFFFFFF);
    return text;
}

// Colours of the file that the nearest palette colour puts in one pen.
std::string sharedPensWarning(const std::map<int, std::set<int>>& colours) {
    std::string examples;
    int merged = 0, shown = 0;
    for (const auto& [number, rgbs] : colours) {
        if (rgbs.size() < 2) continue;
        merged += static_cast<int>(rgbs.size());
        if (shown++ >= 3) continue;
        std::string list;
        for (int rgb : rgbs) list += (list.empty() ? "" : ", ") + hexColour(rgb);
        examples += (examples.empty() ? "" : "; ") + list + " take colour " + std::to_string(number);
    }
    if (merged == 0) return "";
    return std::to_string(merged) + " colours of the PDF share pens, each with the nearest colour of the " +
           "driver's palette: " + examples + (shown > 3 ? "; ..." : "");
}

std::string plural(long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

bool plotPdf(std::FILE* file, const PdfPlotOptions& options, const PdfPlotArea& area,
             const dxf::RequestSink& send, PdfPlotReport& report, std::string& error) {
    if (options.progress) options.progress(0, "reading PDF");
    std::unique_ptr<OpenPdf> pdf = openPdf(file, error);
    if (!pdf) return false;
    return plotPdfPage(*pdf, options, area, send, report, error);
}

bool plotPdfPage(OpenPdf& pdf, const PdfPlotOptions& options, const PdfPlotArea& area,
                 const dxf::RequestSink& send, PdfPlotReport& report, std::string& error) {
    PDFDoc& doc = *pdf.doc;
    report.pages = doc.getNumPages();
    if (options.page < 1 || options.page > report.pages) {
        error = "the PDF has " + plural(report.pages, "page", "pages") + ": there is no page " +
                std::to_string(options.page);
        return false;
    }
    PageSize size = pageSize(doc, options.page);
    double width = std::floor(area.width), height = std::floor(area.height);
    geometry::Affine toPaper;
    if (!placePage(size.width, size.height, options.placement, width, height, area.unitsPerInch, toPaper, error))
        return false;

    // What reaches the paper: a page of dots draws nothing long, yet plots.
    long long marks = 0;
    dxf::RequestSink counted = [&send, &marks](const host::DrawingRequest& r, std::string& why) {
        if (r.op == host::DrawingOp::Draw || r.op == host::DrawingOp::FillArray || r.op == host::DrawingOp::Image)
            ++marks;
        return send(r, why);
    };
    // The paper sink works in host units: the walk places everything itself.
    dxf::Placement onPaper;
    onPaper.mmPerUnit = 25.4 / area.unitsPerInch;
    dxf::PaperOptions paper;
    paper.lineweights = true;  // every PDF stroke has its width
    dxf::PaperSink sink(onPaper, width, height, options.pens, paper, counted);
    double tolerance = chordToleranceMm(options.toleranceMm, area.unitsPerInch) / onPaper.mmPerUnit;
    PageWalker walker(toPaper, tolerance, sink, counted, width, height);
    walker.usePens(&options.pens, onPaper.mmPerUnit);
    // At 72 dpi times the user unit, poppler's device space is the page in
    // points, lower left corner at the origin, its /Rotate applied.
    double dpi = POINTS_PER_INCH * size.userUnit;
    walker.startDoc(&doc);
    doc.displayPage(&walker, options.page, dpi, dpi, 0, false, true, true);
    if (!walker.ok()) {
        error = walker.failure();
        return false;
    }
    report.strokes = sink.strokes;
    report.fills = sink.fills;
    if (marks == 0 && !options.blankPageFails) {
        report.warnings.push_back("nothing on page " + std::to_string(options.page) + " plots");
    } else if (marks == 0) {
        error = "nothing on page " + std::to_string(options.page) + " plots";
        const WalkCounts& c = walker.counts();
        if (c.missingGlyphs > 0 || c.imagesLeftOut > 0)
            error += " (it holds only images, which tavix does not draw from PDF yet, or text whose fonts "
                     "could not be read)";
        return false;
    }
    if (options.progress) options.progress(1, "drawing PDF");

    const WalkCounts& c = walker.counts();
    if (report.pages > 1 && options.noteOtherPages)
        report.warnings.push_back("plotted page " + std::to_string(options.page) + " of " +
                                  std::to_string(report.pages) + "; --page N plots another");
    if (std::string shared = sharedPensWarning(walker.coloursByNumber()); !shared.empty())
        report.warnings.push_back(shared);
    if (c.missingGlyphs > 0)
        report.warnings.push_back("left out " + plural(c.missingGlyphs, "character", "characters") +
                                  " of text: no outlines could be read from their font");
    if (c.imagesLeftOut > 0)
        report.warnings.push_back("left out " + plural(c.imagesLeftOut, "image", "images") +
                                  " (image masks, masked or turned images, or images reaching outside the plot area)");
    if (c.imagesUnclipped > 0)
        report.warnings.push_back(plural(c.imagesUnclipped, "image is", "images are") +
                                  " drawn whole although a clip path cuts " + (c.imagesUnclipped == 1 ? "it" : "them"));
    if (sink.clippedMm >= 0.05)
        report.warnings.push_back(std::to_string(static_cast<long long>(std::lround(sink.clippedMm))) +
                                  " mm of lines fall outside the plot area and are clipped");
    if (sink.clippedFills > 0)
        report.warnings.push_back(plural(sink.clippedFills, "filled area reaches", "filled areas reach") +
                                  " outside the plot area and " + (sink.clippedFills == 1 ? "is" : "are") +
                                  " clipped");
    if (sink.oversizeFills > 0)
        report.warnings.push_back("left out " + plural(sink.oversizeFills, "filled area", "filled areas") +
                                  " of more than 32767 corners");
    return true;
}

}  // namespace tavix::pdf
