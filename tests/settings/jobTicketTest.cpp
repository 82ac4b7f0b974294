// The job ticket block, byte for byte.
#include "support/testSeams.h"
#include "settings/jobTicket.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "tests/plot/plotFixture.h"
#include "tavix/driverState.h"
#include "tavix/outputBuffer.h"
#include "tavix/tables.h"

namespace tavix {
namespace {

const std::string HEAD = "##DOZ START\r\nOutputSize=Original\r\n";
const std::string TAIL = "[Image Placement]\r\nBasis=4\r\nOffsetX=0mm\r\nOffsetY=0mm\r\n##DOZ END\r\n===";

// The defaults of a TX-90 with the Option output.
PlotSettings tx90Defaults() {
    PlotSettings s{};
    s.setCopies(1);
    s.setPaperSize(1);
    s.setFlagByte(0, 0x70);
    s.setFlagByte(1, 0x00);
    s.setFlagByte(2, 0x03);
    s.setFlagByte(3, 0x00);
    s.setStampFontSize(4);
    s.setLineEnd(3);
    s.setDensity(15);
    return s;
}

class JobTicketTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.install();
        state.settings = tx90Defaults();
        for (PenEntry& p : state.penTable) p = PenEntry{0.254f, 100};
        ASSERT_TRUE(obtainOutputBuffer());
    }
    void TearDown() override { releaseOutputBuffer(); }
    std::string ticket() {
        state.outputCount = 0;
        EXPECT_EQ(0, writeJobTicket());
        return std::string(reinterpret_cast<const char*>(state.outputBuffer),
                           static_cast<size_t>(state.outputCount));
    }
    // The part between "Density=15\r\n" and the image placement section.
    std::string middle() {
        std::string t = ticket();
        size_t from = t.find("Density=15\r\n");
        size_t to = t.find("[Image Placement]");
        EXPECT_NE(std::string::npos, from);
        EXPECT_NE(std::string::npos, to);
        from += std::strlen("Density=15\r\n");
        return t.substr(from, to - from);
    }
    void stampOn() {
        state.settings.set(flags::stampOn, true);
        state.settings.setStampPosition(2);
        state.settings.setStampOffsetX(1.5f);
        state.settings.setStampOffsetY(-2.25f);
    }
    testing::TestSeams seams;
    testing::RecordingHost host;
};

TEST_F(JobTicketTest, defaultTx90TicketIsSixteenLines) {
    EXPECT_BYTES(
        "##DOZ START\r\n"
        "OutputSize=Original\r\n"
        "MediaType=Any\r\n"
        "Tray=Auto\r\n"
        "Copies=1\r\n"
        "FormatCut=On\r\n"
        "Mirror=Off\r\n"
        "Invert=Off\r\n"
        "Density=15\r\n"
        "Stamp=Off\r\n"
        "[Image Placement]\r\n"
        "Basis=4\r\n"
        "OffsetX=0mm\r\n"
        "OffsetY=0mm\r\n"
        "##DOZ END\r\n"
        "===",
        ticket());
}

TEST_F(JobTicketTest, flagsAndTableRows) {
    PlotSettings& s = state.settings;
    s.setMediaType(3);
    s.setTray(2);
    s.setCopies(12);
    s.set(flags::formatCut, true);
    s.set(flags::mirror, true);
    s.set(flags::invert, true);
    s.set(flags::centering, false);
    s.setDensity(64);
    EXPECT_BYTES(HEAD +
                     "MediaType=Film\r\nTray=Tray2\r\nCopies=12\r\nFormatCut=Off\r\nMirror=On\r\n"
                     "Invert=On\r\nDensity=64\r\nStamp=Off\r\n[Image Placement]\r\nBasis=6\r\n"
                     "OffsetX=0mm\r\nOffsetY=0mm\r\n##DOZ END\r\n===",
                 ticket());
}

TEST_F(JobTicketTest, copiesOutsideTheRangeAreOne) {
    for (int32_t copies : {0, -7, 1000}) {
        state.settings.setCopies(copies);
        EXPECT_NE(std::string::npos, ticket().find("Copies=1\r\n")) << copies;
    }
    state.settings.setCopies(999);
    EXPECT_NE(std::string::npos, ticket().find("Copies=999\r\n"));
}

TEST_F(JobTicketTest, traysFollowTheModelInUse) {
    struct Case {
        int model;
        int16_t tray;
        const char* line;
    };
    for (Case c : {Case{2, 2, "Tray=Tray2\r\n"}, Case{1, 3, "Tray=SheetPaper\r\n"},
                   Case{0, 3, "Tray=Tray3\r\n"}, Case{0, 4, "Tray=SheetPaper\r\n"},
                   Case{3, 4, "Tray=Tray4\r\n"}, Case{3, 5, "Tray=SheetPaper\r\n"},
                   Case{4, 5, "Tray=SheetPaper\r\n"}}) {
        SCOPED_TRACE(c.line);
        state.currentModel = c.model;
        state.settings.setTray(c.tray);
        EXPECT_NE(std::string::npos, ticket().find(HEAD + "MediaType=Any\r\n" + c.line));
    }
}

TEST_F(JobTicketTest, indicesBeyondTheTablesTakeTheDefaultRows) {
    PlotSettings& s = state.settings;
    state.currentModel = 2;  // TX-30: three trays
    s.setTray(3);
    s.setMediaType(4);
    stampOn();
    s.setStampPosition(9);
    s.setStampFontSize(-1);
    std::string t = ticket();
    EXPECT_NE(std::string::npos, t.find("MediaType=Any\r\nTray=Auto\r\n"));
    EXPECT_NE(std::string::npos, t.find("Placement=0\r\n"));
    EXPECT_NE(std::string::npos, t.find("FontSize=12\r\n"));
    s.setTray(-2);
    s.setMediaType(-1);
    EXPECT_NE(std::string::npos, ticket().find("MediaType=Any\r\nTray=Auto\r\n"));
}

