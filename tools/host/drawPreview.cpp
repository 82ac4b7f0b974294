#include "drawPreview.h"

#include "progressBar.h"

#include <cstdio>
#include <iostream>

namespace tavix::host {

int drawPreview(const preview::PreviewCommandOptions& options) {
    ProgressBar bar("preview", !options.quiet);
    preview::PreviewCommandOptions withBar = options;
    withBar.progress = [&bar](double fraction, const std::string& stage) { bar.update(fraction, stage); };
    int status = preview::runPreviewCommand(withBar, std::cerr, "tavix");
    bar.finish();
    std::cerr.flush();
    if (status == 0 && !options.quiet) std::fprintf(stderr, "tavix: preview in %s\n", options.output.c_str());
    return status;
}

}  // namespace tavix::host
