// `tavix plot`: a drawing to a printer file.
#pragma once

#include <string>

namespace tavix::host {

struct PlotCommandOptions {
    std::string drawing;
    std::string output;       // "-" or empty: standard output
    std::string configPath;
    std::string previewPath;  // optional PNG or SVG preview of the stream
    int previewDpi = 0;       // 0: the preview's default
};

// Returns the process exit status; errors go to standard error.
int runPlotCommand(const PlotCommandOptions& options);

}  // namespace tavix::host
