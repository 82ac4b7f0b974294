// DXF drawings plotted through the driver, checked against an oracle that
// shares nothing with tavix: ezdxf writes each drawing and flattens it with
// its own curve, block, linetype and hatch code (tests/dxf/oracle), and
// hp2xx decodes the printer stream. Every segment ezdxf expects must be
// drawn, in its pen, within the chord tolerance plus one plotter unit, and
// nothing else may be drawn. Text is left to the stroke-font tests: ezdxf
// draws no Hershey fonts. hp2xx drops zero-length strokes, so points are
// checked by the reader's own tests.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "e2eSupport.h"
#include "hostConfig.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::ScratchDirectory;
using testing::distanceToSegment;
using testing::Segment;

constexpr double TOLERANCE_MM = 0.05;
constexpr double UNITS_PER_MM = 1016 / 25.4;  // plotter units
// The drawings' frame, from (0, 0): their extents without tavix's help.
constexpr double FRAME_W = 280, FRAME_H = 190;
// A fitted drawing keeps half the widest pen (the driver's 0.254 mm here)
// and a unit for rounding clear of every edge of the area.
constexpr double FIT_MARGIN = 0.254 / 2 * UNITS_PER_MM + 1;

const std::vector<std::string> A3_COLOUR = {"--defaults", "--model", "tx90", "--paper", "A3", "--colour", "colour"};

// Paper position, in plotter units, of a drawing point in millimetres.
using Mapping = std::function<void(double x, double y, double& px, double& py)>;

