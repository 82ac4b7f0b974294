#include "plotCommand.h"

#include <CLI/CLI.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "binaryDxf.h"
#include "drawingInput.h"
#include "driverMessages.h"
#include "drawingKind.h"
#include "drawingReader.h"
#include "dxfPlot.h"
#include "hostConfig.h"
#include "hostSession.h"
#include "outputFiles.h"
#include "pageRanges.h"
#include "pdfDocument.h"
#include "pdfPlot.h"
#include "plotStyleTable.h"
#include "penFile.h"
#include "plotRun.h"
#include "progressBar.h"
#include "pictureFile.h"
#include "tavix/plotSettings.h"
#include "tavix/tables.h"

namespace tavix::host {
namespace {

namespace fs = std::filesystem;

using DrawingReader = std::function<ReadOutcome(std::FILE*, const RequestSink&, const ReadProgress&)>;

std::string lastError() { return std::strerror(errno); }

std::string directoryOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

// The first bytes of the drawing; the file is left at its start.
std::string headOf(std::FILE* file) {
    std::string head(4096, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), file));
    std::rewind(file);
    return head;
}

// What kind of drawing the file holds, by its first bytes.
dxf::DrawingKind kindOf(std::FILE* file) { return dxf::sniffDrawing(headOf(file)); }

// A DXF drawing through the same plot run: placed on the plot area the
// driver agreed, its warnings for the user.
DrawingReader dxfReader(const dxf::DxfPlotOptions& options, PlotRun& run, const PlotOptions& plot) {
    return [&options, &run, &plot](std::FILE* file, const RequestSink& sink, const ReadProgress&) {
        bool refused = false;
        auto send = [&](const DrawingRequest& r, std::string& why) {
            if (sink(r)) return true;
            refused = true;
            why = run.error();
            return false;
        };
        dxf::PlotArea area{run.plotWidthInches() * run.hostUnitsPerInch(),
                           run.plotHeightInches() * run.hostUnitsPerInch(), run.hostUnitsPerInch()};
        dxf::DxfPlotReport report;
        ReadOutcome outcome;
        std::string error;
        dxf::DxfPlotOptions withProgress = options;
        withProgress.progress = plot.progress;
        outcome.ok = dxf::plotDxf(file, withProgress, area, send, report, error);
        if (!outcome.ok && !refused) outcome.readError = error;
        if (outcome.ok && plot.warn)
            for (const std::string& w : report.warnings) plot.warn(w);
        return outcome;
    };
}

// A PDF page through the same plot run, as a DXF drawing goes; its
// reasons name the file (`shown`).
DrawingReader pdfReader(const pdf::PdfPlotOptions& options, PlotRun& run, const PlotOptions& plot,
                        const std::string& shown) {
    return [&options, &run, &plot, &shown](std::FILE* file, const RequestSink& sink, const ReadProgress&) {
        bool refused = false;
        auto send = [&](const DrawingRequest& r, std::string& why) {
            if (sink(r)) return true;
            refused = true;
            why = run.error();
            return false;
        };
        pdf::PdfPlotArea area{run.plotWidthInches() * run.hostUnitsPerInch(),
                              run.plotHeightInches() * run.hostUnitsPerInch(), run.hostUnitsPerInch()};
        pdf::PdfPlotReport report;
        ReadOutcome outcome;
        std::string error;
        pdf::PdfPlotOptions withProgress = options;
        withProgress.progress = plot.progress;
        outcome.ok = pdf::plotPdf(file, withProgress, area, send, report, error);
        if (!outcome.ok && !refused) outcome.readError = shown + ": " + error;
        if (outcome.ok && plot.warn)
            for (const std::string& w : report.warnings) plot.warn(w);
        return outcome;
    };
}

