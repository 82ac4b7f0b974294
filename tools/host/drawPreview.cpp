#include "previewCommand.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "preview.h"

namespace tavix::host {

int runPreviewCommand(const std::string& input, const std::string& output, double dpi) {
    std::ifstream in(input, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "tavix: cannot read %s\n", input.c_str());
        return 1;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    preview::PreviewOptions options;
    options.outputPath = output;
    bool svg = output.size() >= 4 && output.compare(output.size() - 4, 4, ".svg") == 0;
    options.format = svg ? preview::OutputFormat::Svg : preview::OutputFormat::Png;
    if (dpi > 0) options.dpi = dpi;
    preview::PreviewResult result = preview::renderStream(bytes.str(), options);
    for (const preview::Warning& w : result.warnings)
        std::fprintf(stderr, "tavix: %s: warning: %s\n", input.c_str(), preview::formatWarning(w).c_str());
    if (result.warningsDropped > 0)
        std::fprintf(stderr, "tavix: %s: %zu more warnings\n", input.c_str(), result.warningsDropped);
    if (!result.ok) {
        std::fprintf(stderr, "tavix: %s\n", result.error.c_str());
        return 1;
    }
    std::fprintf(stderr, "tavix: preview %d x %d %s in %s\n", result.width, result.height,
                 svg ? "points" : "pixels", output.c_str());
    return 0;
}

}  // namespace tavix::host
