// A raster stream whose later page header is empty or damaged: the filter
// prints the pages before it and fails the job with an "ERROR:" line that
// says so, rather than ending as if the stream had ended there.
#include <gtest/gtest.h>

#include "cupsTestSupport.h"

namespace tavix::cups::testing {
namespace {

struct LaterHeader {
    const char* name;
    std::string after;  // bytes after two whole pages
    bool fails;
};

std::vector<LaterHeader> laterHeaders() {
    return {
        {"endOfStream", "", false},
        {"emptyHeader", std::string(1796, '\0'), true},
        {"garbageHeader", std::string(1796, '\x7f') + std::string(200, '\x7f'), true},
        {"inconsistentHeader", "odd", true},
    };
}

class LaterPageHeader : public ::testing::TestWithParam<LaterHeader> {};

TEST_P(LaterPageHeader, failsTheJobAfterThePagesBeforeIt) {
    const LaterHeader& c = GetParam();
    const std::string folder = freshFolder("later-header");
    const std::string path = folder + "/input.ras";
    auto page = pageHeader(8.5, 11, 100, CUPS_CSPACE_W, 8);
    auto odd = pageHeader(8.5, 11, 100, CUPS_CSPACE_RGB, 8);
    odd.cupsBytesPerLine += 7;
    std::vector<PageToWrite> pages = {{page, 0x80, -1}, {page, 0x40, -1}};
    if (c.after == "odd") pages.push_back({odd, 0, 0});
    writeRaster(path, pages);
    if (c.after != "odd") writeFile(path, readFile(path) + c.after);

    RunResult r = runFilter(ppdPath("tx90"), "", path);
    ASSERT_FALSE(r.timedOut);
    size_t printed = 0;
    for (size_t at = r.err.find("PAGE: "); at != std::string::npos; at = r.err.find("PAGE: ", at + 1)) ++printed;
    EXPECT_EQ(printed, 2u) << r.err;
    if (!c.fails) {
        EXPECT_EQ(r.status, 0) << r.err;
        return;
    }
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("ERROR: The raster stream's header of page 3 is damaged or empty"), std::string::npos)
        << r.err;
    const std::string end = ";PUSP0;PG;";
    ASSERT_GE(r.out.size(), end.size());
    EXPECT_EQ(r.out.substr(r.out.size() - end.size()), end) << "the second page's plot is whole";
}

INSTANTIATE_TEST_SUITE_P(Rasters, LaterPageHeader, ::testing::ValuesIn(laterHeaders()),
                         [](const ::testing::TestParamInfo<LaterHeader>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavix::cups::testing