// The reader for a drawing file, chosen by its content.
DrawingReader readerFor(std::FILE* file, const dxf::DxfPlotOptions& options, const pdf::PdfPlotOptions& pdfOptions,
                        PlotRun& run, const PlotOptions& plot, const std::string& shown) {
    std::string head = headOf(file);
    if (pdf::looksLikePdf(head)) return pdfReader(pdfOptions, run, plot, shown);
    if (dxf::sniffDrawing(head) == dxf::DrawingKind::AsciiDxf) return dxfReader(options, run, plot);
    return readTextDrawing;
}

// The PDF options from the DXF ones they share; false with the reason for
// an option that has no meaning for a PDF page.
bool pdfOptionsFrom(const PlotCommandOptions& o, const dxf::DxfPlotOptions& d, pdf::PdfPlotOptions& p,
                    std::string& why) {
    if (!o.scale.empty() || !o.window.empty()) {
        why = "--scale and --window apply to DXF drawings: a PDF page plots at 1:1, or with --fit scaled to "
              "the plot area";
        return false;
    }
    if (!o.layout.empty()) {
        why = "--layout applies to DXF drawings: a PDF has pages (--page)";
        return false;
    }
    if (d.namedStyles) {
        why = "a named plot style table (.stb) applies to DXF drawings, whose entities name their styles: "
              "give a PDF a colour-dependent one (.ctb)";
        return false;
    }
    if (o.linetypes == "printer") {
        why = "--linetypes printer applies to DXF drawings: a PDF's dash arrays are drawn in software";
        return false;
    }
    p.toleranceMm = o.toleranceMm;
    p.page = o.page;
    p.placement.fit = o.fit;
    p.placement.rotate = o.rotate == 90;
    p.placement.centre = o.centre;
    p.pens = d.pens;
    return true;
}

// The DXF options, checked before anything is read or written. Returns 0 or
// the exit status.
int dxfOptionsFrom(const PlotCommandOptions& o, dxf::DxfPlotOptions& d) {
    d.toleranceMm = o.toleranceMm;
    if (o.drawing != "-") d.drawingFolder = directoryOf(o.drawing);
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
        // A bare number is ambiguous (50 for 1:50 or for 50:1): the colon is required.
        if (o.scale.find_first_of(":/") == std::string::npos) {
            std::fprintf(stderr, "tavix: --scale %s: give the scale as paper:real with the colon, such as 1:%s "
                                 "(%s real units to one on paper) or %s:1 (enlarged)\n",
                         o.scale.c_str(), o.scale.c_str(), o.scale.c_str(), o.scale.c_str());
            return 1;
        }
    }
    if (!o.window.empty() && !dxf::parseWindow(o.window, d.placement)) {
        std::fprintf(stderr, "tavix: --window %s: give two corners as X0,Y0,X1,Y1 in drawing units\n",
                     o.window.c_str());
        return 1;
    }
    d.layout = o.layout;
    d.pensGiven = !o.pensPath.empty() || !o.plotStyle.empty();
    if (!o.pensPath.empty() && !o.plotStyle.empty()) {
        std::fprintf(stderr, "tavix: --pens and --plot-style exclude each other\n");
        return 2;
    }
    if (!o.plotStyle.empty()) {
        dxf::PlotStyleTable table;
        std::string error;
        if (!dxf::loadPlotStyleTable(o.plotStyle, table, error)) {
            std::fprintf(stderr, "tavix: cannot use the plot style table %s: %s\n", o.plotStyle.c_str(), error.c_str());
            return 1;
        }
        if (table.colourDependent) d.pens = dxf::penMapOf(table);
        else d.namedStyles = std::make_shared<const dxf::PlotStyleTable>(std::move(table));
    }
    d.layoutPlacement = !o.fit && o.scale.empty() && o.window.empty();
    d.placement.rotate = o.rotate == 90;
    d.placement.centre = o.centre;
    d.printerLinetypes = o.linetypes == "printer";
    if (!o.pensPath.empty()) {
        std::error_code isDirectory;
        if (fs::is_directory(o.pensPath, isDirectory)) {
            std::fprintf(stderr, "tavix: cannot read %s: it is a directory\n", o.pensPath.c_str());
            return 1;
        }
        std::FILE* f = std::fopen(o.pensPath.c_str(), "rb");
        if (f == nullptr) {
            std::fprintf(stderr, "tavix: cannot read %s: %s\n", o.pensPath.c_str(), lastError().c_str());
            return 1;
        }
        std::string text;
        char chunk[4096];
        for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0 && text.size() < (1 << 20);) text.append(chunk, n);
        std::fclose(f);
        std::string error;
        if (!d.pens.parse(text, error)) {
            std::fprintf(stderr, "tavix: %s: %s\n", o.pensPath.c_str(), error.c_str());
            return 1;
        }
    }
    return 0;
}

