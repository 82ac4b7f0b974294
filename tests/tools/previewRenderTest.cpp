// The picture: pixels where the geometry says they must be, for pens and
// their palette colours, widths, line ends, line types, fills, scaling,
// each raster form and skipped rows; the files written; the size guard.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "preview.h"
#include "previewPicture.h"
#include "previewStreams.h"
#include "sidePanel.h"
#include "streamParser.h"

namespace tavix::preview {
namespace {

using testing::bytes;
using testing::pePair;
using testing::rtlBegin;
using testing::rtlEnd;
using testing::rtlRow;

const Rgb WHITE{255, 255, 255}, RED{255, 0, 0}, GREEN{0, 255, 0}, BLUE{0, 0, 255}, BLACK{0, 0, 0};
const Rgb YELLOW{255, 255, 0};

// A 10 x 7.5 inch page (plotter units 10160 x 7620) shown at 254 dpi: one
// pixel is 4 plotter units, the page 2540 x 1905 pixels.
std::string page(const std::string& body, int lineEnd = 1, long width = 10160, long height = 7620) {
    return testing::preamble(width, height, lineEnd) + body + ";PUSP0;PG;";
}

using testing::Picture;

Picture render(const std::string& stream, double dpi = 254, uint64_t maxPixels = 40'000'000) {
    return testing::render(stream, dpi, false, false, maxPixels);
}

std::string warningsText(const PreviewResult& r) {
    std::string text;
    for (const auto& w : r.warnings) text += formatWarning(w) + "\n";
    return text;
}

TEST(PreviewRender, WorkedExampleLineAndFillInTheirPenColours) {
    std::string stream = testing::preamble() + "SP3PE7<GeGe" + "Ok_" + "_Ge" +
                         ";SP5PE7<PkGe;PM0PE7Ge__GeHeHe;PM2FP;PUSP0;PG;RP1";
    // 33 x 22 inches: the resolution is lowered to fit 10 million pixels.
    Picture p = render(stream, 1016, 10'000'000);
    ASSERT_EQ(p.result.warnings.size(), 1u) << warningsText(p.result);
    EXPECT_NE(p.result.warnings[0].text.find("resolution lowered"), std::string::npos);
    EXPECT_EQ(p.at(200, 100), GREEN);    // on the first vector
    EXPECT_EQ(p.at(300, 150), GREEN);    // on the second
    EXPECT_EQ(p.at(200, 150), WHITE);    // between them
    EXPECT_EQ(p.at(180, 320), BLUE);     // inside the filled triangle
    EXPECT_EQ(p.at(120, 380), WHITE);    // beside its hypotenuse
    EXPECT_EQ(p.at(10000, 10000), WHITE);
}

TEST(PreviewRender, PenPaletteAndWidths) {
    // Pen 1 red 2 mm wide, pen 2 yellow at the default 0.35 mm of PW;
    // PC changes pen 4 to a colour of its own.
    std::string body = "SP1PW2.0PE7<" + pePair(1016, 1016, true) + pePair(4064, 0, true) +
                       ";PW0.35SP2PE7<" + pePair(0, 1016, true) + pePair(4064, 0, true) +
                       ";PC4,10,20,30SP4PW1.0PE7<" + pePair(-4064, 1016, true) + pePair(4064, 0, true) + ";";
    Picture p = render(page(body));
    EXPECT_TRUE(p.result.warnings.empty()) << warningsText(p.result);
    // 2 mm = 80 plotter units = 20 pixels: 36 units off the axis is inside, 48 outside.
    EXPECT_EQ(p.at(3000, 1016), RED);
    EXPECT_EQ(p.at(3000, 1016 + 36), RED);
    EXPECT_EQ(p.at(3000, 1016 - 36), RED);
    EXPECT_EQ(p.at(3000, 1016 + 48), WHITE);
    EXPECT_EQ(p.at(6000, 2032), YELLOW);
    EXPECT_EQ(p.at(6000, 2032 + 12), WHITE);  // 0.35 mm is 14 units: 7 either side
    EXPECT_EQ(p.at(6000, 3048), (Rgb{10, 20, 30}));
}

TEST(PreviewRender, LineEndsButtSquareRound) {
    // A 4 mm pen (160 units): the end reaches 80 units past the endpoint
    // with square and round ends, not at all with butt ends.
    auto ends = [&](int lineEnd) {
        std::string body = "SP1PW4.0PE7<" + pePair(2000, 2000, true) + pePair(2000, 0, true) + ";";
        return render(page(body, lineEnd));
    };
    Picture butt = ends(1), square = ends(2), round = ends(4);
    EXPECT_EQ(butt.at(3990, 2000), RED);
    EXPECT_EQ(butt.at(4020, 2000), WHITE);
    EXPECT_EQ(square.at(4060, 2000), RED);
    EXPECT_EQ(square.at(4060, 2060), RED);   // the corner of the square end
    EXPECT_EQ(square.at(4100, 2000), WHITE);
    EXPECT_EQ(round.at(4060, 2000), RED);
    EXPECT_EQ(round.at(4060, 2060), WHITE);  // outside the round end
}

TEST(PreviewRender, TriangularLineEnds) {
    // "LA1,3": each end a triangle on the pen's width reaching half the
    // width (80 units for a 4 mm pen) past the endpoint. Points inside a
    // round end but outside the triangle show which was drawn: (40, 50)
    // past the end is 64 units from the endpoint, 10 outside the triangle.
    // The same ends on a single vector, on the vectors of a joined
    // polyline (drawn with its joins), on pattern dashes, and on a dot,
    // which is then a diamond; plain and antialiased.
    struct Case {
        const char* name;
        std::string body;
        double endX, endY;  // the end looked at; the line comes from -X
    };
    const Case cases[] = {
        {"vector", "SP1PW4.0PE7<" + pePair(2000, 2000, true) + pePair(2000, 0, true) + ";", 4000, 2000},
        {"joined", "LA2,1SP1PW4.0PE7<" + pePair(2000, 3000, true) + pePair(1000, 0, true) + pePair(1000, 0, true) + ";",
         4000, 3000},
        {"dashes", "SP1PW4.0LT-2,20,1PE7<" + pePair(2000, 2000, true) + pePair(2000, 0, true) + ";", 4000, 2000},
    };
    for (bool antialias : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (antialias ? " antialiased" : ""));
            Picture p = testing::render(page(c.body, 3), 254, false, antialias);
            EXPECT_EQ(p.at(c.endX + 40, c.endY), RED);
            EXPECT_EQ(p.at(c.endX + 60, c.endY), RED);
            EXPECT_EQ(p.at(c.endX + 40, c.endY + 50), WHITE);   // inside a round end
            EXPECT_EQ(p.at(c.endX + 60, c.endY - 30), WHITE);   // inside a square end
            EXPECT_EQ(p.at(c.endX + 100, c.endY), WHITE);
            // The start, 2000 units back along the vector.
            EXPECT_EQ(p.at(c.endX - 2000 - 40, c.endY), RED);
            EXPECT_EQ(p.at(c.endX - 2000 - 40, c.endY - 50), WHITE);
        }
        // A dot: a diamond 160 units across.
        Picture dot = testing::render(page("SP1PW4.0PE7<" + pePair(3000, 3000, true) + pePair(0, 0, true) + ";", 3),
                                      254, false, antialias);
        EXPECT_EQ(dot.at(3000 + 60, 3000), RED);
        EXPECT_EQ(dot.at(3000, 3000 - 60), RED);
        EXPECT_EQ(dot.at(3000 + 50, 3000 + 50), WHITE);  // inside a disc and a square
    }
}

