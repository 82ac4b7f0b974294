// Pens, line types, pen widths, the palette and polygon fills, through
// PlotEntry within a begun plot.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "plot/jobFrame.h"
#include "plot/pens.h"
#include "tests/plot/plotFixture.h"
#include "tavix/driverState.h"
#include "tavix/packet.h"
#include "plot/palette.h"
#include "tavix/requestPackets.h"

namespace tavix::plottest {
namespace {

class PensTest : public PlotRequestTest {
protected:
    void start(bool colour, bool halfTone = false) {
        PlotSettings s = workedExampleSettings();
        s.set(flags::colorMode, colour);
        s.set(flags::fillStyle, halfTone);
        prepare(s);
        ASSERT_EQ(0, beginPlot());
        mark = staged().size();
    }
    std::string written() {
        std::string out = stagedFrom(mark);
        mark = staged().size();
        return out;
    }
    size_t mark = 0;
};

TEST(Palette, matchesTheReferenceTable) {
    const auto& reference = referencePalette();
    ASSERT_EQ(256u, reference.size());
    for (int i = 0; i < 256; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(reference[i].r, colorIndexPalette[i][0]);
        EXPECT_EQ(reference[i].g, colorIndexPalette[i][1]);
        EXPECT_EQ(reference[i].b, colorIndexPalette[i][2]);
    }
}

TEST_F(PensTest, monochromePaletteIsGray) {
    start(false);
    std::string preamble = staged();
    EXPECT_NE(std::string::npos, preamble.find("PC1,76,76,76PC2,226,226,226"));
    EXPECT_NE(std::string::npos, preamble.find("PC8,191,191,191PC9,127,127,127"));
    EXPECT_NE(std::string::npos, preamble.find("CR0,255,0,255,0,255" + expectedPalette(false) + "PUPA"));
}

TEST_F(PensTest, monochromeSelectsTheBlackPen) {
    start(false);
    EXPECT_EQ(5, selectPen(4));
    EXPECT_EQ("SP7", written());
    EXPECT_EQ(7, state.currentPen);
    EXPECT_STREQ("SP7", state.restoreTexts.pen);
}

TEST_F(PensTest, colourSelectsTheRequestedPen) {
    start(true);
    draw(10, 10);
    written();
    EXPECT_EQ(5, selectPen(4));
    EXPECT_EQ(";SP4", written());
    EXPECT_EQ(4, state.currentPen);
    EXPECT_STREQ("SP4", state.restoreTexts.pen);
}

TEST_F(PensTest, lineTypesUpToTheCount) {
    start(true);
    state.lineTypeCount = 8;
    struct Case {
        uint16_t type;
        const char* text;
    };
    for (Case c : {Case{0, "LT"}, Case{1, "LT-1,1.0"}, Case{2, "LT-2,1.0"}, Case{3, "LT-3,2.0"},
                   Case{8, "LT-8,2.0"}}) {
        lineType(c.type);
        EXPECT_EQ(c.text, written());
        EXPECT_STREQ(c.text, state.restoreTexts.lineType);
    }
    state.lineTypeCount = 2;
    lineType(3);
    EXPECT_EQ("LT", written());
    // The count compares as an unsigned 16-bit value.
    state.lineTypeCount = 0x10005;
    lineType(6);
    EXPECT_EQ("LT", written());
    lineType(5);
    EXPECT_EQ("LT-5,2.0", written());
}

TEST_F(PensTest, lineTypesBeyondTheLengthTableAreSolid) {
    start(true);
    state.lineTypeCount = 40;
    lineType(9);
    EXPECT_EQ("LT", written());
    lineType(40);
    EXPECT_EQ("LT", written());
}

TEST_F(PensTest, penWidthsInMillimetres) {
    start(true);
    struct Case {
        double inches;
        const char* text;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (Case c : {Case{0.01, "PW0.254"}, Case{0.0, "PW0.000"}, Case{-0.0, "PW0.000"},
                   Case{297.0 / 25.4, "PW297.000"}, Case{12.0, "PW297.000"},
                   Case{-0.01, "PW297.000"}, Case{nan, "PW297.000"}, Case{inf, "PW297.000"},
                   Case{-inf, "PW297.000"}, Case{1e300, "PW297.000"}}) {
        SCOPED_TRACE(c.text);
        writeI16(packet.data(), PACKET_STATUS, 41);
        EXPECT_EQ(0, penWidth(c.inches));
        EXPECT_EQ(c.text, written());
        EXPECT_STREQ(c.text, state.restoreTexts.penWidth);
    }
}

// The fills of the reference example: pen at (300, 200) inside PE, code 54
// with colour 5 and vertices (100, 300), (200, 300), (200, 400).
class FillTest : public PensTest {
protected:
    void penAt300x200() {
        move(300, 200);
        draw(300, 200);
        written();
    }
};

TEST_F(FillTest, monochromeBlackFillSelectsTheColourAfterwards) {
    start(false);
    penAt300x200();
    EXPECT_EQ(0, fillArray(5, {100, 300, 200, 300, 200, 400}));
    EXPECT_EQ(";SP7PE7<PkGe;PM0PE7Ge__GeHeHe;PM2FPSP5", written());
    draw(300, 400);
    EXPECT_EQ(";SP7PE7OkGe", written());
}

TEST_F(FillTest, colourFillUsesTheRequestedColour) {
    start(true);
    penAt300x200();
    EXPECT_EQ(0, fillArray(5, {100, 300, 200, 300, 200, 400}));
    EXPECT_EQ(";SP5PE7<PkGe;PM0PE7Ge__GeHeHe;PM2FP", written());
    EXPECT_EQ(PEN_OUTSIDE, state.penState);
    EXPECT_EQ(1, state.somethingDrawn);
}

TEST_F(FillTest, monochromeHalfToneFillsWithTheColourAndSelectsNothingAfter) {
    start(false, true);
    penAt300x200();
    EXPECT_EQ(0, fillArray(5, {100, 300, 200, 300, 200, 400}));
    EXPECT_EQ(";SP5PE7<PkGe;PM0PE7Ge__GeHeHe;PM2FP", written());
}

TEST_F(FillTest, inlineVerticesGiveTheSamePolygon) {
    start(true);
    penAt300x200();
    EXPECT_EQ(0, fillInline(5, {100, 300, 200, 300, 200, 400}));
    EXPECT_EQ(";SP5PE7<PkGe;PM0PE7Ge__GeHeHe;PM2FP", written());
    EXPECT_EQ(1, state.penReselect);
}

TEST_F(FillTest, twoVerticesStillMakeAClosedPolygon) {
    start(true);
    EXPECT_EQ(0, fillArray(3, {100, 100, 200, 100}));
    EXPECT_EQ("SP3PE7<GeGe;PM0PE7Ge_He_;PM2FP", written());
}

TEST_F(FillTest, fillAtTheCurrentPositionStillMoves) {
    start(true);
    penAt300x200();
    selectPen(2);
    written();
    EXPECT_EQ(0, fillArray(3, {300, 200, 400, 200, 400, 300}));
    EXPECT_EQ("SP3PE7<__;PM0PE7Ge__GeHeHe;PM2FP", written());
}

TEST_F(FillTest, tooFewVerticesAnswerNothing) {
    start(true);
    for (int16_t count : {int16_t{1}, int16_t{0}, int16_t{-1}, int16_t{-32768}}) {
        SCOPED_TRACE(count);
        writeI16(packet.data(), 2, 0x55);
        EXPECT_EQ(54, fillArray(5, {100, 100, 200, 200}, count));
        writeI16(packet.data(), plotPacket::INLINE_COUNT, count);
        EXPECT_EQ(33, send(33));
    }
    EXPECT_EQ("", written());
    EXPECT_EQ(0, state.penReselect);
}

TEST_F(FillTest, missingVertexArrayIsLikeTooFewVertices) {
    start(true);
    writeI16(packet.data(), plotPacket::ARRAY_PEN, 5);
    writeI16(packet.data(), plotPacket::ARRAY_COUNT, 3);
    writeU32(packet.data(), plotPacket::ARRAY_ADDRESS, 0);
    EXPECT_EQ(54, send(54));
    EXPECT_EQ("", written());
}

TEST_F(FillTest, latchedFillAnswersZeroAndWritesNothing) {
    start(true);
    state.errorLatch = LATCH_OUTPUT;
    EXPECT_EQ(0, fillArray(5, {100, 100, 200, 200}));
    EXPECT_EQ(0, fillInline(5, {100, 100, 200, 200}));
    EXPECT_EQ(0, state.penReselect);
}

TEST_F(FillTest, failedFillAnswersMinusOneWithoutReselect) {
    start(true);
    // A full buffer must be flushed, and the host refuses.
    state.outputCount = OUTPUT_LIMIT - 4;
    host.failWriteAtCall = 0;
    EXPECT_EQ(-1, fillArray(5, {100, 100, 200, 200}));
    EXPECT_EQ(0, state.penReselect);
    EXPECT_EQ(LATCH_OUTPUT, state.errorLatch);
}

}  // namespace
}  // namespace tavix::plottest