// A preview's name says its format: .png, .svg or .pdf, in any case.
bool pictureName(const std::string& name) {
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return false;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "png" || ext == "svg" || ext == "pdf";
}

// Wrong use of the command line: exit status 2, before anything is read.
bool usable(const PlotCommandOptions& o, bool toStdout, std::string& why) {
    if (o.output.empty() && isatty(1)) {
        // 8-bit PE and raster rows would scramble the terminal.
        why = "the printer stream would go to the terminal: name a printer file with -o "
              "(-o - writes to standard output all the same)";
        return false;
    }
    if (!o.previewPath.empty() && toStdout) {
        why = "--preview needs the printer file named with -o";
        return false;
    }
    // One file for two jobs would overwrite the run's own input or output.
    struct Pair {
        const std::string& a;
        const std::string& b;
        const char* names;
    } pairs[] = {{o.drawing, o.output, "the drawing and the printer file"},
                 {o.output, o.previewPath, "the printer file and the preview"},
                 {o.drawing, o.previewPath, "the drawing and the preview"}};
    for (const Pair& p : pairs) {
        if (p.a.empty() || p.b.empty() || p.a == "-" || p.b == "-" || !sameFile(p.a, p.b)) continue;
        why = std::string(p.names) + " are the same file (" + p.b + ")";
        return false;
    }
    return true;
}

bool loadConfiguration(const std::string& path, const std::string& shown, HostConfig& config) {
    bool exists = false;
    std::string error;
    if (!loadHostConfig(path, config, exists, error)) {
        // The error names the file as it was opened: name it as given.
        if (error.rfind(path, 0) == 0) error = shown + error.substr(path.size());
        std::fprintf(stderr, "tavix: %s\n", error.c_str());
        return false;
    }
    if (!exists || !config.hasBlock) {
        std::fprintf(stderr, "tavix: no configuration in %s: run 'tavix configure' first\n", shown.c_str());
        return false;
    }
    return true;
}

// The drawing, read and sent request by request, between begin and end of
// plot. False with the message printed.
bool plotDrawing(std::FILE* drawing, PlotRun& run, const PlotCommandOptions& o, const dxf::DxfPlotOptions& dxfOptions,
                 const pdf::PdfPlotOptions& pdfOptions, const PlotOptions& plot, ProgressBar& bar) {
    auto failed = [&](const std::string& error, const char* after, bool aboutTheDrawing = false) {
        bar.finish();
        if (aboutTheDrawing || error.rfind("line ", 0) == 0)
            std::fprintf(stderr, "tavix: %s: %s%s\n", o.drawing.c_str(), error.c_str(), after);
        else
            std::fprintf(stderr, "tavix: %s%s\n", error.c_str(), after);
        return false;
    };
    if (!run.begin()) {
        run.abort();
        return failed(run.error(), "");
    }
    struct stat info {};
    double size = fstat(fileno(drawing), &info) == 0 && info.st_size > 0 ? static_cast<double>(info.st_size) : 0;
    ReadOutcome read = readerFor(drawing, dxfOptions, pdfOptions, run, plot, o.drawing)(
        drawing, [&run](const DrawingRequest& r) { return run.send(r); },
        [&](uint64_t bytes) {
            if (size > 0) bar.update(static_cast<double>(bytes) / size);
        });
    const char* nothingWritten = "; no printer file was written";
    if (!read.ok) {
        run.abort();
        if (!read.readError.empty()) return failed(read.readError, "");
        return failed(run.error(), run.aborted() ? nothingWritten : "");
    }
    if (run.drawingRequests() == 0) {
        run.abort();
        return failed("the drawing draws nothing (no draw, fill or image request)", nothingWritten, true);
    }
    if (!run.finish()) return failed(run.error(), "");
    bar.finish();
    return true;
}

