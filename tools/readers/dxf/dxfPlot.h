// `tavix plot` of a DXF drawing in two passes: the file is read once, the
// extents of what plots measured and the entities kept in a temporary file;
// then they are drawn, placed on the paper, as the host's drawing requests.
// Neither pass keeps model space in memory.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "geometry/strokeFont.h"
#include "paperSink.h"
#include "penMap.h"
#include "placement.h"
#include "plotStyleTable.h"

namespace tavix::dxf {

struct DxfPlotOptions {
    double toleranceMm = 0.05;       // chords stay this close to the curves on paper
    PlacementOptions placement;
    bool printerLinetypes = false;   // map linetypes onto the printer's line types 1..8
    PenMap pens;
    std::string fontPath = geometry::DEFAULT_STROKE_FONT;
    const geometry::StrokeFont* font = nullptr;  // when set, used instead of reading fontPath
    long long maxExpandedEntities = 50000000;      // see EntityRenderer
    std::string drawingFolder;       // the drawing's folder, where its image files are looked for
    // Told how far the plot has come, 0..1, now and then: "reading DXF"
    // (the first pass, by the file's bytes) then "drawing DXF"; may be empty.
    std::function<void(double fraction, const std::string& stage)> progress;
    // A paper-space layout to plot instead of model space (its name, in any case).
    std::string layout;
    // The layout's own plot settings place it unless the user placed it
    // (--fit, --scale, --window).
    bool layoutPlacement = true;
    // The user chose the pens (--pens, --plot-style): a plot style table the
    // layout names is not used.
    bool pensGiven = false;
    // A named plot style table (.stb): each entity's style gives its pen.
    std::shared_ptr<const PlotStyleTable> namedStyles;
};

struct PlotArea {
    double width = 0, height = 0;    // host units
    double unitsPerInch = 1016;
};

struct DxfPlotReport {
    std::vector<std::string> warnings;
    long long entities = 0;          // model-space entities read
    long long strokes = 0, fills = 0;
};

// The chords' share of the tolerance, after the host rounds every point to
// its whole units.
double chordToleranceMm(double toleranceMm, double unitsPerInch);

// Plots the DXF drawing `file` (read from where it stands). False with the
// reason; a reason about the file begins "line N: ".
bool plotDxf(std::FILE* file, const DxfPlotOptions& options, const PlotArea& area, const RequestSink& send,
             DxfPlotReport& report, std::string& error);

}  // namespace tavix::dxf
