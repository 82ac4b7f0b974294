// The preview prints as the printer prints: white raster pixels let what is
// under them show, rasters at whole-number ratios keep their exact colours,
// adaptive line types fit ceil(length / pattern) whole patterns that start
// and end in ink, the job
// ticket's pen widths and grays apply, and Japanese ticket texts are drawn
// with a font that has them.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "preview.h"
#include "previewPicture.h"
#include "previewStreams.h"

namespace tavix::preview {
namespace {

using testing::bytes;
using testing::pePair;
using testing::rtlBegin;
using testing::rtlEnd;
using testing::rtlRow;

const Rgb WHITE{255, 255, 255}, RED{255, 0, 0}, GREEN{0, 255, 0}, BLUE{0, 0, 255}, BLACK{0, 0, 0};
const Rgb YELLOW{255, 255, 0};

std::string page(const std::string& body, long width = 10160, long height = 7620) {
    return testing::preamble(width, height, 1) + body + ";PUSP0;PG;";
}

using testing::Picture;
using testing::render;

// ------------------------------------------------------------ raster forms

// One of the driver's four raster forms: its configuration and palette,
// and a row made from a colour index per pixel (0 white, 1..7 the colours
// of the dithered colour palette; the monochrome form has 0 and 1 only).
struct RasterForm {
    const char* name;
    uint8_t config[6];
    std::string palette;
    std::function<std::string(const std::vector<int>&)> row;  // the row's transfers
    std::vector<Rgb> colours;                                 // by index
};

const std::vector<Rgb> EIGHT = {WHITE, YELLOW, {255, 0, 255}, RED, {0, 255, 255}, GREEN, BLUE, BLACK};

std::string packBits(const std::vector<int>& index, int plane) {
    std::string out((index.size() + 7) / 8, '\0');
    for (size_t i = 0; i < index.size(); ++i)
        if (index[i] >> plane & 1) out[i / 8] = static_cast<char>(out[i / 8] | 0x80 >> (i % 8));
    return out;
}

std::vector<RasterForm> rasterForms() {
    std::vector<RasterForm> forms;
    forms.push_back({"dithered monochrome", {0, 0, 1, 8, 8, 8}, "\x1b*v255a255b255c0I\x1b*v0a0b0c1I",
                     [](const std::vector<int>& ix) {
                         std::vector<int> bits;
                         for (int i : ix) bits.push_back(i ? 1 : 0);
                         return rtlRow(0, packBits(bits, 0));
                     },
                     {WHITE, BLACK, BLACK, BLACK, BLACK, BLACK, BLACK, BLACK}});
    forms.push_back({"dithered colour planes", {0, 0, 0xFF, 8, 8, 8}, testing::COLOUR_PLANE_PALETTE,
                     [](const std::vector<int>& ix) {
                         return rtlRow(0, packBits(ix, 0), 'V') + rtlRow(0, packBits(ix, 1), 'V') +
                                rtlRow(0, packBits(ix, 2));
                     },
                     EIGHT});
    forms.push_back({"continuous-tone gray", {0, 1, 0xFF, 8, 8, 8}, testing::grayPalette(),
                     [](const std::vector<int>& ix) {
                         std::string row;
                         for (int i : ix) row += static_cast<char>(i ? 255 - 30 * i : 255);
                         return rtlRow(0, row);
                     },
                     {WHITE, {225, 225, 225}, {195, 195, 195}, {165, 165, 165}, {135, 135, 135},
                      {105, 105, 105}, {75, 75, 75}, {45, 45, 45}}});
    forms.push_back({"continuous-tone RGB", {0, 3, 8, 8, 8, 8}, "",
                     [](const std::vector<int>& ix) {
                         std::string row;
                         for (int i : ix) row += bytes({EIGHT[i].r, EIGHT[i].g, EIGHT[i].b});
                         return rtlRow(0, row);
                     },
                     EIGHT});
    return forms;
}

// A width x rows raster at 300 dpi with its corner at (2000, 2000) on a
// 5 x 3.75 inch page, after `under` is drawn. Rows run along X, pixels
// along Y.
std::string rasterOver(const std::string& under, const RasterForm& form, int width,
                       const std::function<int(int pixel, int row)>& index, int rows) {
    std::string raster = rtlBegin(form.config, width, rows, 300, form.palette);
    for (int r = 0; r < rows; ++r) {
        std::vector<int> ix;
        for (int i = 0; i < width; ++i) ix.push_back(index(i, r));
        raster += form.row(ix);
    }
    return page(under + ";PUPA2000,2000" + raster + rtlEnd() + "PA2000,2000PR", 5080, 3810);
}

TEST(PreviewFidelity, WhiteRasterPixelsLetFillsAndLinesShowInEveryForm) {
    // Under the raster: a green square (x 1990..2030) and a red 1 mm line
    // along Y at x 2045 (the raster's 24 rows reach x 2081). Pixels 0..7
    // of each row are white, 8..15 colour 1.
    std::string under = "SP3PE7<" + pePair(1990, 1990, true) + ";PM0PE7" + pePair(40, 0, true) +
                        pePair(0, 70, true) + pePair(-40, 0, true) + pePair(0, -70, true) +
                        ";PM2FPSP1PW1.0PE7<" + pePair(55, 0, true) + pePair(0, 70, true) + ";";
    double u = 1016.0 / 300;
    for (const RasterForm& form : rasterForms()) {
        SCOPED_TRACE(form.name);
        Picture p = render(rasterOver(under, form, 16, [](int i, int) { return i < 8 ? 0 : 1; }, 24), 600);
        EXPECT_EQ(p.at(2000 + 3 * u, 2000 + 3 * u), GREEN);          // white pixel over the fill
        EXPECT_EQ(p.at(2045, 2000 + 3 * u), RED);                    // white pixel over the line
        EXPECT_EQ(p.at(2000 + 3 * u, 2000 + 12 * u), form.colours[1]);  // printed colour over the fill
        EXPECT_EQ(p.at(2045, 2000 + 12 * u), form.colours[1]);       // printed colour over the line
        EXPECT_EQ(p.at(2000 + 22 * u, 2000 + 3 * u), WHITE);         // white pixel over bare paper
    }
}

TEST(PreviewFidelity, OpaqueSourceModeKeepsWhitePixels) {
    // ESC*v1N turns source transparency off: white pixels then cover.
    RasterForm form = rasterForms()[3];
    form.palette = "\x1b*v1N";
    std::string under = "SP3PE7<" + pePair(1990, 1990, true) + ";PM0PE7" + pePair(40, 0, true) +
                        pePair(0, 70, true) + pePair(-40, 0, true) + pePair(0, -70, true) + ";PM2FP";
    double u = 1016.0 / 300;
    Picture p = render(rasterOver(under, form, 16, [](int, int) { return 0; }, 16), 600);
    EXPECT_TRUE(p.result.warnings.empty()) << (p.result.warnings.empty() ? "" : p.result.warnings[0].text);
    EXPECT_EQ(p.at(2000 + 3 * u, 2000 + 3 * u), WHITE);
    EXPECT_EQ(p.at(1995, 2000 + 3 * u), GREEN);
}

// The distinct colours inside the raster's rectangle (a pixel's width in
// from its edges).
std::set<uint32_t> coloursInside(const Picture& p, double x0, double y0, double x1, double y1) {
    const PageGeometry& g = p.result.geometry;
    std::set<uint32_t> seen;
    for (int y = static_cast<int>(g.pixelY(y1)) + 2; y < static_cast<int>(g.pixelY(y0)) - 2; ++y)
        for (int x = static_cast<int>(g.pixelX(x0)) + 2; x < static_cast<int>(g.pixelX(x1)) - 2; ++x) {
            Rgb c = p.image.pixel(x, y);
            seen.insert(uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b);
        }
    return seen;
}

TEST(PreviewFidelity, WholeNumberRatiosKeepTheRasterColoursExact) {
    // A 64 x 64 pattern of all eight indices at 300 dpi: shown at 300 and
    // 600 dpi only the form's own colours appear; at 150 dpi two printer
    // pixels share a picture pixel and are averaged.
    const double u = 1016.0 / 300;
    struct Case {
        double dpi;
        bool exact;
    };
    const Case cases[] = {{150, false}, {300, true}, {600, true}};
    for (const RasterForm& form : rasterForms()) {
        std::set<uint32_t> own;
        for (const Rgb& c : form.colours) own.insert(uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b);
        // Index 0 is white and shows the paper, which is white too.
        std::string stream = rasterOver("", form, 64, [](int i, int r) { return (i * 3 + r * 5) % 8; }, 64);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(form.name) + " at " + std::to_string(c.dpi) + " dpi");
            Picture p = render(stream, c.dpi, false, true);
            std::set<uint32_t> seen = coloursInside(p, 2000, 2000, 2000 + 64 * u, 2000 + 64 * u);
            size_t foreign = 0;
            for (uint32_t v : seen) foreign += own.count(v) ? 0 : 1;
            if (c.exact) EXPECT_EQ(foreign, 0u) << seen.size() << " colours";
            else EXPECT_GT(foreign, 0u);
        }
    }
}