// The stream's file into place, and the closing line.
bool completeOutput(const OutputTarget& target, bool toStdout, std::FILE* out, PartFileGuard& part) {
    bool closed = toStdout ? std::fflush(out) == 0 : std::fclose(out) == 0;
    if (!closed) {
        std::fprintf(stderr, "tavix: cannot write the printer file %s: %s\n",
                     toStdout ? "(standard output)" : target.writing.c_str(), lastError().c_str());
        return false;
    }
    if (target.direct) return true;
    part.release();
    if (std::rename(target.writing.c_str(), target.path.c_str()) != 0) {
        std::string why = lastError();
        std::remove(target.writing.c_str());
        std::fprintf(stderr, "tavix: cannot write %s: %s\n", target.path.c_str(), why.c_str());
        return false;
    }
    return true;
}

// The PJL universal exit: it ends the printer language and returns the
// printer to the job level.
constexpr char UNIVERSAL_EXIT[] = "\x1b%-12345X";

// Whether the driver writes a job ticket before each plot: the model takes
// the Option output and the settings ask for it.
bool writesJobTicket(const HostConfig& config) {
    PlotSettings settings;
    std::memcpy(settings.bytes, config.block.data(), sizeof settings.bytes);
    int32_t model = settings.modelIndex();
    return model >= 0 && model < 5 && modelEntry(model).optionOutput != 0 && settings.get(flags::outputOption);
}

// The pages --pages names, of those the PDF has; 0, or the exit status
// with the message printed.
int choosePages(const PlotCommandOptions& o, const PlotCommandOptions& shown, std::FILE* drawing, bool isPdf,
                std::vector<int>& pages) {
    if (!isPdf) {
        std::fprintf(stderr, "tavix: %s: --pages applies to PDFs: a drawing has one plot\n", shown.drawing.c_str());
        return 2;
    }
    PageSelection selection;
    std::string error;
    if (!selection.parse(o.pages, "", error)) {
        std::fprintf(stderr, "tavix: --pages %s: give pages such as 2-5 or 1,3,8-\n", o.pages.c_str());
        return 2;
    }
    std::unique_ptr<pdf::OpenPdf> document = pdf::openPdf(drawing, error);
    std::rewind(drawing);
    if (!document) {
        std::fprintf(stderr, "tavix: %s: %s\n", shown.drawing.c_str(), error.c_str());
        return 1;
    }
    int count = pdf::pageCount(*document);
    pages.clear();
    for (int page = 1; page <= count; ++page)
        if (selection.includes(page)) pages.push_back(page);
    if (pages.empty()) {
        std::fprintf(stderr, "tavix: %s: the PDF has %d page%s: none is in --pages %s\n", shown.drawing.c_str(), count,
                     count == 1 ? "" : "s", o.pages.c_str());
        return 1;
    }
    return 0;
}

