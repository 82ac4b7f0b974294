// What the CUPS tests share: child programs run with a time limit, a CUPS
// file tree in which cupsfilter finds our filter beside CUPS's own, CUPS
// rasters read with CUPS's own reader and written for bad-input cases, and
// the built filter, PPDs and host program.
#pragma once

#include <cups/raster.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tavix::cups::testing {

// ---- Built files ----------------------------------------------------------
std::string filterPath();                  // the built rastertotavix
std::string pdfFilterPath();               // the built pdftotavix
std::string ppdPath(const std::string& shortName);  // "tx90" -> .../tavix-tx90.ppd
std::string ppdDirectory();
std::string hostProgramPath();             // the built tavix
std::string sourcePath(const std::string& relative);  // in the source tree

// The five models: short PPD name and `tavix configure --model` name.
struct ModelNames {
    const char* ppd;
    const char* host;
    const char* name;  // the model's name in the driver's table
};
extern const ModelNames MODELS[5];

// ---- Child programs -------------------------------------------------------
struct RunResult {
    int status = -1;        // exit status, or 128 + signal; -1: did not run
    bool timedOut = false;
    std::string out, err;   // standard output unless sent to a file; standard error
    long maxResidentKb = 0; // the child's peak memory
};
struct RunOptions {
    std::vector<std::string> env;  // NAME=VALUE added to the environment
    std::string stdinPath;         // empty: /dev/null
    std::string stdoutPath;        // empty: captured in `out`
    int timeoutSeconds = 120;
    std::string signalWhenErrHas;  // send SIGTERM once standard error holds this text
};
RunResult run(const std::vector<std::string>& argv, const RunOptions& options = {});

// The filter run by hand as CUPS runs it ($PPD, arguments).
RunResult runFilter(const std::string& ppd, const std::string& options, const std::string& input,
                    const std::string& copies = "1", RunOptions extra = {});

// pdftotavix run the same way; an empty input reads standard input.
RunResult runPdfFilter(const std::string& ppd, const std::string& options, const std::string& input,
                       const std::string& copies = "1", RunOptions extra = {});

// The job option that sends a PDF through CUPS's raster chain rather than
// pdftotavix, for tests of the raster filter that start from a PDF.
inline const std::string AS_RASTER = "TavixPdfPrint=Raster";

// ---- cupsfilter -----------------------------------------------------------
// ROOT/serverbin with CUPS's programs and filters linked and ours beside
// them (copied: cupsd, as root, runs only filters root owns); its path.
std::string makeServerBin(const std::string& root);
// A ServerBin with CUPS's filters and ours, and the cups-files.conf naming
// it, made once in a folder of its own.
std::string cupsFilesConf();
// cupsfilter with our PPD: -m is the destination type ("printer/foo" runs
// the whole chain, "application/vnd.cups-raster" stops at the raster).
RunResult cupsfilter(const std::string& ppd, const std::vector<std::string>& options, const std::string& input,
                     const std::string& destination, const std::string& outputPath, int copies = 1);

// ---- Rasters ----------------------------------------------------------------
struct RasterPage {
    cups_page_header2_t header{};
    std::vector<uint8_t> pixels;  // cupsHeight rows of cupsBytesPerLine
    const uint8_t* row(uint32_t y) const { return pixels.data() + size_t{y} * header.cupsBytesPerLine; }
};
// Every page of a raster file, read with CUPS's reader.
std::vector<RasterPage> readRaster(const std::string& path);

// A raster file of the given pages (cupsRasterOpen for writing). Each page
// is filled with `fill` bytes; `truncateAt` > 0 cuts the file to that many
// bytes.
struct PageToWrite {
    cups_page_header2_t header{};
    uint8_t fill = 0xFF;
    long rows = -1;  // rows written: all (-1), or this many (a page cut short)
};
cups_page_header2_t pageHeader(double widthInches, double lengthInches, int dpi, cups_cspace_t space,
                               int bitsPerColor);
void writeRaster(const std::string& path, const std::vector<PageToWrite>& pages, long truncateAt = 0);

// ---- PDFs ------------------------------------------------------------------
// A filled rectangle in PDF points from the page's bottom-left corner, in
// DeviceGray when r == g == b, else DeviceRGB (components 0..1).
struct PdfBox {
    double x, y, width, height;
    double r, g, b;
};
struct PdfPage {
    double width, height;  // points
    std::vector<PdfBox> boxes;
};
// A PDF of these pages, written by hand (no library of ours or CUPS's).
std::string makePdf(const std::vector<PdfPage>& pages);

// ---- Files ----------------------------------------------------------------
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
// A fresh folder under $TMPDIR, removed with everything in it when the
// test process ends (kept when TAVIX_KEEP_TEST_FILES is set, to look at).
std::string freshFolder(const std::string& name);

}  // namespace tavix::cups::testing
