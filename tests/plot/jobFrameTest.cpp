// Begin plot and end plot through PlotEntry: the whole job stream of the
// worked example, the trailer's copies, the device-control strings, the
// portrait and level-1 set-ups, and output failures.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/hostAddress.h"
#include "plot/jobFrame.h"
#include "plot/pens.h"
#include "tests/plot/plotFixture.h"
#include "plot/plotSetup.h"
#include "plot/preamble.h"
#include "tavix/driverState.h"
#include "tavix/imageRequest.h"
#include "tavix/messageSlots.h"
#include "tavix/outputBuffer.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"
#include "settings/settingsDefaults.h"
#include "tavix/tables.h"

namespace tavix::plottest {
namespace {

const std::string PJL = "\x1b%-12345X@PJL ENTER LANGUAGE = HPGL2\n\x1b%-1B;BP;IN;";

// The preamble of the worked example: 33 x 22 inches at 1016 steps per inch.
std::string workedPreamble(bool colour = true) {
    return PJL +
           "PS33528,22352IP0,0,33528,22352SC0,33528,0,22352IW0,0,33528,22352"
           "LA1,1,2,6SP7RFNP256CR0,255,0,255,0,255" +
           expectedPalette(colour) + "PUPA0,0PRTR0";
}

class JobFrameTest : public PlotRequestTest {
protected:
    // The requests of the worked example after begin plot.
    void drawWorkedExample() {
        EXPECT_EQ(5, selectPen(3));
        move(100, 100);
        draw(300, 100);
        draw(300, 200);
        EXPECT_EQ(0, fillArray(5, {100, 300, 200, 300, 200, 400}));
    }
};

TEST_F(JobFrameTest, workedExampleIsOneByteExactStream) {
    prepare(workedExampleSettings());
    ASSERT_EQ(0, beginPlot());
    drawWorkedExample();
    endPlot();
    EXPECT_BYTES(workedPreamble() +
                     "SP3"
                     "PE7<GeGe"
                     "Ok_"
                     "_Ge"
                     ";SP5PE7<PkGe;PM0PE7Ge__GeHeHe;PM2FP"
                     ";PUSP0;PG;RP1",
                 host.output);
    // Every piece but the last is 128 bytes.
    for (size_t i = 0; i + 1 < host.pieceSizes.size(); ++i) EXPECT_EQ(128, host.pieceSizes[i]);
    ASSERT_EQ(2u, host.exchangeCalls.size());
    EXPECT_EQ(std::make_pair(30, 1), host.exchangeCalls[0]);
    EXPECT_EQ(std::make_pair(42, 1), host.exchangeCalls[1]);
    EXPECT_EQ(nullptr, state.outputBuffer);
}

TEST_F(JobFrameTest, workedExampleInEightBitForm) {
    PlotSettings s = workedExampleSettings();
    s.set(flags::eightBitEncoding, true);
    prepare(s);
    ASSERT_EQ(0, beginPlot());
    drawWorkedExample();
    endPlot();
    // In base 64: 100 is "G\xC2", 200 "O\xC5", -100 "H\xC2", -200 "P\xC5", 0 "\xBF".
    EXPECT_BYTES(workedPreamble() +
                     "SP3"
                     "PE<G\xC2G\xC2"
                     "O\xC5\xBF"
                     "\xBFG\xC2"
                     ";SP5PE<P\xC5G\xC2;PM0PEG\xC2\xBF\xBFG\xC2H\xC2H\xC2;PM2FP"
                     ";PUSP0;PG;RP1",
                 host.output);
}

TEST_F(JobFrameTest, trailerAsksForTheExtraCopies) {
    struct Case {
        int32_t stored;
        const char* trailer;
    };
    // 1000 and anything below 1 are one copy.
    for (Case c : {Case{1, ";PUSP0;PG;"}, Case{2, ";PUSP0;PG;RP1"}, Case{999, ";PUSP0;PG;RP998"},
                   Case{1000, ";PUSP0;PG;"}, Case{0, ";PUSP0;PG;"}, Case{-3, ";PUSP0;PG;"}}) {
        SCOPED_TRACE(c.stored);
        host.output.clear();
        PlotSettings s = workedExampleSettings();
        s.setCopies(c.stored);
        prepare(s);
        ASSERT_EQ(0, beginPlot());
        draw(10, 10);
        endPlot();
        std::string tail = std::string("PE7ss") + c.trailer;  // 10 is "s"
        ASSERT_GE(host.output.size(), tail.size());
        EXPECT_EQ(tail, host.output.substr(host.output.size() - tail.size()));
        EXPECT_EQ(1, state.copiesToPlot);
    }
}

TEST_F(JobFrameTest, endPlotWithNothingDrawnSendsNothing) {
    prepare(workedExampleSettings());
    ASSERT_EQ(0, beginPlot());
    EXPECT_EQ(5, selectPen(3));
    move(100, 100);  // a move draws nothing
    endPlot();
    EXPECT_EQ("", host.output);
    EXPECT_EQ(0, host.writeCalls);
    EXPECT_EQ(nullptr, state.outputBuffer);
    // The exchange value is still given back.
    ASSERT_EQ(2u, host.exchangeCalls.size());
    EXPECT_EQ(std::make_pair(42, 1), host.exchangeCalls[1]);
}

TEST_F(JobFrameTest, exchangeValueIsGivenBackOnce) {
    prepare(workedExampleSettings());
    ASSERT_EQ(0, beginPlot());
    draw(1, 1);
    endPlot();
    endPlot();
    ASSERT_EQ(2u, host.exchangeCalls.size());
    EXPECT_EQ(-1, state.exchangeToken);
}

TEST_F(JobFrameTest, negativeExchangeValueIsNotGivenBack) {
    host.exchangeResult = -1;
    prepare(workedExampleSettings());
    ASSERT_EQ(0, beginPlot());
    endPlot();
    EXPECT_EQ(1u, host.exchangeCalls.size());
}

TEST_F(JobFrameTest, beginPlotResetsThePenAndPosition) {
    prepare(workedExampleSettings());
    ASSERT_EQ(0, beginPlot());
    selectPen(4);
    draw(500, 500);
    endPlot();
    ASSERT_EQ(0, beginPlot());
    EXPECT_EQ(7, state.currentPen);
    EXPECT_EQ(-1, state.lastHostX);
    EXPECT_EQ(0, state.currentX);
    EXPECT_EQ(PEN_OUTSIDE, state.penState);
    EXPECT_STREQ("PE7", state.restoreTexts.peIntro);
    EXPECT_STREQ("IW0,0,33528,22352", state.restoreTexts.window);
    EXPECT_STREQ("", state.restoreTexts.pen);
    // The chain of relative steps starts again at the origin.
    size_t mark = staged().size();
    draw(100, 100);
    EXPECT_EQ("PE7GeGe", stagedFrom(mark));
}

TEST_F(JobFrameTest, beginPlotAfterFailedSettingsLoadAnswersFailure) {
    initialise();
    setLanguage();
    std::fill(packet.begin(), packet.end(), 0);
    writeI16(packet.data(), releasePacket::RELEASE, 2);  // release 2
    EXPECT_EQ(-1, send(29));
    EXPECT_EQ(LATCH_CONFIG, state.errorLatch);
    EXPECT_EQ(-1, beginPlot());
    EXPECT_EQ(nullptr, state.outputBuffer);
    EXPECT_TRUE(host.exchangeCalls.empty());
    EXPECT_EQ(-1, draw(5, 5));
    endPlot();
    EXPECT_EQ("", host.output);
}

TEST_F(JobFrameTest, allocationFailureShowsMessageAndLatches) {
    prepare(workedExampleSettings());
    outputAllocationAllowed = [] { return false; };
    EXPECT_EQ(-1, beginPlot());
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(std::string("\n") + state.messages[MSG_NO_MEMORY], host.messages.back());
    EXPECT_EQ(LATCH_OUTPUT, state.errorLatch);
    EXPECT_TRUE(host.exchangeCalls.empty());
}

TEST_F(JobFrameTest, serialPlotterGetsHandshakeStrings) {
    PlotSettings s = workedExampleSettings();
    s.set(flags::serialHandshake, true);
    prepare(s);
    ASSERT_EQ(0, beginPlot());
    ASSERT_EQ(2u, host.deviceControls.size());
    EXPECT_EQ("\x1b.R", host.deviceControls[0]);
    EXPECT_EQ("\x1b.@;1:", host.deviceControls[1]);
    // Sent at once, not staged: the stream still begins with PJL.
    EXPECT_EQ(0u, staged().find(PJL));

    host.deviceControls.clear();
    s.set(flags::xonXoffHandshake, true);
    prepare(s);
    ASSERT_EQ(0, beginPlot());
    EXPECT_EQ((std::vector<std::string>{"\x1b.R", "\x1b.I81;0;17:", "\x1b.N10;19:", "\x1b.@;0:"}),
              host.deviceControls);
}

TEST_F(JobFrameTest, hostOptionBitSixSuppressesDeviceControl) {
    PlotSettings s = workedExampleSettings();
    s.set(flags::serialHandshake, true);
    initialise();
    setLanguage();
    loadSettings(s);
    setPlotArea(33.0, 22.0, 0x40);
    ASSERT_EQ(0, beginPlot());
    EXPECT_TRUE(host.deviceControls.empty());
}

TEST_F(JobFrameTest, ticketComesFirstOnlyWithOptionOutput) {
    PlotSettings s = workedExampleSettings();
    prepare(s);
    ASSERT_EQ(0, beginPlot());
    EXPECT_EQ(0u, staged().find(PJL));

    s.set(flags::outputOption, true);
    prepare(s);
    ASSERT_EQ(0, beginPlot());
    std::string out = staged();
    EXPECT_EQ(0u, out.find("##DOZ START\r\n"));
    // The universal exit follows the ticket's "===" directly.
    EXPECT_NE(std::string::npos, out.find("##DOZ END\r\n===" + PJL));
}

// A model table of our own: the shipped rows all take the Option output and
// the scaled set-up, so these are the only way to the other branches.
ModelEntry testModels[5] = {
    {"TX-90-TAVIX E", 1, 0, 2},     {"Level One", 0, 0, 1}, {"TX-30-TAVIX E", 1, 0, 2},
    {"Lumen Q1-TAVIX E", 1, 0, 2}, {"TX Series TAVIX E", 1, 0, 2},
};

TEST_F(JobFrameTest, modelWithoutOptionOutputGetsNoTicket) {
    activeTables.models = testModels;
    PlotSettings s = workedExampleSettings();
    s.set(flags::outputOption, true);
    s.setModelIndex(1);
    prepare(s);
    ASSERT_EQ(0, beginPlot());
    EXPECT_EQ(0u, staged().find(PJL));
}

TEST_F(JobFrameTest, levelOneModelGetsTheUnscaledSetUp) {
    activeTables.models = testModels;
    PlotSettings s = workedExampleSettings();
    s.setModelIndex(1);
    prepare(s);
    ASSERT_EQ(0, beginPlot());
    EXPECT_BYTES(PJL +
                     "PS33528,22352IP0,0,33538,22362IW0,0,33528,22352"
                     "LA1,1,2,6SP7RFCR0,255,0,255,0,255" +
                     expectedPalette(true) + "PUPRTR0",
                 staged());

    // Half-tone fill makes room for the 256 pens at level 1 too.
    s.set(flags::fillStyle, true);
    s.set(flags::colorMode, false);
    prepare(s);
    ASSERT_EQ(0, beginPlot());
    EXPECT_NE(std::string::npos, staged().find("SP7RFNP256CR0,255"));
}

TEST_F(JobFrameTest, portraitPaperSwapsPaperSizeAndOffsets) {
    prepare(workedExampleSettings());
    // Distinct offsets show the order: E0 1, E1 2, E2 3, E3 4 inches.
    for (int k = 0; k < 4; ++k) state.offsetMargins[k] = k + 1;
    state.deviceWidth = 30.0;
    state.deviceHeight = 20.0;
    state.paperPortrait = 0;
    ASSERT_EQ(0, beginPlot());
    EXPECT_NE(std::string::npos,
              staged().find("PS30480,20320IP1016,4064,28448,17272SC0,33528,0,22352"));

    state.paperPortrait = 1;
    ASSERT_EQ(0, beginPlot());
    EXPECT_NE(std::string::npos,
              staged().find("PS20320,30480IP3048,1016,26416,18288SC0,33528,0,22352"));
}

TEST_F(JobFrameTest, plotNumbersFollowStepsAndScale) {
    prepare(workedExampleSettings());
    state.plotWidth = state.deviceWidth = 128.606;
    state.plotHeight = state.deviceHeight = 35.606;
    state.scaleDivisor = 2;
    state.stepsPerInchX = state.stepsPerInchY = 508;
    ASSERT_EQ(0, beginPlot());
    // floor(128.606 x 508) = 65331 and floor(35.606 x 508) = 18087, times 2.
    EXPECT_NE(std::string::npos, staged().find("PS130662,36174IP0,0,130662,36174SC0,130662,0,36174"));
}

TEST_F(JobFrameTest, hugeAndNonNumericAreasStayInRange) {
    prepare(workedExampleSettings());
    state.plotWidth = 1e300;
    state.deviceWidth = std::numeric_limits<double>::infinity();
    state.plotHeight = std::numeric_limits<double>::quiet_NaN();
    state.deviceHeight = -1e300;
    state.scaleDivisor = 16;
    ASSERT_EQ(0, beginPlot());
    EXPECT_NE(std::string::npos,
              staged().find("PS2147483647,-2147483648IP0,0,2147483647,-2147483648SC0,2147483647,0,0"));
}

class FlushFailureTest : public JobFrameTest,
                         public ::testing::WithParamInterface<const char*> {};

TEST_P(FlushFailureTest, refusedPieceLatchesAndSendsNothingMore) {
    prepare(workedExampleSettings());
    ASSERT_EQ(0, beginPlot());
    drawWorkedExample();
    size_t total = staged().size() + std::string(";PUSP0;PG;RP1").size();
    int pieces = static_cast<int>((total + 127) / 128);
    ASSERT_GE(pieces, 3);
    std::string which = GetParam();
    int refused = which == "first" ? 0 : which == "middle" ? pieces / 2 : pieces - 1;
    host.failWriteAtCall = refused;

    endPlot();
    EXPECT_EQ(static_cast<size_t>(refused) * 128, host.output.size());
    EXPECT_EQ(refused + 1, host.writeCalls);
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_EQ(std::string("\n") + state.messages[MSG_PLOTTING_ERROR] + "\n", host.messages[0]);
    EXPECT_EQ(LATCH_OUTPUT, state.errorLatch);
    EXPECT_EQ(nullptr, state.outputBuffer);
    ASSERT_EQ(2u, host.exchangeCalls.size());
    EXPECT_EQ(std::make_pair(42, 1), host.exchangeCalls[1]);

    // Until the next initialise the driver writes nothing at all.
    EXPECT_EQ(-1, beginPlot());
    EXPECT_EQ(-1, draw(7, 7));
    endPlot();
    EXPECT_EQ(refused + 1, host.writeCalls);

    initialise();
    EXPECT_EQ(0, state.errorLatch);
    EXPECT_EQ(0, beginPlot());
}

INSTANTIATE_TEST_SUITE_P(Pieces, FlushFailureTest, ::testing::Values("first", "middle", "last"));

TEST_F(JobFrameTest, preambleStopsAtTheFirstFailedWrite) {
    prepare(workedExampleSettings());
    // A buffer so full that the preamble must flush, and a host that
    // refuses: nothing after the failure is staged.
    ASSERT_TRUE(obtainOutputBuffer());
    state.outputCount = OUTPUT_LIMIT - 20;
    host.failWriteAtCall = 0;
    EXPECT_EQ(-1, writePreamble());
    EXPECT_EQ(LATCH_OUTPUT, state.errorLatch);
    EXPECT_EQ(0, state.outputCount);
    EXPECT_EQ(1, host.writeCalls);
}

TEST_F(JobFrameTest, initialiseReleasesAnOpenPlot) {
    prepare(workedExampleSettings());
    ASSERT_EQ(0, beginPlot());
    draw(3, 3);
    ASSERT_NE(nullptr, state.outputBuffer);
    initialise();
    EXPECT_EQ(nullptr, state.outputBuffer);
    EXPECT_EQ(0, state.outputCount);
    EXPECT_EQ(-1, state.exchangeToken);
    EXPECT_EQ(1, state.firstQuery);
    // The forgotten plot sends nothing.
    endPlot();
    EXPECT_EQ("", host.output);
}

TEST_F(JobFrameTest, abortCancelsTheTrailerAndCopies) {
    prepare(workedExampleSettings());
    ASSERT_EQ(0, beginPlot());
    draw(3, 3);
    send(9);
    EXPECT_EQ(LATCH_OUTPUT, state.errorLatch);
    EXPECT_EQ(1, state.copiesToPlot);
    endPlot();
    EXPECT_EQ("", host.output);
    EXPECT_EQ(nullptr, state.outputBuffer);
}

// --- Stored values and host values beyond their ranges ---------------------

// A stored modelIndex outside 0..4 (codes 29 and 43) plots as the first
// model.
TEST_F(JobFrameTest, aStoredModelIndexOutsideTheTablePlotsAsTheFirstModel) {
    PlotSettings s = optionOutputSettings();
    const std::string reference = preambleFor(s);
    ASSERT_NE(std::string::npos, reference.find("##DOZ START"));
    for (int32_t index : {5, -1, 1000, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(index);
        s.setModelIndex(index);
        EXPECT_BYTES(reference, preambleFor(s));
        EXPECT_EQ(25, state.paperCount);  // the TX-90 list
    }
}

// The line end of the preamble comes from a four-row table; a stored index
// beyond it writes the default (rounded) line end.
TEST_F(JobFrameTest, aStoredLineEndOutsideTheTableWritesTheDefault) {
    PlotSettings s = optionOutputSettings();
    s.setLineEnd(DEFAULT_LINE_END);
    const std::string reference = preambleFor(s);
    for (int16_t lineEnd : {int16_t{4}, int16_t{-1}, int16_t{32767}, int16_t{-32768}}) {
        SCOPED_TRACE(lineEnd);
        s.setLineEnd(lineEnd);
        const std::string preamble = preambleFor(s);
        // The job ticket carries the stored value; the HP-GL/2 set-up after
        // the PJL switch is the default one.
        const size_t pjl = reference.find("\x1b%-12345X");
        ASSERT_NE(std::string::npos, pjl);
        EXPECT_BYTES(reference.substr(pjl), preamble.substr(preamble.find("\x1b%-12345X")));
    }
}

// The row functions of an image that must never be asked for a row.
int rowQueries = 0;
ImageRowReplyAddress TAVIX_CDECL countingRowSource(void*) {
    ++rowQueries;
    return 0;
}
void TAVIX_CDECL ignoringRowRelease(ImageRowReplyAddress) {}

// After an abort (code 9) the stream has lost what was staged: an image
// announced then is dropped without a row, and end plot sends nothing.
TEST_F(JobFrameTest, anImageAfterAnAbortIsDroppedAndNothingIsSent) {
    prepare(workedExampleSettings());
    ASSERT_EQ(0, beginPlot());
    ASSERT_EQ(3, move(100, 100));
    ASSERT_EQ(4, draw(2000, 1500));
    send(9);

    std::vector<uint8_t> image(IMAGE_REQUEST_SIZE, 0);
    writeU32(image.data(), imagePacket::ROW_SOURCE,
             hostAddressOf(reinterpret_cast<const void*>(&countingRowSource)));
    writeU32(image.data(), imagePacket::ROW_RELEASE,
             hostAddressOf(reinterpret_cast<const void*>(&ignoringRowRelease)));
    writeI32(image.data(), imagePacket::X0, 1000);
    writeI32(image.data(), imagePacket::Y0, 1000);
    writeI32(image.data(), imagePacket::X1, 2000);
    writeI32(image.data(), imagePacket::Y1, 1500);
    writeI32(image.data(), imagePacket::KIND, 8);
    writeI32(image.data(), imagePacket::SOURCE_WIDTH, 40);
    writeI32(image.data(), imagePacket::SOURCE_HEIGHT, 20);
    rowQueries = 0;
    send(52, image);
    EXPECT_EQ(-1, draw(3000, 3000));  // prints the pending image first
    EXPECT_EQ(0u, state.imageMarker);
    endPlot();

    EXPECT_EQ(0, rowQueries);
    EXPECT_EQ(0, host.writeCalls);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(nullptr, state.outputBuffer);
    EXPECT_EQ((std::vector<std::pair<int, int>>{{30, 1}, {42, 1}}), host.exchangeCalls);
}

}  // namespace
}  // namespace tavix::plottest