int plotTo(const PlotCommandOptions& o, const PlotCommandOptions& shown, HostConfig& config,
           const dxf::DxfPlotOptions& dxfOptions) {
    bool toStdout = o.output.empty() || o.output == "-";
    OutputTarget target = toStdout ? OutputTarget{"-", "-", true} : outputTarget(o.output);
    DrawingInput input;
    std::string error;
    if (!openDrawingInput(o.drawing, shown.drawing, input, error)) {
        std::fprintf(stderr, "tavix: %s\n", error.c_str());
        return 1;
    }
    std::FILE* drawing = input.file;
    // A binary DXF is read as the ASCII DXF it stands for.
    if (kindOf(drawing) == dxf::DrawingKind::BinaryDxf) {
        std::FILE* ascii = std::tmpfile();
        if (!ascii || !dxf::binaryDxfToAscii(drawing, ascii, error)) {
            if (!ascii) error = "cannot make a temporary file for the binary DXF: " + lastError();
            std::fprintf(stderr, "tavix: %s: %s\n", shown.drawing.c_str(), error.c_str());
            if (ascii) std::fclose(ascii);
            std::fclose(drawing);
            return 1;
        }
        std::fclose(drawing);
        std::rewind(ascii);
        drawing = ascii;
    }
    // Drawings tavix cannot read are refused before any output exists.
    std::string head = headOf(drawing);
    bool isPdf = pdf::looksLikePdf(head);
    std::string advice = isPdf ? "" : foreignFileAdvice(head);
    if (advice.empty() && !isPdf) advice = dxf::unreadableDrawingAdvice(kindOf(drawing));
    pdf::PdfPlotOptions pdfOptions;
    if (advice.empty() && isPdf && !pdfOptionsFrom(o, dxfOptions, pdfOptions, advice)) {
        std::fprintf(stderr, "tavix: %s: %s\n", shown.drawing.c_str(), advice.c_str());
        std::fclose(drawing);
        return 2;
    }
    if (!advice.empty()) {
        std::fprintf(stderr, "tavix: %s: %s\n", shown.drawing.c_str(), advice.c_str());
        std::fclose(drawing);
        return 1;
    }
    // --pages: the PDF's pages to plot, each a plot of its own.
    std::vector<int> pages{pdfOptions.page};
    if (!o.pages.empty()) {
        int status = choosePages(o, shown, drawing, isPdf, pages);
        if (status != 0) {
            std::fclose(drawing);
            return status;
        }
    }
    // Armed before the part file exists: a signal at any moment removes it.
    PartFileGuard part(target.direct ? "" : target.writing);  // a device is not a part file
    std::FILE* out = toStdout ? stdout : std::fopen(target.writing.c_str(), "wb");
    if (out == nullptr) {
        part.release();  // nothing of ours to remove
        std::fprintf(stderr, "tavix: cannot create %s: %s\n", shown.output.c_str(), lastError().c_str());
        std::fclose(drawing);
        return 1;
    }

    HostSession session(out, stderr);
    session.connect();
    ProgressBar bar("plotting", !o.quiet);
    PlotOptions plot;
    // Images named in a drawing from a pipe are found from the current folder.
    plot.baseDir = input.copied ? "." : directoryOf(o.drawing);
    plot.showSummary = !o.quiet;
    summaryLanguage(o.language, plot.summaryInEnglish);
    plot.progress = [&bar](double done, const std::string& stage) { bar.update(done, stage); };
    plot.warn = [&](const std::string& w) {
        bar.finish();
        std::fprintf(stderr, "tavix: warning: %s: %s\n", shown.drawing.c_str(), w.c_str());
    };
    // Each page after the first is a plot, and so a job, of its own: the
    // printer reads a job ticket only at the job level, so the universal
    // exit comes before the next plot's ticket.
    bool ticket = writesJobTicket(config);
    int requests = 0;
    std::vector<std::string> clipWarnings;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && ticket && std::fputs(UNIVERSAL_EXIT, out) < 0) {
            std::fprintf(stderr, "tavix: cannot write %s: %s\n", shown.output.c_str(), lastError().c_str());
            std::fclose(drawing);
            if (!toStdout) std::fclose(out);
            return 1;
        }
        pdfOptions.page = pages[i];
        pdfOptions.noteOtherPages = pages.size() == 1;
        // The reader before read the file through a descriptor of its own.
        if (i > 0 && std::fseek(drawing, 0, SEEK_SET) != 0) {
            std::fprintf(stderr, "tavix: %s: cannot read it again: %s\n", shown.drawing.c_str(), lastError().c_str());
            std::fclose(drawing);
            if (!toStdout) std::fclose(out);
            return 1;
        }
        plot.showSummary = !o.quiet && i == 0;
        PlotRun run(session, config, plot);
        if (!plotDrawing(drawing, run, shown, dxfOptions, pdfOptions, plot, bar)) {
            run.abort();  // the driver is done with the output before it closes
            std::fclose(drawing);
            if (!toStdout) std::fclose(out);
            return 1;
        }
        requests += run.requests();
        if (!run.clipWarning().empty())
            clipWarnings.push_back(pages.size() > 1 ? "page " + std::to_string(pages[i]) + ": " + run.clipWarning()
                                                    : run.clipWarning());
    }
    std::fclose(drawing);
    if (!completeOutput(target, toStdout, out, part)) return 1;
    for (const std::string& w : clipWarnings) plot.warn(w);
    if (!o.quiet)
        std::fprintf(stderr, "tavix: %s%d request%s, %llu bytes%s%s\n",
                     pages.size() > 1 ? (std::to_string(pages.size()) + " pages, ").c_str() : "", requests,
                     requests == 1 ? "" : "s", static_cast<unsigned long long>(session.bytesWritten),
                     toStdout ? "" : " to ", toStdout ? "" : shown.output.c_str());
    return 0;
}

}  // namespace

