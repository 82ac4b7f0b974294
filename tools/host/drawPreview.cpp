#include "drawPreview.h"

#include <cstdio>
#include <iostream>

namespace tavix::host {

int drawPreview(const preview::PreviewCommandOptions& options) {
    int status = preview::runPreviewCommand(options, std::cerr, "tavix");
    std::cerr.flush();
    if (status == 0 && !options.quiet) std::fprintf(stderr, "tavix: preview in %s\n", options.output.c_str());
    return status;
}

}  // namespace tavix::host
