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
#include "jobSettings.h"
#include "modelProfile.h"
#include "pagePlotter.h"
#include "privateFolder.h"
#include "stampName.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace {

std::atomic<bool> cancelRequested{false};

// SIGTERM: CUPS cancels the job. The page in progress ends at the next row
// and the stream is closed as the driver closes a plot.
void onTerminate(int) { cancelRequested.store(true); }

int fail(const std::string& message) {
    std::fprintf(stderr, "ERROR: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace tavix::cups;
    if (int status = 0; answerHelpOrVersion(argc, argv, status)) return status;
    if (argc < 6 || argc > 7) {
        std::fprintf(stderr, "Usage: %s job-id user title copies options [file]\n", argv[0]);
        return 1;
    }
    std::setvbuf(stderr, nullptr, _IOLBF, 0);
    static char streamBuffer[1 << 20];
    std::setvbuf(stdout, streamBuffer, _IOFBF, sizeof streamBuffer);

    struct sigaction action = {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);

    int fd = 0;
    if (argc == 7 && (fd = open(argv[6], O_RDONLY)) < 0)
        return fail(std::string("Unable to open the raster file \"") + argv[6] + "\".");

    const char* ppdPath = std::getenv("PPD");
    ppd_file_t* ppd = ppdPath ? ppdOpenFile(ppdPath) : nullptr;
    if (!ppd) {
        if (fd != 0) close(fd);
        return fail(std::string("Unable to open the PPD file") + (ppdPath ? " \"" + std::string(ppdPath) + "\"." : " (PPD is not set)."));
    }
    int status = 1;
    std::string error;
    int model = 0;
    tavix::PlotSettings settings{};
    if (!modelOfPpd(ppd, model, error)) {
        status = fail(error);
    } else {
        ModelProfile profile = modelProfile(model);
        std::vector<std::string> warnings;
        bool settingsOk = jobSettings(ppd, profile, argv[5], argv[4], settings, warnings, error);
        for (const std::string& warning : warnings) std::fprintf(stderr, "WARNING: %s\n", warning.c_str());
        if (!settingsOk) {
            status = fail(error);
        } else {
            // The driver keeps its pen settings file in the current folder:
            // a folder of the job's own, so that nothing left by another
            // program changes the stream.
            PrivateFolder folder;
            CupsRasterPages raster(fd);
            if (!folder.entered()) {
                status = fail("Unable to make a working folder: " + folder.error());
            } else if (!writeStampName(argv[3])) {
                status = fail("Unable to write the stamp's drawing name in the working folder.");
            } else if (!raster.opened()) {
                status = fail("The input is not a CUPS raster stream.");
            } else {
                PagePlotter plotter(profile, settings, stdout, stderr, &cancelRequested);
                JobOutcome outcome = plotter.run(raster);
                if (std::fflush(stdout) != 0) outcome = {outcome.pages, false, false, "The printer stream could not be written."};
                status = outcome.ok ? 0 : fail(outcome.error);
                if (outcome.ok && !outcome.cancelled)
                    std::fprintf(stderr, "INFO: %d page%s printed\n", outcome.pages, outcome.pages == 1 ? "" : "s");
            }
        }
    }
    ppdClose(ppd);
    if (fd != 0) close(fd);
    return status;
}
