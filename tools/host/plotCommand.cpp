#include "plotCommand.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "drawingFile.h"
#include "hostConfig.h"
#include "hostSession.h"
#include "plotRun.h"
#include "previewCommand.h"
#include "progressBar.h"

namespace tavix::host {
namespace {

std::string directoryOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

bool readFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

}  // namespace

int runPlotCommand(const PlotCommandOptions& options) {
    std::string text;
    if (!readFile(options.drawing, text)) {
        std::fprintf(stderr, "tavix: cannot read %s\n", options.drawing.c_str());
        return 1;
    }
    Drawing drawing;
    std::string error;
    if (!parseDrawing(text, drawing, error)) {
        std::fprintf(stderr, "tavix: %s: %s\n", options.drawing.c_str(), error.c_str());
        return 1;
    }
    HostConfig config;
    bool exists = false;
    if (!loadHostConfig(options.configPath, config, exists, error)) {
        std::fprintf(stderr, "tavix: %s\n", error.c_str());
        return 1;
    }
    if (!exists || !config.hasBlock) {
        std::fprintf(stderr, "tavix: no configuration in %s: run 'tavix configure' first\n",
                     options.configPath.c_str());
        return 1;
    }

    bool toStdout = options.output.empty() || options.output == "-";
    std::string temp = toStdout ? "" : options.output + ".part";
    std::FILE* out = toStdout ? stdout : std::fopen(temp.c_str(), "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "tavix: cannot create %s\n", temp.c_str());
        return 1;
    }

    HostSession session(out, stderr);
    session.connect();
    ProgressBar bar("plotting");
    PlotOptions plot;
    plot.baseDir = directoryOf(options.drawing);
    plot.progress = [&bar](size_t done, size_t total) { bar.update(done, total); };
    PlotOutcome outcome = runPlot(session, config, drawing, plot);
    bar.finish();

    bool closed = toStdout ? std::fflush(out) == 0 : std::fclose(out) == 0;
    if (!outcome.ok || !closed) {
        if (!toStdout) std::remove(temp.c_str());
        std::fprintf(stderr, "tavix: %s\n",
                     outcome.ok ? "cannot write the printer file" : outcome.error.c_str());
        return 1;
    }
    if (!toStdout && std::rename(temp.c_str(), options.output.c_str()) != 0) {
        std::remove(temp.c_str());
        std::fprintf(stderr, "tavix: cannot write %s\n", options.output.c_str());
        return 1;
    }
    std::fprintf(stderr, "tavix: %d requests, %llu bytes%s%s\n", outcome.requests,
                 static_cast<unsigned long long>(session.bytesWritten), toStdout ? "" : " to ",
                 toStdout ? "" : options.output.c_str());
    if (!options.previewPath.empty()) {
        if (toStdout) {
            std::fprintf(stderr, "tavix: --preview needs an output file (-o)\n");
            return 1;
        }
        return runPreviewCommand(options.output, options.previewPath, options.previewDpi);
    }
    return 0;
}

}  // namespace tavix::host
