// The preview reads every feature the driver writes: drawings plotted by
// the plot run with the settings that make the driver write each feature
// (pens and their palette, widths, line ends, line types, fills, the four
// raster forms, 7-bit and 8-bit PE), drawn by the preview, and pixels
// checked where the drawing's geometry says they must be. A4 paper: one
// host unit is one plotter unit, 40 to the millimetre.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "e2eSupport.h"
#include "preview.h"
#include "support/scratchDirectory.h"

namespace tavix::preview {
inline void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "rgb(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}
}  // namespace tavix::preview

namespace tavix::host {
namespace {

using preview::Rgb;
using tavix::testing::ScratchDirectory;

const Rgb WHITE{255, 255, 255}, BLACK{0, 0, 0}, RED{255, 0, 0}, YELLOW{255, 255, 0}, GREEN{0, 255, 0},
    CYAN{0, 255, 255}, BLUE{0, 0, 255}, MAGENTA{255, 0, 255};

constexpr double UNITS_PER_MM = 40.0;

std::vector<std::string> a4(std::initializer_list<std::string> more) {
    std::vector<std::string> settings = {"--defaults", "--model", "tx90", "--paper", "A4"};
    settings.insert(settings.end(), more);
    return settings;
}

// A stream drawn at 100 dpi (a pixel is a quarter millimetre), without the
// text panel and without antialiasing, so that colours stay exact.
struct Shown {
    preview::PreviewImage image;
    preview::PreviewResult result;

    Rgb at(double xMm, double yMm) const {
        int x = static_cast<int>(std::floor(result.geometry.pixelX(xMm * UNITS_PER_MM)));
        int y = static_cast<int>(std::floor(result.geometry.pixelY(yMm * UNITS_PER_MM)));
        return image.pixel(x, y);
    }
    // Mean gray (0..255) over the square of `half` millimetres around a point.
    double meanGray(double xMm, double yMm, double half) const {
        double sum = 0;
        int n = 0;
        for (double y = yMm - half; y <= yMm + half; y += 0.25)
            for (double x = xMm - half; x <= xMm + half; x += 0.25) {
                Rgb c = at(x, y);
                sum += (c.r + c.g + c.b) / 3.0;
                ++n;
            }
        return n ? sum / n : 0;
    }
};

class PreviewFeatures : public ::testing::Test {
protected:
    // Configures through the dialogs, then lets `edit` set what they do not.
    void configure(const std::vector<std::string>& settings,
                   const std::function<void(HostConfig&)>& edit = nullptr) {
        std::string messages;
        ASSERT_EQ(0, testing::configure("features.cfg", settings, &messages)) << messages;
        if (edit) testing::editConfig("features.cfg", edit);
    }

    Shown show(const std::string& drawing) {
        Shown s;
        testing::Plotted p = testing::plot("features.cfg", drawing);
        EXPECT_TRUE(p.ok) << p.error;
        stream = p.stream;
        preview::PreviewOptions options;
        options.dpi = 100;
        options.sidePanel = false;
        options.antialias = false;
        s.result = preview::renderStreamToImage(p.stream, options, s.image);
        EXPECT_TRUE(s.result.ok) << s.result.error;
        for (const preview::Warning& w : s.result.warnings)
            ADD_FAILURE() << "preview warning: " << preview::formatWarning(w);
        return s;
    }

