// A drawing fitted to the paper fits whole: what lies on the edge of its
// extents is drawn, with room for half the widest pen on every side, and
// the extents are those of what is drawn, so the drawing fills the paper.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "dxfPlot.h"
#include "dxfText.h"

namespace tavix::dxf {
namespace {

using testing::drawing;
using testing::Groups;

constexpr double UNITS_PER_INCH = 1016;
constexpr double UNITS_PER_MM = UNITS_PER_INCH / 25.4;
constexpr double AREA_W = 400 * UNITS_PER_MM, AREA_H = 300 * UNITS_PER_MM;

struct Case {
    const char* name;
    Groups entities;
    double penMm;  // the widest pen the drawing plots with
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

Groups frame(const std::string& lineweight) {
    return {{0, "LWPOLYLINE"}, {8, "0"}, {370, lineweight}, {90, "4"}, {70, "1"}, {10, "0"}, {20, "0"},
            {10, "280"}, {20, "0"}, {10, "280"}, {20, "190"}, {10, "0"}, {20, "190"}};
}

const Case CASES[] = {
    {"closedFrame", frame("-3"), 0.254},
    {"closedFrameOfWideLines", frame("100"), 1.0},
    // An arc of radius 100,050 whose centre lies 100 km below: it rises
    // 0.05 over its 200 units. With a line it spans 200 by 100.
    {"arcWithItsCentreFarOutside",
     {{0, "ARC"}, {8, "0"}, {10, "100"}, {20, "-100000"}, {40, "100050"}, {50, "89.942733"}, {51, "90.057267"},
      {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "200"}, {21, "100"}},
     0.254},
    // A filled area bounded by such an arc and its chord.
    {"hatchBoundedByAFlatArc",
     {{0, "HATCH"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {210, "0"}, {220, "0"}, {230, "1"}, {2, "SOLID"},
      {70, "1"}, {71, "0"}, {91, "1"}, {92, "1"}, {93, "2"}, {72, "1"}, {10, "0"}, {20, "0"}, {11, "200"},
      {21, "0"}, {72, "2"}, {10, "100"}, {20, "-100000"}, {40, "100000.05"}, {50, "89.942733"}, {51, "90.057267"},
      {73, "1"}, {97, "0"}, {75, "0"}, {76, "1"}, {98, "0"},
      {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {11, "200"}, {21, "100"}},
     0.254},
};

class FitPlacement : public ::testing::TestWithParam<Case> {};

TEST_P(FitPlacement, fitsWholeWithRoomForThePenAndFillsThePaper) {
    const Case& c = GetParam();
    DxfPlotOptions options;
    options.fontPath = "";
    PlotArea area{AREA_W, AREA_H, UNITS_PER_INCH};
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    double lastX = 0, lastY = 0;
    std::vector<std::pair<double, double>> runs;  // horizontal draws: y, length
    RequestSink sink = [&](const host::DrawingRequest& r, std::string&) {
        if (r.op != host::DrawingOp::Move && r.op != host::DrawingOp::Draw) return true;
        double x = std::floor(r.coords[0] + 0.5), y = std::floor(r.coords[1] + 0.5);
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        if (r.op == host::DrawingOp::Draw && y == lastY) runs.push_back({y, std::fabs(x - lastX)});
        lastX = x, lastY = y;
        return true;
    };
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        testing::memoryFile(drawing(c.entities, {}, {}, {{9, "$INSUNITS"}, {70, "4"}})), &std::fclose);
    DxfPlotReport report;
    std::string error;
    ASSERT_TRUE(plotDxf(file.get(), options, area, sink, report, error)) << error;
    for (const std::string& w : report.warnings) EXPECT_EQ(std::string::npos, w.find("clipped")) << w;

    // Half the pen, in whole units, stays clear of every edge.
    double clear = std::ceil(c.penMm / 2 * UNITS_PER_MM);
    EXPECT_GE(x0, clear);
    EXPECT_GE(y0, clear);
    EXPECT_LE(x1, std::floor(AREA_W) - clear);
    EXPECT_LE(y1, std::floor(AREA_H) - clear);
    // The drawing fills the paper in its tighter direction, less the room
    // for the pen and a unit or two of rounding.
    double fill = std::max((x1 - x0) / (AREA_W - 2 * clear), (y1 - y0) / (AREA_H - 2 * clear));
    EXPECT_GT(fill, 0.995);
    EXPECT_LE(fill, 1.0);
    if (std::string(c.name).rfind("closedFrame", 0) == 0) {
        // The top side is drawn whole.
        double top = 0;
        for (auto [y, run] : runs)
            if (y == y1) top += run;
        EXPECT_GT(top, (x1 - x0) * 0.99);
    }
}

INSTANTIATE_TEST_SUITE_P(Drawings, FitPlacement, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavix::dxf