// ------------------------------------------------------------ line types

// HP-GL/2's default adaptive line types -1..-8 as its reference draws them:
// pen down, pen up, ... in percent of the pattern, the first dash of the
// fixed type split between the pattern's two ends.
const std::vector<double> ADAPTIVE[9] = {
    {},
    {0, 100, 0},
    {25, 50, 25},
    {35, 30, 35},
    {40, 10, 0, 10, 40},
    {35, 10, 10, 10, 35},
    {25, 10, 10, 10, 10, 10, 25},
    {35, 10, 0, 10, 0, 10, 35},
    {25, 10, 0, 10, 10, 10, 0, 10, 25},
};

TEST(PreviewFidelity, AdaptiveLineTypesStartAndEndInInkWithWholePatterns) {
    // 0.5 mm pens (20 units) with butt ends, patterns of 40 mm (1600 units);
    // ceil(length / 1600) patterns fit. A dot with butt ends is a pen-width
    // dash (20 units) after its place, inside the vector at its ends.
    struct Case {
        int type;
        long dx, dy;
    };
    std::vector<Case> cases;
    for (int type = 1; type <= 8; ++type) cases.push_back({type, 4320, 0});  // 3 patterns
    cases.push_back({2, 1000, 0});    // shorter than one pattern: one, shrunk
    cases.push_back({8, 3300, 0});    // just over two: three
    cases.push_back({4, -4320, 0});   // right to left
    cases.push_back({7, 0, 4320});    // upwards
    for (bool antialias : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE("LT-" + std::to_string(c.type) + " by " + std::to_string(c.dx) + "," +
                         std::to_string(c.dy) + (antialias ? " antialiased" : ""));
            const long x0 = c.dx < 0 ? 6000 : 1000, y0 = 2000;
            std::string body = "SP1PW0.5LT-" + std::to_string(c.type) + ",40,1PE7<" + pePair(x0, y0, true) +
                               pePair(c.dx, c.dy, true) + ";";
            Picture p = render(page(body), 254, false, antialias);
            double length = std::hypot(double(c.dx), double(c.dy));
            double ux = c.dx / length, uy = c.dy / length;
            auto at = [&](double s) { return p.at(x0 + ux * s, y0 + uy * s); };
            int count = static_cast<int>(std::ceil(length / 1600));
            double period = length / count;
            const std::vector<double>& pattern = ADAPTIVE[c.type];
            for (int k = 0; k < count; ++k) {
                double s = period * k;
                for (size_t i = 0; i < pattern.size(); ++i) {
                    double part = pattern[i] / 100 * period;
                    std::string where = "pattern " + std::to_string(k) + " part " + std::to_string(i);
                    if (i % 2 == 1) EXPECT_EQ(at(s + part * 0.75), WHITE) << where;
                    else if (part > 0) EXPECT_EQ(at(s + part / 2), RED) << where;
                    else EXPECT_EQ(at(s + 10 > length ? length - 10 : s + 10), RED) << where;
                    s += part;
                }
            }
            // Both ends in ink.
            EXPECT_EQ(at(8), RED);
            EXPECT_EQ(at(length - 8), RED);
        }
    }
}