    ScratchDirectory scratch;
    std::string stream;
};

// Horizontal lines 1 mm wide from x = 20 to 120 mm, one pen each.
const char* const PEN_LINES = R"(
units mm
width 1mm
pen 1
move 20 20
draw 120 20
pen 2
move 20 30
draw 120 30
pen 3
move 20 40
draw 120 40
pen 4
move 20 50
draw 120 50
pen 5
move 20 60
draw 120 60
pen 6
move 20 70
draw 120 70
pen 7
move 20 80
draw 120 80
pen 250
move 20 90
draw 120 90
pen 13
move 20 100
draw 120 100
)";

TEST_F(PreviewFeatures, pensTakeTheirPaletteColours) {
    configure(a4({"--colour", "colour"}));
    Shown s = show(PEN_LINES);
    EXPECT_EQ(RED, s.at(70, 20));
    EXPECT_EQ(YELLOW, s.at(70, 30));
    EXPECT_EQ(GREEN, s.at(70, 40));
    EXPECT_EQ(CYAN, s.at(70, 50));
    EXPECT_EQ(BLUE, s.at(70, 60));
    EXPECT_EQ(MAGENTA, s.at(70, 70));
    EXPECT_EQ(BLACK, s.at(70, 80));
    EXPECT_EQ((Rgb{84, 84, 84}), s.at(70, 90));
    EXPECT_EQ((Rgb{165, 81, 81}), s.at(70, 100));
    EXPECT_EQ(WHITE, s.at(70, 25));   // between two lines
    EXPECT_EQ(WHITE, s.at(125, 20));  // past the end
    EXPECT_EQ(1, s.result.pageCount);
}

TEST_F(PreviewFeatures, monochromeDrawsEveryLineInPen7) {
    configure(a4({"--colour", "mono"}));
    Shown s = show(PEN_LINES);
    for (double y : {20, 30, 60, 90, 100}) EXPECT_EQ(BLACK, s.at(70, y)) << "line at " << y << " mm";
    EXPECT_EQ(WHITE, s.at(70, 25));
}

TEST_F(PreviewFeatures, eightBitAndSevenBitPEDrawTheSamePicture) {
    configure(a4({"--colour", "colour"}), [](HostConfig& c) { testing::setFlag(c, testing::FLAGS_A, testing::EIGHT_BIT_PE, true); });
    Shown eight = show(PEN_LINES);
    EXPECT_NE(std::string::npos, stream.find("SP1PE<"));
    configure(a4({"--colour", "colour"}), [](HostConfig& c) { testing::setFlag(c, testing::FLAGS_A, testing::EIGHT_BIT_PE, false); });
    Shown seven = show(PEN_LINES);
    EXPECT_NE(std::string::npos, stream.find("SP1PE7<"));
    ASSERT_EQ(eight.image.width, seven.image.width);
    ASSERT_EQ(eight.image.height, seven.image.height);
    EXPECT_TRUE(eight.image.argb == seven.image.argb);
    EXPECT_EQ(RED, seven.at(70, 20));
}

// A 4 mm wide line ending at x = 140 mm, and a 0.1 mm line (drawn one
// pixel wide) under it.
const char* const WIDE_LINE = R"(
units mm
pen 7
width 4mm
move 40 100
draw 140 100
width 0.1mm
move 40 120
draw 140 120
)";

struct LineEndCase {
    const char* word;
    bool beyondEnd;  // ink half a width beyond the end, on the line's axis
    bool corner;     // ink at the corner of a square end
};

class PreviewLineEnds : public PreviewFeatures, public ::testing::WithParamInterface<LineEndCase> {};

TEST_P(PreviewLineEnds, widthsAndLineEnds) {
    const LineEndCase& c = GetParam();
    configure(a4({"--colour", "colour", "--line-end", c.word}));
    Shown s = show(WIDE_LINE);
    EXPECT_NE(std::string::npos, stream.find("PW4.000"));
    // Width: 2 mm each side of the axis.
    EXPECT_EQ(BLACK, s.at(90, 100));
    EXPECT_EQ(BLACK, s.at(90, 101.6));
    EXPECT_EQ(BLACK, s.at(90, 98.4));
    EXPECT_EQ(WHITE, s.at(90, 102.6));
    EXPECT_EQ(BLACK, s.at(90, 120));
    EXPECT_EQ(WHITE, s.at(90, 120.8));
    // The end.
    EXPECT_EQ(c.beyondEnd ? BLACK : WHITE, s.at(141.2, 100)) << c.word;
    EXPECT_EQ(c.corner ? BLACK : WHITE, s.at(141.6, 101.6)) << c.word;
    EXPECT_EQ(WHITE, s.at(142.8, 100)) << c.word;
}

INSTANTIATE_TEST_SUITE_P(LineEnds, PreviewLineEnds,
                         ::testing::Values(LineEndCase{"butt", false, false}, LineEndCase{"square", true, true},
                                           LineEndCase{"rounded", true, false}),
                         [](const ::testing::TestParamInfo<LineEndCase>& info) { return std::string(info.param.word); });

