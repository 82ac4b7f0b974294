#include "drawPreview.h"

#include "progressBar.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <sstream>

#include "outputFiles.h"

namespace tavix::host {
namespace {

namespace fs = std::filesystem;

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty() || from == to) return;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

}  // namespace

int drawPreview(const preview::PreviewCommandOptions& options, const std::string& shownOutput,
                const std::string& shownInput) {
    const std::string input = shownInput.empty() ? options.input : shownInput;
    const std::string output = shownOutput.empty() ? options.output : shownOutput;
    if (options.input != "-" && !options.output.empty() && sameFile(options.input, options.output)) {
        std::fprintf(stderr, "tavix: the printer file and the preview are the same file (%s)\n", output.c_str());
        return 2;
    }
    std::error_code error;
    if (fs::is_directory(options.input, error)) {
        std::fprintf(stderr, "tavix: cannot read %s: it is a directory\n", input.c_str());
        return 1;
    }
    std::ostringstream messages;
    ProgressBar bar("preview", !options.quiet);
    preview::PreviewCommandOptions withBar = options;
    withBar.progress = [&bar](double fraction, const std::string& stage) { bar.update(fraction, stage); };
    int status;
    try {
        status = preview::runPreviewCommand(withBar, messages, "tavix");
        bar.finish();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "tavix: out of memory drawing the preview of %s at %g dpi: try a lower --dpi\n",
                     input.c_str(), options.dpi);
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavix: cannot draw the preview of %s: %s\n", input.c_str(), e.what());
        return 1;
    }
    std::string text = messages.str();
    replaceAll(text, options.input, input);
    replaceAll(text, options.output, output);
    std::fputs(text.c_str(), stderr);
    if (status == 0 && !options.quiet) std::fprintf(stderr, "tavix: preview in %s\n", output.c_str());
    return status;
}

}  // namespace tavix::host
