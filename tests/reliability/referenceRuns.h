// The reference runs of the reliability tests: a configuration run and a
// plot run made as the CAD host makes them, played against the recording
// host with a record of every request, and the host's image row functions
// with faults of their own. The fault sweep plays them with one fault at a
// time; the soak test plays the plot run thousands of times.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/recordingHost.h"
#include "tavix/plotSettings.h"

namespace tavix::reliability {

// One request as the driver answered it.
struct RequestRecord {
    int16_t code;
    int16_t answer;      // bytes 0-1 afterwards (bytes 10-11 for code 49)
    uint8_t latchBefore;
    uint8_t latchAfter;
    int writesBefore;    // hostWriteOutput calls so far
    int writesAfter;
    // The pen state machine as the request found it, and its point.
    int16_t penState;
    int16_t previousPenState;
    uint8_t penReselect;
    bool bufferHeld;     // an OutputBuffer (an open plot)
    int32_t lastHostX, lastHostY;
    uint16_t x, y;
};

// ---- The host's image row functions -------------------------------------

// What the row functions do wrong, by call index of rowSource over the
// whole run (both images): -1 for never.
struct RowFaults {
    int stopAt = -1;     // the reply carries the stop flag
    int errorAt = -1;    // the reply carries the error flag
    int missingAt = -1;  // no reply at all (address 0)
};

struct RowCalls {
    int queries = 0;              // rowSource calls
    int releases = 0;             // rowRelease calls of the reply handed out
    int strayReleases = 0;        // rowRelease of anything else, or twice
    int queriesWhileOutstanding = 0;  // rowSource before the last reply was released
    int queriesWhileLatched = 0;  // rowSource while the driver's errorLatch was set
    std::vector<int> queriesPerImage;  // by image (code 52) of the run
    std::vector<int32_t> pixelsAsked;  // by call: the pixels of the row asked for
    std::vector<int32_t> bytesGiven;   // by call: the byte count of the reply
};

// Arms the row functions for the next run and forgets the calls so far.
void resetRows(const RowFaults& faults);
const RowCalls& rowCalls();

// ---- The plot run --------------------------------------------------------

struct PlotShape {
    int vectors = 600;       // move, draw and lift requests, in two halves
    uint32_t seed = 1;
    bool configureDialog = false;  // 46 (device dialog, saves) before 47
};

// The settings block of the reference plot: TX-90, colour, Option output
// (the job ticket), ARCH-size paper, two copies, stamp on.
PlotSettings referencePlotSettings();

// The requests of a plot run: 49, 50, 29, 48, [46], 47, 30, pens, line
// types and widths, vectors, fills 33 and 54, an image (code 52) in the
// middle and another right before end plot, 2. Built once and played many
// times: the packets are copied before each request.
class ReferencePlot {
public:
    explicit ReferencePlot(const PlotShape& shape);

    // Sends every request to PlotEntry; the host must be installed. With
    // configureDialog, the scripted user leaves the device dialog with OK.
    std::vector<RequestRecord> play(testing::RecordingHost& host) const;

    size_t requestCount() const { return packets_.size(); }

private:
    std::vector<std::vector<uint8_t>> packets_;
    std::vector<uint8_t> vertices_;  // the code-54 vertex array
};

// ---- The configuration run -----------------------------------------------

// The block the host holds before the configuration run: TX-30 with
// settings that differ from its defaults.
PlotSettings referenceStoredBlock();

// 49, 50, 11, 20 (the model dialog left with OK), 21 (the device dialog
// left with OK), 47, through ConfigEntry.
std::vector<RequestRecord> playConfigurationRun(testing::RecordingHost& host);

// ---- The pen settings file -----------------------------------------------

// A pen settings file in the driver's own format with data that differs
// from the defaults in every section (so that a fall back to the defaults
// shows), and the file of the pen defaults.
std::string referencePenFile();
std::string defaultPenFile();

// ---- Streams ---------------------------------------------------------------

// FNV-1a, 64 bits.
uint64_t streamHash(const std::string& bytes);

}  // namespace tavix::reliability