TEST(PreviewFidelity, DashedRectangleShowsInkOnBothSidesOfEveryCorner) {
    // LT-2 with 10 mm patterns (400 units) on a 3010 x 2010 rectangle, drawn
    // as the driver draws it, vector by vector: each side starts and ends
    // with a quarter-pattern dash, so both sides at each corner are inked.
    std::string body = "SP1PW0.5LT-2,10,1PE7<" + pePair(1000, 1000, true) + pePair(3010, 0, true) +
                       pePair(0, 2010, true) + pePair(-3010, 0, true) + pePair(0, -2010, true) + ";";
    Picture p = render(page(body), 254);
    const double corners[4][2] = {{1000, 1000}, {4010, 1000}, {4010, 3010}, {1000, 3010}};
    for (const auto& corner : corners) {
        SCOPED_TRACE(std::to_string(corner[0]) + "," + std::to_string(corner[1]));
        double inX = corner[0] == 1000 ? 60 : -60, inY = corner[1] == 1000 ? 60 : -60;
        EXPECT_EQ(p.at(corner[0] + inX, corner[1]), RED);
        EXPECT_EQ(p.at(corner[0], corner[1] + inY), RED);
    }
}

// ------------------------------------------------------------ ticket pens

// A job ticket whose pen section gives pen 2 a width of 2 mm and pen 3 a
// gray of 50; every other pen 0.25 mm and gray 100.
std::string ticketWithPens() {
    std::string width = "Width=", gray = "Gray=";
    for (int pen = 1; pen <= 255; ++pen) {
        width += std::string(pen == 2 ? "200" : "25") + (pen < 255 ? "," : "\r\n");
        gray += std::string(pen == 3 ? "50" : "100") + (pen < 255 ? "," : "\r\n");
    }
    return "##DOZ START\r\nOutputSize=Original\r\nStamp=Off\r\n[HPGL Setting]\r\n" + width + gray +
           "[Image Placement]\r\nBasis=4\r\n##DOZ END\r\n===";
}