TEST(PreviewRender, AdaptiveLineTypeFitsWholePatternsInEachVector) {
    // LT-2 (a quarter down, half up, a quarter down) with a length of 10 mm
    // (mode 1): a vector of 4000 units takes 10 patterns of 400 units, and
    // starts and ends in ink.
    std::string body = "SP1PW1.0LT-2,10,1PE7<" + pePair(1000, 3000, true) + pePair(4000, 0, true) + ";";
    Picture p = render(page(body));
    EXPECT_TRUE(p.result.warnings.empty()) << warningsText(p.result);
    for (int k = 0; k < 10; ++k) {
        double start = 1000 + 400.0 * k;
        EXPECT_EQ(p.at(start + 50, 3000), RED) << k;
        EXPECT_EQ(p.at(start + 200, 3000), WHITE) << k;
        EXPECT_EQ(p.at(start + 350, 3000), RED) << k;
    }
    // A solid line after "LT" has no gaps.
    Picture solid = render(page("SP1PW1.0LT-2,10,1LTPE7<" + pePair(1000, 3000, true) + pePair(4000, 0, true) + ";"));
    EXPECT_EQ(solid.at(1300, 3000), RED);
}

TEST(PreviewRender, LineTypeLengthInPercentOfTheDiagonal) {
    // "LT-3,2.0": a pattern 2% of the P1-P2 diagonal (12700 units): 254 units,
    // 35% down, 30% up, 35% down. One pattern on a 254-unit vector.
    std::string body = "SP1PW1.0LT-3,2.0PE7<" + pePair(1000, 1000, true) + pePair(254, 0, true) + ";";
    Picture p = render(page(body));
    EXPECT_EQ(p.at(1000 + 40, 1000), RED);
    EXPECT_EQ(p.at(1000 + 127, 1000), WHITE);
    EXPECT_EQ(p.at(1000 + 210, 1000), RED);
}

