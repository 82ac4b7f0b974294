#include "dxfPlot.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "dxfReader.h"
#include "entityRenderer.h"
#include "entitySpool.h"
#include "layoutPlot.h"
#include "namedPlotStyles.h"
#include "wipeoutSink.h"

namespace tavix::dxf {
namespace {

// Measures what the plot would draw, before the scale is known.
class ExtentsSink : public PrimitiveSink {
public:
    bool stroke(const LineLook& look, const geometry::Polyline& points, double slack, std::string&) override {
        // A wide polyline reaches half its width beyond its middle line.
        for (const geometry::Point& p : points) extents.add(p.x, p.y, slack + look.bandWidth / 2);
        widths = widths || look.lineweight >= 0 || look.bandWidth > 0;
        note(look);
        return true;
    }
    bool fill(const LineLook& look, const std::vector<geometry::Polyline>& loops, std::string&) override {
        for (const auto& loop : loops)
            for (const geometry::Point& p : loop) extents.add(p.x, p.y);
        note(look);
        return true;
    }
    // The widest pen the plot will draw with, in millimetres, as the paper
    // sink chooses widths (the driver's own pens are 0.254 mm by default).
    double widestPenMm(const PenMap& pens, int lwdefault) const {
        double widest = 0.254;
        if (widths || pens.setsWidths()) {
            widest = std::max(widest, widestLineweight / 100.0);
            if (defaultLineweight) widest = std::max(widest, lwdefault / 100.0);
        }
        for (int c = 1; c < 256; ++c)
            if (colours[c]) widest = std::max(widest, pens.forColour(c).widthMm);
        return widest;
    }
    Extents extents;
    bool widths = false;

private:
    void note(const LineLook& look) {
        if (look.lineweight >= 0) widestLineweight = std::max(widestLineweight, look.lineweight);
        else defaultLineweight = true;
        if (look.colour >= 1 && look.colour <= 255) colours[look.colour] = true;
    }
    int widestLineweight = 0;
    bool defaultLineweight = false;
    std::array<bool, 256> colours{};
};

std::string millimetres(double mm) {
    char text[64];
    std::snprintf(text, sizeof text, mm >= 10 ? "%.0f mm" : "%.1f mm", mm);
    return text;
}

void reportRenderer(const EntityRenderer& r, DxfPlotReport& report) {
    for (const auto& [what, count] : r.undrawable)
        report.warnings.push_back("left out " + std::to_string(count) + " x " + what);
    if (r.missingGlyphs > 0)
        report.warnings.push_back(std::to_string(r.missingGlyphs) +
                                  " characters of text have no glyph in the stroke font and are drawn as boxes "
                                  "(the first at line " + std::to_string(r.firstMissingGlyphLine) + ")");
}

}  // namespace

// The host rounds every point to its whole units, which moves a chord by up
// to half a unit on each axis: the chords get the tolerance less that, so
// the drawn line stays within the tolerance of the curve. Units coarser
// than the tolerance leave a quarter of it, the best the grid allows.
double chordToleranceMm(double toleranceMm, double unitsPerInch) {
    double rounding = unitsPerInch > 0 ? 25.4 / unitsPerInch * std::sqrt(0.5) : 0;
    return std::max(toleranceMm - rounding, toleranceMm / 4);
}

bool plotDxf(std::FILE* file, const DxfPlotOptions& options, const PlotArea& area, const RequestSink& send,
             DxfPlotReport& report, std::string& error) {
    if (!options.layout.empty()) return plotLayout(file, options, area, send, report, error);
    std::optional<geometry::StrokeFont> loaded;
    if (options.font == nullptr) loaded = geometry::loadStrokeFont(options.fontPath);
    const geometry::StrokeFont* font = options.font != nullptr ? options.font : loaded ? &*loaded : nullptr;
    // The fonts the text styles name; characters a font lacks come from
    // the installed fonts.
    fonts::TextFonts textFonts(font);

    // First pass: the extents of everything that plots.
    DxfTables measured;
    ExtentsSink extents;
    EntityRenderer measure(measured, font, extents, RenderSettings{0, false, options.maxExpandedEntities},
                           &textFonts);
    DxfReadReport first;
    EntitySpool spool;
    if (!spool.ok()) {
        error = std::string("cannot make a temporary file: ") + std::strerror(errno);
        return false;
    }
    // Progress by the bytes read: the first pass reads the whole file.
    constexpr long long PROGRESS_EVERY = 4096;
    struct stat info {};
    double fileSize = options.progress && fstat(fileno(file), &info) == 0 && info.st_size > 0
                          ? static_cast<double>(info.st_size) : 0;
    long long measuredCount = 0;
    auto measureEntity = [&](const Entity& e, std::string& why) {
        if (fileSize > 0 && ++measuredCount % PROGRESS_EVERY == 0)
            options.progress(std::min(1.0, static_cast<double>(std::ftell(file)) / fileSize), "reading DXF");
        if (!measure.draw(e, why)) return false;
        if (spool.write(e)) return true;
        why = std::string("cannot write a temporary file: ") + std::strerror(errno);
        return false;
    };
    NamedStyleScanner styleNames;
    ReadHooks hooks;
    if (options.namedStyles)
        hooks.group = [&](const Group& g, const std::string& section) { styleNames.onGroup(g, section); };
    if (!readDxf(file, measured, measureEntity, first, hooks)) {
        error = first.error;
        return false;
    }
    report.entities = first.entities;
    if (extents.extents.empty && !options.placement.window) {
        std::string skipped;
        for (const auto& [kind, count] : first.skipped)
            skipped += (skipped.empty() ? "" : ", ") + std::to_string(count) + " " + kind;
        if (first.entities == 0 && !skipped.empty())
            error = "nothing in the drawing plots: it holds only entities of kinds tavix does not draw (" + skipped + ")";
        else
            error = first.entities == 0 ? "the drawing has no entities in model space: there is nothing to plot"
                                        : "nothing in the drawing plots (its entities are on layers that are off, "
                                          "frozen or not plotted, or of kinds tavix does not draw" +
                                              (skipped.empty() ? std::string() : ": " + skipped) + ")";
        return false;
    }
    // The printer's window ends at the last whole unit of the area.
    double width = std::floor(area.width), height = std::floor(area.height);
    Placement placement;
    PlacementOptions placing = options.placement;
    // Half the widest pen and a unit for the rounding stay clear of the edges.
    placing.fitMargin = extents.widestPenMm(options.pens, measured.lwdefault) / 2 / 25.4 * area.unitsPerInch + 1;
    if (!placeDrawing(extents.extents, placing, measured.insunits, width, height, area.unitsPerInch,
                      placement, error))
        return false;

    // Second pass: the plot itself, from the entities the first pass kept.
    PaperOptions paper;
    paper.printerLinetypes = options.printerLinetypes;
    paper.lineweights = extents.widths;
    paper.defaultLineweightMm = measured.lwdefault / 100.0;
    paper.drawingFolder = options.drawingFolder;
    // A named table sets each primitive's pen as it passes.
    PenMap pens = options.pens;
    if (options.namedStyles && usesLineweights(*options.namedStyles)) paper.lineweights = true;
    PaperSink sink(placement, width, height, pens, paper, send);
    std::optional<NamedStyleSink> styled;
    if (options.namedStyles) styled.emplace(styleNames, *options.namedStyles, pens, sink);
    PrimitiveSink& paperSide = styled ? static_cast<PrimitiveSink&>(*styled) : sink;
    RenderSettings settings{chordToleranceMm(options.toleranceMm, area.unitsPerInch) / placement.mmPerUnit,
                            !options.printerLinetypes, options.maxExpandedEntities};
    settings.toPaper = placement.toPaper;
    settings.mmPerUnit = placement.mmPerUnit;
    settings.paperX1 = std::min(width, 65535.0), settings.paperY1 = std::min(height, 65535.0);
    if (placement.window) {
        settings.paperX0 = std::max(settings.paperX0, placement.windowOnPaper.x0);
        settings.paperY0 = std::max(settings.paperY0, placement.windowOnPaper.y0);
        settings.paperX1 = std::min(settings.paperX1, placement.windowOnPaper.x1);
        settings.paperY1 = std::min(settings.paperY1, placement.windowOnPaper.y1);
    }
    // Wipeouts hide what was drawn before them: the plot is held back and cut.
    WipeoutSink wiping(paperSide);
    PrimitiveSink& drawTo = measured.wipeouts > 0 ? static_cast<PrimitiveSink&>(wiping) : paperSide;
    EntityRenderer render(measured, font, drawTo, settings, &textFonts);
    if (options.printerLinetypes) {
        host::DrawingRequest r;
        r.op = host::DrawingOp::LineTypes;
        r.value = 8;
        if (!send(r, error)) return false;
    }
    if (!spool.rewind()) {
        error = std::string("cannot read a temporary file back: ") + std::strerror(errno);
        return false;
    }
    Entity entity;
    for (long long i = 0; i < spool.size(); ++i) {
        if (options.progress && i % PROGRESS_EVERY == 0)
            options.progress(static_cast<double>(i) / static_cast<double>(spool.size()), "drawing DXF");
        if (!spool.read(entity)) {
            error = std::string("cannot read a temporary file back: ") + std::strerror(errno);
            return false;
        }
        if (!render.draw(entity, error)) {
            if (error.rfind("line ", 0) != 0) error = "line " + std::to_string(entity.line) + ": " + error;
            return false;
        }
    }
    if (measured.wipeouts > 0 && !wiping.finish(error)) return false;
    report.strokes = sink.strokes;
    report.fills = sink.fills;
    if (options.namedStyles) reportNamedStyles(styleNames, styled->unknownStyles, report.warnings);
    for (const auto& [what, count] : sink.imagesLeftOut)
        report.warnings.push_back("left out " + std::to_string(count) + " x " + what);
    if (sink.drawnMm == 0 && sink.fills == 0 && sink.images == 0) {
        error = "nothing of the drawing falls inside the plot area";
        return false;
    }

    for (const auto& [kind, count] : first.skipped)
        report.warnings.push_back("skipped " + std::to_string(count) + " " + kind +
                                  (count == 1 ? " entity" : " entities") + " (tavix does not draw this kind)");
    report.warnings.insert(report.warnings.end(), first.warnings.begin(), first.warnings.end());
    reportRenderer(measure, report);
    report.warnings.insert(report.warnings.end(), textFonts.warnings().begin(), textFonts.warnings().end());
    if (!font)
        report.warnings.push_back("the stroke font " + options.fontPath + " could not be read: text is left out");
    if (sink.clippedMm >= 0.05) {
        double total = sink.clippedMm + sink.drawnMm;
        char share[32];
        std::snprintf(share, sizeof share, "%.1f%%", total > 0 ? 100 * sink.clippedMm / total : 0);
        report.warnings.push_back(millimetres(sink.clippedMm) + " of lines (" + share +
                                  " of their length) fall outside the plot area and are clipped");
    }
    if (sink.clippedFills > 0)
        report.warnings.push_back(std::to_string(sink.clippedFills) +
                                  " filled areas reach outside the plot area and are clipped");
    if (sink.oversizeFills > 0)
        report.warnings.push_back("left out " + std::to_string(sink.oversizeFills) +
                                  " filled areas of more than 32767 corners on the paper");
    if (!options.placement.fit && measured.insunits == 0)
        report.warnings.push_back("the drawing does not name its units ($INSUNITS): --scale takes them as millimetres");
    return true;
}

}  // namespace tavix::dxf
