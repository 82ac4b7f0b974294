#include "plotCommand.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "drawingFile.h"
#include "drawingKind.h"
#include "dxfPlot.h"
#include "hostConfig.h"
#include "hostSession.h"
#include "plotRun.h"
#include "progressBar.h"

namespace tavix::host {
namespace {

namespace fs = std::filesystem;

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
    return !in.bad();
}

// Where the printer stream goes. A file is written beside its final name
// and moved into place when it is complete, so a failed plot leaves no
// half-written file; a symbolic link to a file is followed, so the link
// stays. A device or a pipe (a printer port) is written directly.
struct OutputTarget {
    std::string path;     // the file that ends up with the stream
    std::string writing;  // the file written: path + ".part", or path itself
    bool direct = false;
};

OutputTarget outputTarget(const std::string& name) {
    OutputTarget t{name, name + ".part", false};
    std::error_code error;
    fs::file_status linkStatus = fs::symlink_status(name, error);
    fs::file_status status = fs::status(name, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        t.direct = true;
    } else if (fs::is_symlink(linkStatus)) {
        fs::path resolved = fs::exists(status) ? fs::canonical(name, error) : fs::path();
        if (resolved.empty() || error) t.direct = true;
        else t.path = resolved.string();
    }
    t.writing = t.direct ? t.path : t.path + ".part";
    return t;
}

std::string lastError() { return std::strerror(errno); }

// The first bytes of a file, enough to tell its kind.
bool readHead(const std::string& path, std::string& head) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    head.resize(4096);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    return !in.bad();
}

// The DXF options, checked before anything is written. Returns 0 or the exit status.
int dxfOptionsFrom(const PlotCommandOptions& o, dxf::DxfPlotOptions& d) {
    d.toleranceMm = o.toleranceMm;
    if (!o.scale.empty()) {
        if (o.fit) {
            std::fprintf(stderr, "tavix: --fit and --scale exclude each other\n");
            return 2;
        }
        d.placement.fit = false;
        if (!dxf::parseScale(o.scale, d.placement.paperPerReal)) {
            std::fprintf(stderr, "tavix: --scale %s: give a positive scale such as 1:100 (paper:real)\n",
                         o.scale.c_str());
            return 1;
        }
    }
    if (!o.window.empty() && !dxf::parseWindow(o.window, d.placement)) {
        std::fprintf(stderr, "tavix: --window %s: give two corners as X0,Y0,X1,Y1 in drawing units\n",
                     o.window.c_str());
        return 1;
    }
    d.placement.rotate = o.rotate == 90;
    d.placement.centre = o.centre;
    d.printerLinetypes = o.linetypes == "printer";
    if (!o.pensPath.empty()) {
        std::string text, error;
        if (!readFile(o.pensPath, text)) {
            std::fprintf(stderr, "tavix: cannot read %s: %s\n", o.pensPath.c_str(), lastError().c_str());
            return 1;
        }
        if (!d.pens.parse(text, error)) {
            std::fprintf(stderr, "tavix: %s: %s\n", o.pensPath.c_str(), error.c_str());
            return 1;
        }
    }
    return 0;
}

}  // namespace

void addPlotOptions(CLI::App& c, PlotCommandOptions& o) {
    c.add_option("drawing", o.drawing, "The drawing file (docs/drawing-format.md)")->required();
    c.add_option("-o,--output", o.output, "The printer file, a device or '-' for standard output (the default, unless it is a terminal)");
    c.add_option("--preview", o.previewPath, "Also draw the printer file as a picture (.png, or .svg)");
    c.add_option("--dpi", o.preview.dpi, "Preview resolution in pixels per inch of paper")
        ->check(CLI::Range(0.01, 2400.0))
        ->capture_default_str();
    c.add_flag("--no-panel", o.preview.noPanel, "Leave the job ticket and summary text out of the preview");
    c.add_flag("-q,--quiet", o.quiet, "Leave out the settings summary, the progress bar, the totals and the preview's warnings");
    c.add_option("--tolerance", o.toleranceMm, "DXF: how close the chords of curves keep to them on paper, in mm")
        ->check(CLI::Range(0.001, 10.0))
        ->capture_default_str();
    c.add_option("--pens", o.pensPath, "DXF: a file of 'COLOUR PEN [WIDTH-mm]' lines (docs/dxf.md)");
    c.add_flag("--fit", o.fit, "DXF: fit the drawing's extents to the plot area (the default)");
    c.add_option("--scale", o.scale, "DXF: plot at a scale, paper:real, such as 1:100 (the drawing's $INSUNITS)");
    c.add_option("--rotate", o.rotate, "DXF: turn the drawing a quarter counter-clockwise (90)")
        ->check(CLI::IsMember({0, 90}));
    c.add_flag("--center", o.centre, "DXF: centre the drawing in the plot area");
    c.add_option("--window", o.window, "DXF: plot only X0,Y0,X1,Y1 (drawing units)");
    c.add_option("--linetypes", o.linetypes, "DXF: draw linetypes in 'software' or as the 'printer' line types 1..8")
        ->check(CLI::IsMember({"software", "printer"}))
        ->capture_default_str();
    c.footer("The settings come from the configuration file (--config, before or after the command),\n"
             "written by 'tavix configure'. Driver messages and the settings summary go to\n"
             "standard error, the printer stream to the output.");
}

