#include "preview.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "pictureFile.h"
#include "previewRenderer.h"
#include "sidePanel.h"
#include "streamContext.h"
#include "streamParser.h"
#include "vectorOutput.h"

namespace tavix::preview {
namespace {

constexpr double MARGIN = 12;
constexpr int PANEL_WIDTH = 460;
constexpr size_t PANEL_COLUMNS = 56;
constexpr size_t MAX_PANEL_LINES = 400;

// Everything the page draws, for a page without PS.
Rect drawnExtent(const Page& page) {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    auto add = [&](Point p) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    };
    for (const auto& s : page.strokes)
        for (const auto& p : s.points) add(p);
    for (const auto& f : page.fills)
        for (const auto& r : f.rings)
            for (const auto& p : r) add(p);
    for (const auto& r : page.rasters) {
        double u = static_cast<double>(r.width), v = static_cast<double>(r.rows);
        add(r.origin);
        add({r.origin.x + r.pixelStep.x * u, r.origin.y + r.pixelStep.y * u});
        add({r.origin.x + r.rowStep.x * v, r.origin.y + r.rowStep.y * v});
        add({r.origin.x + r.pixelStep.x * u + r.rowStep.x * v, r.origin.y + r.pixelStep.y * u + r.rowStep.y * v});
    }
    if (!(x1 >= x0)) return {0, 0, 1016, 1016};
    double pad = std::max({(x1 - x0) * 0.02, (y1 - y0) * 0.02, 40.0});
    return {x0 - pad, y0 - pad, x1 + pad, y1 + pad};
}

RenderPlan makePlan(const ParsedStream& stream, const Page* page, int pageIndex, const PreviewOptions& options,
                    std::vector<Warning>& notes) {
    RenderPlan plan;
    Rect extent = page ? (page->hasPaper ? page->extent : drawnExtent(*page)) : Rect{0, 0, 1016, 1016};
    if (page && !page->hasPaper)
        notes.push_back({NO_OFFSET, "no paper size (PS): the drawing's extent is shown"});
    double widthIn = (extent.x1 - extent.x0) / UNITS_PER_INCH, heightIn = (extent.y1 - extent.y0) / UNITS_PER_INCH;
    bool pdf = options.format == OutputFormat::Pdf;
    double dpi = pdf ? PDF_UNITS_PER_INCH : options.dpi;
    if (!(dpi > 0) || !std::isfinite(dpi)) dpi = 50;
    double requested = dpi;
    bool panel = options.sidePanel;
    double maxSide = std::max(16, options.maxDimension);
    double maxPixels = static_cast<double>(std::max<uint64_t>(options.maxPixels, 4096));
    RenderPlan sizes;  // the panel's font sizes
    auto panelLines = [&](double d, const std::vector<Warning>& withNotes) {
        PanelFacts facts;
        facts.stream = &stream;
        facts.pageIndex = pageIndex;
        facts.dpi = d;
        facts.notes = withNotes;
        std::vector<std::string> lines = sidePanelLines(facts, PANEL_COLUMNS);
        if (lines.size() > MAX_PANEL_LINES) {
            lines.resize(MAX_PANEL_LINES);
            lines.back() = "...";
        }
        return lines;
    };
    auto panelHeightOf = [&](size_t lines) {
        return static_cast<int>(std::ceil(lines * sizes.lineHeight + 2 * MARGIN + sizes.fontSize));
    };
    // The panel as it will be, with the note of a lowered resolution.
    std::vector<Warning> withLowered = notes;
    withLowered.push_back({NO_OFFSET, "resolution lowered from " + fixedText(requested, 1) +
                                          " to 0.000 dpi to keep the picture within bounds"});
    int panelEstimate = panel ? panelHeightOf(panelLines(dpi, withLowered).size()) : 0;
    // The panel's width and height and the margins stay whatever the
    // resolution; the page's part shrinks with it. Sizes as the plan rounds them.
    auto fits = [&](double d) {
        double w = std::ceil(widthIn * d + 2 * MARGIN) + (panel ? PANEL_WIDTH : 0);
        double pageHeight = std::ceil(heightIn * d + 2 * MARGIN);
        double h = std::max(pageHeight, panel ? static_cast<double>(panelEstimate) : 0.0);
        return w <= maxSide && pageHeight <= maxSide && w * h <= maxPixels;
    };
    if (!pdf && panel && !fits(1.0)) {
        panel = false;
        notes.push_back({NO_OFFSET, "the text panel is left out: the pixel limit leaves it no room"});
    }
    if (!pdf && !fits(dpi)) {
        // The highest resolution that fits, found by halving the interval.
        double low = 0, high = dpi;
        for (int i = 0; i < 60; ++i) {
            double mid = (low + high) / 2;
            (fits(mid) ? low : high) = mid;
        }
        dpi = low > 0 ? low : high / 2;
    }
    int panelWidth = panel ? PANEL_WIDTH : 0;
    if (dpi < requested)
        notes.push_back({NO_OFFSET, "resolution lowered from " + fixedText(requested, 1) + " to " +
                                        fixedText(dpi, dpi < 10 ? 3 : 1) + " dpi to keep the picture within bounds"});
    plan.geometry.dpi = dpi;
    plan.geometry.extent = extent;
    plan.geometry.margin = MARGIN;
    plan.pictureWidth = static_cast<int>(std::ceil(widthIn * dpi + 2 * MARGIN));
    plan.pictureHeight = static_cast<int>(std::ceil(heightIn * dpi + 2 * MARGIN));
    plan.panelX = plan.pictureWidth;
    plan.panelWidth = panelWidth;
    if (panel) plan.panel = panelLines(dpi, notes);
    int panelHeight = panel ? panelHeightOf(plan.panel.size()) : 0;
    plan.width = plan.pictureWidth + plan.panelWidth;
    plan.height = std::max(plan.pictureHeight, panelHeight);
    int largest = pdf ? 1 << 24 : 32767;
    plan.width = std::clamp(plan.width, 1, largest);
    plan.height = std::clamp(plan.height, 1, largest);
    return plan;
}

void draw(cairo_t* cr, const Page* page, const RenderPlan& plan, const PreviewOptions& options,
          std::vector<Warning>& notes) {
    drawPage(cr, page, plan, options);
    if (page && page->strokes.readFailed())
        notes.push_back({NO_OFFSET, "the temporary file of the page's vectors could not be read back: some are "
                                    "not drawn"});
    int unknown = drawPanel(cr, plan);
    if (unknown > 0)
        notes.push_back({NO_OFFSET, numberText(unknown) + " characters of the text panel have no installed font "
                                                          "and are shown as boxes"});
}

// SVG and PDF: written as the page is drawn (vectorOutput.h).
bool drawVectors(const Page* page, const RenderPlan& plan, const PreviewOptions& options, std::vector<Warning>& notes,
                 std::string& error) {
    std::unique_ptr<VectorOutput> out =
        options.format == OutputFormat::Svg
            ? svgOutput(options.outputPath, plan.width, plan.height, plan.geometry.dpi, error)
            : pdfOutput(options.outputPath, plan.width, plan.height, error);
    if (!out) return false;
    drawPage(nullptr, page, plan, options, out.get());
    if (page && page->strokes.readFailed())
        notes.push_back({NO_OFFSET, "the temporary file of the page's vectors could not be read back: some are "
                                    "not drawn"});
    if (plan.panelWidth > 0) {
        PanelText text;
        text.lines = plan.panel;
        text.x = plan.panelX;
        text.width = plan.panelWidth;
        text.height = plan.height;
        text.top = plan.geometry.margin + plan.fontSize;
        text.fontSize = plan.fontSize;
        text.lineHeight = plan.lineHeight;
        out->panel(text);
    }
    return out->finish(error);
}

cairo_status_t writeToPicture(void* closure, const unsigned char* data, unsigned int length) {
    return static_cast<PictureFile*>(closure)->write(data, length) ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

Rgb PreviewImage::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return {};
    uint32_t v = argb[static_cast<size_t>(y) * width + x];
    uint32_t a = v >> 24;
    auto un = [&](uint32_t c) { return static_cast<uint8_t>(a ? std::min<uint32_t>(255, c * 255 / a) : 0); };
    return {un((v >> 16) & 255), un((v >> 8) & 255), un(v & 255)};
}

std::string formatWarning(const Warning& warning) {
    if (warning.offset == NO_OFFSET) return warning.text;
    return "offset " + numberText(static_cast<long long>(warning.offset)) + ": " + warning.text;
}

PreviewResult renderParsed(const ParsedStream& stream, const PreviewOptions& options, PreviewImage* image) {
    PreviewResult result;
    result.warnings = stream.warnings;
    result.warningsDropped = stream.warningsDropped;
    result.pageCount = static_cast<int>(stream.pages.size());
    std::vector<Warning> notes;
    int pageIndex = options.page - 1;
    const Page* page = nullptr;
    if (pageIndex >= 0 && pageIndex < result.pageCount) {
        page = &stream.pages[static_cast<size_t>(pageIndex)];
    } else if (result.pageCount == 0) {
        notes.push_back({NO_OFFSET, "nothing is drawn in this stream"});
        pageIndex = 0;
    } else {
        result.error = "page " + numberText(options.page) + " asked, the stream has " +
                       numberText(result.pageCount) + (result.pageCount == 1 ? " page" : " pages");
        return result;
    }
    RenderPlan plan = makePlan(stream, page, pageIndex, options, notes);
    result.geometry = plan.geometry;
    result.width = plan.width;
    result.height = plan.height;

    bool vectors = image == nullptr && options.format != OutputFormat::Png;
    if (vectors) {
        if (!drawVectors(page, plan, options, notes, result.error)) return result;
        for (auto& n : notes) result.warnings.push_back(n);
        result.ok = true;
        return result;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, plan.width, plan.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        result.error = std::string("cannot make the picture: ") + cairo_status_to_string(cairo_surface_status(surface));
        cairo_surface_destroy(surface);
        return result;
    }
    cairo_t* cr = cairo_create(surface);
    draw(cr, page, plan, options, notes);
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    if (status == CAIRO_STATUS_SUCCESS) {
        if (image) {
            cairo_surface_flush(surface);
            image->width = plan.width;
            image->height = plan.height;
            image->argb.resize(static_cast<size_t>(plan.width) * plan.height);
            const unsigned char* data = cairo_image_surface_get_data(surface);
            int stride = cairo_image_surface_get_stride(surface);
            for (int y = 0; y < plan.height; ++y) {
                const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
                std::copy(row, row + plan.width, image->argb.begin() + static_cast<ptrdiff_t>(y) * plan.width);
            }
        } else {
            PictureFile file(options.outputPath);
            status = cairo_surface_write_to_png_stream(surface, writeToPicture, &file);
            std::string why;
            if (!file.close(why)) {
                file.discard();  // half a picture is no picture
                cairo_surface_destroy(surface);
                result.error = why;
                return result;
            }
        }
    }
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        result.error = (image ? std::string("cannot draw the picture: ")
                              : "cannot write " + options.outputPath + ": ") +
                       cairo_status_to_string(status);
        return result;
    }
    for (auto& n : notes) result.warnings.push_back(n);
    result.ok = true;
    return result;
}

PreviewResult renderStream(const std::string& bytes, const PreviewOptions& options) {
    if (options.outputPath.empty()) {
        PreviewResult result;
        result.error = "no output file given";
        return result;
    }
    ParsedStream stream = parseStream(bytes, options.limits);
    return renderParsed(stream, options, nullptr);
}

PreviewResult renderStreamToImage(const std::string& bytes, const PreviewOptions& options, PreviewImage& image) {
    ParsedStream stream = parseStream(bytes, options.limits);
    return renderParsed(stream, options, &image);
}

}  // namespace tavix::preview

// Fontconfig, which cairo's text uses, keeps its configuration for the life
// of the process; LeakSanitizer would report it at exit. Weak, so that a
// program with suppressions of its own keeps them.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
