#include "filterHelp.h"

#include <cstdio>
#include <cstring>

#include "tavix/version.h"

namespace tavix::cups {

namespace {

constexpr const char* HELP_TEXT =
    "Usage: rastertotavix job-id user title copies options [file]\n"
    "The CUPS filter of the TAVIX E wide-format printers: CUPS raster pages in, the\n"
    "printer stream of the TAVIXDRV driver out (job ticket, PJL, HP-GL/2 set-up,\n"
    "the page in HP RTL, page end and copies).\n"
    "\n"
    "CUPS runs the filter for a queue made from one of the TAVIX PPDs; the PPD\n"
    "(environment variable PPD) names the model, and the job's options with the\n"
    "PPD's defaults choose the settings. The raster comes from file, or from\n"
    "standard input when no file is given; the stream goes to standard output.\n"
    "\n"
    "Options:\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "Exit status: 0 when every page was printed (or the job was cancelled and its\n"
    "stream ended cleanly), 1 otherwise, with an \"ERROR:\" line that says why.\n";

}  // namespace

bool answerHelpOrVersion(int argc, char* argv[], int& status) {
    if (argc != 2) return false;
    if (std::strcmp(argv[1], "--help") == 0) {
        std::fputs(HELP_TEXT, stdout);
    } else if (std::strcmp(argv[1], "--version") == 0) {
        std::fputs("rastertotavix " TAVIX_VERSION "\n", stdout);
    } else {
        return false;
    }
    status = std::fflush(stdout) == 0 ? 0 : 1;
    return true;
}

}  // namespace tavix::cups
