// `tavix preview` and `tavix plot --preview`: a printer stream drawn to PNG
// or SVG, with the options of the stand-alone tavix-preview.
#pragma once

#include <string>

#include "tools/preview/previewCommand.h"

namespace tavix::host {

// Draws options.input to options.output; messages go to standard error,
// naming the files as `shownInput` and `shownOutput` (the names the user
// gave; empty: the options' own). Returns the exit status (0 done, 1 failed
// or, with --strict, warnings; 2 wrong use).
int drawPreview(const preview::PreviewCommandOptions& options, const std::string& shownOutput = "",
                const std::string& shownInput = "");

}  // namespace tavix::host