struct Window {
    bool on = false;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

bool runOracle(const std::vector<std::string>& args, std::string& out) {
    testing::Ran ran = testing::runProgram(TAVIX_SYSTEM_PYTHON, args);
    out = ran.out;
    if (ran.status != 0) out = ran.err;
    return ran.status == 0;
}

// The part of a segment inside a window (drawing units), if any.
bool clipToWindow(double& x0, double& y0, double& x1, double& y1, const Window& w) {
    double t0 = 0, t1 = 1, dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - w.x0, w.x1 - x0, y0 - w.y0, w.y1 - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    x1 = x0 + t1 * dx, y1 = y0 + t1 * dy;
    x0 = ax, y0 = ay;
    return true;
}

std::vector<Segment> expectedSegments(const std::string& text, const Mapping& map, const Window& window,
                                      const std::map<int, int>& pens) {
    std::vector<Segment> out;
    std::istringstream lines(text);
    int colour;
    double x0, y0, x1, y1;
    while (lines >> colour >> x0 >> y0 >> x1 >> y1) {
        if (window.on && !clipToWindow(x0, y0, x1, y1, window)) continue;
        Segment s;
        auto pen = pens.find(colour);
        s.pen = pen == pens.end() ? colour : pen->second;
        map(x0, y0, s.x0, s.y0);
        map(x1, y1, s.x1, s.y1);
        out.push_back(s);
    }
    return out;
}

// Segments by grid cell, for "is this point near a segment of pen P".
class SegmentIndex {
public:
    SegmentIndex(const std::vector<Segment>& s, double reach) : segments(s), reach(reach) {
        for (size_t i = 0; i < s.size(); ++i) {
            int cx0 = cell(std::min(s[i].x0, s[i].x1) - reach), cx1 = cell(std::max(s[i].x0, s[i].x1) + reach);
            int cy0 = cell(std::min(s[i].y0, s[i].y1) - reach), cy1 = cell(std::max(s[i].y0, s[i].y1) + reach);
            for (int cx = cx0; cx <= cx1; ++cx)
                for (int cy = cy0; cy <= cy1; ++cy) cells[{cx, cy}].push_back(i);
        }
    }
    bool near(double x, double y, int pen) const {
        auto found = cells.find({cell(x), cell(y)});
        if (found == cells.end()) return false;
        for (size_t i : found->second)
            if (segments[i].pen == pen && distanceToSegment(x, y, segments[i]) <= reach) return true;
        return false;
    }

private:
    static int cell(double v) { return static_cast<int>(std::floor(v / 64)); }
    const std::vector<Segment>& segments;
    double reach;
    std::map<std::pair<int, int>, std::vector<size_t>> cells;
};

// Every point of every segment of `from` (sampled a unit apart) near `to`.
std::string covered(const std::vector<Segment>& from, const std::vector<Segment>& to, double reach,
                    const char* what) {
    SegmentIndex index(to, reach);
    int misses = 0;
    std::string first;
    for (const Segment& s : from) {
        double length = std::hypot(s.x1 - s.x0, s.y1 - s.y0);
        if (length == 0) continue;  // hp2xx drops dots
        int steps = static_cast<int>(std::ceil(length));
        for (int k = 0; k <= steps; ++k) {
            double t = static_cast<double>(k) / steps;
            double x = s.x0 + t * (s.x1 - s.x0), y = s.y0 + t * (s.y1 - s.y0);
            if (index.near(x, y, s.pen)) continue;
            if (misses++ == 0) {
                std::ostringstream o;
                o << what << ": pen " << s.pen << " segment (" << s.x0 << "," << s.y0 << ")-(" << s.x1 << ","
                  << s.y1 << ") at (" << x << "," << y << ")";
                first = o.str();
            }
            break;
        }
    }
    if (misses == 0) return "";
    return std::to_string(misses) + " of " + std::to_string(from.size()) + " segments; first " + first;
}

struct Case {
    const char* name;
    const char* group;
    std::vector<std::string> options;
    // The mapping the options ask for, from the frame and the plot area
    // (plotter units).
    std::function<Mapping(double width, double height)> mapping;
    Window window;
    std::map<int, int> pens;  // colour to pen, when a pen file is given
    std::string penFile;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

Mapping atScale(double factor) {
    return [factor](double x, double y, double& px, double& py) {
        px = x * UNITS_PER_MM * factor;
        py = y * UNITS_PER_MM * factor;
    };
}

std::function<Mapping(double, double)> fullSize() {
    return [](double, double) { return atScale(1); };
}

class DxfOracle : public ::testing::TestWithParam<Case> {
protected:
    ScratchDirectory scratch;
};

TEST_P(DxfOracle, plotsWhatEzdxfDraws) {
    const Case& c = GetParam();
    std::string messages;
    ASSERT_EQ(0, testing::configure("dxf.cfg", A3_COLOUR, &messages)) << messages;
    HostConfig config;
    bool exists = false;
    std::string error;
    ASSERT_TRUE(loadHostConfig("dxf.cfg", config, exists, error)) << error;
    ASSERT_EQ(1016, config.stepsPerInch);

    std::string oracle = testing::sourcePath("tests/dxf/oracle/ezdxfOracle.py");
    std::string out;
    ASSERT_TRUE(runOracle({oracle, "make", c.group, "drawing.dxf"}, out)) << out;
    ASSERT_TRUE(runOracle({oracle, "expect", "drawing.dxf", std::to_string(TOLERANCE_MM)}, out)) << out;
    // The driver's window (IW) ends at the last whole unit of the area.
    Mapping map = c.mapping(std::floor(config.plotWidth * 1016), std::floor(config.plotHeight * 1016));
    std::vector<Segment> expected = expectedSegments(out, map, c.window, c.pens);
    ASSERT_FALSE(expected.empty());

    if (!c.penFile.empty()) tavix::testing::writeWholeFile("pens.txt", c.penFile);
    std::vector<std::string> args = {"--config", "dxf.cfg", "plot", "drawing.dxf", "-o", "drawing.plt", "-q"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    testing::Ran ran = testing::runTavix(args);
    ASSERT_EQ(0, ran.status) << ran.err;
    std::vector<Segment> drawn;
    ASSERT_TRUE(testing::hp2xxSegments(testing::hpglOnly(tavix::testing::readWholeFile("drawing.plt")), drawn, error))
        << error;

    // Chords within the tolerance of the curve, the curve within a
    // twentieth of it of ezdxf's chords, and a unit for the rounding.
    double reach = TOLERANCE_MM * UNITS_PER_MM * 1.05 + 1;
    EXPECT_EQ("", covered(expected, drawn, reach, "expected but not drawn"));
    EXPECT_EQ("", covered(drawn, expected, reach, "drawn but not expected"));
}

Case plain(const char* name, const char* group, std::vector<std::string> options,
           std::function<Mapping(double, double)> mapping) {
    return Case{name, group, std::move(options), std::move(mapping), Window{}, {}, ""};
}

Mapping fitInCorner(double w, double h) {
    double s = std::min((w - 2 * FIT_MARGIN) / FRAME_W, (h - 2 * FIT_MARGIN) / FRAME_H);
    return [=](double x, double y, double& px, double& py) { px = FIT_MARGIN + s * x, py = FIT_MARGIN + s * y; };
}

Mapping centredFit(double w, double h) {
    double s = std::min((w - 2 * FIT_MARGIN) / FRAME_W, (h - 2 * FIT_MARGIN) / FRAME_H);
    double ox = (w - FRAME_W * s) / 2, oy = (h - FRAME_H * s) / 2;
    return [=](double x, double y, double& px, double& py) { px = ox + s * x, py = oy + s * y; };
}

Mapping quarterTurnFit(double w, double h) {
    double s = std::min((w - 2 * FIT_MARGIN) / FRAME_H, (h - 2 * FIT_MARGIN) / FRAME_W);
    return [=](double x, double y, double& px, double& py) {
        px = FIT_MARGIN + s * (FRAME_H - y), py = FIT_MARGIN + s * x;
    };
}

Mapping windowFit(double w, double h) {
    double s = std::min((w - 2 * FIT_MARGIN) / 100, (h - 2 * FIT_MARGIN) / 100);
    return [=](double x, double y, double& px, double& py) {
        px = FIT_MARGIN + s * (x - 50), py = FIT_MARGIN + s * (y - 20);
    };
}

const Case CASES[] = {
    // One case per group of entity kinds, at full size.
    plain("linesPointsPolylines", "lines", {"--scale", "1:1"}, fullSize()),
    plain("circlesArcsEllipsesSplines", "curves", {"--scale", "1:1"}, fullSize()),
    plain("solidsTracesFacesHatches", "fills", {"--scale", "1:1"}, fullSize()),
    plain("nestedMirroredArrayedBlocks", "blocks", {"--scale", "1:1"}, fullSize()),
    plain("splinesThroughFitPoints", "fitsplines", {"--scale", "1:1"}, fullSize()),
    plain("blocksInBlocksStretchedMirroredTurned", "nested", {"--scale", "1:1"}, fullSize()),
    plain("dimensionsThroughTheirBlocks", "dimensions", {"--scale", "1:1"}, fullSize()),
    plain("layersAndLinetypes", "layers", {"--scale", "1:1"}, fullSize()),
    // The pen map.
    Case{"penFileMapsColoursToPens", "pens", {"--scale", "1:1", "--pens", "pens.txt"}, fullSize(), Window{},
         {{1, 9}, {3, 12}, {250, 1}}, "# colour pen width\n1 9\n3 12 0.5\n250 1\n"},
    // Placement.
    plain("scaleHalf", "pens", {"--scale", "1:2"}, [](double, double) { return atScale(0.5); }),
    plain("fitIsTheDefault", "pens", {}, fitInCorner),
    plain("fitCentred", "pens", {"--fit", "--center"}, centredFit),
    plain("rotatedQuarter", "pens", {"--rotate", "90"}, quarterTurnFit),
    Case{"windowFitted", "pens", {"--window", "50,20,150,120"}, windowFit, Window{true, 50, 20, 150, 120}, {}, ""},
};

INSTANTIATE_TEST_SUITE_P(Groups, DxfOracle, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavix::host
