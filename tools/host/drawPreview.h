// `tavix preview`: a printer stream drawn to PNG or SVG.
#pragma once

#include <string>

namespace tavix::host {

// dpi 0: the preview's default. The format follows the output's extension
// (.svg for SVG, PNG otherwise). Returns the exit status.
int runPreviewCommand(const std::string& input, const std::string& output, double dpi);

}  // namespace tavix::host
