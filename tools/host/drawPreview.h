// `tavix preview` and `tavix plot --preview`: a printer stream drawn to PNG
// or SVG, with the options of the stand-alone tavix-preview.
#pragma once

#include "tools/preview/previewCommand.h"

namespace tavix::host {

// Draws options.input to options.output; messages go to standard error.
// Returns the exit status (0 done, 1 failed or, with --strict, warnings).
int drawPreview(const preview::PreviewCommandOptions& options);

}  // namespace tavix::host
