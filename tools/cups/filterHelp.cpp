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

constexpr const char* PDF_HELP_TEXT =
    "Usage: pdftotavix job-id user title copies options [file]\n"
    "The CUPS filter that prints PDFs on the TAVIX E wide-format printers as\n"
    "vectors: the lines, fills and text of each page reach the TAVIXDRV driver as\n"
    "the CAD host's drawing requests, with their pens, widths and dashes, at 1:1,\n"
    "and the driver writes the printer stream (job ticket, PJL, HP-GL/2).\n"
    "\n"
    "CUPS runs the filter for a queue made from one of the TAVIX PPDs; the PPD\n"
    "(environment variable PPD) names the model, and the job's options with the\n"
    "PPD's defaults choose the settings. A job that names no paper prints each page\n"
    "on the paper that holds it at 1:1. The job options page-ranges, page-set and\n"
    "print-scaling (auto, none, fit; or fit-to-page) apply; TavixPdfPrint=Raster\n"
    "prints the PDF as a picture through CUPS's raster filters instead. The PDF\n"
    "comes from file, or from standard input when no file is given; the stream goes\n"
    "to standard output.\n"
    "\n"
    "Options:\n"
    "  --help     print this help and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "Exit status: 0 when every page was printed (or the job was cancelled and its\n"
    "stream ended cleanly), 1 otherwise, with an \"ERROR:\" line that says why.\n";

bool answer(int argc, char* argv[], const char* name, const char* help, int& status) {
    if (argc != 2) return false;
    if (std::strcmp(argv[1], "--help") == 0) {
        std::fputs(help, stdout);
    } else if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s %s\n", name, TAVIX_VERSION);
    } else {
        return false;
    }
    status = std::fflush(stdout) == 0 ? 0 : 1;
    return true;
}

}  // namespace

bool answerHelpOrVersion(int argc, char* argv[], int& status) {
    return answer(argc, argv, "rastertotavix", HELP_TEXT, status);
}

bool answerPdfFilterHelpOrVersion(int argc, char* argv[], int& status) {
    return answer(argc, argv, "pdftotavix", PDF_HELP_TEXT, status);
}

}  // namespace tavix::cups
