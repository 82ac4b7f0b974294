// Where a CUPS page goes on the model's papers: the fixed paper of its size
// or the shortest roll paper that holds it, the driver's resolution
// divisor, the plot area asked for, and the raster inside the margins.
#include <gtest/gtest.h>

#include "modelProfile.h"
#include "rasterGeometry.h"

namespace tavix::cups {
namespace {

constexpr double MARGIN = 0.197;  // inches, the plot margin on each side

struct PageCase {
    const char* name;
    int model;
    double widthPoints, lengthPoints;
    int paperSize;      // expected row, 0: no paper holds the page
    bool roll;
    int divisor;
};

class PaperChoice : public ::testing::TestWithParam<PageCase> {};

TEST_P(PaperChoice, takesTheFixedPaperOrTheShortestRollThatHoldsThePage) {
    const PageCase& c = GetParam();
    ModelProfile profile = modelProfile(c.model);
    PlotSettings settings = profile.defaults;
    PageShape page{c.widthPoints, c.lengthPoints, 100, 100, 100, 100};
    PageLayout layout;
    std::string error;
    bool ok = layOutPage(profile, settings, page, layout, error);
    if (c.paperSize == 0) {
        EXPECT_FALSE(ok);
        EXPECT_NE(error.find("larger than any paper of the " + profile.name), std::string::npos) << error;
        return;
    }
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(layout.paper->paperSize, c.paperSize);
    EXPECT_EQ(layout.roll, c.roll);
    EXPECT_EQ(layout.askMaximum, !c.roll);
    EXPECT_EQ(layout.divisor, c.divisor);
    EXPECT_DOUBLE_EQ(layout.stepsPerInch, 1016.0 / c.divisor);
    EXPECT_NEAR(layout.areaX, c.lengthPoints / 72 - 2 * MARGIN, 1e-9);
    EXPECT_NEAR(layout.areaY, c.widthPoints / 72 - 2 * MARGIN, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PaperChoice,
    ::testing::Values(PageCase{"letterIsAnsiA", 0, 612, 792, 10, false, 1},
                      PageCase{"archEOnTheTx90", 0, 2592, 3456, 1, false, 1},
                      PageCase{"a4AsPdfsRoundIt", 0, 595, 842, 17, false, 1},
                      PageCase{"a4OnTheTx30", 2, 595.2, 841.8, 13, false, 1},
                      PageCase{"b1OnTheTx70IsACustomLengthOnItsRoll", 1, 2063.6, 2919.7, 18, true, 2},
                      PageCase{"customHundredInchesOnTheShortestRoll", 0, 2592, 7200, 22, true, 2},
                      PageCase{"customJustBeyond129Inches", 0, 1000, 129.5 * 72, 23, true, 4},
                      PageCase{"aWholeRoll", 0, 2592, 43200, 25, true, 16},
                      PageCase{"the24InchRoll", 3, 1728, 200 * 72, 15, true, 4},
                      PageCase{"widerThanThe24InchRoll", 2, 25 * 72, 100 * 72, 0, false, 0},
                      PageCase{"longerThanTheLongestPaper", 4, 2592, 601 * 72, 0, false, 0},
                      PageCase{"aFixedSizeTurnedSidewaysIsACustomLength", 0, 792, 612, 22, true, 2}),
    [](const ::testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

// The raster inside the plot area: a whole-page raster starts its plot area
// one margin in; ghostscript's rasters already start at the imaging box.
struct CropCase {
    const char* name;
    bool margin;
    double originAcross, originAlong;  // inches
    uint32_t pixels, rows;             // the raster, at 300 dpi
    uint32_t cropLeft, cropCols, cropTop, cropRows;
};

class RasterCrop : public ::testing::TestWithParam<CropCase> {};

TEST_P(RasterCrop, leavesTheMarginsOut) {
    const CropCase& c = GetParam();
    ModelProfile profile = modelProfile(0);
    PlotSettings settings = profile.defaults;
    settings.set(flags::plotMargin, c.margin);
    PageShape page{612, 792, c.pixels, c.rows, 300, 300, c.originAcross, c.originAlong};
    PageLayout layout;
    std::string error;
    ASSERT_TRUE(layOutPage(profile, settings, page, layout, error)) << error;
    EXPECT_EQ(layout.cropLeft, c.cropLeft);
    EXPECT_EQ(layout.cropCols, c.cropCols);
    EXPECT_EQ(layout.cropTop, c.cropTop);
    EXPECT_EQ(layout.cropRows, c.cropRows);
    EXPECT_DOUBLE_EQ(layout.pixelInches, 1.0 / 400);  // monochrome by default: 400 dpi
}

INSTANTIATE_TEST_SUITE_P(
    Rasters, RasterCrop,
    ::testing::Values(
        // 8.5 x 11 in: 2550 x 3300 pixels; the area is 8.106 x 10.606 in.
        CropCase{"wholePage", true, 0, 0, 2550, 3300, 59, 2432, 59, 3182},
        CropCase{"imagingBoxOnly", true, 14.18 / 72, 14.18 / 72, 2432, 3182, 0, 2432, 0, 3182},
        CropCase{"noMargin", false, 0, 0, 2550, 3300, 0, 2550, 0, 3300},
        // A raster short of its page: the area is cut at the raster's end.
        CropCase{"shortRaster", true, 0, 0, 2000, 1000, 59, 1941, 59, 941}),
    [](const ::testing::TestParamInfo<CropCase>& info) { return std::string(info.param.name); });

TEST(RasterCrop, anEmptyPageOrOneInsideTheMarginsIsRefused) {
    ModelProfile profile = modelProfile(0);
    PageLayout layout;
    std::string error;
    EXPECT_FALSE(layOutPage(profile, profile.defaults, PageShape{612, 792, 0, 3300, 300, 300}, layout, error));
    EXPECT_NE(error.find("The page is empty (0 x 3300 pixels at 300 x 300 dpi)"), std::string::npos) << error;
    // A raster that ends before the plot area begins holds nothing to print.
    EXPECT_FALSE(layOutPage(profile, profile.defaults, PageShape{612, 792, 50, 50, 300, 300}, layout, error));
    EXPECT_NE(error.find("holds nothing inside the plot margins"), std::string::npos) << error;
}

}  // namespace
}  // namespace tavix::cups
