#include "previewCommand.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace tavix::preview {
namespace {

constexpr size_t MAX_WARNINGS_LISTED = 50;

bool endsWith(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char c = s[s.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != tail[i]) return false;
    }
    return true;
}

}  // namespace

void addPreviewRenderOptions(CLI::App& app, PreviewCommandOptions& options) {
    app.add_option("--format", options.format, "Picture format: png or svg (default: from the file name)")
        ->check(CLI::IsMember({"png", "svg"}));
    app.add_option("--dpi", options.dpi, "Picture resolution in pixels per inch of paper")
        ->check(CLI::Range(0.01, 2400.0))
        ->capture_default_str();
    app.add_option("--page", options.page, "Page to show, from 1")->check(CLI::PositiveNumber)->capture_default_str();
    app.add_option("--max-pixels", options.maxPixels,
                   "Largest picture in pixels; the resolution is lowered to stay within it")
        ->check(CLI::Range(uint64_t{4096}, uint64_t{1} << 30))
        ->capture_default_str();
    app.add_flag("--no-panel", options.noPanel, "Leave out the job ticket and summary text beside the picture");
    app.add_flag("--no-antialias", options.noAntialias, "Draw without antialiasing");
    app.add_flag("--strict", options.strict, "Exit with status 1 when the stream gave warnings");
    app.add_flag("-q,--quiet", options.quiet, "Do not list the warnings");
}

void addPreviewOptions(CLI::App& app, PreviewCommandOptions& options) {
    app.add_option("FILE", options.input, "Printer stream written by the driver (- for standard input)")
        ->required();
    app.add_option("-o,--output", options.output, "Picture to write (.png, or .svg for vectors)")->required();
    addPreviewRenderOptions(app, options);
}

int previewBytes(const std::string& bytes, const std::string& sourceName, const PreviewCommandOptions& options,
                 std::ostream& err, const std::string& program) {
    PreviewOptions render;
    render.outputPath = options.output;
    std::string format = options.format;
    if (format.empty()) format = endsWith(options.output, ".svg") ? "svg" : "png";
    render.format = format == "svg" ? OutputFormat::Svg : OutputFormat::Png;
    render.dpi = options.dpi;
    render.page = options.page;
    render.maxPixels = options.maxPixels;
    render.sidePanel = !options.noPanel;
    render.antialias = !options.noAntialias;
    PreviewResult result = renderStream(bytes, render);
    if (!options.quiet) {
        size_t listed = 0;
        for (const Warning& w : result.warnings) {
            if (listed++ >= MAX_WARNINGS_LISTED) break;
            err << program << ": " << sourceName << ": warning: " << formatWarning(w) << "\n";
        }
        size_t more = result.warnings.size() + result.warningsDropped;
        if (more > MAX_WARNINGS_LISTED)
            err << program << ": " << sourceName << ": " << (more - MAX_WARNINGS_LISTED) << " more warnings\n";
    }
    if (!result.ok) {
        err << program << ": " << result.error << "\n";
        return 1;
    }
    if (options.strict && (!result.warnings.empty() || result.warningsDropped > 0)) return 1;
    return 0;
}

int runPreviewCommand(const PreviewCommandOptions& options, std::ostream& err, const std::string& program) {
    std::string bytes;
    if (options.input == "-") {
        std::ostringstream all;
        all << std::cin.rdbuf();
        bytes = all.str();
    } else {
        std::ifstream in(options.input, std::ios::binary);
        if (!in) {
            err << program << ": cannot read " << options.input << "\n";
            return 1;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) {
            err << program << ": cannot read " << options.input << "\n";
            return 1;
        }
    }
    return previewBytes(bytes, options.input == "-" ? "standard input" : options.input, options, err, program);
}

}  // namespace tavix::preview
