// PDFs in a CUPS queue print as vectors through pdftotavix: cupsfilter
// chooses it over CUPS's raster chain, the page's fills land where
// ghostscript's raster of the same page lands, page ranges, scaling and
// papers follow the job's options, and bad documents end the job with an
// "ERROR:" line and nothing printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "cupsTestSupport.h"
#include "streamParser.h"

namespace tavix::cups::testing {
namespace {

struct Box {
    double x0 = std::numeric_limits<double>::max(), y0 = x0;
    double x1 = -std::numeric_limits<double>::max(), y1 = x1;
    void add(double x, double y) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
    bool empty() const { return x0 > x1; }
};

preview::ParsedStream parse(const std::string& path) {
    preview::ParseLimits limits;
    limits.maxRasterPixels = 40'000'000;
    limits.maxTotalRasterPixels = 80'000'000;
    return preview::parseStream(readFile(path), limits);
}

// A colour, or (null) any ink.
bool matches(const preview::Rgb* colour, int r, int g, int b) {
    if (!colour) return r + g + b < 3 * 250;
    return std::abs(r - colour->r) + std::abs(g - colour->g) + std::abs(b - colour->b) <= 60;
}

// Where the page's ink of one colour lies on the plot, in plotter units:
// the fills of that colour in a vector stream...
Box fillsOf(const preview::Page& page, const preview::Rgb* colour) {
    Box box;
    for (const preview::Polygon& p : page.fills)
        if (matches(colour, p.colour.r, p.colour.g, p.colour.b))
            for (const auto& ring : p.rings)
                for (const preview::Point& v : ring) box.add(v.x, v.y);
    return box;
}

// ...and the pixels of that colour in a raster stream (each pixel's whole
// square).
Box pixelsOf(const preview::Page& page, const preview::Rgb* colour) {
    Box box;
    for (const preview::RasterImage& r : page.rasters) {
        double per = r.factor;
        for (int y = 0; y < r.storedHeight; ++y)
            for (int x = 0; x < r.storedWidth; ++x) {
                const uint8_t* px = &r.rgba[(size_t(y) * r.storedWidth + x) * 4];
                if (px[3] == 0 || !matches(colour, px[0], px[1], px[2])) continue;
                for (double dy : {0.0, per})
                    for (double dx : {0.0, per})
                        box.add(r.origin.x + (x * per + dx) * r.pixelStep.x + (y * per + dy) * r.rowStep.x,
                                r.origin.y + (x * per + dx) * r.pixelStep.y + (y * per + dy) * r.rowStep.y);
            }
    }
    return box;
}

const preview::Rgb RED{255, 0, 0}, BLUE{0, 0, 255};

// Two boxes on a page, red and blue, far from its edges.
PdfPage twoBoxes(double width, double height) {
    return {width, height, {{width * 0.1, height * 0.6, width * 0.3, height * 0.2, 1, 0, 0},
                            {width * 0.55, height * 0.15, width * 0.25, height * 0.3, 0, 0, 1}}};
}

struct PlacementCase {
    const char* name;
    const char* ppd;
    double width, height;  // points
    std::vector<std::string> options;
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

const PlacementCase PLACEMENTS[] = {
    {"letterPortrait_tx90", "tx90", 612, 792, {"PageSize=Letter"}},
    {"a3Landscape_tx90", "tx90", 1191, 842, {"PageSize=A3"}},
    {"a2Portrait_lumenq1_noMargins", "lumenq1", 1191, 1684, {"PageSize=A2", "TavixMargin=Off"}},
    {"letterPortrait_tx30_gray", "tx30", 612, 792, {"PageSize=Letter", "ColorModel=Gray"}},
};

class PdfPlacement : public ::testing::TestWithParam<PlacementCase> {};

// Ghostscript's raster of the page is an oracle of where the page lies on
// the paper: the vector fills cover the same plotter area, within two of
// its pixels (at 300 dpi, 7 plotter units).
TEST_P(PdfPlacement, vectorsLieWhereTheRasterChainPutsThePage) {
    const PlacementCase& c = GetParam();
    const std::string folder = freshFolder("pdfplace");
    const std::string pdf = folder + "/boxes.pdf";
    writeFile(pdf, makePdf({twoBoxes(c.width, c.height)}));
    std::vector<std::string> raster = c.options;
    raster.push_back("TavixPdfPrint=Raster");
    RunResult v = cupsfilter(ppdPath(c.ppd), c.options, pdf, "printer/foo", folder + "/vectors.plt");
    RunResult r = cupsfilter(ppdPath(c.ppd), raster, pdf, "printer/foo", folder + "/raster.plt");
    ASSERT_EQ(v.status, 0) << v.err;
    ASSERT_EQ(r.status, 0) << r.err;
    preview::ParsedStream vectors = parse(folder + "/vectors.plt"), rasters = parse(folder + "/raster.plt");
    ASSERT_EQ(vectors.pages.size(), 1u);
    ASSERT_EQ(rasters.pages.size(), 1u);
    EXPECT_TRUE(vectors.pages[0].rasters.empty()) << "the vector path printed a picture";
    ASSERT_FALSE(rasters.pages[0].rasters.empty());
    // In gray both boxes print gray: the ink as a whole is compared.
    bool gray = c.options.back() == "ColorModel=Gray";
    std::vector<const preview::Rgb*> colours = {&RED, &BLUE};
    if (gray) colours = {nullptr};
    for (const preview::Rgb* colour : colours) {
        Box drawn = fillsOf(vectors.pages[0], colour), rendered = pixelsOf(rasters.pages[0], colour);
        ASSERT_FALSE(drawn.empty()) << "no fill of the box's colour";
        ASSERT_FALSE(rendered.empty()) << "no pixel of the box's colour";
        const double tolerance = 7;
        EXPECT_NEAR(drawn.x0, rendered.x0, tolerance);
        EXPECT_NEAR(drawn.x1, rendered.x1, tolerance);
        EXPECT_NEAR(drawn.y0, rendered.y0, tolerance);
        EXPECT_NEAR(drawn.y1, rendered.y1, tolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, PdfPlacement, ::testing::ValuesIn(PLACEMENTS),
                         [](const auto& info) { return std::string(info.param.name); });

// cupsfilter runs pdftotavix alone for a PDF, and its stream is the one the
// filter writes when run by hand: the queue adds nothing, copies included.
TEST(PdfFilter, cupsChoosesItForPdfsAndItsStreamIsTheFiltersOwn) {
    const std::string folder = freshFolder("pdfchain");
    const std::string pdf = folder + "/two.pdf";
    writeFile(pdf, makePdf({twoBoxes(612, 792), twoBoxes(842, 595)}));
    RunResult chain = cupsfilter(ppdPath("tx90"), {"TavixDensity=20"}, pdf, "printer/foo", folder + "/chain.plt", 2);
    ASSERT_EQ(chain.status, 0) << chain.err;
    EXPECT_NE(chain.err.find("pdftotavix"), std::string::npos) << chain.err;
    EXPECT_EQ(chain.err.find("gstoraster"), std::string::npos) << "the raster chain ran: " << chain.err;
    RunResult direct = runPdfFilter(ppdPath("tx90"), "TavixDensity=20", pdf, "2");
    ASSERT_EQ(direct.status, 0) << direct.err;
    EXPECT_TRUE(readFile(folder + "/chain.plt") == direct.out) << "cupsfilter's stream differs";
    EXPECT_NE(direct.err.find("PAGE: 2 2"), std::string::npos) << direct.err;
    preview::ParsedStream parsed = parse(folder + "/chain.plt");
    ASSERT_EQ(parsed.pages.size(), 2u);
    for (const preview::Page& page : parsed.pages) {
        EXPECT_TRUE(page.ended);
        EXPECT_EQ(page.replots, 1) << "two copies of each page";
    }
    // Standard input may be a pipe: the filter keeps its own copy.
    RunResult piped = run({"sh", "-c", "cat \"$0\" | \"$1\" 1 tester job 2 TavixDensity=20", pdf, pdfFilterPath()},
                          RunOptions{{"PPD=" + ppdPath("tx90")}, "", "", 120, ""});
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_TRUE(piped.out == direct.out);
}

struct OptionCase {
    const char* name;
    std::vector<PdfPage> pages;
    std::string options;
    int status;
    std::vector<std::string> messages;  // in standard error, in order
    int plotted;                        // pages in the stream
};

void PrintTo(const OptionCase& c, std::ostream* os) { *os << c.name; }

const PdfPage A0{2384, 3370, {{100, 100, 500, 500, 0, 0, 0}}};
const PdfPage LETTER{612, 792, {{100, 100, 100, 100, 0, 0, 0}}};
const PdfPage BLANK{612, 792, {}};

const OptionCase OPTIONS[] = {
    {"secondPageOnly", {LETTER, LETTER, LETTER}, "page-ranges=2", 0, {"Printing page 2", "PAGE: 1 1"}, 1},
    {"rangesToTheEnd", {LETTER, LETTER, LETTER}, "page-ranges=2-", 0, {"Printing page 2", "Printing page 3"}, 2},
    {"evenPages", {LETTER, LETTER, LETTER}, "page-set=even", 0, {"Printing page 2", "1 page printed"}, 1},
    {"rangeBeyondTheDocument", {LETTER, LETTER}, "page-ranges=5-7", 1, {"ERROR: No page of the PDF's 2"}, 0},
    {"rangesThatAreNot", {LETTER}, "page-ranges=two", 1, {"ERROR: page-ranges \"two\""}, 0},
    {"pagePicksItsPaper", {A0}, "", 0, {"Printing page 1 on A0 "}, 1},
    {"largerThanTheJobsPaperIsFitted", {A0}, "PageSize=A4", 0,
     {"Printing page 1 on A4 ", "scaled to fit", "WARNING: Page 1", "scaled down"}, 1},
    {"largerThanThePaperUnscaledIsRefused", {A0}, "PageSize=A4 print-scaling=none", 1,
     {"ERROR: Page 1: The page (841 x 1189 mm) is larger than the paper", "print it on A0 "}, 0},
    {"fitToPage", {LETTER}, "PageSize=A3 fit-to-page=true", 0, {"on A3 ", "scaled to fit"}, 1},
    {"blankPagePrintsBlank", {BLANK, LETTER}, "", 0, {"WARNING: Page 1: nothing on page 1 plots", "PAGE: 2 1"}, 2},
};

class PdfJobOptions : public ::testing::TestWithParam<OptionCase> {};

TEST_P(PdfJobOptions, chooseThePagesPaperAndScale) {
    const OptionCase& c = GetParam();
    const std::string folder = freshFolder("pdfoptions");
    const std::string pdf = folder + "/doc.pdf";
    writeFile(pdf, makePdf(c.pages));
    RunResult r = runPdfFilter(ppdPath("tx90"), c.options, pdf);
    EXPECT_EQ(r.status, c.status) << r.err;
    size_t at = 0;
    for (const std::string& m : c.messages) {
        size_t found = r.err.find(m, at);
        EXPECT_NE(found, std::string::npos) << "\"" << m << "\" missing after offset " << at << " in:\n" << r.err;
        if (found != std::string::npos) at = found + m.size();
    }
    if (c.plotted == 0) {
        EXPECT_TRUE(r.out.empty()) << "a refused job wrote " << r.out.size() << " bytes";
    } else {
        writeFile(folder + "/out.plt", r.out);
        preview::ParsedStream parsed = parse(folder + "/out.plt");
        size_t ended = std::count_if(parsed.pages.begin(), parsed.pages.end(), [](const auto& p) { return p.ended; });
        // A blank page's plot holds nothing the reader counts as a page.
        size_t blank = c.pages.front().boxes.empty() ? 1 : 0;
        EXPECT_EQ(ended + blank, size_t(c.plotted));
    }
}

INSTANTIATE_TEST_SUITE_P(Options, PdfJobOptions, ::testing::ValuesIn(OPTIONS),
                         [](const auto& info) { return std::string(info.param.name); });

// A document pdftotavix cannot read ends the job at once: an "ERROR:" line
// that says what, exit status 1 and not a byte of printer stream.
TEST(PdfFilter, badDocumentsPrintNothingAndSayWhy) {
    const std::string folder = freshFolder("pdfbad");
    std::string good = makePdf({LETTER});
    struct Bad {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"text.pdf", "this is a letter, not a PDF\n", "ERROR: "},
        {"empty.pdf", "", "ERROR: "},
        {"cut.pdf", good.substr(0, 40), "ERROR: "},
        {"noPages.pdf", "%PDF-1.4\n1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj\n2 0 obj <</Type/Pages/Kids[]/Count 0>> "
                        "endobj\ntrailer <</Root 1 0 R>>\n%%EOF\n", "ERROR: "},
    };
    for (const Bad& b : cases) {
        writeFile(folder + "/" + b.name, b.bytes);
        RunResult r = runPdfFilter(ppdPath("tx90"), "", folder + "/" + b.name);
        EXPECT_EQ(r.status, 1) << b.name << ": " << r.err;
        EXPECT_NE(r.err.find(b.says), std::string::npos) << b.name << ": " << r.err;
        EXPECT_NE(r.err.find("nothing was printed"), std::string::npos) << b.name << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << b.name << " wrote " << r.out.size() << " bytes";
    }
    RunResult missing = runPdfFilter(ppdPath("tx90"), "", folder + "/none.pdf");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("ERROR: Unable to open the PDF file"), std::string::npos) << missing.err;
    RunResult noPpd = runPdfFilter("/nonexistent.ppd", "", folder + "/text.pdf");
    EXPECT_EQ(noPpd.status, 1);
    EXPECT_NE(noPpd.err.find("ERROR: Unable to open the PPD file"), std::string::npos) << noPpd.err;
}

// CUPS cancels with SIGTERM: the page in progress ends as the driver ends a
// plot, the stream stays whole and the filter exits 0.
TEST(PdfFilter, cancelEndsThePageCleanly) {
    const std::string folder = freshFolder("pdfcancel");
    const std::string pdf = folder + "/dense.pdf";
    std::vector<PdfPage> pages;
    for (int p = 0; p < 40; ++p) {
        PdfPage page{612, 792, {}};
        for (int i = 0; i < 6000; ++i)
            page.boxes.push_back({36 + (i % 100) * 5.4, 36 + (i / 100) * 11.0, 3, 6, (i % 3) / 2.0, 0, 0});
        pages.push_back(page);
    }
    writeFile(pdf, makePdf(pages));
    RunOptions options;
    options.signalWhenErrHas = "PAGE: 1 ";
    RunResult r = runPdfFilter(ppdPath("tx90"), "TavixOutput=Option", pdf, "1", options);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Job cancelled"), std::string::npos) << r.err;
    writeFile(folder + "/out.plt", r.out);
    preview::ParsedStream parsed = parse(folder + "/out.plt");
    ASSERT_GE(parsed.pages.size(), 1u);
    EXPECT_LT(parsed.pages.size(), pages.size()) << "the job was not cut short";
    for (const preview::Page& page : parsed.pages) EXPECT_TRUE(page.ended) << "a page left open";
}

}  // namespace
}  // namespace tavix::cups::testing