TEST(PreviewFidelity, TicketPenWidthsApplyUntilTheStreamSetsItsOwn) {
    // Pen 2 (yellow) without PW: 2 mm from the ticket, 80 units wide.
    // After PW0.35 every pen has a width of the stream's own.
    std::string body = "SP2PE7<" + pePair(1000, 1000, true) + pePair(3000, 0, true) + ";PW0.35SP2PE7<" +
                       pePair(-3000, 1000, true) + pePair(3000, 0, true) + ";";
    Picture with = render(ticketWithPens() + page(body), 254);
    EXPECT_EQ(with.at(2000, 1000 + 36), YELLOW);
    EXPECT_EQ(with.at(2000, 1000 - 36), YELLOW);
    EXPECT_EQ(with.at(2000, 2000 + 12), WHITE);
    EXPECT_EQ(with.at(2000, 2000), YELLOW);
    // Without the ticket the first line has the default width.
    Picture without = render(page(body), 254);
    EXPECT_EQ(without.at(2000, 1000 + 36), WHITE);
    EXPECT_EQ(without.at(2000, 1000), YELLOW);
}

TEST(PreviewFidelity, TicketPenWidthForOnePenLeavesThatPenAlone) {
    // "PW1.0,2" gives pen 2 a width of its own; pen 2 keeps the stream's.
    std::string body = "PW1.0,2SP2PE7<" + pePair(1000, 1000, true) + pePair(3000, 0, true) + ";";
    Picture p = render(ticketWithPens() + page(body), 254);
    EXPECT_EQ(p.at(2000, 1000 + 16), YELLOW);
    EXPECT_EQ(p.at(2000, 1000 + 36), WHITE);
}

TEST(PreviewFidelity, TicketPenGraysLightenLinesAndFills) {
    // Pen 3 is green at gray 50: half way to white. Pen 1 at 100 is unchanged.
    std::string body = "SP3PW1.0PE7<" + pePair(1000, 1000, true) + pePair(3000, 0, true) + ";PE7<" +
                       pePair(-3000, 1000, true) + ";PM0PE7" + pePair(1000, 0, true) + pePair(0, 1000, true) +
                       pePair(-1000, 0, true) + ";PM2FPSP1PE7<" + pePair(0, 1000, true) + pePair(3000, 0, true) + ";";
    Picture p = render(ticketWithPens() + page(body), 254);
    const Rgb lightGreen{128, 255, 128};
    EXPECT_EQ(p.at(2000, 1000), lightGreen);
    EXPECT_EQ(p.at(1500, 2500), lightGreen);
    EXPECT_EQ(p.at(2000, 4000), RED);
}

// ------------------------------------------------------------ panel text

TEST(PreviewFidelity, JapaneseTicketTextIsDrawnWithGlyphs) {
    // Two different texts of the same length in code page 932: "図面" and
    // "製図". Drawn with glyphs the panels differ; as missing-glyph boxes
    // they would be the same.
    auto panel = [](const std::string& text) {
        std::string ticket = "##DOZ START\r\nStamp=On\r\nText=" + text + "\r\nTextEnd\r\n##DOZ END\r\n===";
        return render(ticket + page("SP1PE7<" + pePair(100, 100, true) + pePair(100, 0, true) + ";"), 20, true, true);
    };
    Picture a = panel("\x90\x7D\x96\xCA"), b = panel("\x90\xBB\x90\x7D");
    ASSERT_EQ(a.image.width, b.image.width);
    ASSERT_EQ(a.image.height, b.image.height);
    size_t differing = 0, inked = 0;
    for (int y = 0; y < a.image.height; ++y)
        for (int x = a.result.width - 460; x < a.image.width; ++x) {
            if (a.image.argb[static_cast<size_t>(y) * a.image.width + x] !=
                b.image.argb[static_cast<size_t>(y) * b.image.width + x])
                ++differing;
        }
    for (uint32_t v : a.image.argb) inked += (v & 0xFF) < 128 ? 1 : 0;
    EXPECT_GT(differing, 20u);
    EXPECT_GT(inked, 100u);
    for (const Picture* p : {&a, &b})
        for (const Warning& w : p->result.warnings) EXPECT_EQ(w.text.find("no installed font"), std::string::npos);
    // Code page 932's user-defined characters (F0 40: U+E000) are in no font.
    Picture missing = panel("\xF0\x40\xF0\x41");
    ASSERT_FALSE(missing.result.warnings.empty());
    EXPECT_EQ(missing.result.warnings.back().text,
              "2 characters of the text panel have no installed font and are shown as boxes");
}

}  // namespace
}  // namespace tavix::preview