TEST_F(PreviewFeatures, lineTypesLeaveGapsAlongTheLine) {
    configure(a4({"--colour", "colour"}));
    Shown s = show(R"(
units mm
linetypes 8
pen 7
width 0.5mm
linetype 0
move 20 50
draw 180 50
linetype 2
move 20 60
draw 180 60
linetype 1
move 20 70
draw 180 70
linetype 9
move 20 80
draw 180 80
)");
    EXPECT_NE(std::string::npos, stream.find("LT-2,1.0"));
    EXPECT_NE(std::string::npos, stream.find("LT-1,1.0"));
    auto inked = [&s](double y) {
        int n = 0, total = 0;
        for (double x = 21; x < 179; x += 0.25, ++total) n += s.at(x, y) == BLACK;
        return static_cast<double>(n) / total;
    };
    EXPECT_GT(inked(50), 0.99);  // solid
    double dashed = inked(60), dotted = inked(70);
    EXPECT_GT(dashed, 0.2) << "line type 2";
    EXPECT_LT(dashed, 0.9) << "line type 2";
    EXPECT_LT(dotted, 0.2) << "line type 1: dots";
    EXPECT_GT(dotted, 0.0) << "line type 1: dots";
    EXPECT_GT(inked(80), 0.99);  // above the line-type count: solid
    EXPECT_EQ(BLACK, s.at(20.1, 60));  // a pattern starts with its dash
}

const char* const POLYGONS = R"(
units mm
fill 3 20 20 60 20 40 50
fillarray 5 80 20 120 20 120 60 80 60
fill 1 160 90 148.24 53.82 179.02 76.18 140.98 76.18 171.76 53.82
)";

TEST_F(PreviewFeatures, fillsInTheirColoursWithEvenOddStars) {
    configure(a4({"--colour", "colour"}));
    Shown s = show(POLYGONS);
    EXPECT_EQ(GREEN, s.at(40, 30));   // triangle, vertices inside the request
    EXPECT_EQ(WHITE, s.at(25, 45));   // beside its slope
    EXPECT_EQ(BLUE, s.at(100, 40));   // square, vertices as an array
    EXPECT_EQ(RED, s.at(160, 85));    // a point of the star
    EXPECT_EQ(WHITE, s.at(160, 70));  // its centre, crossed twice
}

TEST_F(PreviewFeatures, monochromeFillsBlackOrInTheirGray) {
    configure(a4({"--colour", "mono", "--fill", "black"}));
    Shown black = show(POLYGONS);
    EXPECT_EQ(BLACK, black.at(40, 30));
    EXPECT_EQ(BLACK, black.at(100, 40));
    configure(a4({"--colour", "mono", "--fill", "halftone"}));
    Shown halftone = show(POLYGONS);
    EXPECT_EQ((Rgb{150, 150, 150}), halftone.at(40, 30));  // pen 3 green as gray
    EXPECT_EQ((Rgb{28, 28, 28}), halftone.at(100, 40));    // pen 5 blue as gray
}

// The four raster forms: colour or monochrome, continuous tone or dithered
// bit planes, chosen by two flags of the settings block.
struct RasterForm {
    const char* name;
    bool colour, contone;
};

void PrintTo(const RasterForm& f, std::ostream* os) { *os << f.name; }

class PreviewRasterForms : public PreviewFeatures, public ::testing::WithParamInterface<RasterForm> {
protected:
    void configureForm() {
        const RasterForm& f = GetParam();
        configure(a4({"--colour", "colour"}), [&f](HostConfig& c) {
            testing::setFlag(c, testing::FLAGS_C, testing::COLOUR_MODE, f.colour);
            testing::setFlag(c, testing::FLAGS_D, testing::RASTER_CONTONE, f.contone);
            // Monochrome polygons in their pen's gray, not black.
            testing::setFlag(c, testing::FLAGS_A, testing::HALFTONE_FILL, !f.colour);
        });
    }
};

// An 8 x 8 image in quadrants, top row first: black and white above, red
// and blue below; placed at 50..90 mm both ways.
void writeQuadrants() {
    ASSERT_TRUE(testing::writePng("quadrants.png", 8, 8, [](int x, int y, uint8_t rgb[3]) {
        static const uint8_t colours[4][3] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 0, 255}};
        const uint8_t* c = colours[(y >= 4 ? 2 : 0) + (x >= 4 ? 1 : 0)];
        std::copy(c, c + 3, rgb);
    }));
}