void addPlotOptions(CLI::App& c, PlotCommandOptions& o) {
    c.add_option("drawing", o.drawing,
                 "The drawing file (docs/drawing-format.md), a DXF drawing (docs/dxf.md) or a PDF (docs/pdf.md); - for standard input")
        ->required();
    c.add_option("-o,--output", o.output, "The printer file, a device or '-' for standard output (the default, unless it is a terminal)");
    c.add_option("--preview", o.previewPath, "Also draw the printer file as a picture: .png, or .svg or .pdf for vectors");
    c.add_option("--dpi", o.preview.dpi, "Preview resolution in pixels per inch of paper")
        ->check(CLI::Range(0.01, 2400.0))
        ->capture_default_str();
    c.add_flag("--no-panel", o.preview.noPanel, "Leave the job ticket and summary text out of the preview");
    c.add_option("--pen-file", o.penFile, "The driver's pen settings file (tavixdrv.def) to plot with; the driver runs in its folder");
    c.add_option("--language", o.language,
                  "The settings summary in ja (the driver's Japanese) or en (the English texts of the same "
                  "messages); by default Japanese only when the locale (LC_ALL, LC_MESSAGES, LANG) is Japanese")
        ->check(CLI::IsMember({"ja", "en"}));
    c.add_flag("-q,--quiet", o.quiet, "Leave out the settings summary, the progress bar, the totals and the preview's warnings");
    c.add_option("--tolerance", o.toleranceMm, "DXF and PDF: how close the chords of curves keep to them on paper, in mm")
        ->check(CLI::Range(0.001, 10.0))
        ->capture_default_str();
    c.add_option("--pens", o.pensPath, "DXF and PDF: a file of 'COLOUR PEN [WIDTH-mm]' lines (docs/dxf.md)");
    c.add_flag("--fit", o.fit, "DXF: fit the drawing's extents to the plot area (the default); PDF: scale the page to the plot area (1:1 without)");
    c.add_option("--scale", o.scale, "DXF: plot at a scale, paper:real with the colon, such as 1:100 (the drawing's $INSUNITS)");
    c.add_option("--rotate", o.rotate, "DXF and PDF: turn the drawing a quarter counter-clockwise (90)")
        ->check(CLI::IsMember({0, 90}));
    c.add_flag("--center", o.centre, "DXF and PDF: centre the drawing in the plot area");
    c.add_option("--window", o.window, "DXF: plot only X0,Y0,X1,Y1 (drawing units)");
    c.add_option("--plot-style", o.plotStyle, "DXF and PDF: the pens of a plot style table, colour-dependent (.ctb) or named (.stb, DXF only): pen, lineweight, colour and screening");
    c.add_option("--layout", o.layout, "DXF: plot this paper-space layout with its viewports ('tavix layouts FILE' lists them)");
    CLI::Option* page = c.add_option("--page", o.page, "PDF: the page to plot, counted from 1")
                            ->check(CLI::PositiveNumber)
                            ->capture_default_str();
    c.add_option("--pages", o.pages,
                 "PDF: the pages to plot, one plot each in the one printer file: 2-5, 1,3,8- (8 to the last)")
        ->excludes(page);
    c.add_option("--linetypes", o.linetypes, "DXF: draw linetypes in 'software' or as the 'printer' line types 1..8")
        ->check(CLI::IsMember({"software", "printer"}))
        ->capture_default_str();
    c.footer("The settings come from the configuration file (--config, before or after the command),\n"
             "written by 'tavix configure'. Driver messages and the settings summary go to\n"
             "standard error, the printer stream to the output.");
}

