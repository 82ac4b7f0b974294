// The stream reader on hand-made streams: the worked plot of the job
// preamble, both PE forms, pens, line attributes, fills, scaling, pages.
#include <gtest/gtest.h>

#include <cmath>

#include "previewStreams.h"
#include "streamParser.h"

namespace tavix::preview {
namespace {

using testing::pePair;
using testing::preamble;

const std::string WORKED_EXAMPLE = preamble() + "SP3" + "PE7<GeGe" + "Ok_" + "_Ge" +
                                   ";SP5PE7<PkGe;PM0PE7Ge__GeHeHe;PM2FP" + ";PUSP0;PG;RP1";

std::string warningsText(const ParsedStream& s) {
    std::string text;
    for (const auto& w : s.warnings) text += std::to_string(w.offset) + ": " + w.text + "\n";
    return text;
}

TEST(PreviewParser, WorkedExampleGivesTheLineTheFillAndTheReplot) {
    ParsedStream s = parseStream(WORKED_EXAMPLE);
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    ASSERT_EQ(s.pages.size(), 1u);
    const Page& page = s.pages[0];
    EXPECT_TRUE(page.hasPaper);
    EXPECT_EQ(page.extent.x1, 33528);
    EXPECT_EQ(page.extent.y1, 22352);
    EXPECT_TRUE(page.ended);
    EXPECT_EQ(page.replots, 1);
    ASSERT_EQ(page.strokes.size(), 1u);
    const Polyline& line = page.strokes[0];
    EXPECT_EQ(line.style.pen, 3);
    EXPECT_EQ(line.style.colour, (Rgb{0, 255, 0}));
    ASSERT_EQ(line.points.size(), 3u);
    EXPECT_EQ(line.points[0], (Point{100, 100}));
    EXPECT_EQ(line.points[1], (Point{300, 100}));
    EXPECT_EQ(line.points[2], (Point{300, 200}));
    EXPECT_EQ(line.style.cap, LineCap::Butt);
    EXPECT_EQ(line.style.join, LineJoin::None);
    EXPECT_TRUE(line.style.pattern.solid);
    ASSERT_EQ(page.fills.size(), 1u);
    const Polygon& fill = page.fills[0];
    EXPECT_EQ(fill.pen, 5);
    EXPECT_EQ(fill.colour, (Rgb{0, 0, 255}));
    ASSERT_EQ(fill.rings.size(), 1u);
    std::vector<Point> ring = {{100, 300}, {200, 300}, {200, 400}, {100, 300}};
    EXPECT_EQ(fill.rings[0], ring);
    ASSERT_EQ(page.order.size(), 2u);
    EXPECT_EQ(page.order[0].kind, OpKind::Stroke);
    EXPECT_EQ(page.order[1].kind, OpKind::Fill);
    EXPECT_EQ(page.pensUsed, (std::vector<int>{3, 5}));
    ASSERT_EQ(s.pjl.size(), 1u);
    EXPECT_EQ(s.pjl[0], "@PJL ENTER LANGUAGE = HPGL2");
    EXPECT_FALSE(s.ticketPresent);
}

TEST(PreviewParser, EightBitAndSevenBitPeGiveTheSamePoints) {
    for (bool seven : {true, false}) {
        std::string intro = seven ? "PE7" : "PE";
        std::string stream = preamble() + "SP1" + intro + "<" + pePair(1000, 2000, seven) +
                             pePair(-700, 31, seven) + pePair(123456, -98765, seven) + "<" +
                             pePair(5, 5, seven) + pePair(0, -16, seven) + ";PUSP0;PG;";
        ParsedStream s = parseStream(stream);
        EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
        ASSERT_EQ(s.pages.size(), 1u);
        const auto& strokes = s.pages[0].strokes;
        ASSERT_EQ(strokes.size(), 2u) << intro;
        EXPECT_EQ(strokes[0].points,
                  (std::vector<Point>{{1000, 2000}, {300, 2031}, {123756, -96734}}));
        EXPECT_EQ(strokes[1].points, (std::vector<Point>{{123761, -96729}, {123761, -96745}}));
    }
}

TEST(PreviewParser, PeFlagsAbsoluteFractionAndPenSelect) {
    // '=' makes the next pair absolute, '>' sets fractional bits, ':' selects a pen.
    std::string stream = preamble() + "PE7:" + testing::peNumber(2, true) + "<=" +
                         pePair(500, 600, true) + ">" + testing::peNumber(1, true) +
                         pePair(3, -3, true) + ";PG;";
    ParsedStream s = parseStream(stream);
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    ASSERT_EQ(s.pages.size(), 1u);
    ASSERT_EQ(s.pages[0].strokes.size(), 1u);
    EXPECT_EQ(s.pages[0].strokes[0].style.pen, 2);
    EXPECT_EQ(s.pages[0].strokes[0].points, (std::vector<Point>{{500, 600}, {501.5, 598.5}}));
}

TEST(PreviewParser, PenWidthLineTypeAndLineEndReachTheStyle) {
    std::string stream = preamble(33528, 22352, 4) + "SP2PW0.254LT-3,2.0PE7" + pePair(100, 0, true) +
                         ";LT-1,1.0PE7" + pePair(0, 100, true) + ";LTPE7" + pePair(100, 0, true) +
                         ";PW1.5,2SP1PE7" + pePair(0, 50, true) + ";SP2PE7" + pePair(0, 50, true) + ";PG;";
    ParsedStream s = parseStream(stream);
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    ASSERT_EQ(s.pages.size(), 1u);
    const auto& strokes = s.pages[0].strokes;
    ASSERT_EQ(strokes.size(), 5u);
    double diagonal = std::hypot(33528.0, 22352.0);
    EXPECT_EQ(strokes[0].style.colour, (Rgb{255, 255, 0}));
    EXPECT_DOUBLE_EQ(strokes[0].style.widthMm, 0.254);
    EXPECT_EQ(strokes[0].style.cap, LineCap::Round);
    EXPECT_FALSE(strokes[0].style.pattern.solid);
    EXPECT_TRUE(strokes[0].style.pattern.adaptive);
    EXPECT_EQ(strokes[0].style.pattern.type, 3);
    EXPECT_NEAR(strokes[0].style.pattern.period, diagonal * 0.02, 1e-6);
    EXPECT_EQ(strokes[1].style.pattern.type, 1);
    EXPECT_NEAR(strokes[1].style.pattern.period, diagonal * 0.01, 1e-6);
    EXPECT_TRUE(strokes[2].style.pattern.solid);
    // "PW w,pen" sets one pen; "PW w" all of them.
    EXPECT_EQ(strokes[3].style.pen, 1);
    EXPECT_DOUBLE_EQ(strokes[3].style.widthMm, 0.254);
    EXPECT_EQ(strokes[4].style.pen, 2);
    EXPECT_DOUBLE_EQ(strokes[4].style.widthMm, 1.5);
}

TEST(PreviewParser, ScalingPointsAndWindowMapUserUnits) {
    // Margins: P1, P2 inside the paper, and SC maps the plot area onto them.
    std::string stream = "\x1b%-12345X@PJL ENTER LANGUAGE = HPGL2\n\x1b%-1B;BP;IN;"
                         "PS20000,10000IP1000,500,19000,9500SC0,9000,0,4500IW0,0,9000,4500"
                         "SP1PA0,0PD9000,4500PU;PG;";
    ParsedStream s = parseStream(stream);
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    ASSERT_EQ(s.pages.size(), 1u);
    const Polyline& line = s.pages[0].strokes.at(0);
    EXPECT_EQ(line.points, (std::vector<Point>{{1000, 500}, {19000, 9500}}));
    EXPECT_EQ(line.clip.x0, 1000);
    EXPECT_EQ(line.clip.y0, 500);
    EXPECT_EQ(line.clip.x1, 19000);
    EXPECT_EQ(line.clip.y1, 9500);
}

TEST(PreviewParser, PortraitPaperKeepsXAlongTheLongSide) {
    ParsedStream s = parseStream("\x1b%-1BIN;PS22352,33528SP1PA0,0PD100,100;PG;");
    ASSERT_EQ(s.pages.size(), 1u);
    EXPECT_EQ(s.pages[0].extent.x1, 33528);
    EXPECT_EQ(s.pages[0].extent.y1, 22352);
    EXPECT_EQ(s.pages[0].paperLength, 22352);
}

TEST(PreviewParser, PaletteColourRangeAndPenNumbersBeyondNp) {
    std::string stream = "\x1b%-1BIN;PS10000,8000NP16CR0,100,0,100,0,100PC3,100,50,0SP3PA0,0PD10,0;"
                         "SP18PD20,0;PG;";
    ParsedStream s = parseStream(stream);
    ASSERT_EQ(s.pages.size(), 1u);
    const auto& strokes = s.pages[0].strokes;
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0].style.colour, (Rgb{255, 128, 0}));
    // Pen 18 of 16 wraps to pen (18 - 1) mod 15 + 1 = 3.
    EXPECT_EQ(strokes[1].style.colour, (Rgb{255, 128, 0}));
}