TEST_P(PreviewRasterForms, quadrantsInTheirColours) {
    const RasterForm& f = GetParam();
    configureForm();
    writeQuadrants();
    Shown s = show("units mm\nimage quadrants.png 50 50 90 90\n");
    EXPECT_EQ(1, s.result.pageCount);
    // The configuration bytes of the form.
    const char* config = f.colour ? (f.contone ? "\x1b*v6W\x00\x03\x08" : "\x1b*v6W\x00\x00\xff")
                                  : (f.contone ? "\x1b*v6W\x00\x01\xff" : "\x1b*v6W\x00\x00\x01");
    EXPECT_NE(std::string::npos, stream.find(std::string(config, 8))) << f.name;
    EXPECT_NE(std::string::npos, stream.find(f.colour ? "\x1b*t300R" : "\x1b*t400R"));

    EXPECT_EQ(BLACK, s.at(60, 80));
    EXPECT_EQ(WHITE, s.at(80, 80));
    EXPECT_EQ(WHITE, s.at(45, 70));  // beside the image
    EXPECT_EQ(WHITE, s.at(70, 95));  // above it
    if (f.colour) {
        // Primaries come out exactly, dithered or not.
        EXPECT_EQ(RED, s.at(60, 60));
        EXPECT_EQ(BLUE, s.at(80, 60));
    } else if (f.contone) {
        // (30 R + 59 G + 11 B) / 100.
        EXPECT_EQ((Rgb{76, 76, 76}), s.at(60, 60));
        EXPECT_EQ((Rgb{28, 28, 28}), s.at(80, 60));
    } else {
        // Dots of black on white whose share follows the tone curve of the
        // gray: 76 lights 117 of 256 cells, 28 lights 187. At 100 dpi the
        // preview shows the 400 dpi dots averaged.
        EXPECT_NEAR(255.0 * (256 - 117) / 256, s.meanGray(60, 60, 5), 8);
        EXPECT_NEAR(255.0 * (256 - 187) / 256, s.meanGray(80, 60, 5), 8);
    }
}

TEST_P(PreviewRasterForms, skippedRowsShowWhatIsBelow) {
    const RasterForm& f = GetParam();
    configureForm();
    // On wide paper the rows run along X: white columns are blank rows,
    // which the continuous-tone forms skip with a Y offset and the dithered
    // forms print white; either way the fill below shows.
    ASSERT_TRUE(testing::writePng("band.png", 8, 8, [](int x, int, uint8_t rgb[3]) {
        uint8_t v = (x == 3 || x == 4) ? 255 : 0;
        rgb[0] = rgb[1] = rgb[2] = v;
    }));
    Shown s = show("units mm\nfill 2 40 40 100 40 100 100 40 100\nimage band.png 50 50 90 90\n");
    EXPECT_EQ(BLACK, s.at(55, 70));
    EXPECT_EQ(f.colour ? YELLOW : (Rgb{226, 226, 226}), s.at(45, 70));  // the fill beside the image
    if (f.contone) {
        EXPECT_NE(std::string::npos, stream.find("Y\x1b*b")) << "a Y offset";
        EXPECT_EQ(f.colour ? YELLOW : (Rgb{226, 226, 226}), s.at(70, 70)) << "unprinted rows";
    } else {
        // White rows are printed, but white pixels are transparent.
        EXPECT_EQ(f.colour ? YELLOW : (Rgb{226, 226, 226}), s.at(70, 70)) << "white rows show the fill";
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, PreviewRasterForms,
                         ::testing::Values(RasterForm{"colourContone", true, true},
                                           RasterForm{"colourDithered", true, false},
                                           RasterForm{"monoContone", false, true},
                                           RasterForm{"monoDithered", false, false}),
                         [](const ::testing::TestParamInfo<RasterForm>& info) { return std::string(info.param.name); });

TEST_F(PreviewFeatures, bitonalImageSetPixelsTakeTheirColour) {
    configure(a4({"--colour", "colour"}));
    writeQuadrants();
    Shown s = show("units mm\nimage quadrants.png 50 50 90 90 bitonal colour 5\n");
    EXPECT_EQ(BLUE, s.at(60, 80));   // black: set
    EXPECT_EQ(BLUE, s.at(80, 60));   // blue is dark: set
    EXPECT_EQ(WHITE, s.at(80, 80));  // white: background
}

}  // namespace
}  // namespace tavix::host