TEST_F(JobTicketTest, stampSectionWithoutTexts) {
    stampOn();
    EXPECT_BYTES(
        "Stamp=On\r\n[Stamp Setting]\r\nMargeType=Opaque\r\nPlacement=2\r\n"
        "OffsetX=1.50mm\r\nOffsetY=-2.25mm\r\nFontSize=12\r\nText=\r\nTextEnd\r\n",
        middle());
}

TEST_F(JobTicketTest, stampPortraitTransparent) {
    stampOn();
    state.settings.set(flags::orientation, true);
    state.settings.set(flags::stampMode, true);
    state.settings.setStampFontSize(15);
    EXPECT_BYTES(
        "Stamp=On\r\n[Stamp Setting]\r\nPortraitData=1\r\nMargeType=Transparent\r\nPlacement=2\r\n"
        "OffsetX=1.50mm\r\nOffsetY=-2.25mm\r\nFontSize=72\r\nText=\r\nTextEnd\r\n",
        middle());
}

TEST_F(JobTicketTest, stampTextVariants) {
    stampOn();
    const std::string before =
        "Stamp=On\r\n[Stamp Setting]\r\nMargeType=Opaque\r\nPlacement=2\r\n"
        "OffsetX=1.50mm\r\nOffsetY=-2.25mm\r\nFontSize=12\r\n";
    struct Case {
        bool date;
        const char* name;
        const char* comment;
        const char* text;
    };
    for (Case c : {Case{false, "", "", "Text=\r\n"},
                   Case{false, "", "Note", "Text=Note\r\n"},
                   Case{false, "Plan", "", "Text=Plan\r\n"},
                   Case{false, "Plan", "Note", "Text=Plan\r\nNote\r\n"},
                   Case{true, "", "", "Text=<%Date%><%Time%>\r\n"},
                   Case{true, "Plan", "Note", "Text=<%Date%><%Time%>\r\nPlan\r\nNote\r\n"}}) {
        SCOPED_TRACE(c.text);
        state.settings.set(flags::dateStamp, c.date);
        std::strcpy(state.drawName, c.name);
        std::strcpy(state.comment, c.comment);
        EXPECT_BYTES(before + c.text + "TextEnd\r\n", middle());
    }
}

TEST_F(JobTicketTest, longestTextsAreWrittenWhole) {
    stampOn();
    std::memset(state.drawName, 'N', DRAW_NAME_SIZE);  // no terminating NUL at all
    std::memset(state.comment, 'C', COMMENT_SIZE - 1);
    state.comment[COMMENT_SIZE - 1] = '\0';
    std::string t = middle();
    EXPECT_NE(std::string::npos,
              t.find(std::string("Text=") + std::string(DRAW_NAME_SIZE - 1, 'N') + "\r\n" +
                     std::string(COMMENT_SIZE - 1, 'C') + "\r\nTextEnd"));
}

TEST_F(JobTicketTest, penSectionCarries255Values) {
    state.settings.set(flags::penSettingOn, true);
    state.penTable[0] = PenEntry{0.125f, 0};
    state.penTable[254] = PenEntry{25.4f, 55};
    std::string width = "Width=13";
    std::string gray = "Gray=0";
    for (int pen = 2; pen <= 254; ++pen) {
        width += ",25";
        gray += ",100";
    }
    width += ",2540\r\n";
    gray += ",55\r\n";
    EXPECT_BYTES("Stamp=Off\r\n[HPGL Setting]\r\n" + width + gray, middle());
}

TEST(PenWidthHundredths, roundsHalfUp) {
    EXPECT_EQ(25, penWidthHundredths(0.254f));
    EXPECT_EQ(13, penWidthHundredths(0.125f));
    EXPECT_EQ(100, penWidthHundredths(1.0f));
    EXPECT_EQ(2540, penWidthHundredths(25.4f));
    EXPECT_EQ(0, penWidthHundredths(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(INT32_MAX, penWidthHundredths(std::numeric_limits<float>::infinity()));
}

TEST_F(JobTicketTest, firstFailedWriteEndsTheTicket) {
    // The second line must flush a nearly full buffer, and the host refuses.
    state.outputCount = OUTPUT_LIMIT - 30;
    host.failWriteAtCall = 0;
    EXPECT_EQ(-1, writeJobTicket());
    EXPECT_EQ(1, host.writeCalls);
    EXPECT_EQ(0, state.outputCount);
    EXPECT_EQ(LATCH_OUTPUT, state.errorLatch);
}

// The working tray table of a fresh plot process is filled at code 50,
// before code 29 names the model; the ticket reads the model's own table.
class TicketInPlotTest : public plottest::PlotRequestTest {};

TEST_F(TicketInPlotTest, freshPlotProcessUsesTheLoadedModelsTrays) {
    PlotSettings s = tx90Defaults();
    s.setModelIndex(1);  // TX-70
    s.setTray(3);        // its manual feed
    prepare(s);
    ASSERT_EQ(0, beginPlot());
    EXPECT_EQ(0u, staged().find(HEAD + "MediaType=Any\r\nTray=SheetPaper\r\nCopies=1\r\n"));
}

}  // namespace
}  // namespace tavix