TEST(PreviewRender, FilledPolygonInteriorAndClipToTheWindow) {
    // A square 2000..4000 filled green; IW limits a red fill to x < 3000.
    std::string body = "SP3PE7<" + pePair(2000, 2000, true) + ";PM0PE7" + pePair(2000, 0, true) +
                       pePair(0, 2000, true) + pePair(-2000, 0, true) + pePair(0, -2000, true) +
                       ";PM2FPIW0,0,3000,7620SP1PE7<" + pePair(0, 3000, true) + ";PM0PE7" + pePair(2000, 0, true) +
                       pePair(0, 1000, true) + pePair(-2000, 0, true) + pePair(0, -1000, true) + ";PM2FP";
    Picture p = render(page(body));
    EXPECT_TRUE(p.result.warnings.empty()) << warningsText(p.result);
    EXPECT_EQ(p.at(3000, 3000), GREEN);
    EXPECT_EQ(p.at(2010, 2010), GREEN);
    EXPECT_EQ(p.at(1990, 3000), WHITE);
    EXPECT_EQ(p.at(2500, 5500), RED);
    EXPECT_EQ(p.at(3500, 5500), WHITE);  // outside the window
}

TEST(PreviewRender, ScalingPointsMoveTheDrawing) {
    // User units 0..100 on P1 = (1016, 1016), P2 = (9144, 6604).
    std::string stream = "\x1b%-12345X@PJL ENTER LANGUAGE = HPGL2\n\x1b%-1BIN;PS10160,7620"
                         "IP1016,1016,9144,6604SC0,100,0,100NP8SP2PW1.0PA50,0PD50,100;PG;";
    Picture p = render(stream);
    EXPECT_EQ(p.at(5080, 3000), RED);
    EXPECT_EQ(p.at(5080, 900), WHITE);  // below P1
    EXPECT_EQ(p.at(4900, 3000), WHITE);
}

// A raster of 16 x 16 printer pixels at 300 dpi with its corner at
// (2000, 2000) on a wide page: rows go along X, pixels along Y, each
// 1016/300 units.
std::string rasterPage(const std::string& raster) {
    return page(";PU2000,2000PA2000,2000" + raster + rtlEnd() + "PA2000,2000PU0,0PR", 1, 5080, 3810);
}

