// The whole CUPS chain: a PDF of ours through cupsfilter, CUPS's own
// PDF-to-raster filter and our filter, for every model in colour and
// monochrome, dithered and in continuous tone. The stream is read back by
// the preview's reader (which shares no code with the driver) and compared
// pixel by pixel with the raster CUPS made for the same page; its job
// ticket and set-up are compared with what `tavix` writes for the same
// settings through the driver's dialogs.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cupsTestSupport.h"
#include "streamParser.h"

namespace tavix::cups::testing {
namespace {

const std::string PDF = sourcePath("examples/plot-pages.pdf");
constexpr double PLOT_MARGIN_INCHES = 0.197;  // the plot area begins this far inside the paper

struct Mode {
    const char* name;
    bool colour;
    bool contone;
};
const Mode MODES[] = {{"ColourDithered", true, false},
                      {"ColourContone", true, true},
                      {"MonoDithered", false, false},
                      {"MonoContone", false, true}};

std::vector<std::string> optionsFor(const Mode& mode) {
    return {"PageSize=Letter", std::string("ColorModel=") + (mode.colour ? "RGB" : "Gray"),
            std::string("TavixToneMode=") + (mode.contone ? "ContinuousTone" : "Dithered")};
}

std::string joined(const std::vector<std::string>& options) {
    std::string text;
    for (const std::string& o : options) text += (text.empty() ? "" : " ") + o;
    return text;
}

preview::ParseLimits generousLimits() {
    preview::ParseLimits limits;
    limits.maxRasterPixels = 64'000'000;
    limits.maxTotalRasterPixels = 256'000'000;
    return limits;
}

// The raster pixel as RGB, whatever CUPS's colour space.
preview::Rgb rasterPixel(const RasterPage& page, uint32_t x, uint32_t y) {
    const uint8_t* p = page.row(y);
    if (page.header.cupsBitsPerPixel == 24) return {p[3 * x], p[3 * x + 1], p[3 * x + 2]};
    return {p[x], p[x], p[x]};
}

preview::Rgb printedPixel(const preview::RasterImage& image, int row, int column) {
    const uint8_t* p = &image.rgba[(static_cast<size_t>(row) * image.storedWidth + column) * 4];
    if (p[3] == 0) return {255, 255, 255};  // unprinted paper
    return {p[0], p[1], p[2]};
}

bool pure(const preview::Rgb& c) {
    auto extreme = [](uint8_t v) { return v == 0 || v == 255; };
    return extreme(c.r) && extreme(c.g) && extreme(c.b);
}

int lightness(const preview::Rgb& c) { return (c.r + c.g + c.b) / 3; }

struct Agreement {
    uint64_t compared = 0, equal = 0;      // every pixel (continuous tone) or the pure ones (dithered)
    uint64_t tiles = 0, tilesClose = 0;    // 16 x 16 tiles whose mean lightness agrees
    double share() const { return compared ? double(equal) / double(compared) : 0; }
    double tileShare() const { return tiles ? double(tilesClose) / double(tiles) : 0; }
};

// Where the plot area begins in the raster, in raster pixels. A raster
// covers the whole page, or (ghostscript's) only the imageable area, which
// starts at the header's imaging box.
uint32_t rasterOffset(const RasterPage& page, bool along) {
    const cups_page_header2_t& h = page.header;
    double dpi = h.HWResolution[along ? 1 : 0];
    double pagePixels = (along ? h.cupsPageSize[1] : h.cupsPageSize[0]) / 72.0 * dpi;
    double rasterPixels = along ? h.cupsHeight : h.cupsWidth;
    double startPoints = 0;
    if (rasterPixels < pagePixels - 1)
        startPoints = along ? h.cupsPageSize[1] - h.cupsImagingBBox[3] : h.cupsImagingBBox[0];
    double offset = (PLOT_MARGIN_INCHES - startPoints / 72.0) * dpi;
    return offset > 0 ? static_cast<uint32_t>(offset + 0.5) : 0;
}

// Printer row r is raster row top + r; printer pixel i of a row is raster
// pixel left + i (the page's top prints first, its left edge at the plot
// area's Y origin).
Agreement compare(const preview::RasterImage& image, const RasterPage& page, bool dithered) {
    Agreement a;
    uint32_t top = rasterOffset(page, true), left = rasterOffset(page, false);
    int rows = std::min<int>(image.storedHeight, static_cast<int>(page.header.cupsHeight - top));
    int cols = std::min<int>(image.storedWidth, static_cast<int>(page.header.cupsWidth - left));
    for (int r = 0; r < rows; ++r)
        for (int i = 0; i < cols; ++i) {
            preview::Rgb want = rasterPixel(page, left + i, top + r), got = printedPixel(image, r, i);
            if (dithered && !pure(want)) continue;
            ++a.compared;
            if (want == got) ++a.equal;
        }
    constexpr int TILE = 16, CLOSE = 64;
    for (int r0 = 0; r0 + TILE <= rows; r0 += TILE)
        for (int i0 = 0; i0 + TILE <= cols; i0 += TILE) {
            long want = 0, got = 0;
            for (int r = r0; r < r0 + TILE; ++r)
                for (int i = i0; i < i0 + TILE; ++i) {
                    want += lightness(rasterPixel(page, left + i, top + r));
                    got += lightness(printedPixel(image, r, i));
                }
            ++a.tiles;
            if (std::labs(want - got) <= CLOSE * TILE * TILE) ++a.tilesClose;
        }
    return a;
}

struct ChainCase {
    int model;
    Mode mode;
};

class CupsChain : public ::testing::TestWithParam<ChainCase> {};

TEST_P(CupsChain, printsEveryPageAsCupsRasterisedIt) {
    const ChainCase& c = GetParam();
    const std::string ppd = ppdPath(MODELS[c.model].ppd);
    const std::string folder = freshFolder("chain");
    std::vector<std::string> options = optionsFor(c.mode);
    options.push_back(AS_RASTER);

    RunResult raster = cupsfilter(ppd, options, PDF, "application/vnd.cups-raster", folder + "/page.ras");
    ASSERT_EQ(raster.status, 0) << raster.err;
    RunResult chain = cupsfilter(ppd, options, PDF, "printer/foo", folder + "/page.plt");
    ASSERT_EQ(chain.status, 0) << chain.err;
    EXPECT_NE(chain.err.find("rastertotavix"), std::string::npos) << "our filter was not in the chain";
    const std::string stream = readFile(folder + "/page.plt");

    // The chain's last step is our filter on CUPS's raster, nothing else.
    RunResult direct = runFilter(ppd, joined(options), folder + "/page.ras");
    ASSERT_EQ(direct.status, 0) << direct.err;
    EXPECT_TRUE(direct.out == stream) << "the chain's stream differs from the filter's on the same raster";
    EXPECT_NE(direct.err.find("PAGE: 2 1"), std::string::npos) << direct.err;

    std::vector<RasterPage> pages = readRaster(folder + "/page.ras");
    ASSERT_EQ(pages.size(), 2u);
    unsigned dpi = c.mode.colour ? 300 : 400;
    EXPECT_EQ(pages[0].header.HWResolution[0], dpi) << "the PPD asks CUPS for the driver's resolution";
    EXPECT_EQ(pages[0].header.cupsBitsPerPixel, c.mode.colour ? 24u : 8u);

    preview::ParsedStream parsed = preview::parseStream(stream, generousLimits());
    ASSERT_EQ(parsed.pages.size(), 2u);
    for (size_t p = 0; p < 2; ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        ASSERT_EQ(parsed.pages[p].rasters.size(), 1u);
        const preview::RasterImage& image = parsed.pages[p].rasters[0];
        ASSERT_EQ(image.factor, 1);
        EXPECT_EQ(image.dpi, static_cast<int>(dpi));
        // The plot area: the Letter page less the margins, in whole printer pixels.
        EXPECT_EQ(image.rows, static_cast<int>((11 - 2 * PLOT_MARGIN_INCHES) * dpi));
        EXPECT_EQ(image.width, static_cast<int>((8.5 - 2 * PLOT_MARGIN_INCHES) * dpi));
        EXPECT_EQ(image.printedRows + image.skippedRows, image.rows);
        EXPECT_TRUE(parsed.pages[p].ended) << "each page ends with PG";

        Agreement a = compare(image, pages[p], !c.mode.contone);
        std::printf("%s %s page %zu: %.4f%% of %llu %s pixels agree, %.2f%% of %llu tiles\n", MODELS[c.model].name,
                    c.mode.name, p + 1, 100 * a.share(), static_cast<unsigned long long>(a.compared),
                    c.mode.contone ? "" : "pure", 100 * a.tileShare(), static_cast<unsigned long long>(a.tiles));
        // Continuous tone carries every pixel unchanged (100% agreement);
        // the dither prints pure colours exactly (100% of those pixels) and
        // keeps each tile's lightness within a quarter of the scale (its
        // tone curve brightens the mid-tones).
        EXPECT_GT(a.compared, 1'000'000u);
        EXPECT_EQ(a.equal, a.compared);
        EXPECT_GE(a.tileShare(), c.mode.contone ? 0.999 : 0.99);
    }
}

std::vector<ChainCase> allCases() {
    std::vector<ChainCase> cases;
    for (int m = 0; m < 5; ++m)
        for (const Mode& mode : MODES) cases.push_back({m, mode});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryModelAndMode, CupsChain, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<ChainCase>& info) {
                             return std::string(MODELS[info.param.model].ppd) + "_" + info.param.mode.name;
                         });

// ---- Job ticket and set-up against the driver's own configuration run ----

struct TicketCase {
    const char* name;
    int model;
    std::vector<std::string> filterOptions;  // besides PageSize=Letter
    std::vector<std::string> hostOptions;    // tavix configure, besides --paper and --model
    int copies;
};

// The stream up to the end of the plot's set-up ("TR0"), where the page's
// raster begins.
std::string setUpOf(const std::string& stream) {
    size_t end = stream.find("TR0");
    return end == std::string::npos ? stream : stream.substr(0, end + 3);
}

class TicketAndSetUp : public ::testing::TestWithParam<TicketCase> {};

TEST_P(TicketAndSetUp, equalWhatTheDriverWritesForTheSameSettings) {
    const TicketCase& c = GetParam();
    const std::string folder = freshFolder("ticket");
    std::vector<std::string> options = {"PageSize=Letter"};
    options.insert(options.end(), c.filterOptions.begin(), c.filterOptions.end());
    RunResult chain = cupsfilter(ppdPath(MODELS[c.model].ppd), options, PDF, "printer/foo", folder + "/page.plt", c.copies);
    ASSERT_EQ(chain.status, 0) << chain.err;
    std::string ours = setUpOf(readFile(folder + "/page.plt"));

    std::vector<std::string> configure = {hostProgramPath(), "--config", folder + "/host.cfg", "configure", "--defaults",
                                          "--model", MODELS[c.model].host, "--paper", "ANSI A"};
    configure.insert(configure.end(), c.hostOptions.begin(), c.hostOptions.end());
    RunOptions inFolder;
    inFolder.env.push_back("PWD=" + folder);
    std::string cd = "cd '" + folder + "' && ";
    std::string command;
    for (const std::string& a : configure) command += "'" + a + "' ";
    RunResult configured = run({"sh", "-c", cd + command});
    ASSERT_EQ(configured.status, 0) << configured.err;
    // A drawing of one short line: a plot with nothing drawn sends nothing.
    writeFile(folder + "/drawing.txt", "move 0 0\ndraw 1 1\n");
    RunResult plotted = run({"sh", "-c", cd + "'" + hostProgramPath() + "' --config host.cfg plot drawing.txt -o host.plt"});
    ASSERT_EQ(plotted.status, 0) << plotted.err;
    std::string driver = setUpOf(readFile(folder + "/host.plt"));

    ASSERT_FALSE(ours.empty());
    EXPECT_TRUE(ours == driver) << "filter:\n" << ours.substr(0, 600) << "\n\ndriver:\n" << driver.substr(0, 600);
    // The first page's set-up is repeated for the second: each page is a plot.
    std::string whole = readFile(folder + "/page.plt");
    EXPECT_NE(whole.find(ours, ours.size()), std::string::npos);
}

const std::vector<TicketCase> TICKET_CASES = {
    {"tx90Defaults", 0, {"ColorModel=RGB"}, {"--colour", "colour"}, 1},
    {"tx70Defaults", 1, {"ColorModel=RGB"}, {"--colour", "colour"}, 1},
    {"tx30Defaults", 2, {"ColorModel=Gray"}, {"--colour", "mono"}, 1},
    {"lumenq1Defaults", 3, {"ColorModel=Gray"}, {"--colour", "mono"}, 1},
    {"txseriesDefaults", 4, {"ColorModel=RGB"}, {"--colour", "colour"}, 1},
    {"tx90EveryTicketOption",
     0,
     {"ColorModel=RGB", "MediaType=Film", "InputSlot=Tray2", "TavixCut=SynchronousCut", "TavixMirror=On",
      "TavixInvert=On", "TavixCentering=Off", "TavixDensity=30", "TavixTextStamp=On", "TavixStampMode=Transparent",
      "TavixDateStamp=On", "TavixStampPosition=4", "TavixStampFontSize=24", "TavixOrientation=Portrait"},
     {"--colour", "colour", "--copies", "3", "--media", "film", "--tray", "tray2", "--cut", "synchronous", "--mirror",
      "on", "--invert", "on", "--centering", "off", "--density", "30", "--stamp", "on", "--stamp-mode", "transparent",
      "--date-stamp", "on", "--stamp-position", "centre", "--stamp-font-size", "24", "--orientation", "portrait",
      "--draw-name", "plot-pages.pdf"},  // the job's title is the stamp's drawing name
     3},
    {"txseriesSheetFeedTracing", 4, {"ColorModel=Gray", "InputSlot=SheetPaper", "MediaType=Transparent"},
     {"--colour", "mono", "--tray", "sheet", "--media", "tracing"}, 1},
    {"tx30StandardOutputNoMargin", 2, {"ColorModel=Gray", "TavixOutput=Standard", "TavixPlotMargin=Off"},
     {"--colour", "mono", "--output", "standard", "--margin", "off"}, 2},
};

INSTANTIATE_TEST_SUITE_P(Settings, TicketAndSetUp, ::testing::ValuesIn(TICKET_CASES),
                         [](const ::testing::TestParamInfo<TicketCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavix::cups::testing
