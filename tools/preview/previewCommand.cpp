#include "previewCommand.h"

#include "pictureFile.h"
#include "streamParser.h"

#include <chrono>
#include <filesystem>
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

// Progress is shown only once the work has taken more than a moment.
class ProgressGate {
public:
    explicit ProgressGate(const PreviewCommandOptions& options)
        : sink_(options.progress), after_(options.progressAfterSeconds) {}
    void report(double fraction, const std::string& stage) {
        if (!sink_) return;
        if (!shown_ && std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count() < after_)
            return;
        shown_ = true;
        sink_(fraction, stage);
    }
    bool shown() const { return shown_; }

private:
    std::function<void(double, const std::string&)> sink_;
    double after_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    bool shown_ = false;
};

// --format, else the output's extension.
bool chooseFormat(const PreviewCommandOptions& options, OutputFormat& format, std::string& error) {
    std::string name = options.format;
    if (name.empty()) {
        for (const char* known : {"png", "svg", "pdf"})
            if (endsWith(options.output, std::string(".") + known)) name = known;
    }
    if (name.empty()) {
        error = "cannot tell the picture format of " + options.output +
                ": name it .png, .svg or .pdf, or give --format";
        return false;
    }
    format = name == "svg" ? OutputFormat::Svg : name == "pdf" ? OutputFormat::Pdf : OutputFormat::Png;
    return true;
}

PreviewOptions renderOptions(const PreviewCommandOptions& options, OutputFormat format, ProgressGate& gate) {
    PreviewOptions render;
    render.outputPath = options.output;
    render.format = format;
    render.dpi = options.dpi;
    render.page = options.page;
    render.maxPixels = options.maxPixels;
    render.sidePanel = !options.noPanel;
    render.antialias = !options.noAntialias;
    render.drawingProgress = [&gate](double fraction) { gate.report(fraction, "drawing"); };
    return render;
}

int report(const PreviewResult& result, const std::string& sourceName, const PreviewCommandOptions& options,
           std::ostream& err, const std::string& program) {
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

}  // namespace

void addPreviewRenderOptions(CLI::App& app, PreviewCommandOptions& options) {
    app.add_option("--format", options.format, "Picture format: png, svg or pdf (default: from the file name)")
        ->check(CLI::IsMember({"png", "svg", "pdf"}));
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
    app.add_option("-o,--output", options.output, "Picture to write: .png, or .svg or .pdf for vectors")->required();
    addPreviewRenderOptions(app, options);
}

int previewBytes(const std::string& bytes, const std::string& sourceName, const PreviewCommandOptions& options,
                 std::ostream& err, const std::string& program) {
    OutputFormat format;
    std::string error;
    if (!chooseFormat(options, format, error)) {
        err << program << ": " << error << "\n";
        return 1;
    }
    // A picture that cannot be written is said before the work of drawing it.
    if (!pictureFileWritable(options.output, error)) {
        err << program << ": " << error << "\n";
        return 1;
    }
    ProgressGate gate(options);
    PreviewResult result = renderStream(bytes, renderOptions(options, format, gate));
    return report(result, sourceName, options, err, program);
}

int runPreviewCommand(const PreviewCommandOptions& options, std::ostream& err, const std::string& program) {
    OutputFormat format;
    std::string error;
    if (!chooseFormat(options, format, error)) {
        err << program << ": " << error << "\n";
        return 1;
    }
    if (!pictureFileWritable(options.output, error)) {
        err << program << ": " << error << "\n";
        return 1;
    }
    bool standardInput = options.input == "-";
    std::ifstream file;
    if (!standardInput) {
        file.open(options.input, std::ios::binary);
        if (!file) {
            err << program << ": cannot read " << options.input << "\n";
            return 1;
        }
    }
    std::istream& in = standardInput ? std::cin : file;
    std::error_code sizeError;
    uint64_t size = standardInput ? 0 : std::filesystem::file_size(options.input, sizeError);
    ProgressGate gate(options);
    StreamSource source;
    source.in = &in;
    if (size > 0 && !sizeError)
        source.progress = [&gate, size](uint64_t read) { gate.report(static_cast<double>(read) / size, "reading"); };
    PreviewOptions render = renderOptions(options, format, gate);
    ParsedStream stream = parseStream(std::move(source), render.limits);
    if (in.bad()) {
        err << program << ": cannot read " << options.input << "\n";
        return 1;
    }
    PreviewResult result = renderParsed(stream, render, nullptr);
    if (gate.shown()) gate.report(1.0, "drawing");
    return report(result, standardInput ? "standard input" : options.input, options, err, program);
}

}  // namespace tavix::preview
