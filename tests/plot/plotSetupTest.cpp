// Plot set-up and information requests: 29 (load settings), 46 (configure),
// 47 (set area), 48 (query area), 15 (line-type legend), 31 (summary).
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tests/plot/plotFixture.h"
#include "tavix/driverState.h"
#include "tavix/messageSlots.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"
#include "settings/settingsDefaults.h"
#include "tavix/tables.h"

namespace tavix::plottest {
namespace {

constexpr double MARGIN = 0.197;

class PlotSetupTest : public PlotRequestTest {
protected:
    void ready(const PlotSettings& s) {
        initialise();
        setLanguage();
        ASSERT_EQ(0, loadSettings(s));
        host.messages.clear();
    }
    // A 267-byte PlotAreaRecord with every byte set to a pattern.
    std::vector<uint8_t> areaRecord(double width, double height, uint32_t options = 0x12) {
        std::vector<uint8_t> r(267);
        for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<uint8_t>(0xA0 + i % 31);
        writeU32(r.data(), plotAreaPacket::OPTIONS, options);
        writeF64(r.data(), plotAreaPacket::WIDTH, width);
        writeF64(r.data(), plotAreaPacket::HEIGHT, height);
        writeF64(r.data(), plotAreaPacket::UNITS_X, 1016.0);
        writeF64(r.data(), plotAreaPacket::UNITS_Y, 1016.0);
        return r;
    }
};

// --- Code 29 ---------------------------------------------------------------

TEST_F(PlotSetupTest, loadSettingsTakesTheStoredBlock) {
    initialise();
    setLanguage();
    PlotSettings s = workedExampleSettings();
    s.setModelIndex(2);
    s.setCopies(3);
    std::memcpy(host.stored, s.bytes, 40);
    host.hasStored = true;
    std::fill(packet.begin(), packet.end(), 0);
    writeI16(packet.data(), releasePacket::RELEASE, 3);
    writeU32(packet.data(), releasePacket::HOST_WINDOW, 0xBEEF);
    EXPECT_EQ(0, send(29));
    EXPECT_EQ(3, readI16(packet.data(), releasePacket::RELEASE));
    EXPECT_EQ(0, readI16(packet.data(), releasePacket::ZERO));
    EXPECT_EQ(0xBEEFu, state.hostWindow);
    EXPECT_EQ(2, state.currentModel);
    EXPECT_EQ(3, state.copiesToPlot);
    EXPECT_EQ(0, std::memcmp(s.bytes, state.settings.bytes, 40));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(PlotSetupTest, storedCopiesOutsideTheRangeAreOne) {
    for (int32_t copies : {1000, 0, -1, 999}) {
        SCOPED_TRACE(copies);
        PlotSettings s = workedExampleSettings();
        s.setCopies(copies);
        ready(s);
        int32_t expected = copies == 999 ? 999 : 1;
        EXPECT_EQ(expected, state.copiesToPlot);
        EXPECT_EQ(expected, state.settings.copies());
    }
}

TEST_F(PlotSetupTest, oldHostReleaseFailsAndLatches) {
    initialise();
    setLanguage();
    host.hasStored = true;
    writeI16(packet.data(), releasePacket::RELEASE, 2);
    EXPECT_EQ(-1, send(29));
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_EQ(std::string("\n") + state.messages[MSG_WRONG_RELEASE] + "\n", host.messages[0]);
    EXPECT_EQ(LATCH_CONFIG, state.errorLatch);
    EXPECT_EQ(0, host.loadCalls);
}

TEST_F(PlotSetupTest, failedLoadFailsAndKeepsTheBlock) {
    initialise();
    setLanguage();
    state.settings = workedExampleSettings();
    host.hasStored = false;
    writeI16(packet.data(), releasePacket::RELEASE, 3);
    EXPECT_EQ(-1, send(29));
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_EQ(std::string("\n") + state.messages[MSG_CANNOT_GET] + "\n", host.messages[0]);
    EXPECT_EQ(LATCH_CONFIG, state.errorLatch);
    EXPECT_EQ(2, state.settings.copies());
    // Latched: the next set-up requests answer -1 and do nothing.
    host.hasStored = true;
    EXPECT_EQ(-1, send(29));
    EXPECT_EQ(1, host.loadCalls);
    EXPECT_EQ(-1, send(46, packet));
    EXPECT_EQ(-1, send(47));
    EXPECT_EQ(-1, send(48));
    EXPECT_EQ(0, host.saveCalls);
}

// --- Code 46 ---------------------------------------------------------------

TEST_F(PlotSetupTest, configurePlotGivesTheWholePaperAsMaximum) {
    PlotSettings s = workedExampleSettings();
    ready(s);
    state.selectedModel = 3;  // the configuration run's choice is not saved here
    std::vector<uint8_t> record = areaRecord(10.0, 10.0, 0x40);
    std::vector<uint8_t> before = record;
    EXPECT_EQ(19, send(46, record));

    const double x = 48 - MARGIN - MARGIN, y = 36 - MARGIN - MARGIN;
    EXPECT_DOUBLE_EQ(x, readF64(record.data(), plotAreaPacket::WIDTH));
    EXPECT_DOUBLE_EQ(y, readF64(record.data(), plotAreaPacket::HEIGHT));
    EXPECT_DOUBLE_EQ(x, readF64(record.data(), plotAreaPacket::MAX_WIDTH));
    EXPECT_DOUBLE_EQ(y, readF64(record.data(), plotAreaPacket::MAX_HEIGHT));
    EXPECT_DOUBLE_EQ(1016.0, readF64(record.data(), plotAreaPacket::UNITS_X));
    EXPECT_DOUBLE_EQ(1016.0, readF64(record.data(), plotAreaPacket::UNITS_Y));
    EXPECT_EQ(0, std::memcmp(record.data() + plotAreaPacket::MAX_MARK, "MAX", 4));
    EXPECT_EQ(1, record[plotAreaPacket::ONE]);
    EXPECT_EQ(0, record[plotAreaPacket::ZERO]);
    // Every other byte passes through.
    for (size_t i = 2; i < record.size(); ++i) {
        bool written = (i >= 9 && i < 57) || (i >= 73 && i < 77) || i == 139 || i == 140;
        if (!written) {
            EXPECT_EQ(before[i], record[i]) << "offset " << i;
        }
    }
    EXPECT_EQ(0x40u, state.hostOptions);
    EXPECT_DOUBLE_EQ(x, state.plotWidth);
    EXPECT_DOUBLE_EQ(x, state.deviceWidth);
    EXPECT_DOUBLE_EQ(y, state.deviceHeight);
    EXPECT_EQ(0, state.paperPortrait);
    EXPECT_TRUE(state.settings.get(flags::landscapePaper));
    EXPECT_EQ(1, state.scaleDivisor);

    ASSERT_EQ(1, host.saveCalls);
    PlotSettings saved{};
    std::memcpy(saved.bytes, host.stored, 40);
    EXPECT_EQ(0, saved.modelIndex());
    EXPECT_TRUE(saved.get(flags::landscapePaper));
}

TEST_F(PlotSetupTest, longPaperHalvesTheResolution) {
    PlotSettings s = workedExampleSettings();
    s.setPaperSize(22);  // Long plot 129 x 36
    ready(s);
    std::vector<uint8_t> record = areaRecord(1, 1);
    EXPECT_EQ(19, send(46, record));
    EXPECT_DOUBLE_EQ(129 - MARGIN - MARGIN, readF64(record.data(), plotAreaPacket::WIDTH));
    EXPECT_DOUBLE_EQ(508.0, readF64(record.data(), plotAreaPacket::UNITS_X));
    EXPECT_EQ(2, state.scaleDivisor);
    EXPECT_DOUBLE_EQ(508.0, state.stepsPerInchX);
}

TEST_F(PlotSetupTest, failedSaveFailsAndLatches) {
    ready(workedExampleSettings());
    host.failSaveAtCall = 0;
    std::vector<uint8_t> record = areaRecord(1, 1);
    EXPECT_EQ(-1, send(46, record));
    ASSERT_EQ(1u, host.messages.size());
    EXPECT_EQ(std::string("\n") + state.messages[MSG_CANNOT_SAVE] + "\n", host.messages[0]);
    EXPECT_EQ(LATCH_CONFIG, state.errorLatch);
}

// Papers no shipped model has: the tall and square branches.
const PaperSize tallPapers[] = {
    {"Tall", "Tall", 24, 36},
    {"Square", "Square", 30, 30},
    {"", "", 0, 0},
};
const PaperSize* tallList(const ModelEntry&) { return tallPapers; }

TEST_F(PlotSetupTest, tallAndSquarePapersTurnTheArea) {
    activeTables.paperList = tallList;
    for (int paper : {1, 2}) {
        SCOPED_TRACE(paper);
        PlotSettings s = workedExampleSettings();
        s.setPaperSize(paper);
        s.set(flags::landscapePaper, true);
        ready(s);
        double w = paper == 1 ? 24 : 30, h = paper == 1 ? 36 : 30;
        std::vector<uint8_t> record = areaRecord(1, 1);
        EXPECT_EQ(19, send(46, record));
        // The host's X axis runs along H.
        EXPECT_DOUBLE_EQ(h - MARGIN - MARGIN, readF64(record.data(), plotAreaPacket::WIDTH));
        EXPECT_DOUBLE_EQ(w - MARGIN - MARGIN, readF64(record.data(), plotAreaPacket::HEIGHT));
        EXPECT_DOUBLE_EQ(h - MARGIN - MARGIN, state.deviceWidth);
        EXPECT_DOUBLE_EQ(w - MARGIN - MARGIN, state.deviceHeight);
        EXPECT_EQ(1, state.paperPortrait);
        EXPECT_FALSE(state.settings.get(flags::landscapePaper));
    }
}

// --- Code 47 ---------------------------------------------------------------

TEST_F(PlotSetupTest, setPlotAreaTakesTheRequest) {
    ready(workedExampleSettings());
    EXPECT_EQ(47, setPlotArea(20.5, 10.25, 0x99));
    EXPECT_DOUBLE_EQ(20.5, state.plotWidth);
    EXPECT_DOUBLE_EQ(10.25, state.plotHeight);
    // The offset margins are 0 in both margin rows.
    EXPECT_DOUBLE_EQ(20.5, state.deviceWidth);
    EXPECT_DOUBLE_EQ(10.25, state.deviceHeight);
    EXPECT_EQ(1, packet[plotAreaPacket::ONE]);
    EXPECT_EQ(0x99u, state.hostOptions);
}

TEST_F(PlotSetupTest, nonNumericAreasAreTamed) {
    ready(workedExampleSettings());
    setPlotArea(std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity());
    EXPECT_EQ(0.0, state.plotWidth);
    EXPECT_TRUE(std::isfinite(state.plotHeight));
    EXPECT_GT(state.plotHeight, 600.0);
}

// --- Code 48 ---------------------------------------------------------------

TEST_F(PlotSetupTest, queryReplacesAnAreaAtLeastTheMaximum) {
    ready(workedExampleSettings());
    std::vector<uint8_t> record = areaRecord(100, 100, 0x7);
    writeF64(record.data(), plotAreaPacket::UNITS_X, 999.0);
    writeF64(record.data(), plotAreaPacket::UNITS_Y, 998.0);
    EXPECT_EQ(19, send(48, record));
    const double x = 48 - MARGIN - MARGIN, y = 36 - MARGIN - MARGIN;
    EXPECT_DOUBLE_EQ(x, readF64(record.data(), plotAreaPacket::WIDTH));
    EXPECT_DOUBLE_EQ(y, readF64(record.data(), plotAreaPacket::HEIGHT));
    EXPECT_DOUBLE_EQ(x, readF64(record.data(), plotAreaPacket::MAX_WIDTH));
    EXPECT_DOUBLE_EQ(y, readF64(record.data(), plotAreaPacket::MAX_HEIGHT));
    EXPECT_EQ(0, std::memcmp(record.data() + plotAreaPacket::MAX_MARK, "MAX", 4));
    EXPECT_EQ(1, record[plotAreaPacket::ONE]);
    EXPECT_EQ(0, record[plotAreaPacket::ZERO]);
    EXPECT_DOUBLE_EQ(x, state.plotWidth);
    EXPECT_DOUBLE_EQ(48 - MARGIN - MARGIN, state.deviceWidth);
    EXPECT_DOUBLE_EQ(999.0, state.stepsPerInchX);
    EXPECT_DOUBLE_EQ(998.0, state.stepsPerInchY);
    EXPECT_EQ(0x7u, state.hostOptions);
    EXPECT_EQ(25, state.paperCount);
    EXPECT_STREQ("ARCH E     1219.2mm x 914.4mm ", state.paperLabels[0]);
}

TEST_F(PlotSetupTest, querySmallerInOneDirectionStands) {
    ready(workedExampleSettings());
    std::vector<uint8_t> record = areaRecord(100, 20);
    EXPECT_EQ(19, send(48, record));
    EXPECT_DOUBLE_EQ(100.0, readF64(record.data(), plotAreaPacket::WIDTH));
    EXPECT_DOUBLE_EQ(20.0, readF64(record.data(), plotAreaPacket::HEIGHT));
    EXPECT_NE(0, std::memcmp(record.data() + plotAreaPacket::MAX_MARK, "MAX", 4));
    EXPECT_DOUBLE_EQ(100.0, state.plotWidth);
    EXPECT_DOUBLE_EQ(20.0, state.deviceHeight);
}

TEST_F(PlotSetupTest, queryWorksOncePerInitialise) {
    ready(workedExampleSettings());
    std::vector<uint8_t> record = areaRecord(100, 100);
    EXPECT_EQ(19, send(48, record));
    std::vector<uint8_t> again = areaRecord(5, 5, 0x55);
    std::vector<uint8_t> before = again;
    EXPECT_EQ(0, send(48, again));
    EXPECT_EQ(0x55u, state.hostOptions);
    before[PACKET_STATUS] = 0;
    before[1] = 0;
    EXPECT_EQ(before, again);
    initialise();
    EXPECT_EQ(19, send(48, again));
}

TEST_F(PlotSetupTest, paperBeyondTheListIsTheFirst) {
    PlotSettings s = workedExampleSettings();
    s.setPaperSize(26);
    ready(s);
    std::vector<uint8_t> record = areaRecord(100, 100);
    send(48, record);
    EXPECT_EQ(1, state.settings.paperSize());
    s.setPaperSize(25);
    ready(s);
    send(48, record);
    EXPECT_EQ(25, state.settings.paperSize());
}

TEST_F(PlotSetupTest, squarePaperQueryTakesTheTallBranch) {
    activeTables.paperList = tallList;
    PlotSettings s = workedExampleSettings();
    s.setPaperSize(2);
    ready(s);
    std::vector<uint8_t> record = areaRecord(100, 100);
    EXPECT_EQ(19, send(48, record));
    EXPECT_EQ(1, state.paperPortrait);
    EXPECT_FALSE(state.settings.get(flags::landscapePaper));
    EXPECT_EQ(2, state.paperCount);
}

// --- Codes 15 and 31 -------------------------------------------------------

TEST_F(PlotSetupTest, lineTypeLegend) {
    ready(workedExampleSettings());
    send(15);
    ASSERT_EQ(9u, host.messages.size());
    EXPECT_EQ(std::string("\n") + state.messages[MSG_LINE_TYPES], host.messages[0]);
    for (int n = 1; n <= 7; ++n)
        EXPECT_EQ(std::string("\n                ") + char('0' + n) +
                      state.messages[MSG_LINE_TYPES + n],
                  host.messages[static_cast<size_t>(n)]);
    EXPECT_EQ("\n", host.messages[8]);
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& p : parts) out += p;
    return out;
}

TEST_F(PlotSetupTest, summaryOfStandardOutput) {
    ready(workedExampleSettings());
    std::vector<uint8_t> record = areaRecord(100, 100);
    send(48, record);
    host.messages.clear();
    send(31);
    auto msg = [](int n) { return std::string(state.messages[n]); };
    std::string expected = " " + msg(MSG_PLOTTER) + "TX-90-TAVIX E" + "\n " +
                           msg(MSG_PAPER_SIZE) + "ARCH E     1219.2mm x 914.4mm " + " " + "\n " +
                           msg(MSG_MARGIN_ON) + "\n " + msg(MSG_BLACK_FILL) + "\n " +
                           msg(MSG_LINE_END) + lineEndTable[0].label + " " + "\n " +
                           msg(MSG_COPIES) + " 2 " + "\n " + msg(MSG_OUTPUT_STANDARD) + "\n " +
                           msg(MSG_PORT) + msg(MSG_PARALLEL) + "\n";
    EXPECT_BYTES(expected, joined(host.messages));
}

TEST_F(PlotSetupTest, summaryOfOptionOutputUsesTheModelsTrays) {
    PlotSettings s = workedExampleSettings();
    s.set(flags::outputOption, true);
    s.set(flags::serialHandshake, true);
    s.set(flags::mirror, true);
    s.setModelIndex(1);  // TX-70
    s.setTray(3);        // its manual feed
    s.setDensity(7);
    ready(s);
    send(31);
    auto msg = [](int n) { return std::string(state.messages[n]); };
    std::string all = joined(host.messages);
    EXPECT_NE(std::string::npos, all.find("TX-70-TAVIX E"));
    EXPECT_NE(std::string::npos,
              all.find("\n " + msg(MSG_TRAY) + trayTableFor(modelEntry(1))[3].label + " "));
    EXPECT_NE(std::string::npos, all.find("\n " + msg(MSG_MIRROR) + "ON"));
    EXPECT_NE(std::string::npos, all.find("\n " + msg(MSG_DENSITY) + " 7 "));
    // A serial plotter is not "PARALLEL".
    EXPECT_NE(std::string::npos, all.find("\n " + msg(MSG_PORT) + "\n"));
    EXPECT_EQ(std::string::npos, all.find(msg(MSG_PARALLEL)));
}

// --- Stored values and host values beyond their ranges ---------------------

// The settings summary (code 31) labels the line end, media type and tray
// from their tables; stored indices beyond them show the default rows
// (rounded, Any, Auto).
TEST_F(PlotSetupTest, theSummaryOfIndicesBeyondTheTablesShowsTheDefaultRows) {
    auto summaryOf = [this](const PlotSettings& s) {
        host = testing::RecordingHost{};
        host.install();
        prepare(s);
        host.messages.clear();
        send(31);
        std::string all;
        for (const std::string& m : host.messages) all += m;
        return all;
    };
    PlotSettings s = optionOutputSettings();
    s.setLineEnd(DEFAULT_LINE_END);
    s.setMediaType(0);
    s.setTray(0);
    const std::string reference = summaryOf(s);
    ASSERT_FALSE(reference.empty());
    for (int16_t index : {int16_t{77}, int16_t{-1}, int16_t{32767}}) {
        SCOPED_TRACE(index);
        s.setLineEnd(index);
        s.setMediaType(index);
        s.setTray(index);
        EXPECT_BYTES(reference, summaryOf(s));
    }
}

// The integers of the preamble's PS, IP and SC instructions.
std::vector<long long> setUpNumbers(const std::string& preamble) {
    std::vector<long long> numbers;
    for (const char* name : {"PS", "IP", "SC"}) {
        size_t at = preamble.find(name);
        if (at == std::string::npos) continue;
        const char* p = preamble.c_str() + at + 2;
        for (;;) {
            char* end = nullptr;
            errno = 0;
            long long n = std::strtoll(p, &end, 10);
            if (end == p) break;
            numbers.push_back(errno == ERANGE ? LLONG_MAX : n);
            p = end;
            if (*p != ',') break;
            ++p;
        }
    }
    return numbers;
}

// Plot areas and steps per inch from a query (code 48) may be NaN or
// infinite; they are tamed on the way in, and the plot that follows has
// set-up numbers a 32-bit integer holds.
TEST_F(PlotSetupTest, nonNumericQueryValuesGiveASetUpInRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double width, height, stepsX, stepsY;
    };
    for (const Case& c : {Case{nan, nan, nan, nan}, Case{inf, -inf, inf, -inf},
                          Case{1e308, 20, -1e308, 1016}, Case{-inf, 10, 0, nan}}) {
        SCOPED_TRACE(std::to_string(c.width) + " " + std::to_string(c.height) + " " +
                     std::to_string(c.stepsX) + " " + std::to_string(c.stepsY));
        host = testing::RecordingHost{};
        host.install();
        prepare(workedExampleSettings());
        EXPECT_EQ(19, query(c.width, c.height, c.stepsX, c.stepsY));
        for (double v : {state.plotWidth, state.plotHeight, state.deviceWidth, state.deviceHeight,
                         state.stepsPerInchX, state.stepsPerInchY})
            EXPECT_TRUE(std::isfinite(v));
        // NaN steps take the plotter's own steps at the scale divisor.
        if (std::isnan(c.stepsX)) {
            EXPECT_EQ(1016.0 / state.scaleDivisor, state.stepsPerInchX);
        }
        ASSERT_EQ(0, beginPlot());
        const std::string preamble = staged();
        const std::vector<long long> numbers = setUpNumbers(preamble);
        EXPECT_EQ(10u, numbers.size());
        for (long long n : numbers) {
            EXPECT_LE(n, INT32_MAX);
            EXPECT_GE(n, INT32_MIN);
        }
        endPlot();
    }
}

}  // namespace
}  // namespace tavix::plottest
