// Shared pieces of the plot request tests: a fixture that installs a
// recording host and sends requests through PlotEntry, and the expected
// texts of the preamble built from the reference values, not from the
// driver's own tables.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/recordingHost.h"
#include "support/scratchDirectory.h"
#include "support/testSeams.h"
#include "tavix/driverState.h"
#include "tavix/plotSettings.h"

namespace tavix::plottest {

// The reference RGB of colour numbers 0..255.
struct Rgb {
    int r, g, b;
};
const std::vector<Rgb>& referencePalette();

// "PC1,255,0,0" .. "PC255,255,255,255" as the preamble writes them, in
// colour or as gray levels.
std::string expectedPalette(bool colour);

// The settings of the worked example: colour, black fill, 7-bit PE, line
// end 0, two copies, Standard output, no serial line, paper 1.
PlotSettings workedExampleSettings();

// The worked example's settings with the Option output: the job ticket
// comes first and names the model's trays.
PlotSettings optionOutputSettings();

class PlotRequestTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sends one request: the code at 0, then PlotEntry. Returns the 16-bit
    // value at offset 0 afterwards.
    int16_t send(int16_t code);
    int16_t send(int16_t code, std::vector<uint8_t>& packet);

    int16_t initialise();                  // 49 (an AutoCAD host of release 14)
    int16_t setLanguage();                 // 50
    int16_t loadSettings(const PlotSettings& stored);  // 29, host release 3
    int16_t setPlotArea(double width, double height, uint32_t options = 0);  // 47
    int16_t beginPlot();                   // 30
    int16_t endPlot();                     // 2
    int16_t move(uint16_t x, uint16_t y);  // 3
    int16_t draw(uint16_t x, uint16_t y);  // 4
    int16_t lift();                        // 8
    int16_t selectPen(int16_t pen);        // 5
    int16_t lineType(uint16_t type);       // 7
    int16_t penWidth(double inches);       // 41
    int16_t fillArray(int16_t colour, const std::vector<uint16_t>& xy, int16_t count);  // 54
    int16_t fillArray(int16_t colour, const std::vector<uint16_t>& xy);
    int16_t fillInline(int16_t colour, const std::vector<uint16_t>& xy);  // 33

    // 49, 50, 29 with `stored`, 47 with the area: a plot ready to begin.
    void prepare(const PlotSettings& stored, double width = 33.0, double height = 22.0);

    // 48 with a zeroed record asking for the area and the steps per inch.
    int16_t query(double width, double height, double stepsX, double stepsY);

    // 49, 50, 29 with `stored`, 43 (the stored model again), 48 (the
    // paper list of the model in use), 47, 30: the staged preamble, with a
    // fresh host.
    std::string preambleFor(const PlotSettings& stored);

    // What is staged in the OutputBuffer and not yet sent.
    std::string staged() const;
    // Staged bytes from `mark` on (mark: an earlier staged().size()).
    std::string stagedFrom(size_t mark) const { return staged().substr(mark); }

    // Requests 29 and 46 read and write the pen settings file in the current
    // directory: each test gets a directory of its own.
    testing::TestSeams seams;
    testing::ScratchDirectory scratch;
    testing::RecordingHost host;
    std::vector<uint8_t> packet = std::vector<uint8_t>(2100);
};

}  // namespace tavix::plottest
