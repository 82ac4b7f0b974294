// rastertotavix: the CUPS filter of the TAVIX E printers. CUPS raster pages
// in, the driver's printer stream out.
//
//   rastertotavix job-id user title copies options [file]
//
// The PPD ($PPD) names the model; the job's options and the PPD's defaults
// choose the settings. Exit status 0 when every page was printed (or the
// job was cancelled and its stream ended cleanly), 1 otherwise, with an
// "ERROR:" line that says why.
#include <cups/cups.h>
#include <cups/ppd.h>
#include <cups/raster.h>
#include <fcntl.h>
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
#include "privateFolder.h"
#include "stampName.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

int main(int argc, char* argv[]) {
    using namespace tavix::cups;
    if (int status = 0; answerHelpOrVersion(argc, argv, status)) return status;
    const std::atomic<bool>* cancelRequested = startFilter(argc, argv);
    if (!cancelRequested) return 1;

    int fd = 0;
    if (argc == 7 && (fd = open(argv[6], O_RDONLY)) < 0)
        return failJob(std::string("Unable to open the raster file \"") + argv[6] + "\".");

    const char* ppdPath = std::getenv("PPD");
    ppd_file_t* ppd = ppdPath ? ppdOpenFile(ppdPath) : nullptr;
    if (!ppd) {
        if (fd != 0) close(fd);
        return failJob(std::string("Unable to open the PPD file") + (ppdPath ? " \"" + std::string(ppdPath) + "\"." : " (PPD is not set)."));
    }
    int status = 1;
    std::string error;
    int model = 0;
    tavix::PlotSettings settings{};
    if (!modelOfPpd(ppd, model, error)) {
        status = failJob(error);
    } else {
        ModelProfile profile = modelProfile(model);
        std::vector<std::string> warnings;
        bool settingsOk = jobSettings(ppd, profile, argv[5], argv[4], settings, warnings, error);
        for (const std::string& warning : warnings) std::fprintf(stderr, "WARNING: %s\n", warning.c_str());
        if (!settingsOk) {
            status = failJob(error);
        } else {
            // The driver keeps its pen settings file in the current folder:
            // a folder of the job's own, so that nothing left by another
            // program changes the stream.
            PrivateFolder folder;
            CupsRasterPages raster(fd);
            if (!folder.entered()) {
                status = failJob("Unable to make a working folder: " + folder.error());
            } else if (!writeStampName(argv[3])) {
                status = failJob("Unable to write the stamp's drawing name in the working folder.");
            } else if (!raster.opened()) {
                status = failJob("The input is not a CUPS raster stream.");
            } else {
                PagePlotter plotter(profile, settings, stdout, stderr, cancelRequested);
                JobOutcome outcome = plotter.run(raster);
                if (std::fflush(stdout) != 0) outcome = {outcome.pages, false, false, "The printer stream could not be written."};
                status = outcome.ok ? 0 : failJob(outcome.error);
                if (outcome.ok && !outcome.cancelled)
                    std::fprintf(stderr, "INFO: %d page%s printed\n", outcome.pages, outcome.pages == 1 ? "" : "s");
            }
        }
    }
    ppdClose(ppd);
    if (fd != 0) close(fd);
    return status;
}
