// The preview command's options and run, shared by tavix-preview and the
// host program's `tavix preview` and `tavix plot ... --preview OUT`.
//
//   CLI::App& sub = app.add_subcommand("preview", "...");
//   PreviewCommandOptions options;
//   addPreviewOptions(sub, options);                 // FILE, -o and the rest
//   ... if parsed: return runPreviewCommand(options, std::cerr);
//
// For `plot --preview OUT`, add only the rendering options with
// addPreviewRenderOptions and call previewBytes with the plotted stream.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "preview.h"

namespace tavix::preview {

struct PreviewCommandOptions {
    std::string input;            // printer stream file, "-" for standard input
    std::string output;           // picture file
    std::string format;           // "png", "svg" or empty (from the output's extension)
    double dpi = 50;
    int page = 1;
    uint64_t maxPixels = 40'000'000;
    bool noPanel = false;
    bool noAntialias = false;
    bool strict = false;          // warnings make the exit status 1
    bool quiet = false;           // warnings are not listed
    // Told how far reading ("reading") and drawing ("drawing") have come,
    // 0..1, once the work has taken more than a moment; may be empty.
    std::function<void(double fraction, const std::string& stage)> progress;
    double progressAfterSeconds = 0.5;
};

void addPreviewOptions(CLI::App& app, PreviewCommandOptions& options);
void addPreviewRenderOptions(CLI::App& app, PreviewCommandOptions& options);

// Reads options.input in one pass (a file, or standard input for "-") and
// writes options.output; messages to err, each prefixed with `program`.
// The format is --format, else the output's extension: .png, .svg or
// .pdf; any other name is refused. Returns the exit status: 0 done, 1 failed (or,
// with strict, warnings).
int runPreviewCommand(const PreviewCommandOptions& options, std::ostream& err,
                      const std::string& program = "tavix preview");
// The same for a stream in memory; sourceName names it in messages.
int previewBytes(const std::string& bytes, const std::string& sourceName,
                 const PreviewCommandOptions& options, std::ostream& err,
                 const std::string& program = "tavix preview");

}  // namespace tavix::preview
