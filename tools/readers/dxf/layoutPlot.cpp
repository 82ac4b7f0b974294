#include "layoutPlot.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

#include "dxfReader.h"
#include "entityRenderer.h"
#include "entitySpool.h"
#include "namedPlotStyles.h"
#include "plotStyleTable.h"
#include "viewportSink.h"

namespace tavix::dxf {
namespace {

using geometry::Point;
using geometry::Polyline;

// Notes what the plot draws: its extents, and whether it needs pen widths.
class NotingSink : public PrimitiveSink {
public:
    bool stroke(const LineLook& look, const Polyline& points, double, std::string&) override {
        for (const Point& p : points) extents.add(p.x, p.y, look.bandWidth / 2);
        widths = widths || look.lineweight >= 0 || look.bandWidth > 0;
        return true;
    }
    bool fill(const LineLook&, const std::vector<Polyline>& loops, std::string&) override {
        for (const auto& loop : loops)
            for (const Point& p : loop) extents.add(p.x, p.y);
        return true;
    }
    Extents extents;
    bool widths = false;
};

// The strokes of one entity, joined: a clipping entity's outline.
class OutlineSink : public PrimitiveSink {
public:
    bool stroke(const LineLook&, const Polyline& points, double, std::string&) override {
        outline.insert(outline.end(), points.begin(), points.end());
        return true;
    }
    bool fill(const LineLook&, const std::vector<Polyline>& loops, std::string&) override {
        for (const auto& loop : loops) outline.insert(outline.end(), loop.begin(), loop.end());
        return true;
    }
    Polyline outline;
};

Polyline rectangle(const Viewport& v) {
    double w = v.width / 2, h = v.height / 2;
    return {{v.centre.x - w, v.centre.y - h}, {v.centre.x + w, v.centre.y - h}, {v.centre.x + w, v.centre.y + h},
            {v.centre.x - w, v.centre.y + h}, {v.centre.x - w, v.centre.y - h}};
}

std::string lineOf(int line) { return "line " + std::to_string(line) + ": "; }

// A viewport the plot cannot draw stops it; one that is off or the sheet's own is passed over.
bool drawable(const Viewport& v) { return v.id >= 2 && v.status >= 1; }

bool checkViewport(const Viewport& v, std::string& error) {
    auto bad = [](double x) { return !std::isfinite(x) || x <= 0; };
    if (bad(v.height) || bad(v.width)) {
        error = lineOf(v.line) + "the viewport has zero " + (bad(v.height) ? "height" : "width") +
                " on the sheet: it shows nothing of model space";
        return false;
    }
    if (bad(v.viewHeight)) {
        error = lineOf(v.line) + "the viewport shows a view of zero height (group 45): it has no scale";
        return false;
    }
    return true;
}

bool topView(const Viewport& v) {
    return std::fabs(v.viewDirectionX) < 1e-9 && std::fabs(v.viewDirectionY) < 1e-9 && v.viewDirectionZ > 0;
}

std::string layoutNames(const std::vector<Layout>& layouts) {
    std::string names;
    for (const Layout& l : layouts)
        if (!l.isModel()) names += (names.empty() ? "" : ", ") + l.name;
    return names;
}

// The part of the sheet the plot shows: the layout's window, its limits,
// the printable area of its paper (the layout's origin is that area's
// lower left corner; margins and paper in millimetres, turned with the
// plot) or what is drawn.
Extents sheetRegion(const Layout& layout, const Extents& drawn) {
    Extents region;
    bool turned = layout.plotRotation == 1 || layout.plotRotation == 3;
    double across = layout.paperWidth - layout.marginLeft - layout.marginRight;
    double up = layout.paperHeight - layout.marginBottom - layout.marginTop;
    double unit = layout.paperUnits == 0 ? 25.4 : 1;
    if (layout.plotType == 4) {
        region.add(layout.windowMin.x, layout.windowMin.y);
        region.add(layout.windowMax.x, layout.windowMax.y);
    } else if (layout.plotType == 2) {
        region.add(layout.limitsMin.x, layout.limitsMin.y);
        region.add(layout.limitsMax.x, layout.limitsMax.y);
    } else if (layout.plotType == 5 && across > 0 && up > 0) {
        region.add(0, 0);
        region.add((turned ? up : across) / unit, (turned ? across : up) / unit);
    }
    if (region.empty || region.x1 - region.x0 <= 0 || region.y1 - region.y0 <= 0) return drawn;
    return region;
}

}  // namespace

geometry::Affine viewportToSheet(const Viewport& v) {
    double s = v.height / v.viewHeight;
    // The view's centre is in view coordinates: model space about the
    // target, turned by the twist.
    return geometry::Affine::translation(v.centre.x - s * v.viewCentre.x, v.centre.y - s * v.viewCentre.y)
        .after(geometry::Affine::scaling(s, s))
        .after(geometry::Affine::rotation(v.twist))
        .after(geometry::Affine::translation(-v.target.x, -v.target.y));
}

bool readLayouts(std::FILE* file, std::vector<Layout>& layouts, std::vector<Viewport>& viewports,
                 std::string& error) {
    DxfTables tables;
    DxfReadReport read;
    LayoutScanner scanner;
    ReadHooks hooks;
    hooks.group = [&](const Group& g, const std::string& section) { scanner.onGroup(g, section); };
    if (!readDxf(file, tables, [](const Entity&, std::string&) { return true; }, read, hooks)) {
        error = read.error;
        return false;
    }
    layouts.clear();
    for (const Layout& l : scanner.layouts())
        if (!l.isModel()) layouts.push_back(l);
    viewports = scanner.viewports();
    return true;
}

bool plotLayout(std::FILE* file, const DxfPlotOptions& options, const PlotArea& area, const RequestSink& send,
                DxfPlotReport& report, std::string& error) {
    std::optional<geometry::StrokeFont> loaded;
    if (options.font == nullptr) loaded = geometry::loadStrokeFont(options.fontPath);
    const geometry::StrokeFont* font = options.font != nullptr ? options.font : loaded ? &*loaded : nullptr;

    // The fonts the text styles name, as for model space.
    fonts::TextFonts textFonts(font);

    // One read: model space to a spool, paper space kept, the layouts gathered.
    DxfTables tables;
    NotingSink modelNotes;
    EntityRenderer measure(tables, font, modelNotes, RenderSettings{0, false, options.maxExpandedEntities},
                           &textFonts);
    EntitySpool spool;
    if (!spool.ok()) {
        error = std::string("cannot make a temporary file: ") + std::strerror(errno);
        return false;
    }
    std::vector<Entity> paperEntities;
    LayoutScanner scanner;
    ReadHooks hooks;
    NamedStyleScanner styleNames;
    hooks.group = [&](const Group& g, const std::string& section) {
        scanner.onGroup(g, section);
        styleNames.onGroup(g, section);  // the layout may name a named table
    };
    hooks.paperSpace = [&](const Entity& e, std::string&) {
        paperEntities.push_back(e);
        return true;
    };
    auto keep = [&](const Entity& e, std::string& why) {
        if (!measure.draw(e, why)) return false;
        if (spool.write(e)) return true;
        why = std::string("cannot write a temporary file: ") + std::strerror(errno);
        return false;
    };
    DxfReadReport first;
    if (!readDxf(file, tables, keep, first, hooks)) {
        error = first.error;
        return false;
    }
    report.entities = first.entities;

    std::vector<Layout> layouts = scanner.layouts();
    auto chosen = std::find_if(layouts.begin(), layouts.end(), [&](const Layout& l) {
        return !l.isModel() && upperCase(l.name) == upperCase(options.layout);
    });
    if (chosen == layouts.end()) {
        std::string names = layoutNames(layouts);
        error = "the drawing has no layout \"" + options.layout + "\"" +
                (names.empty() ? std::string(": it has no paper-space layouts") : "; its layouts are " + names);
        return false;
    }
    const Layout layout = *chosen;
    if (layout.space.empty()) {
        error = lineOf(layout.line) + "the layout \"" + layout.name + "\" names no paper-space block";
        return false;
    }
    std::vector<Entity> sheetEntities;
    for (Entity& e : paperEntities)
        if (scanner.spaceOfLine(e.line) == layout.space) sheetEntities.push_back(e);
    std::vector<Viewport> viewports;
    for (const Viewport& v : scanner.viewports()) {
        if (v.space != layout.space || !drawable(v)) continue;
        if (!checkViewport(v, error)) return false;
        if (!topView(v)) {
            report.warnings.push_back(lineOf(v.line) + "left out a viewport that does not look straight down "
                                      "on model space (tavix draws plan views only)");
            continue;
        }
        viewports.push_back(v);
    }

    // What the sheet draws, for its extents and its widths.
    NotingSink sheetNotes;
    EntityRenderer noteSheet(tables, font, sheetNotes, RenderSettings{0, false, options.maxExpandedEntities},
                             &textFonts);
    for (const Entity& e : sheetEntities)
        if (!noteSheet.draw(e, error)) return false;
    for (const Viewport& v : viewports)
        for (const Point& p : rectangle(v)) sheetNotes.extents.add(p.x, p.y);
    Extents region = sheetRegion(layout, sheetNotes.extents);
    if (region.empty) {
        error = "the layout \"" + layout.name + "\" has nothing to plot";
        return false;
    }

    // Placed by the layout's plot settings unless the user placed it.
    PlacementOptions placing = options.placement;
    bool layoutPlaces = options.layoutPlacement;
    if (layoutPlaces) {
        placing.fit = layout.fitted();
        placing.paperPerReal = layout.scale() > 0 ? layout.scale() : 1;
        placing.centre = placing.centre || (layout.plotFlags & 4) != 0;
    }
    if (!placing.window) {
        placing.window = true;
        placing.windowX0 = region.x0, placing.windowY0 = region.y0;
        placing.windowX1 = region.x1, placing.windowY1 = region.y1;
    }
    int sheetUnits = layout.paperUnits == 0 ? 1 : 4;  // $INSUNITS inches or millimetres
    double width = std::floor(area.width), height = std::floor(area.height);
    Placement placement;
    if (!placeDrawing(region, placing, sheetUnits, width, height, area.unitsPerInch, placement, error)) return false;
    if (layoutPlaces && !placing.centre && !placing.fit) {
        // The layout's plot origin, in millimetres from the printable area's corner.
        double dx = layout.origin.x / 25.4 * area.unitsPerInch, dy = layout.origin.y / 25.4 * area.unitsPerInch;
        if (std::isfinite(dx) && std::isfinite(dy) && (dx != 0 || dy != 0)) {
            placement.toPaper = geometry::Affine::translation(dx, dy).after(placement.toPaper);
            Extents moved;
            moved.add(placement.windowOnPaper.x0 + dx, placement.windowOnPaper.y0 + dy);
            moved.add(placement.windowOnPaper.x1 + dx, placement.windowOnPaper.y1 + dy);
            placement.windowOnPaper = moved;
        }
    }

    // The layout's plot style table, when the user chose no pens and it lies beside the drawing.
    PenMap pens = options.pens;
    std::shared_ptr<const PlotStyleTable> layoutStyles = options.namedStyles;
    if (!options.pensGiven && !layout.plotStyleTable.empty()) {
        std::string path = (options.drawingFolder.empty() ? std::string(".") : options.drawingFolder) + "/" +
                           layout.plotStyleTable, why;
        PlotStyleTable table;
        if (!loadPlotStyleTable(path, table, why))
            report.warnings.push_back("the layout's plot style table " + layout.plotStyleTable +
                                      " is not used (" + path + ": " + why + "): pens by colour number");
        else if (!table.colourDependent)
            layoutStyles = std::make_shared<const PlotStyleTable>(std::move(table));
        else
            pens = penMapOf(table);
    }
    PaperOptions paper;
    paper.printerLinetypes = options.printerLinetypes;
    paper.lineweights = modelNotes.widths || sheetNotes.widths;
    paper.defaultLineweightMm = tables.lwdefault / 100.0;
    paper.drawingFolder = options.drawingFolder;
    if (layoutStyles && usesLineweights(*layoutStyles)) paper.lineweights = true;
    PaperSink paperSink(placement, width, height, pens, paper, send);
    std::optional<NamedStyleSink> styled;
    if (layoutStyles) styled.emplace(styleNames, *layoutStyles, pens, paperSink);
    PrimitiveSink& sink = styled ? static_cast<PrimitiveSink&>(*styled) : paperSink;
    double toleranceMm = chordToleranceMm(options.toleranceMm, area.unitsPerInch);
    RenderSettings sheetSettings{toleranceMm / placement.mmPerUnit, !options.printerLinetypes,
                                 options.maxExpandedEntities};
    sheetSettings.toPaper = placement.toPaper;
    sheetSettings.mmPerUnit = placement.mmPerUnit;
    sheetSettings.paperX0 = std::max(0.0, placement.windowOnPaper.x0);
    sheetSettings.paperY0 = std::max(0.0, placement.windowOnPaper.y0);
    sheetSettings.paperX1 = std::min({width, 65535.0, placement.windowOnPaper.x1});
    sheetSettings.paperY1 = std::min({height, 65535.0, placement.windowOnPaper.y1});
    if (options.printerLinetypes) {
        host::DrawingRequest r;
        r.op = host::DrawingOp::LineTypes;
        r.value = 8;
        if (!send(r, error)) return false;
    }

    // Each viewport's view of model space, clipped to its boundary.
    int fillsLeftOut = 0, imagesLeftOut = 0;
    std::vector<Entity> frames;
    for (const Viewport& v : viewports) {
        Polyline boundary = rectangle(v);
        bool byEntity = false;
        if (v.clippedByEntity()) {
            int line = scanner.lineOfHandle(v.clipHandle);
            auto clip = std::find_if(sheetEntities.begin(), sheetEntities.end(),
                                     [&](const Entity& e) { return line != 0 && e.line == line; });
            if (clip != sheetEntities.end()) {
                // Its outline, whatever its layer: the entity itself plots as its layer says.
                Entity outlineOf = *clip;
                outlineOf.style.layer = -1;
                outlineOf.style.linetype = LINETYPE_CONTINUOUS;
                OutlineSink outline;
                EntityRenderer flatten(tables, font, outline, sheetSettings, &textFonts);
                if (!flatten.draw(outlineOf, error)) return false;
                if (outline.outline.size() >= 3) {
                    boundary = std::move(outline.outline);
                    boundary.push_back(boundary.front());
                    byEntity = true;
                }
            }
            if (!byEntity)
                report.warnings.push_back(lineOf(v.line) + "the viewport's clipping entity is not in its layout: "
                                          "clipped to its rectangle");
        }
        if (!byEntity) {
            // Its frame, on its layer, as the CAD host plots it.
            Entity frame;
            frame.kind = EntityKind::Polyline;
            frame.line = v.line;
            frame.closed = true;
            for (const Point& p : rectangle(v)) frame.vertices.push_back({p.x, p.y, 0});
            frame.vertices.pop_back();
            auto layer = tables.layerIndex.find(upperCase(v.layer));
            frame.style.layer = layer != tables.layerIndex.end() ? layer->second : 0;
            frame.style.colour = v.colour;
            frames.push_back(std::move(frame));
        }
        geometry::Affine toSheet = viewportToSheet(v);
        ViewportSink clipped(toSheet, boundary, sink);
        double scale = v.height / v.viewHeight;
        RenderSettings settings = sheetSettings;
        settings.tolerance = sheetSettings.tolerance / scale;
        settings.mmPerUnit = sheetSettings.mmPerUnit * scale;
        settings.toPaper = placement.toPaper.after(toSheet);
        Extents box;
        for (const Point& p : boundary) {
            Point q = placement.toPaper.apply(p);
            box.add(q.x, q.y);
        }
        settings.paperX0 = std::max(sheetSettings.paperX0, box.x0);
        settings.paperY0 = std::max(sheetSettings.paperY0, box.y0);
        settings.paperX1 = std::min(sheetSettings.paperX1, box.x1);
        settings.paperY1 = std::min(sheetSettings.paperY1, box.y1);
        for (const std::string& handle : v.frozenLayerHandles) {
            auto layer = tables.layerIndex.find(upperCase(scanner.layerOfHandle(handle)));
            if (layer != tables.layerIndex.end()) settings.frozenInViewport.insert(layer->second);
        }
        EntityRenderer render(tables, font, clipped, settings, &textFonts);
        if (!spool.rewind()) {
            error = std::string("cannot read a temporary file back: ") + std::strerror(errno);
            return false;
        }
        Entity entity;
        for (long long i = 0; i < spool.size(); ++i) {
            if (!spool.read(entity)) {
                error = std::string("cannot read a temporary file back: ") + std::strerror(errno);
                return false;
            }
            if (!render.draw(entity, error)) {
                if (error.rfind("line ", 0) != 0) error = lineOf(entity.line) + error;
                return false;
            }
        }
        fillsLeftOut += clipped.fillsLeftOut;
        imagesLeftOut += clipped.imagesLeftOut;
    }

    // The sheet's own entities and the viewports' frames.
    EntityRenderer renderSheet(tables, font, sink, sheetSettings, &textFonts);
    for (const std::vector<Entity>* list : {&sheetEntities, &frames})
        for (const Entity& e : *list)
            if (!renderSheet.draw(e, error)) {
                if (error.rfind("line ", 0) != 0) error = lineOf(e.line) + error;
                return false;
            }

    if (layoutStyles) reportNamedStyles(styleNames, styled->unknownStyles, report.warnings);
    report.strokes = paperSink.strokes;
    report.fills = paperSink.fills;
    if (paperSink.drawnMm == 0 && paperSink.fills == 0 && paperSink.images == 0) {
        error = "nothing of the layout \"" + layout.name + "\" falls inside the plot area";
        return false;
    }
    for (const auto& [what, count] : paperSink.imagesLeftOut)
        report.warnings.push_back("left out " + std::to_string(count) + " x " + what);
    if (fillsLeftOut > 0)
        report.warnings.push_back("left out " + std::to_string(fillsLeftOut) +
                                  " filled areas of a viewport too far from the sheet to clip");
    if (imagesLeftOut > 0)
        report.warnings.push_back("left out " + std::to_string(imagesLeftOut) +
                                  " images that reach outside their viewport");
    for (const auto& [kind, count] : first.skipped)
        report.warnings.push_back("skipped " + std::to_string(count) + " " + kind +
                                  (count == 1 ? " entity" : " entities") + " (tavix does not draw this kind)");
    report.warnings.insert(report.warnings.end(), first.warnings.begin(), first.warnings.end());
    report.warnings.insert(report.warnings.end(), textFonts.warnings().begin(), textFonts.warnings().end());
    if (!font)
        report.warnings.push_back("the stroke font " + options.fontPath + " could not be read: text is left out");
    if (paperSink.clippedMm >= 0.05)
        report.warnings.push_back(std::to_string(static_cast<long long>(std::lround(paperSink.clippedMm))) +
                                  " mm of lines fall outside the plot area and are clipped");
    return true;
}

}  // namespace tavix::dxf