double pixelUnits(int dpi) { return 1016.0 / dpi; }

TEST(PreviewRender, ContoneColourRasterCoversItsRectangle) {
    const uint8_t config[6] = {0, 3, 8, 8, 8, 8};
    std::string raster = rtlBegin(config, 16, 16, 300, "");
    std::string red, blue;
    for (int i = 0; i < 16; ++i) red += bytes({255, 0, 0}), blue += bytes({0, 0, 255});
    for (int r = 0; r < 16; ++r) raster += rtlRow(0, r < 8 ? red : blue);
    Picture p = render(rasterPage(raster), 600);
    EXPECT_TRUE(p.result.warnings.empty()) << warningsText(p.result);
    double u = pixelUnits(300);
    EXPECT_EQ(p.at(2000 + 4 * u, 2000 + 8 * u), RED);    // rows 0..7
    EXPECT_EQ(p.at(2000 + 12 * u, 2000 + 8 * u), BLUE);  // rows 8..15
    EXPECT_EQ(p.at(2000 - 4 * u, 2000 + 8 * u), WHITE);
    EXPECT_EQ(p.at(2000 + 8 * u, 2000 + 20 * u), WHITE);
}

TEST(PreviewRender, DitheredMonochromeAndColourRows) {
    const uint8_t mono[6] = {0, 0, 1, 8, 8, 8};
    std::string monoRaster = rtlBegin(mono, 16, 2, 400, "\x1b*v255a255b255c0I\x1b*v0a0b0c1I") +
                             rtlRow(0, bytes({0xFF, 0x00})) + rtlRow(2, bytes({0xF9, 0xFF, 0x00, 0x00}));
    Picture p = render(rasterPage(monoRaster), 800);
    double u = pixelUnits(400);
    EXPECT_EQ(p.at(2000 + 0.5 * u, 2000 + 4 * u), BLACK);   // row 0, pixels 0..7 set
    EXPECT_EQ(p.at(2000 + 0.5 * u, 2000 + 12 * u), WHITE);  // row 0, pixels 8..15 clear
    EXPECT_EQ(p.at(2000 + 1.5 * u, 2000 + 12 * u), BLACK);  // row 1, all set

    const uint8_t colour[6] = {0, 0, 0xFF, 8, 8, 8};
    std::string palette =
        "\x1b*v255A\x1b*v255B\x1b*v255C\x1b*v0I\x1b*v255A\x1b*v255B\x1b*v000C\x1b*v1I"
        "\x1b*v255A\x1b*v000B\x1b*v255C\x1b*v2I\x1b*v255A\x1b*v000B\x1b*v000C\x1b*v3I"
        "\x1b*v000A\x1b*v255B\x1b*v255C\x1b*v4I\x1b*v000A\x1b*v255B\x1b*v000C\x1b*v5I"
        "\x1b*v000A\x1b*v000B\x1b*v255C\x1b*v6I\x1b*v000A\x1b*v000B\x1b*v000C\x1b*v7I";
    std::string plane = bytes({0xFF, 0xFF, 0, 0, 0});
    std::string colourRaster = rtlBegin(colour, 16, 1, 300, palette) + rtlRow(0, plane, 'V') +
                               rtlRow(0, plane, 'V') + rtlRow(2, bytes({0xFC, 0, 0, 0}), 'W');
    Picture c = render(rasterPage(colourRaster), 600);
    EXPECT_EQ(c.at(2000 + 0.5 * pixelUnits(300), 2000 + 8 * pixelUnits(300)), RED);
}

