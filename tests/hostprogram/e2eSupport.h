// What the end-to-end tests of the host program share: the bundled files,
// a configuration made through `tavix configure`, a plot run in this
// process, the `tavix` program run as a child, the printer stream taken
// apart (HP-GL/2 text and HP RTL sections), hp2xx as an independent reader,
// and pictures compared pixel by pixel.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "hostConfig.h"
#include "plotRun.h"

namespace tavix::host::testing {

// True when `part` occurs in `text` (messages checked by their words).
inline bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// ---- Files --------------------------------------------------------------

// A path in the source tree ("examples/demo.txt") and in the tests' data
// folder ("worked-example.txt"), absolute: tests run in scratch folders.
std::string sourcePath(const std::string& relative);
std::string dataPath(const std::string& name);

// Golden files are written anew, instead of compared, when the environment
// has TAVIX_UPDATE_GOLDEN=1 (after an intended change; look at the diff).
bool updatingGoldens();

// ---- Configure and plot in this process --------------------------------

// `tavix --config CONFIG configure ARGS...` in this process; returns the
// exit status and, in `messages`, what it wrote to standard error.
int configure(const std::string& configPath, const std::vector<std::string>& args,
              std::string* messages = nullptr);

// Loads the host configuration file, lets `edit` change it and saves it:
// for what no dialog reaches (the eight-bit PE flag, the raster flags
// apart, a plot area the host asks for).
void editConfig(const std::string& configPath, const std::function<void(HostConfig&)>& edit);

// Flag bits of the settings block that the tests set directly.
constexpr int FLAGS_A = 8, FLAGS_C = 10, FLAGS_D = 11;
constexpr uint8_t HALFTONE_FILL = 0x10;  // flag byte A
constexpr uint8_t EIGHT_BIT_PE = 0x20;   // flag byte A
constexpr uint8_t COLOUR_MODE = 0x80;   // flag byte C
constexpr uint8_t RASTER_CONTONE = 0x01;  // flag byte D
void setFlag(HostConfig& config, int byte, uint8_t mask, bool on);

struct Plotted {
    bool ok = false;
    std::string error;   // why the run failed
    std::string stream;  // the printer stream
    std::string log;     // driver messages and device-control strings
    int requests = 0;
};

// A plot run of `drawingText` with the configuration file, in this
// process; relative image files are found in `baseDir`.
Plotted plot(const std::string& configPath, const std::string& drawingText,
             const std::string& baseDir = ".", PlotOptions options = {});

// ---- The tavix program --------------------------------------------------

struct Ran {
    int status = -1;  // exit status; 128 + signal when it died of one
    std::string out;  // standard output
    std::string err;  // standard error
    long maxRssKb = 0;  // the program's peak resident memory
};

// Runs the built `tavix` with these arguments in the current folder.
Ran runTavix(const std::vector<std::string>& args);
// Runs any program (found on PATH) the same way.
Ran runProgram(const std::string& program, const std::vector<std::string>& args);

// ---- The printer stream taken apart -------------------------------------

// The stream with the row transfers and Y offsets of every HP RTL section
// replaced by one line "<<HP RTL rows: N transfers, M offsets, B bytes,
// fnv1a64 H>>"; the set-up and the end of each section stay as written.
// Golden files of streams with images hold this form.
std::string withRowsSummarised(const std::string& stream);

// The HP-GL/2 text alone: what follows the "ESC%-1B" switch (the job
// ticket and PJL before it left out), with every HP RTL section left out.
std::string hpglOnly(const std::string& stream);

// ---- Vectors: the drawing's and hp2xx's ---------------------------------

struct Segment {
    int pen = 0;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // plotter units
    bool patterned = false;                 // drawn with a line type (dashes)
};

// The distance from (px, py) to the nearest point of `s`.
double distanceToSegment(double px, double py, const Segment& s);

// The pen-down vectors a drawing asks for, in plotter units: draws from
// the pen position, and the edges of filled polygons (closed).
// Pens as the printer sees them: the requested pen in colour, pen 7 in
// monochrome; polygons in their colour, or in pen 7 in monochrome with
// black fill.
std::vector<Segment> drawingSegments(const std::string& drawingText, double hostUnitsPerInch,
                                     int scaleDivisor, bool colour, bool halftoneFill = false);

// The vectors hp2xx decodes from HP-GL/2 text (its HP-GL output mode, true
// size, fills not filled: the polygon edges come out as vectors).
bool hp2xxSegments(const std::string& hpgl, std::vector<Segment>& segments, std::string& error);

// Compares: every solid vector of the drawing must be one of hp2xx's, in
// order; patterned vectors must be covered by dashes on the same line in
// the same pen; nothing else may appear. Empty when they agree.
std::string compareSegments(const std::vector<Segment>& expected, const std::vector<Segment>& decoded);

// ---- Pictures -----------------------------------------------------------

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // top row first
    const uint8_t* at(int x, int y) const { return rgb.data() + (static_cast<size_t>(y) * width + x) * 3; }
};

bool readPicture(const std::string& path, Picture& picture, std::string& error);
bool writePicture(const std::string& path, const Picture& picture);

// Per-pixel comparison: a pixel differs when a channel is off by more than
// `tolerance`; empty when at most `allowedDiffering` pixels differ, else a
// description (count, largest difference, first place).
std::string comparePictures(const Picture& expected, const Picture& actual, int tolerance,
                            size_t allowedDiffering);

// A small RGB image written as PNG, for image requests.
bool writePng(const std::string& path, int width, int height,
              const std::function<void(int x, int y, uint8_t rgb[3])>& pixel);

}  // namespace tavix::host::testing
