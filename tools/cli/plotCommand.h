// `tavix plot`: a drawing to a printer file, read and plotted in one pass.
#pragma once

#include <string>

#include "drawPreview.h"

namespace CLI {
class App;
}

namespace tavix::host {

struct PlotCommandOptions {
    std::string drawing;
    std::string output;       // "-" or empty: standard output
    std::string configPath;
    std::string previewPath;  // optional PNG, SVG or PDF preview of the stream
    std::string penFile;      // --pen-file: run the driver beside this tavixdrv.def
    preview::PreviewCommandOptions preview;  // how the preview is drawn
    bool quiet = false;       // no settings summary, progress or closing line
    std::string language;     // of the settings summary: "ja", "en" or "" (the user's locale)
    // DXF drawings only.
    double toleranceMm = 0.05;
    std::string pensPath;     // colour to pen map
    bool fit = false;
    std::string scale;        // "1:N"
    int rotate = 0;           // 0 or 90
    bool centre = false;
    std::string window;       // "X0,Y0,X1,Y1"
    std::string linetypes = "software";  // or "printer"
    std::string layout;       // a paper-space layout instead of model space
    std::string plotStyle;    // a plot style table (.ctb) for the pens
    // PDF drawings only.
    int page = 1;
    std::string pages;        // "2-5", "1,3,8-": one plot each, in the one printer file
};

void addPlotOptions(CLI::App& command, PlotCommandOptions& options);

// Returns the exit status (0 done, 1 failed, 2 wrong use); messages go to
// standard error.
int runPlotCommand(const PlotCommandOptions& options);

}  // namespace tavix::host