TEST(PreviewRender, SkippedRowsAreUnprintedPaperAndPrintedPixelsCover) {
    // A black bar under the raster; gray rows 0-1 light gray (printed), rows
    // 2-3 skipped: the bar shows through the skipped rows only. (Printed
    // white is transparent: previewFidelityTest.cpp.)
    std::string bar = "SP7PW5.0PE7<" + pePair(1990, 2000 + 17, true) + pePair(100, 0, true) + ";";
    const uint8_t tone[6] = {0, 1, 0xFF, 8, 8, 8};
    std::string gray;
    for (int i = 0; i < 256; ++i) {
        std::string n = std::to_string(i);
        gray += "\x1b*v" + n + "A\x1b*v" + n + "B\x1b*v" + n + "C\x1b*v" + n + "I";
    }
    std::string raster = rtlBegin(tone, 16, 4, 400, gray) + rtlRow(0, std::string(16, '\xF0')) +
                         rtlRow(0, std::string(16, '\xF0')) + "\x1b*b2Y";
    std::string stream = page(bar + ";PU2000,2000PA2000,2000" + raster + rtlEnd() + "PA2000,2000PU0,0PR", 1, 5080, 3810);
    Picture p = render(stream, 800);
    EXPECT_TRUE(p.result.warnings.empty()) << warningsText(p.result);
    double u = pixelUnits(400);
    EXPECT_EQ(p.at(2000 + 1.5 * u, 2017), (Rgb{240, 240, 240}));  // printed row over the bar
    EXPECT_EQ(p.at(2000 + 3.5 * u, 2017), BLACK);  // skipped row: the bar shows
    EXPECT_EQ(p.at(1995, 2017), BLACK);          // the bar before the raster
}

TEST(PreviewRender, TallPaperRasterRunsTowardsSmallerX) {
    const uint8_t tone[6] = {0, 3, 8, 8, 8, 8};
    std::string row;
    for (int i = 0; i < 16; ++i) row += i < 8 ? bytes({255, 0, 0}) : bytes({0, 0, 255});
    std::string raster = rtlBegin(tone, 16, 4, 300, "") + rtlRow(0, row) + rtlRow(0, row) + rtlRow(0, row) +
                         rtlRow(0, row);
    std::string stream = testing::preamble(3810, 5080) + ";PU4000,2000PA4000,2000" + raster + rtlEnd() +
                         "PA4000,2000PU0,0PR;PUSP0;PG;";
    Picture p = render(stream, 600);
    double u = pixelUnits(300);
    EXPECT_EQ(p.at(4000 - 4 * u, 2000 + 2 * u), RED);
    EXPECT_EQ(p.at(4000 - 12 * u, 2000 + 2 * u), BLUE);
    EXPECT_EQ(p.at(4000 + 4 * u, 2000 + 2 * u), WHITE);
}