TEST(PreviewParser, TicketLinesAreKept) {
    std::string ticket = "##DOZ START\r\nOutputSize=Original\r\nMediaType=Any\r\nTray=Auto\r\n"
                         "Copies=3\r\nStamp=Off\r\n[Image Placement]\r\nBasis=4\r\n##DOZ END\r\n===";
    ParsedStream s = parseStream(ticket + WORKED_EXAMPLE);
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    EXPECT_TRUE(s.ticketPresent);
    std::vector<std::string> lines = {"OutputSize=Original", "MediaType=Any", "Tray=Auto", "Copies=3",
                                      "Stamp=Off", "[Image Placement]", "Basis=4"};
    EXPECT_EQ(s.ticket, lines);
    ASSERT_EQ(s.pages.size(), 1u);
}

TEST(PreviewParser, SerialHandshakeStringsAreSkippedQuietly) {
    ParsedStream s = parseStream("\x1b.R\x1b.I81;0;17:\x1b.N10;19:\x1b.@;0:" + WORKED_EXAMPLE);
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
    EXPECT_EQ(s.pages.size(), 1u);
}

TEST(PreviewParser, PagesEndAtPgAndEmptyPagesAreNotKept) {
    ParsedStream s = parseStream("\x1b%-1BIN;PS10000,8000SP1PA0,0PD10,0;PG;PG;PU0,0PD0,10;PG;RP2;RP1;");
    ASSERT_EQ(s.pages.size(), 2u);
    EXPECT_EQ(s.pages[0].replots, 0);
    EXPECT_EQ(s.pages[1].replots, 3);
    EXPECT_TRUE(s.warnings.empty()) << warningsText(s);
}

