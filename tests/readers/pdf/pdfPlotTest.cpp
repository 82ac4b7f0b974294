// One-page PDFs written by hand, plotted through the reader: every request
// checked against coordinates worked out from the PDF's own numbers (a
// point is 1/72 inch; the plot area here has 1016 units per inch).
#include <gtest/gtest.h>

#include <cmath>

#include "pdfFiles.h"
#include "pdfRequests.h"
#include "pdfPlot.h"

namespace tavix::pdf {
namespace {

using testing::fileOf;
using testing::onePagePdf;
using testing::PageParts;

using testing::first;
using testing::Line;
using testing::linesOf;
using testing::plot;
using testing::Plotted;
using testing::UNITS_PER_POINT;
using testing::UPI;

// Even-odd inside test of a fill polygon, written here apart from Clipper.
bool insideEvenOdd(const std::vector<double>& xy, double px, double py) {
    bool inside = false;
    size_t n = xy.size() / 2;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        double xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
        if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
}

TEST(PdfPlot, aLineAtFullSizeInItsColourAndWidth) {
    Plotted p = plot(onePagePdf(testing::page("1 0 0 RG 2 w 72 72 m 144 108 l S")));
    ASSERT_TRUE(p.ok) << p.error;
    const host::DrawingRequest* pen = first(p, host::DrawingOp::Pen);
    ASSERT_NE(nullptr, pen);
    EXPECT_EQ(1, pen->value);  // red is colour number 1
    const host::DrawingRequest* width = first(p, host::DrawingOp::Width);
    ASSERT_NE(nullptr, width);
    EXPECT_NEAR(2.0 / 72, width->widthInches, 1e-9);  // 2 points, not 2 mm
    std::vector<Line> lines = linesOf(p);
    ASSERT_EQ(1u, lines.size());
    EXPECT_NEAR(1016, lines[0].x0, 1e-6);
    EXPECT_NEAR(1016, lines[0].y0, 1e-6);
    EXPECT_NEAR(2032, lines[0].x1, 1e-6);
    EXPECT_NEAR(1524, lines[0].y1, 1e-6);
}

TEST(PdfPlot, distinctColoursInOnePenAreNamed) {
    // Two greys a little apart both come nearest to colour 9 (127, 127, 127).
    Plotted p = plot(onePagePdf(testing::page("0.5 G 0 0 m 10 0 l S 0.52 G 0 10 m 10 10 l S 1 0 0 RG 0 20 m 10 20 l S")));
    ASSERT_TRUE(p.ok) << p.error;
    ASSERT_EQ(1u, p.report.warnings.size());
    EXPECT_EQ("2 colours of the PDF share pens, each with the nearest colour of the driver's palette: "
              "#808080, #858585 take colour 9",
              p.report.warnings[0]);
}

TEST(PdfPlot, theTransformationScalesCoordinatesAndWidths) {
    // cm doubles everything: the width of 1 becomes 2 points.
    Plotted p = plot(onePagePdf(testing::page("2 0 0 2 10 20 cm 1 w 0 0 m 36 0 l S")));
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_NEAR(2.0 / 72, first(p, host::DrawingOp::Width)->widthInches, 1e-9);
    std::vector<Line> lines = linesOf(p);
    ASSERT_EQ(1u, lines.size());
    EXPECT_NEAR(10 * UNITS_PER_POINT, lines[0].x0, 1e-6);
    EXPECT_NEAR(20 * UNITS_PER_POINT, lines[0].y0, 1e-6);
    EXPECT_NEAR(82 * UNITS_PER_POINT, lines[0].x1, 1e-6);
}

TEST(PdfPlot, dashesRunOnAcrossCorners) {
    // 30 points along x then 30 up, dashes of 8 with gaps of 4: the dash
    // that begins at 24 turns the corner at 30 and ends at 32 (2 up).
    Plotted p = plot(onePagePdf(testing::page("[8 4] 0 d 0 0 m 30 0 l 30 30 l S")));
    ASSERT_TRUE(p.ok) << p.error;
    std::vector<Line> lines = linesOf(p);
    std::vector<Line> expected = {{0, 0, 8, 0}, {12, 0, 20, 0}, {24, 0, 30, 0}, {30, 0, 30, 2},
                                  {30, 6, 30, 14}, {30, 18, 30, 26}};
    ASSERT_EQ(expected.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NEAR(expected[i].x0 * UNITS_PER_POINT, lines[i].x0, 1e-6) << i;
        EXPECT_NEAR(expected[i].y0 * UNITS_PER_POINT, lines[i].y0, 1e-6) << i;
        EXPECT_NEAR(expected[i].x1 * UNITS_PER_POINT, lines[i].x1, 1e-6) << i;
        EXPECT_NEAR(expected[i].y1 * UNITS_PER_POINT, lines[i].y1, 1e-6) << i;
    }
}

TEST(PdfPlot, theDashPhaseStartsInsideThePattern) {
    // Phase 10 of [6 6]: 4 into the first gap, so the first dash begins at 2.
    Plotted p = plot(onePagePdf(testing::page("[6 6] 10 d 0 0 m 20 0 l S")));
    ASSERT_TRUE(p.ok) << p.error;
    std::vector<Line> lines = linesOf(p);
    ASSERT_EQ(2u, lines.size());
    EXPECT_NEAR(2 * UNITS_PER_POINT, lines[0].x0, 1e-6);
    EXPECT_NEAR(8 * UNITS_PER_POINT, lines[0].x1, 1e-6);
    EXPECT_NEAR(14 * UNITS_PER_POINT, lines[1].x0, 1e-6);
    EXPECT_NEAR(20 * UNITS_PER_POINT, lines[1].x1, 1e-6);
}

TEST(PdfPlot, aLineShorterThanTheDashPatternIsStillDashed) {
    Plotted p = plot(onePagePdf(testing::page("[10 10] 0 d 0 0 m 15 0 l S")));
    ASSERT_TRUE(p.ok) << p.error;
    std::vector<Line> lines = linesOf(p);
    ASSERT_EQ(1u, lines.size());
    EXPECT_NEAR(10 * UNITS_PER_POINT, lines[0].x1, 1e-6);
}

TEST(PdfPlot, anOddDashArrayRepeatsWithOnAndOffSwapped) {
    // [5] is 5 on, 5 off.
    Plotted p = plot(onePagePdf(testing::page("[5] 0 d 0 0 m 22 0 l S")));
    ASSERT_TRUE(p.ok) << p.error;
    std::vector<Line> lines = linesOf(p);
    ASSERT_EQ(3u, lines.size());
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(10.0 * i * UNITS_PER_POINT, lines[i].x0, 1e-6) << i;
        EXPECT_NEAR(std::min(10.0 * i + 5, 22.0) * UNITS_PER_POINT, lines[i].x1, 1e-6) << i;
    }
}

TEST(PdfPlot, zeroLengthDashesAreDots) {
    // Dots every 4 points from 0 to 20: six dots, each a draw to where the pen is.
    Plotted p = plot(onePagePdf(testing::page("1 J [0 4] 0 d 0 0 m 20 0 l S")));
    ASSERT_TRUE(p.ok) << p.error;
    std::vector<Line> lines = linesOf(p);
    ASSERT_EQ(6u, lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_NEAR(4.0 * i * UNITS_PER_POINT, lines[i].x0, 1e-6) << i;
        EXPECT_EQ(lines[i].x0, lines[i].x1) << i;
    }
}

TEST(PdfPlot, curvesStayWithinTheTolerance) {
    // A circle of radius 100 points from four Béziers (k = 0.5523).
    std::string circle = "200 100 m 200 155.23 155.23 200 100 200 c 44.77 200 0 155.23 0 100 c "
                         "0 44.77 44.77 0 100 0 c 155.23 0 200 44.77 200 100 c S";
    PdfPlotOptions options;
    options.toleranceMm = 0.1;
    Plotted p = plot(onePagePdf(testing::page(circle)), options);
    ASSERT_TRUE(p.ok) << p.error;
    std::vector<Line> lines = linesOf(p);
    ASSERT_GT(lines.size(), 16u);
    double r = 100 * UNITS_PER_POINT, c = 100 * UNITS_PER_POINT;
    // The Bézier circle strays up to 0.03 % of the radius from the true one.
    double reach = 0.1 / 25.4 * UPI + 0.0003 * r;
    for (const Line& l : lines) {
        for (double t : {0.0, 0.5, 1.0}) {
            double x = l.x0 + t * (l.x1 - l.x0), y = l.y0 + t * (l.y1 - l.y0);
            EXPECT_NEAR(r, std::hypot(x - c, y - c), reach);
        }
    }
}

TEST(PdfPlot, nonZeroAndEvenOddFillsDifferInTheHole) {
    // Two squares turning the same way: non-zero fills the inner one,
    // even-odd leaves it empty. The driver fills by even-odd.
    std::string squares = "0 0 m 100 0 l 100 100 l 0 100 l h 25 25 m 75 25 l 75 75 l 25 75 l h ";
    for (auto [op, holeFilled] : {std::pair{"f", true}, std::pair{"f*", false}}) {
        Plotted p = plot(onePagePdf(testing::page(squares + op)));
        ASSERT_TRUE(p.ok) << p.error;
        const host::DrawingRequest* fill = first(p, host::DrawingOp::FillArray);
        ASSERT_NE(nullptr, fill) << op;
        double u = UNITS_PER_POINT;
        EXPECT_EQ(holeFilled, insideEvenOdd(fill->coords, 50 * u, 50 * u)) << op;
        EXPECT_TRUE(insideEvenOdd(fill->coords, 10 * u, 10 * u)) << op;
        EXPECT_FALSE(insideEvenOdd(fill->coords, 110 * u, 10 * u)) << op;
    }
}

TEST(PdfPlot, strokesAndFillsKeepInsideTheClipPath) {
    Plotted p = plot(onePagePdf(testing::page("q 0 0 50 50 re W n 0 25 m 100 25 l S 25 0 100 50 re f Q 0 80 m 100 80 l S")));
    ASSERT_TRUE(p.ok) << p.error;
    std::vector<Line> lines = linesOf(p);
    ASSERT_EQ(2u, lines.size());
    double u = UNITS_PER_POINT;
    EXPECT_NEAR(50 * u, std::max(lines[0].x0, lines[0].x1), 1e-2);  // clipped
    EXPECT_NEAR(100 * u, std::max(lines[1].x0, lines[1].x1), 1e-2);  // after Q: whole
    const host::DrawingRequest* fill = first(p, host::DrawingOp::FillArray);
    ASSERT_NE(nullptr, fill);
    for (size_t i = 0; i < fill->coords.size(); i += 2) {
        EXPECT_GE(fill->coords[i], 25 * u - 1e-2);
        EXPECT_LE(fill->coords[i], 50 * u + 1e-2);
    }
}

TEST(PdfPlot, theRotateEntryTurnsThePageAsViewersShowIt) {
    // /Rotate 90 turns the page clockwise: a line along the bottom of a
    // 200 x 100 page runs down the left side of the 100 x 200 page shown.
    Plotted p = plot(onePagePdf(testing::page("0 0 m 200 0 l S", "0 0 200 100", "/Rotate 90")));
    ASSERT_TRUE(p.ok) << p.error;
    std::vector<Line> lines = linesOf(p);
    ASSERT_EQ(1u, lines.size());
    double u = UNITS_PER_POINT;
    EXPECT_NEAR(0, lines[0].x0, 1e-6);
    EXPECT_NEAR(200 * u, lines[0].y0, 1e-6);
    EXPECT_NEAR(0, lines[0].x1, 1e-6);
    EXPECT_NEAR(0, lines[0].y1, 1e-6);
}

TEST(PdfPlot, aQuarterTurnOnRequestAndFit) {
    PdfPlotOptions options;
    options.placement.rotate = true;
    options.placement.fit = true;
    // A 720 x 360 point page (10 x 5 inches) turned (5 x 10) and fitted to
    // 20 inches square: scale 2.
    Plotted p = plot(onePagePdf(testing::page("0 0 m 720 0 l S", "0 0 720 360")), options);
    ASSERT_TRUE(p.ok) << p.error;
    std::vector<Line> lines = linesOf(p);
    ASSERT_EQ(1u, lines.size());
    EXPECT_NEAR(10 * UPI, lines[0].x0, 1e-6);
    EXPECT_NEAR(0, lines[0].y0, 1e-6);
    EXPECT_NEAR(10 * UPI, lines[0].x1, 1e-6);
    EXPECT_NEAR(20 * UPI, lines[0].y1, 1e-6);
}

TEST(PdfPlot, theUserUnitScalesThePage) {
    Plotted p = plot(onePagePdf(testing::page("0 0 m 10 0 l S", "0 0 100 100", "/UserUnit 2")));
    ASSERT_TRUE(p.ok) << p.error;
    std::vector<Line> lines = linesOf(p);
    ASSERT_EQ(1u, lines.size());
    EXPECT_NEAR(20 * UNITS_PER_POINT, lines[0].x1, 1e-6);
}

struct Refused {
    const char* name;
    std::string pdf;
    const char* message;
};

void PrintTo(const Refused& r, std::ostream* os) { *os << r.name; }

class PdfRefused : public ::testing::TestWithParam<Refused> {};

TEST_P(PdfRefused, saysWhyAndSendsNothing) {
    Plotted p = plot(GetParam().pdf, {}, 10);
    EXPECT_FALSE(p.ok);
    EXPECT_NE(std::string::npos, p.error.find(GetParam().message)) << p.error;
    EXPECT_TRUE(p.requests.empty());
}

const std::string A_LINE = "0 0 m 100 0 l S";
const std::string ENCRYPTED_OBJECT =
    "<< /Filter /Standard /V 1 /R 2 /P -4 /O <" + std::string(64, 'a') + "> /U <" + std::string(64, 'b') + "> >>";

// Standard security with a user password the file does not give.
std::string encrypted() {
    PageParts parts = testing::page(A_LINE);
    parts.trailerExtra = "/Encrypt 5 0 R /ID [<00> <00>]";
    parts.extraObject = ENCRYPTED_OBJECT;
    return onePagePdf(parts);
}

INSTANTIATE_TEST_SUITE_P(
    Plot, PdfRefused,
    ::testing::Values(
        Refused{"notAPdfAfterItsHeader", "%PDF-1.4\nthis is not a PDF at all\n", "the PDF is damaged"},
        Refused{"encrypted", encrypted(),
                "the PDF is encrypted and needs a password"},
        Refused{"noPages", onePagePdf(testing::page(A_LINE), 0), "the PDF has no pages"},
        Refused{"emptyPage", onePagePdf(testing::page("", "0 0 100 100")), "nothing on page 1 plots"},
        Refused{"pageLargerThanThePaper", onePagePdf(testing::page(A_LINE, "0 0 1000 500")),
                "the page is 353 x 176 mm, larger than the plot area of the configured paper (254 x 254 mm)"}),
    [](const ::testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

TEST(PdfPlot, aPageThatIsNotThereIsRefused) {
    PdfPlotOptions options;
    options.page = 2;
    Plotted p = plot(onePagePdf(testing::page(A_LINE)), options);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ("the PDF has 1 page: there is no page 2", p.error);
}

TEST(PdfPlot, aTruncatedFileIsRepairedOrRefusedWithAReason) {
    // Poppler rebuilds a lost cross-reference table when it can: then only
    // the file's own lines may be drawn; otherwise the plot says why.
    std::string whole = onePagePdf(testing::page(A_LINE + " 0 50 m 100 50 l S"));
    for (size_t cut : {size_t{20}, whole.size() / 2, whole.size() - 30}) {
        Plotted p = plot(whole.substr(0, cut));
        if (!p.ok) {
            EXPECT_FALSE(p.error.empty()) << cut;
            continue;
        }
        for (const Line& l : linesOf(p)) {
            EXPECT_NEAR(0, std::min(l.x0, l.x1), 1e-6) << cut;
            EXPECT_NEAR(100 * UNITS_PER_POINT, std::max(l.x0, l.x1), 1e-6) << cut;
            EXPECT_TRUE(l.y0 == 0 || std::fabs(l.y0 - 50 * UNITS_PER_POINT) < 1e-6) << cut;
        }
    }
}

}  // namespace
}  // namespace tavix::pdf
