// Which way up a page prints: a PDF whose corners are marked in three
// colours goes through cupsfilter (CUPS's PDF filters and ours) and the
// stream is read back by the preview's reader. Each mark's place on the plot
// is taken from the raster's own position on the plotter's axes (X to the
// right, Y up, as the preview draws a plot and as the host places a
// drawing): a landscape page must read upright, a portrait page turned a
// quarter, and neither mirrored nor upside down.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <ostream>
#include <string>
#include <vector>

#include "cupsTestSupport.h"
#include "pageMarks.h"
#include "modelProfile.h"
#include "streamParser.h"

namespace tavix::cups::testing {
namespace {

struct Printed {
    std::array<Corner, 3> places{NONE, NONE, NONE};
    std::string failure;  // empty when the stream was read
};

Printed printPdf(const std::string& ppdName, const PdfPage& page, const std::vector<std::string>& options,
                 const std::string& name) {
    Printed printed;
    const std::string folder = freshFolder("orientation");
    const std::string pdf = folder + "/" + name + ".pdf", stream = folder + "/" + name + ".plt";
    writeFile(pdf, makePdf({page}));
    std::vector<std::string> asRaster = options;
    asRaster.push_back(AS_RASTER);
    RunResult r = cupsfilter(ppdPath(ppdName), asRaster, pdf, "printer/foo", stream);
    if (r.status != 0) {
        printed.failure = "cupsfilter failed: " + r.err;
        return printed;
    }
    preview::ParseLimits limits;
    limits.maxRasterPixels = 4'000'000;  // large papers are stored reduced
    limits.maxTotalRasterPixels = 4'000'000;
    preview::ParsedStream parsed = preview::parseStream(readFile(stream), limits);
    if (parsed.pages.size() != 1 || parsed.pages[0].rasters.size() != 1) {
        printed.failure = "the stream holds " + std::to_string(parsed.pages.size()) + " pages";
        return printed;
    }
    printed.places = placesOnPlot(parsed.pages[0].rasters[0]);
    return printed;
}

std::string describe(const std::array<Corner, 3>& places) {
    std::string text;
    const char* names[] = {"top left", "top right", "bottom left"};
    for (size_t m = 0; m < 3; ++m) text += std::string(names[m]) + " -> " + CORNER_NAMES[places[m]] + "; ";
    return text;
}

// The page's marks turned a quarter either way: clockwise order kept (not
// mirrored), every corner moved by one place.
bool quarterTurn(const std::array<Corner, 3>& places) {
    for (int turn : {1, 3}) {
        bool all = true;
        for (size_t m = 0; m < 3; ++m) all = all && places[m] == (MARKS[m].corner + turn) % 4;
        if (all) return true;
    }
    return false;
}

struct OrientationCase {
    std::string name;
    std::string ppd;
    std::string paper;         // PageSize keyword
    double shortSide, longSide;  // points
    std::vector<std::string> extra;
};

std::vector<OrientationCase> orientationCases() {
    std::vector<OrientationCase> cases;
    // The smallest and the largest fixed paper of every model.
    for (int model = 0; model < 5; ++model) {
        ModelProfile profile = modelProfile(model);
        const PaperChoice* smallest = &profile.papers.front();
        const PaperChoice* largest = smallest;
        for (const PaperChoice& p : profile.papers) {
            if (p.widthInches * p.lengthInches < smallest->widthInches * smallest->lengthInches) smallest = &p;
            if (p.widthInches * p.lengthInches > largest->widthInches * largest->lengthInches) largest = &p;
        }
        for (const PaperChoice* paper : {smallest, largest})
            cases.push_back({std::string(MODELS[model].ppd) + "_" + paper->keyword, MODELS[model].ppd,
                             paper->keyword, paper->widthInches * POINTS_PER_INCH,
                             paper->lengthInches * POINTS_PER_INCH, {}});
    }
    // `lp -o landscape` changes nothing of the above.
    cases.push_back({"tx90_A1_landscapeOption", "tx90", "A1", 1684, 2384, {"landscape"}});
    return cases;
}

void PrintTo(const OrientationCase& c, std::ostream* os) { *os << c.name; }

class Orientation : public ::testing::TestWithParam<OrientationCase> {};

TEST_P(Orientation, landscapePageReadsUprightAndPortraitPageTurnsAQuarter) {
    const OrientationCase& c = GetParam();
    std::vector<std::string> options = {"PageSize=" + c.paper, "ColorModel=RGB", "TavixToneMode=ContinuousTone"};
    options.insert(options.end(), c.extra.begin(), c.extra.end());

    Printed landscape = printPdf(c.ppd, markedPage(c.longSide, c.shortSide), options, "landscape");
    ASSERT_TRUE(landscape.failure.empty()) << landscape.failure;
    std::array<Corner, 3> upright{TOP_LEFT, TOP_RIGHT, BOTTOM_LEFT};
    EXPECT_EQ(landscape.places, upright) << "landscape page: " << describe(landscape.places);

    Printed portrait = printPdf(c.ppd, markedPage(c.shortSide, c.longSide), options, "portrait");
    ASSERT_TRUE(portrait.failure.empty()) << portrait.failure;
    EXPECT_TRUE(quarterTurn(portrait.places)) << "portrait page: " << describe(portrait.places);
}

INSTANTIATE_TEST_SUITE_P(ModelsAndPapers, Orientation, ::testing::ValuesIn(orientationCases()),
                         [](const ::testing::TestParamInfo<OrientationCase>& info) {
                             std::string name;
                             for (char ch : info.param.name)
                                 name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

}  // namespace
}  // namespace tavix::cups::testing