TEST(PreviewParser, HpglWithoutPjlStillReadsWithAWarning) {
    ParsedStream s = parseStream("IN;SP1PA0,0PD100,100;");
    ASSERT_EQ(s.pages.size(), 1u);
    ASSERT_EQ(s.warnings.size(), 2u) << warningsText(s);
    EXPECT_EQ(s.warnings[0].offset, 0u);
    EXPECT_NE(s.warnings[0].text.find("language switch"), std::string::npos);
    EXPECT_NE(s.warnings[1].text.find("PG"), std::string::npos);  // page never ended
}

TEST(PreviewParser, PolygonWithPenUpMovesHasSeveralRings) {
    ParsedStream s = parseStream("\x1b%-1BIN;PS10000,8000SP2PA0,0PM0PD100,0,100,100,0,100PU20,20PD80,20,80,80PM2FP1;PG;");
    ASSERT_EQ(s.pages.size(), 1u);
    ASSERT_EQ(s.pages[0].fills.size(), 1u);
    const Polygon& p = s.pages[0].fills[0];
    ASSERT_EQ(p.rings.size(), 2u);
    EXPECT_EQ(p.rings[0].size(), 4u);
    EXPECT_EQ(p.rings[1], (std::vector<Point>{{20, 20}, {80, 20}, {80, 80}}));
    EXPECT_FALSE(p.evenOdd);
}

}  // namespace
}  // namespace tavix::preview
