// pdftotavix: the CUPS filter that prints PDFs on the TAVIX E printers as
// vectors. PDF in, the driver's printer stream out.
//
//   pdftotavix job-id user title copies options [file]
//
// The PPD ($PPD) names the model; the job's options and the PPD's defaults
// choose the settings, as for rastertotavix. Exit status 0 when every page
// was printed (or the job was cancelled and its stream ended cleanly), 1
// otherwise, with an "ERROR:" line that says why and nothing written when
// the document could not be read.
#include <cups/cups.h>
#include <cups/ppd.h>
#include <cups/raster.h>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "filterHelp.h"
#include "filterProcess.h"
#include "jobSettings.h"
#include "modelProfile.h"
#include "pagePlotter.h"
#include "pdfDocument.h"
#include "pdfJob.h"
#include "pdfPrintOption.h"
#include "privateFolder.h"
#include "rasterPages.h"
#include "rasterSubchain.h"
#include "stampName.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

using namespace tavix::cups;

const std::atomic<bool>* cancelRequested = nullptr;

// The document as a file poppler can seek in: the named file, or standard
// input copied to a temporary file when it is a pipe.
std::FILE* openInput(int argc, char* argv[], std::string& error) {
    if (argc == 7) {
        std::FILE* file = std::fopen(argv[6], "rb");
        if (!file) error = std::string("Unable to open the PDF file \"") + argv[6] + "\".";
        return file;
    }
    if (lseek(0, 0, SEEK_CUR) >= 0) return fdopen(dup(0), "rb");
    std::FILE* copy = std::tmpfile();
    if (!copy) {
        error = "Unable to make a temporary file for the PDF.";
        return nullptr;
    }
    char buffer[1 << 16];
    ssize_t n;
    while ((n = read(0, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0 && std::fwrite(buffer, 1, static_cast<size_t>(n), copy) != static_cast<size_t>(n)) {
            error = "Unable to keep the PDF in a temporary file (is the disk full?).";
            std::fclose(copy);
            return nullptr;
        }
    if (n < 0 || std::fflush(copy) != 0) {
        error = "Unable to read the PDF from standard input.";
        std::fclose(copy);
        return nullptr;
    }
    std::rewind(copy);
    return copy;
}

// The job's page choice, scaling and paper; false with a reason.
bool pdfJobOptions(ppd_file_t* ppd, const char* text, PdfJobOptions& options, std::string& error) {
    cups_option_t* parsed = nullptr;
    int count = cupsParseOptions(text ? text : "", 0, &parsed);
    auto get = [&](const char* name) {
        const char* v = cupsGetOption(name, count, parsed);
        return std::string(v ? v : "");
    };
    bool ok = options.pages.parse(get("page-ranges"), get("page-set"), error);
    std::string scaling = get("print-scaling");
    std::string fitToPage = get("fit-to-page");
    if (strcasecmp(scaling.c_str(), "fit") == 0 || strcasecmp(scaling.c_str(), "fill") == 0 ||
        (scaling.empty() && (strcasecmp(fitToPage.c_str(), "true") == 0 || fitToPage == "1" ||
                             cupsGetOption("fitplot", count, parsed))))
        options.scaling = PageScaling::Fit;
    else if (strcasecmp(scaling.c_str(), "none") == 0)
        options.scaling = PageScaling::None;
    std::string pageSize = get("PageSize");
    if (pageSize.empty()) pageSize = get("PageRegion");
    options.paperFromJob = !pageSize.empty() || !get("media").empty();
    // The marked paper: the job's (marked with its options), else the
    // queue's default; a custom size by its own name.
    ppd_size_t* size = strncasecmp(pageSize.c_str(), "Custom.", 7) == 0 ? ppdPageSize(ppd, pageSize.c_str())
                                                                         : ppdPageSize(ppd, nullptr);
    if (ok && !size) {
        error = "The job's paper is not one this printer knows.";
        ok = false;
    }
    if (ok) {
        options.paperWidthPoints = size->width;
        options.paperLengthPoints = size->length;
    }
    cupsFreeOptions(count, parsed);
    return ok;
}

bool printAsRaster(ppd_file_t* ppd) {
    ppd_choice_t* marked = ppdFindMarkedChoice(ppd, PDF_PRINT_OPTION);
    return marked && strcasecmp(marked->choice, PDF_AS_RASTER) == 0;
}

// The raster way: CUPS's filters render the pages, the raster filter's page
// plotter prints them.
JobOutcome plotAsRaster(char* argv[], std::FILE* input, const ModelProfile& profile,
                        const tavix::PlotSettings& settings) {
    RasterSubchain chain(argv, fileno(input));
    if (chain.rasterFd() < 0) return {0, false, false, chain.error()};
    JobOutcome outcome;
    {
        CupsRasterPages raster(chain.rasterFd());
        PagePlotter plotter(profile, settings, stdout, stderr, cancelRequested);
        outcome = raster.opened() ? plotter.run(raster) : JobOutcome{0, false, false, "The raster could not be read."};
    }
    if (outcome.cancelled || !outcome.ok) chain.terminate();
    bool childrenOk = chain.finish();
    if (!childrenOk && !outcome.cancelled && !cancelRequested->load()) {
        // The children's failure explains a short raster best.
        outcome.ok = false;
        outcome.error = chain.error();
    }
    return outcome;
}

JobOutcome plotAsVectors(std::FILE* input, const ModelProfile& profile, const tavix::PlotSettings& settings,
                         const PdfJobOptions& options) {
    std::string error;
    std::unique_ptr<tavix::pdf::OpenPdf> pdf = tavix::pdf::openPdf(input, error);
    if (!pdf) {
        if (!error.empty()) error[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(error[0])));
        return {0, false, false, error + "; nothing was printed."};
    }
    PdfJob job(profile, settings, stdout, stderr, cancelRequested);
    return job.run(*pdf, options);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (int status = 0; answerPdfFilterHelpOrVersion(argc, argv, status)) return status;
    cancelRequested = startFilter(argc, argv);
    if (!cancelRequested) return 1;

    std::string error;
    std::FILE* input = openInput(argc, argv, error);
    if (!input) return failJob(error);

    const char* ppdPath = std::getenv("PPD");
    ppd_file_t* ppd = ppdPath ? ppdOpenFile(ppdPath) : nullptr;
    if (!ppd) {
        std::fclose(input);
        return failJob(std::string("Unable to open the PPD file") +
                    (ppdPath ? " \"" + std::string(ppdPath) + "\"." : " (PPD is not set)."));
    }
    int status = 1;
    int model = 0;
    tavix::PlotSettings settings{};
    PdfJobOptions options;
    if (!modelOfPpd(ppd, model, error)) {
        status = failJob(error);
    } else {
        ModelProfile profile = modelProfile(model);
        std::vector<std::string> warnings;
        bool settingsOk = jobSettings(ppd, profile, argv[5], argv[4], settings, warnings, error);
        for (const std::string& warning : warnings) std::fprintf(stderr, "WARNING: %s\n", warning.c_str());
        if (!settingsOk || !pdfJobOptions(ppd, argv[5], options, error)) {
            status = failJob(error);
        } else {
            // The driver keeps its pen settings file in the current folder:
            // a folder of the job's own, so that nothing left by another
            // program changes the stream.
            PrivateFolder folder;
            if (!folder.entered()) {
                status = failJob("Unable to make a working folder: " + folder.error());
            } else if (!writeStampName(argv[3])) {
                status = failJob("Unable to write the stamp's drawing name in the working folder.");
            } else {
                JobOutcome outcome = printAsRaster(ppd) ? plotAsRaster(argv, input, profile, settings)
                                                        : plotAsVectors(input, profile, settings, options);
                if (std::fflush(stdout) != 0)
                    outcome = {outcome.pages, false, false, "The printer stream could not be written."};
                status = outcome.ok ? 0 : failJob(outcome.error);
                if (outcome.ok && !outcome.cancelled)
                    std::fprintf(stderr, "INFO: %d page%s printed\n", outcome.pages, outcome.pages == 1 ? "" : "s");
            }
        }
    }
    ppdClose(ppd);
    std::fclose(input);
    return status;
}