int runPlotCommand(const PlotCommandOptions& options) {
    bool toStdout = options.output.empty() || options.output == "-";
    if (options.output.empty() && isatty(1)) {
        // 8-bit PE and raster rows would scramble the terminal.
        std::fprintf(stderr, "tavix: the printer stream would go to the terminal: name a printer file with -o "
                             "(-o - writes to standard output all the same)\n");
        return 2;
    }
    if (!options.previewPath.empty() && toStdout) {
        std::fprintf(stderr, "tavix: --preview needs the printer file named with -o\n");
        return 2;
    }
    OutputTarget target = toStdout ? OutputTarget{"-", "-", true} : outputTarget(options.output);
    if (!options.previewPath.empty() && target.direct && !fs::is_regular_file(target.path)) {
        std::fprintf(stderr, "tavix: --preview reads the printer file back; %s is not a file\n",
                     options.output.c_str());
        return 2;
    }
    std::string head;
    if (fs::is_directory(options.drawing) || !readHead(options.drawing, head)) {
        std::fprintf(stderr, "tavix: cannot read %s: %s\n", options.drawing.c_str(),
                     fs::is_directory(options.drawing) ? "it is a folder" : lastError().c_str());
        return 1;
    }
    dxf::DrawingKind kind = dxf::sniffDrawing(head);
    if (std::string advice = dxf::unreadableDrawingAdvice(kind); !advice.empty()) {
        std::fprintf(stderr, "tavix: %s: %s\n", options.drawing.c_str(), advice.c_str());
        return 1;
    }
    Drawing drawing;
    dxf::DxfPlotOptions dxfOptions;
    std::string error;
    if (kind == dxf::DrawingKind::AsciiDxf) {
        if (int status = dxfOptionsFrom(options, dxfOptions); status != 0) return status;
    } else {
        std::string text;
        if (!readFile(options.drawing, text)) {
            std::fprintf(stderr, "tavix: cannot read %s: %s\n", options.drawing.c_str(), lastError().c_str());
            return 1;
        }
        if (!parseDrawing(text, drawing, error)) {
            std::fprintf(stderr, "tavix: %s: %s\n", options.drawing.c_str(), error.c_str());
            return 1;
        }
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

    std::FILE* out = toStdout ? stdout : std::fopen(target.writing.c_str(), "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "tavix: cannot create %s: %s\n", target.path.c_str(), lastError().c_str());
        return 1;
    }

    HostSession session(out, stderr);
    session.connect();
    ProgressBar bar("plotting", !options.quiet);
    PlotOptions plot;
    plot.baseDir = directoryOf(options.drawing);
    plot.showSummary = !options.quiet;
    plot.progress = [&bar](double done, const std::string& stage) { bar.update(done, stage); };
    dxf::DxfPlotReport dxfReport;
    PlotOutcome outcome;
    if (kind == dxf::DrawingKind::AsciiDxf) {
        auto producer = [&](double width, double height, double unitsPerInch, const RequestSender& send,
                            std::string& why) {
            return dxf::plotDxf(options.drawing, dxfOptions, dxf::PlotArea{width, height, unitsPerInch}, send,
                                dxfReport, why);
        };
        outcome = runPlot(session, config, DrawingProducer(producer), plot);
    } else {
        outcome = runPlot(session, config, drawing, plot);
    }
    bar.finish();

    bool closed = toStdout ? std::fflush(out) == 0 : std::fclose(out) == 0;
    std::string closeError = closed ? "" : lastError();
    if (!outcome.ok || !closed) {
        if (!target.direct) std::remove(target.writing.c_str());
        if (!outcome.ok && outcome.error.rfind("line ", 0) == 0)
            std::fprintf(stderr, "tavix: %s: %s\n", options.drawing.c_str(), outcome.error.c_str());
        else if (!outcome.ok)
            std::fprintf(stderr, "tavix: %s\n", outcome.error.c_str());
        else
            std::fprintf(stderr, "tavix: cannot write the printer file %s: %s\n",
                         toStdout ? "(standard output)" : target.writing.c_str(), closeError.c_str());
        return 1;
    }
    if (!target.direct && std::rename(target.writing.c_str(), target.path.c_str()) != 0) {
        std::string why = lastError();
        std::remove(target.writing.c_str());
        std::fprintf(stderr, "tavix: cannot write %s: %s\n", target.path.c_str(), why.c_str());
        return 1;
    }
    if (!options.quiet)
        for (const std::string& warning : dxfReport.warnings)
            std::fprintf(stderr, "tavix: warning: %s\n", warning.c_str());
    if (!options.quiet)
        std::fprintf(stderr, "tavix: %d requests, %llu bytes%s%s\n", outcome.requests,
                     static_cast<unsigned long long>(session.bytesWritten), toStdout ? "" : " to ",
                     toStdout ? "" : options.output.c_str());
    if (!options.previewPath.empty()) {
        preview::PreviewCommandOptions draw = options.preview;
        draw.input = options.output;
        draw.output = options.previewPath;
        draw.quiet = draw.quiet || options.quiet;
        return drawPreview(draw);
    }
    return 0;
}

}  // namespace tavix::host