int runPlotCommand(const PlotCommandOptions& options) {
    bool toStdout = options.output.empty() || options.output == "-";
    std::string why;
    PenFilePlace place;
    if (!usable(options, toStdout, why) || !penFilePlace(options.penFile, place, why)) {
        std::fprintf(stderr, "tavix: %s\n", why.c_str());
        return 2;
    }
    if (!options.previewPath.empty() && !pictureName(options.previewPath)) {
        std::fprintf(stderr, "tavix: --preview %s: name the preview .png, .svg or .pdf\n", options.previewPath.c_str());
        return 2;
    }
    OutputTarget target = toStdout ? OutputTarget{"-", "-", true} : outputTarget(options.output);
    if (!options.previewPath.empty() && target.direct && !fs::is_regular_file(target.path)) {
        std::fprintf(stderr, "tavix: --preview reads the printer file back; %s is not a file\n",
                     options.output.c_str());
        return 2;
    }
    // Every path the user gave stays valid in the pen file's folder.
    PlotCommandOptions o = options;
    if (!place.folder.empty())
        for (std::string* path : {&o.drawing, &o.output, &o.configPath, &o.previewPath}) *path = absolutePath(*path);
    dxf::DxfPlotOptions dxfOptions;
    if (int status = dxfOptionsFrom(o, dxfOptions); status != 0) return status;
    HostConfig config;
    if (!loadConfiguration(o.configPath, options.configPath, config)) return 1;
    // A preview that cannot be written is said before the plot, not after it.
    if (!options.previewPath.empty() && !preview::pictureFileWritable(options.previewPath, why)) {
        std::fprintf(stderr, "tavix: %s\n", why.c_str());
        return 1;
    }
    if (!enterPenFileFolder(place, why)) {
        std::fprintf(stderr, "tavix: %s\n", why.c_str());
        return 1;
    }
    warnAboutPenFile(place, checkPenFile(), options.configPath, o.configPath, false);
    PlotCommandOptions shown = options;
    if (shown.drawing == "-") shown.drawing = "standard input";
    try {
        int status = plotTo(o, shown, config, dxfOptions);
        if (status != 0 || options.previewPath.empty()) return status;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "tavix: out of memory plotting %s; no printer file was written\n", options.drawing.c_str());
        return 1;
    }
    preview::PreviewCommandOptions draw = options.preview;
    draw.input = o.output;
    draw.output = o.previewPath;
    draw.quiet = draw.quiet || options.quiet;
    return drawPreview(draw, options.previewPath);
}

}  // namespace tavix::host