TEST(PreviewRender, WritesPngAndSvgFiles) {
    auto dir = std::filesystem::temp_directory_path() / ("tavix-preview-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string stream = page("SP1PE7<" + pePair(1000, 1000, true) + pePair(1000, 0, true) + ";");
    PreviewOptions options;
    options.outputPath = (dir / "out.png").string();
    PreviewResult png = renderStream(stream, options);
    ASSERT_TRUE(png.ok) << png.error;
    std::ifstream in(options.outputPath, std::ios::binary);
    std::string head(8, '\0');
    in.read(head.data(), 8);
    EXPECT_EQ(head, "\x89PNG\r\n\x1a\n");

    options.outputPath = (dir / "out.svg").string();
    options.format = OutputFormat::Svg;
    PreviewResult svg = renderStream(stream, options);
    ASSERT_TRUE(svg.ok) << svg.error;
    std::ifstream svgIn(options.outputPath);
    std::string text((std::istreambuf_iterator<char>(svgIn)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<svg"), std::string::npos);

    options.outputPath = (dir / "missing" / "out.png").string();
    options.format = OutputFormat::Png;
    PreviewResult bad = renderStream(stream, options);
    EXPECT_FALSE(bad.ok);
    EXPECT_NE(bad.error.find("cannot write"), std::string::npos);
    std::filesystem::remove_all(dir);
}

TEST(PreviewRender, ResolutionIsLoweredToStayWithinThePixelLimit) {
    PreviewOptions options;
    options.dpi = 2400;  // 33 x 22 inches would be 79200 x 52800 pixels
    options.maxPixels = 2'000'000;
    PreviewImage image;
    PreviewResult r = renderStreamToImage(page("SP1PE7<" + pePair(100, 100, true) + pePair(100, 0, true) + ";"),
                                          options, image);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_LE(static_cast<uint64_t>(image.width) * image.height, 2'000'000u);
    EXPECT_LT(r.geometry.dpi, 2400);
    ASSERT_FALSE(r.warnings.empty());
    EXPECT_NE(r.warnings.back().text.find("resolution lowered"), std::string::npos);
}

TEST(PreviewRender, PageChoiceAndEmptyStreams) {
    std::string two = page("SP1PE7<" + pePair(1000, 1000, true) + pePair(1000, 0, true) + ";") +
                      "SP2PE7<" + pePair(0, 1000, true) + pePair(1000, 0, true) + ";PG;";
    PreviewOptions options;
    options.sidePanel = false;
    options.dpi = 254;
    options.page = 2;
    Picture p;
    p.result = renderStreamToImage(two, options, p.image);
    ASSERT_TRUE(p.result.ok) << p.result.error;
    EXPECT_EQ(p.result.pageCount, 2);
    options.page = 3;
    PreviewResult none = renderStreamToImage(two, options, p.image);
    EXPECT_FALSE(none.ok);
    EXPECT_NE(none.error.find("page 3"), std::string::npos);
    // An empty stream still gives a (blank) picture and says so.
    options.page = 1;
    PreviewResult empty = renderStreamToImage("", options, p.image);
    EXPECT_TRUE(empty.ok);
    ASSERT_FALSE(empty.warnings.empty());
    EXPECT_NE(empty.warnings[0].text.find("nothing is drawn"), std::string::npos);
}

TEST(PreviewPanel, TicketCopiesImagesAndWarningsAreListed) {
    std::string ticket = "##DOZ START\r\nOutputSize=Original\r\nCopies=2\r\nWidth=" + std::string("25,") +
                         "25,25,25,25,25,25,25,25,25,25,25,25,25,25,25,25,13\r\n##DOZ END\r\n===";
    std::string stream = ticket + page("SP1PE7<" + pePair(100, 100, true) + pePair(100, 0, true) + ";ZZ;") + "RP1";
    ParsedStream s = parseStream(stream);
    PanelFacts facts;
    facts.stream = &s;
    facts.dpi = 50;
    std::vector<std::string> lines = sidePanelLines(facts, 200);
    std::string all;
    for (const auto& l : lines) all += l + "\n";
    EXPECT_NE(all.find("  Copies=2\n"), std::string::npos) << all;
    EXPECT_NE(all.find("Width=25 x17, 13 (18 values)"), std::string::npos) << all;
    EXPECT_NE(all.find("Copies: 2 (PG, then RP1)"), std::string::npos) << all;
    EXPECT_NE(all.find("Paper: PS10160,7620 = 10.00 x 7.50 in"), std::string::npos) << all;
    size_t zz = stream.find("ZZ;");
    EXPECT_NE(all.find("@" + std::to_string(zz) + ": unknown HP-GL/2 instruction ZZ"), std::string::npos) << all;
}

TEST(PreviewPanel, ShiftJisTicketTextIsShownAsUtf8) {
    // "図面" in code page 932 is 90 7D 96 CA.
    EXPECT_EQ(shiftJisToUtf8("Text=\x90\x7D\x96\xCA"), "Text=\xE5\x9B\xB3\xE9\x9D\xA2");
    EXPECT_EQ(shiftJisToUtf8("a\x01" "b\xFF"), "a?b?");
    for (const auto& piece : wrapLine(std::string(130, 'x'), 56)) EXPECT_LE(piece.size(), 56u);
}

}  // namespace
}  // namespace tavix::preview
