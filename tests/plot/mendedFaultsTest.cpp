// Faults of the original plot driver that are mended, each held in place
// through the request interface: stored indices beyond their tables, host
// doubles that are not numbers, an image after an abort.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/hostAddress.h"
#include "plot/plotFixture.h"
#include "tavix/driverState.h"
#include "tavix/imageRequest.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"
#include "tavix/settingsStore.h"

namespace tavix::plottest {
namespace {

class MendedPlotFaults : public PlotRequestTest {
protected:
    // 49, 50, 29 with `stored`, 43 (the stored model again), 48 (the
    // paper list of the model in use), 47, 30: the staged preamble.
    std::string preambleFor(const PlotSettings& stored) {
        host = testing::RecordingHost{};
        host.install();
        prepare(stored);
        packet[plotPacket::LINE_TYPE_COUNT] = 6;
        send(43);
        query(1e6, 1e6, 1016, 1016);
        setPlotArea(33.0, 22.0);
        EXPECT_EQ(0, beginPlot());
        std::string preamble = staged();
        endPlot();
        return preamble;
    }

    int16_t query(double width, double height, double stepsX, double stepsY) {
        std::vector<uint8_t> record(267, 0);
        writeF64(record.data(), plotAreaPacket::WIDTH, width);
        writeF64(record.data(), plotAreaPacket::HEIGHT, height);
        writeF64(record.data(), plotAreaPacket::UNITS_X, stepsX);
        writeF64(record.data(), plotAreaPacket::UNITS_Y, stepsY);
        return send(48, record);
    }

    static PlotSettings ticketSettings() {
        PlotSettings s = workedExampleSettings();
        s.set(flags::outputOption, true);  // the job ticket names the model's trays
        return s;
    }
};

// A stored modelIndex outside 0..4 (codes 29 and 43) once indexed past the
// model table; it plots as the first model.
TEST_F(MendedPlotFaults, aStoredModelIndexOutsideTheTablePlotsAsTheFirstModel) {
    PlotSettings s = ticketSettings();
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
TEST_F(MendedPlotFaults, aStoredLineEndOutsideTheTableWritesTheDefault) {
    PlotSettings s = ticketSettings();
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

// The settings summary (code 31) labels the line end, media type and tray
// from their tables; stored indices beyond them show the default rows
// (rounded, Any, Auto).
TEST_F(MendedPlotFaults, theSummaryOfIndicesBeyondTheTablesShowsTheDefaultRows) {
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
    PlotSettings s = ticketSettings();
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
TEST_F(MendedPlotFaults, nonNumericQueryValuesGiveASetUpInRange) {
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

// The row functions of an image that must never be asked for a row.
int rowQueries = 0;
ImageRowReplyAddress TAVIX_CDECL countingRowSource(void*) {
    ++rowQueries;
    return 0;
}
void TAVIX_CDECL ignoringRowRelease(ImageRowReplyAddress) {}

// After an abort (code 9) the stream has lost what was staged: an image
// announced then is dropped without a row, and end plot sends nothing.
TEST_F(MendedPlotFaults, anImageAfterAnAbortIsDroppedAndNothingIsSent) {
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
