// The tone of gray patches through the whole chain: a PDF with 25, 50 and
// 75 % gray patches goes through cupsfilter, and each patch is measured in
// the raster CUPS hands the filter and, at full resolution, in the printed
// stream as the preview's reader decodes it. CUPS hands over the page's own
// values (no gamma or colour profile in between); continuous tone prints
// them as they are, and the driver's dither prints them through its fixed
// tone curve, which lightens the mid-tones (a 50 % patch averages 186).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cupsTestSupport.h"
#include "streamParser.h"

namespace tavix::cups::testing {
namespace {

constexpr double PAGE_W = 612, PAGE_H = 792;
constexpr double PATCH = 144;  // points; the patches stand in a row
constexpr double GRAYS[] = {0.25, 0.5, 0.75};  // share of black
double patchLeft(int i) { return 72 + i * 160.0; }
constexpr double PATCH_BOTTOM = 400;

PdfPage patchPage() {
    PdfPage page{PAGE_W, PAGE_H, {}};
    for (int i = 0; i < 3; ++i) {
        double white = 1 - GRAYS[i];
        page.boxes.push_back({patchLeft(i), PATCH_BOTTOM, PATCH, PATCH, white, white, white});
    }
    return page;
}

// The raster's value in the middle of patch i.
int rasterValue(const RasterPage& page, int i) {
    double dpi = page.header.HWResolution[0];
    auto x = static_cast<uint32_t>((patchLeft(i) + PATCH / 2) / 72 * dpi);
    auto y = static_cast<uint32_t>((PAGE_H - PATCH_BOTTOM - PATCH / 2) / 72 * dpi);
    return page.row(y)[x * (page.header.cupsBitsPerPixel / 8)];
}

// The mean printed lightness over the middle half of patch i, in whole
// 16 x 16 dither tiles. The raster's rows run along the page's length and
// its pixels along the width, from the plot area's corner.
double printedMean(const preview::RasterImage& image, double dpi, int i) {
    constexpr double MARGIN = 0.197 * 72;  // the plot area starts this far in
    int col0 = static_cast<int>((patchLeft(i) + PATCH / 4 - MARGIN) / 72 * dpi);
    int row0 = static_cast<int>((PAGE_H - PATCH_BOTTOM - PATCH * 3 / 4 - MARGIN) / 72 * dpi);
    int span = static_cast<int>(PATCH / 2 / 72 * dpi) / 16 * 16;
    double sum = 0;
    long count = 0;
    for (int r = row0; r < row0 + span; ++r)
        for (int c = col0; c < col0 + span; ++c) {
            const uint8_t* p = &image.rgba[(static_cast<size_t>(r) * image.storedWidth + c) * 4];
            sum += p[3] == 0 ? 255.0 : (p[0] + p[1] + p[2]) / 3.0;
            ++count;
        }
    return sum / count;
}

// What the driver's dither prints for a page value v: its tone curve gives
// the share of white, level = 255 - curve(v) cells of 256 are inked. The
// curve's values for the patches' raster values, from the driver's table.
double ditheredMean(int value) {
    struct Point {
        int value, curve;
    };
    const Point CURVE[] = {{64, 123}, {127, 186}, {128, 187}, {191, 228}, {192, 228}};
    for (const Point& p : CURVE)
        if (p.value == value) return 255.0 * (256 - (255 - p.curve)) / 256;
    ADD_FAILURE() << "no tone curve value for " << value;
    return -1;
}

struct ToneCase {
    const char* name;
    const char* colour;
    bool contone;
};

class Tone : public ::testing::TestWithParam<ToneCase> {};

TEST_P(Tone, grayPatchesPrintAsTheDriverToneCurveSays) {
    const ToneCase& c = GetParam();
    const std::string folder = freshFolder("tone");
    const std::string pdf = folder + "/patches.pdf", raster = folder + "/patches.ras", stream = folder + "/patches.plt";
    writeFile(pdf, makePdf({patchPage()}));
    std::vector<std::string> options = {"PageSize=Letter", std::string("ColorModel=") + c.colour,
                                        std::string("TavixToneMode=") + (c.contone ? "ContinuousTone" : "Dithered"),
                                        AS_RASTER};
    ASSERT_EQ(cupsfilter(ppdPath("tx90"), options, pdf, "application/vnd.cups-raster", raster).status, 0);
    RunResult r = cupsfilter(ppdPath("tx90"), options, pdf, "printer/foo", stream);
    ASSERT_EQ(r.status, 0) << r.err;

    std::vector<RasterPage> pages = readRaster(raster);
    ASSERT_EQ(pages.size(), 1u);
    preview::ParseLimits limits;
    limits.maxRasterPixels = 64'000'000;
    limits.maxTotalRasterPixels = 64'000'000;
    preview::ParsedStream parsed = preview::parseStream(readFile(stream), limits);
    ASSERT_EQ(parsed.pages.size(), 1u);
    ASSERT_EQ(parsed.pages[0].rasters.size(), 1u);
    const preview::RasterImage& image = parsed.pages[0].rasters[0];
    ASSERT_EQ(image.factor, 1) << "measured at full resolution";
    double dpi = pages[0].header.HWResolution[0];
    for (int i = 0; i < 3; ++i) {
        int value = rasterValue(pages[0], i);
        // The page's value, as a PDF reader computes it: (1 - gray) x 255.
        EXPECT_NEAR(value, (1 - GRAYS[i]) * 255, 1.5) << "CUPS's raster, patch " << GRAYS[i];
        double printed = printedMean(image, dpi, i);
        double expected = c.contone ? value : ditheredMean(value);
        EXPECT_NEAR(printed, expected, 1.5) << c.name << ", patch " << GRAYS[i] << " (raster " << value << ")";
        std::printf("[ MEASURED ] %s: %2.0f %% gray: raster %d, printed mean %.1f\n", c.name, GRAYS[i] * 100, value,
                    printed);
    }
}

const ToneCase TONE_CASES[] = {{"GrayDithered", "Gray", false},
                               {"ColourDithered", "RGB", false},
                               {"GrayContone", "Gray", true},
                               {"ColourContone", "RGB", true}};

INSTANTIATE_TEST_SUITE_P(Chain, Tone, ::testing::ValuesIn(TONE_CASES),
                         [](const ::testing::TestParamInfo<ToneCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tavix::cups::testing
