// Bad input to the filter: a clear "ERROR:" line, CUPS's failure status 1,
// no crash, and a stream that is either empty or ends as the driver ends a
// plot (every page closed with PG). Also the filter's other refusals, and
// cancellation by SIGTERM in the middle of a page.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <thread>

#include "cupsTestSupport.h"
#include "streamParser.h"

namespace tavix::cups::testing {
namespace {

constexpr char TRAILER[] = ";PUSP0;PG;";

bool endsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// Whole or cleanly ended: nothing at all, or plots that each end with PG.
void expectCleanStream(const std::string& stream) {
    if (stream.empty()) return;
    EXPECT_TRUE(endsWith(stream, TRAILER)) << "the stream does not end with the page end";
    preview::ParsedStream parsed = preview::parseStream(stream);
    ASSERT_FALSE(parsed.pages.empty());
    for (const preview::Page& page : parsed.pages) EXPECT_TRUE(page.ended);
}

PageToWrite gray(double width, double length, int dpi = 100, long rows = -1) {
    return {pageHeader(width, length, dpi, CUPS_CSPACE_W, 8), 0x80, rows};
}

struct BadRaster {
    const char* name;
    std::vector<PageToWrite> pages;
    long truncateAt;            // bytes kept (0: the whole file)
    const char* error;          // part of the "ERROR:" line
    int wholePages;             // pages printed before the error
};

std::vector<BadRaster> badRasters() {
    auto cmyk = pageHeader(8.5, 11, 100, CUPS_CSPACE_CMYK, 8);
    auto deep = pageHeader(8.5, 11, 100, CUPS_CSPACE_RGB, 16);
    auto planes = pageHeader(8.5, 11, 100, CUPS_CSPACE_RGB, 8);
    planes.cupsColorOrder = CUPS_ORDER_PLANAR;
    auto zeroWide = pageHeader(8.5, 11, 100, CUPS_CSPACE_W, 8);
    zeroWide.cupsWidth = 0;
    zeroWide.cupsBytesPerLine = 0;
    auto zeroSize = pageHeader(0, 0, 100, CUPS_CSPACE_W, 8);
    auto noResolution = pageHeader(8.5, 11, 100, CUPS_CSPACE_W, 8);
    noResolution.HWResolution[0] = noResolution.HWResolution[1] = 0;
    auto oddLine = pageHeader(8.5, 11, 100, CUPS_CSPACE_RGB, 8);
    oddLine.cupsBytesPerLine += 7;
    return {
        {"truncatedInFirstPage", {gray(8.5, 11)}, 40'000, "The raster stream ends inside page 1 (row 44 of 1100)", 0},
        {"truncatedInSecondPage", {gray(8.5, 11), gray(8.5, 11)}, 1'500'000, "ends inside page 2 (row 660 of 1100)", 1},
        {"cmyk", {{cmyk, 0, 0}}, 0, "Page 1: The raster is 8-bit CMYK; this printer takes 8-bit gray or RGB.", 0},
        {"sixteenBit", {{deep, 0, 0}}, 0, "Page 1: The raster is 16-bit RGB;", 0},
        {"planar", {{planes, 0, 0}}, 0, "Page 1: The raster is 8-bit RGB in planes;", 0},
        // CUPS's reader itself refuses these headers, as at the stream's end.
        {"inconsistentLineLength", {{oddLine, 0, 0}}, 0, "No pages found in the raster stream", 0},
        {"widerThanTheRoll", {gray(37, 48, 100, 0)}, 0, "larger than any paper of the TX-90-TAVIX E", 0},
        {"longerThanTheLongestPaper", {gray(36, 601, 100, 0)}, 0, "larger than any paper", 0},
        {"zeroWidth", {{zeroWide, 0, 0}}, 0, "No pages found in the raster stream", 0},
        {"zeroSize", {{zeroSize, 0, 0}}, 0, "No pages found in the raster stream", 0},
        {"noResolution", {{noResolution, 0, 0}}, 0, "Page 1: The page is empty (850 x 1100 pixels at 0 x 0 dpi)", 0},
        {"goodPageThenCmyk", {gray(8.5, 11), {cmyk, 0, 0}}, 0, "Page 2: The raster is 8-bit CMYK", 1},
        {"noPages", {}, 0, "No pages found in the raster stream.", 0},
    };
}

class BadRasterInput : public ::testing::TestWithParam<BadRaster> {};

TEST_P(BadRasterInput, failsWithAnErrorLineAndACleanStream) {
    const BadRaster& c = GetParam();
    const std::string folder = freshFolder("bad");
    const std::string path = folder + "/input.ras";
    writeRaster(path, c.pages, c.truncateAt);
    RunResult r = runFilter(ppdPath("tx90"), "", path);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("ERROR: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    expectCleanStream(r.out);
    size_t pages = 0;
    for (size_t at = r.err.find("PAGE: "); at != std::string::npos; at = r.err.find("PAGE: ", at + 1)) ++pages;
    EXPECT_EQ(pages, static_cast<size_t>(c.wholePages));
}

INSTANTIATE_TEST_SUITE_P(Rasters, BadRasterInput, ::testing::ValuesIn(badRasters()),
                         [](const ::testing::TestParamInfo<BadRaster>& info) { return std::string(info.param.name); });

// ---- Options, copies, PPD and arguments ------------------------------------

// A value the PPD does not offer, or an option of ours that does not exist,
// prints the page with the PPD's default and a warning that names it; a
// paper the PPD lacks or a copy count the printer cannot make refuses the
// job before anything is written.
struct BadJob {
    const char* name;
    std::string options;
    std::string copies;
    bool refused;
    const char* message;  // after "ERROR: " when refused, else after "WARNING: "
};

class BadJobSettings : public ::testing::TestWithParam<BadJob> {};

TEST_P(BadJobSettings, warnOrRefuseBeforeAnythingIsWritten) {
    const BadJob& c = GetParam();
    const std::string folder = freshFolder("badjob");
    writeRaster(folder + "/page.ras", {gray(8.5, 11)});
    RunResult r = runFilter(ppdPath("tx90"), c.options, folder + "/page.ras", c.copies);
    std::string line = std::string(c.refused ? "ERROR: " : "WARNING: ") + c.message;
    EXPECT_NE(r.err.find(line), std::string::npos) << r.err;
    if (c.refused) {
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_TRUE(r.out.empty());
        return;
    }
    // Printed as without the option.
    RunResult plain = runFilter(ppdPath("tx90"), "", folder + "/page.ras", c.copies);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("PAGE: 1 1"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out == plain.out) << "the option changed the stream";
}

INSTANTIATE_TEST_SUITE_P(
    Settings, BadJobSettings,
    ::testing::Values(
        BadJob{"densityBeyondItsRange", "TavixDensity=99", "1", false,
               "Unknown value \"99\" for option TavixDensity; printed with 15."},
        BadJob{"colourModelNotOffered", "ColorModel=CMYK", "1", false,
               "Unknown value \"CMYK\" for option ColorModel; printed with RGB."},
        BadJob{"mediaNotOffered", "MediaType=Vinyl", "1", false,
               "Unknown value \"Vinyl\" for option MediaType; printed with Any."},
        BadJob{"trayTheModelLacks", "InputSlot=Tray4", "1", false,
               "Unknown value \"Tray4\" for option InputSlot; printed with Auto."},
        BadJob{"unknownOptionOfOurs", "TavixSpeed=Fast", "1", false,
               "Unknown option \"TavixSpeed\" for this printer ignored."},
        BadJob{"paperNotOffered", "PageSize=A9", "1", true, "This printer has no paper \"A9\""},
        BadJob{"regionNotOffered", "PageRegion=Postcard", "1", true, "This printer has no paper \"Postcard\""},
        BadJob{"zeroCopies", "", "0", true, "The printer makes 1 to 999 copies, not \"0\""},
        BadJob{"thousandCopies", "", "1000", true, "The printer makes 1 to 999 copies"},
        BadJob{"copiesNotANumber", "", "two", true, "The printer makes 1 to 999 copies"}),
    [](const ::testing::TestParamInfo<BadJob>& info) { return std::string(info.param.name); });

TEST(FilterInput, optionsOfOtherFiltersAreLeftToThem) {
    const std::string folder = freshFolder("foreign");
    writeRaster(folder + "/page.ras", {gray(8.5, 11)});
    RunResult r = runFilter(ppdPath("tx90"), "number-up=1 job-uuid=urn:uuid:1 print-quality=4 mirror", folder + "/page.ras");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("PAGE: 1 1"), std::string::npos) << r.err;
    EXPECT_TRUE(endsWith(r.out, TRAILER));
}

TEST(FilterInput, refusesWhatIsNotOneOfItsPpdsOrARaster) {
    const std::string folder = freshFolder("ppd");
    writeRaster(folder + "/page.ras", {gray(8.5, 11)});
    // A PPD of another driver: the model number names none of ours.
    std::string other = readFile(ppdPath("tx90"));
    other.replace(other.find("*cupsModelNumber: 0"), 19, "*cupsModelNumber: 9");
    writeFile(folder + "/other.ppd", other);
    RunResult r = runFilter(folder + "/other.ppd", "", folder + "/page.ras");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ERROR: The PPD file is not one of this driver's"), std::string::npos) << r.err;

    r = runFilter(folder + "/missing.ppd", "", folder + "/page.ras");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ERROR: Unable to open the PPD file"), std::string::npos) << r.err;

    writeFile(folder + "/not.ras", "%PDF-1.4\nnot a raster\n");
    r = runFilter(ppdPath("tx90"), "", folder + "/not.ras");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ERROR: "), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());

    r = runFilter(ppdPath("tx90"), "", folder + "/absent.ras");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ERROR: Unable to open the raster file"), std::string::npos) << r.err;

    r = run({filterPath(), "1", "tester", "title"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Usage: "), std::string::npos) << r.err;
}

TEST(FilterInput, readsTheRasterFromStandardInputWithoutAFileArgument) {
    const std::string folder = freshFolder("stdin");
    writeRaster(folder + "/page.ras", {gray(8.5, 11)});
    RunOptions options;
    options.stdinPath = folder + "/page.ras";
    options.env.push_back("PPD=" + ppdPath("tx90"));
    RunResult piped = run({filterPath(), "1", "tester", "title", "1", ""}, options);
    RunResult named = runFilter(ppdPath("tx90"), "", folder + "/page.ras");
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_TRUE(piped.out == named.out);
}

// SIGTERM in the middle of a page: the page ends at the next row with the
// driver's page end, and the filter exits 0 (CUPS is cancelling the job).
TEST(FilterInput, cancellationEndsThePageCleanly) {
    const std::string folder = freshFolder("cancel");
    const std::string fifo = folder + "/raster.fifo";
    // The filter stops reading when it is cancelled: writing on is no error here.
    signal(SIGPIPE, SIG_IGN);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    writeRaster(folder + "/page.ras", {gray(8.5, 11, 300)});
    std::string whole = readFile(folder + "/page.ras");
    // The first third of the page now, the rest a while later.
    std::thread writer([&] {
        std::ofstream out(fifo, std::ios::binary);
        size_t first = whole.size() / 3;
        out.write(whole.data(), static_cast<std::streamsize>(first));
        out.flush();
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        out.write(whole.data() + first, static_cast<std::streamsize>(whole.size() - first));
    });
    RunOptions options;
    options.signalWhenErrHas = "ATTR: job-media-progress=10";  // a tenth of the rows are out
    RunResult r = runFilter(ppdPath("tx90"), "", fifo, "1", options);
    writer.join();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("INFO: Job cancelled"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("PAGE: "), std::string::npos) << "the cancelled page is not counted";
    expectCleanStream(r.out);
    preview::ParsedStream parsed = preview::parseStream(r.out);
    ASSERT_EQ(parsed.pages.size(), 1u);
    ASSERT_EQ(parsed.pages[0].rasters.size(), 1u);
    EXPECT_GT(parsed.pages[0].rasters[0].printedRows, 0);
    // A third of the page had come: (11 - 2 x 0.197) in at 400 dpi is 4242 rows.
    EXPECT_LT(parsed.pages[0].rasters[0].printedRows, 4242 / 2);
}

}  // namespace
}  // namespace tavix::cups::testing
