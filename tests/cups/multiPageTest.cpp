// A job of several pages: every page is a plot of its own, job ticket first,
// and the printer must read the stream as that many pages. The stream that
// cupsfilter makes of a three-page PDF is read by the preview's reader with
// no warning, and `tavix preview --strict` takes every page of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cupsTestSupport.h"
#include "streamParser.h"

namespace tavix::cups::testing {
namespace {

constexpr int PAGES = 3;

struct MultiPageCase {
    const char* name;
    const char* ppd;
    std::vector<std::string> options;
    bool ticket;  // the model and options write a job ticket
};

const MultiPageCase CASES[] = {
    {"tx90_withTicket", "tx90", {"PageSize=Letter", "TavixOutput=Option", "TavixDensity=20"}, true},
    {"tx90_stampAndPens", "tx90", {"PageSize=Letter", "TavixOutput=Option", "TavixTextStamp=On"}, true},
    {"tx90_noTicket", "tx90", {"PageSize=Letter", "TavixOutput=Standard"}, false},
    {"txseries_grayDefaultTicket", "txseries", {"PageSize=Letter", "ColorModel=Gray"}, true},
};

void PrintTo(const MultiPageCase& c, std::ostream* os) { *os << c.name; }

class MultiPage : public ::testing::TestWithParam<MultiPageCase> {};

TEST_P(MultiPage, isReadAsThatManyPagesWithoutWarnings) {
    const MultiPageCase& c = GetParam();
    const std::string folder = freshFolder("multipage");
    const std::string pdf = folder + "/pages.pdf", stream = folder + "/pages.plt";
    std::vector<PdfPage> pages;
    for (int i = 0; i < PAGES; ++i)
        pages.push_back({612, 792, {{72.0 + 100 * i, 600, 72, 72, 0, 0, 0}}});  // a square in a new place
    writeFile(pdf, makePdf(pages));
    std::vector<std::string> options = c.options;
    options.push_back(AS_RASTER);
    RunResult r = cupsfilter(ppdPath(c.ppd), options, pdf, "printer/foo", stream, 2);
    ASSERT_EQ(r.status, 0) << r.err;

    preview::ParseLimits limits;
    limits.maxRasterPixels = 16'000'000;
    limits.maxTotalRasterPixels = 64'000'000;
    std::string bytes = readFile(stream);
    preview::ParsedStream parsed = preview::parseStream(bytes, limits);
    ASSERT_EQ(parsed.pages.size(), size_t{PAGES});
    std::string warnings;
    for (const auto& w : parsed.warnings) warnings += "  at " + std::to_string(w.offset) + ": " + w.text + "\n";
    EXPECT_TRUE(parsed.warnings.empty()) << warnings;
    for (const preview::Page& page : parsed.pages) {
        EXPECT_TRUE(page.ended);
        EXPECT_EQ(page.rasters.size(), 1u);
        EXPECT_EQ(page.replots, 1) << "two copies of each page";
    }
    EXPECT_EQ(parsed.ticketPresent, c.ticket);

    // Each page's job begins at the job level: the first at the stream's
    // start, the others with the universal exit right after the previous
    // page's end (one exit: the plot's own when it has no ticket).
    const std::string jobStart = c.ticket ? "##DOZ START" : "@PJL ENTER LANGUAGE";
    const std::string lead = c.ticket ? "##DOZ START" : "@PJL";
    const std::string pageEnd = ";PG;RP1\x1b%-12345X" + lead;
    size_t count = 0;
    for (size_t at = bytes.find(jobStart); at != std::string::npos; at = bytes.find(jobStart, at + 1)) {
        ++count;
        if (count == 1) {
            EXPECT_EQ(at, c.ticket ? 0u : 9u) << "the first job starts the stream";
            continue;
        }
        ASSERT_GE(at + lead.size(), pageEnd.size());
        EXPECT_EQ(bytes.substr(at + lead.size() - pageEnd.size(), pageEnd.size()), pageEnd) << "before job " << count;
    }
    EXPECT_EQ(count, size_t{PAGES});

    for (int page = 1; page <= PAGES; ++page) {
        RunResult shown = run({hostProgramPath(), "preview", "--strict", "--page", std::to_string(page), "--dpi", "10",
                               stream, "-o", folder + "/page" + std::to_string(page) + ".png"});
        EXPECT_EQ(shown.status, 0) << "page " << page << ": " << shown.out << shown.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, MultiPage, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<MultiPageCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tavix::cups::testing
