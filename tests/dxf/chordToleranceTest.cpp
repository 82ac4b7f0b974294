// The chord tolerance is a bound on paper: after the drawing is placed and
// every point rounded to the host's whole units, no drawn chord may lie
// further than --tolerance from the true curve. The true curves are
// computed here from their definitions, densely, without tavix's geometry.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "dxfPlot.h"
#include "dxfText.h"

namespace tavix::dxf {
namespace {

using testing::drawing;
using testing::Groups;

struct Pt {
    double x, y;
};

struct Segment {
    Pt a, b;
};

// Plots `text` at 1:1 (millimetres) and returns the drawn segments in
// millimetres, each end rounded to the host's whole units as the host does.
bool plotSegments(const std::string& text, double unitsPerInch, double toleranceMm, std::vector<Segment>& out,
                  std::string& error) {
    DxfPlotOptions options;
    options.toleranceMm = toleranceMm;
    options.placement.fit = false;
    options.placement.paperPerReal = 1;
    options.fontPath = "";
    PlotArea area{40 * unitsPerInch, 30 * unitsPerInch, unitsPerInch};
    Pt pen{0, 0};
    auto toMm = [&](double v) { return std::floor(v + 0.5) / unitsPerInch * 25.4; };
    RequestSink sink = [&](const host::DrawingRequest& r, std::string&) {
        if (r.op == host::DrawingOp::Move) pen = {toMm(r.coords[0]), toMm(r.coords[1])};
        if (r.op == host::DrawingOp::Draw) {
            Pt next{toMm(r.coords[0]), toMm(r.coords[1])};
            out.push_back({pen, next});
            pen = next;
        }
        return true;
    };
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(text), &std::fclose);
    DxfPlotReport report;
    return plotDxf(file.get(), options, area, sink, report, error);
}

// Distance from p to the nearest of the curves, each a dense polyline.
double distanceToCurves(Pt p, const std::vector<std::vector<Pt>>& curves) {
    double best = INFINITY;
    for (const auto& curve : curves)
        for (size_t i = 0; i < curve.size(); ++i) {
            if (i + 1 == curve.size()) {  // a lone point
                if (curve.size() == 1) best = std::min(best, std::hypot(p.x - curve[0].x, p.y - curve[0].y));
                break;
            }
            Pt a = curve[i], b = curve[i + 1];
            double dx = b.x - a.x, dy = b.y - a.y, dd = dx * dx + dy * dy;
            double t = dd > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / dd : 0;
            t = std::clamp(t, 0.0, 1.0);
            best = std::min(best, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
        }
    return best;
}

// `map` of the parameter 0..1, sampled finely enough that the samples' own
// chords are a thousandth of the tolerances tested.
std::vector<Pt> sampled(const std::function<Pt(double)>& map, int count = 20000) {
    std::vector<Pt> out;
    for (int i = 0; i <= count; ++i) out.push_back(map(static_cast<double>(i) / count));
    return out;
}

Groups header() { return {{9, "$INSUNITS"}, {70, "4"}}; }

struct Case {
    const char* name;
    Groups entities;
    Groups blocks;
    std::vector<std::vector<Pt>> curves;  // millimetres on the paper: the drawing's own, at 1:1
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// A dot at the origin keeps the drawing's extents starting there, so paper
// and drawing coordinates agree.
Groups anchor() { return {{0, "POINT"}, {8, "0"}, {10, "0"}, {20, "0"}}; }

std::vector<Case> cases() {
    std::vector<Case> out;
    const double pi = std::acos(-1.0);
    auto circle = [pi](double cx, double cy, double r, double from = 0, double to = 360) {
        return sampled([=](double t) {
            double a = (from + (to - from) * t) * pi / 180;
            return Pt{cx + r * std::cos(a), cy + r * std::sin(a)};
        });
    };
    Groups c = anchor();
    c.insert(c.end(), {{0, "CIRCLE"}, {8, "0"}, {10, "150"}, {20, "150"}, {40, "120"}});
    out.push_back({"circle", c, {}, {{Pt{0, 0}}, circle(150, 150, 120)}});

    Groups a = anchor();
    a.insert(a.end(), {{0, "ARC"}, {8, "0"}, {10, "200"}, {20, "200"}, {40, "170"}, {50, "10"}, {51, "250"}});
    out.push_back({"arc", a, {}, {{Pt{0, 0}}, circle(200, 200, 170, 10, 250)}});

    // A half circle as a bulge of 1 from (100, 300) to (400, 300): a
    // positive bulge turns counter-clockwise from start to end, so the arc
    // runs below the chord round the centre (250, 300).
    Groups b = anchor();
    b.insert(b.end(), {{0, "LWPOLYLINE"}, {8, "0"}, {90, "2"}, {70, "0"}, {10, "100"}, {20, "300"}, {42, "1"},
                       {10, "400"}, {20, "300"}});
    out.push_back({"bulge", b, {}, {{Pt{0, 0}}, circle(250, 300, 150, 180, 360)}});

    // A circle in a block stretched 3 by 1.5 and turned 30 degrees: an ellipse.
    Groups i = anchor();
    i.insert(i.end(), {{0, "INSERT"}, {8, "0"}, {2, "RING"}, {10, "250"}, {20, "200"}, {41, "3"}, {42, "1.5"},
                       {50, "30"}});
    Groups ring = {{0, "BLOCK"}, {8, "0"}, {2, "RING"}, {70, "0"}, {10, "0"}, {20, "0"},
                   {0, "CIRCLE"}, {8, "0"}, {10, "0"}, {20, "0"}, {40, "60"}, {0, "ENDBLK"}};
    auto stretched = sampled([pi](double t) {
        double x = 3 * 60 * std::cos(2 * pi * t), y = 1.5 * 60 * std::sin(2 * pi * t);
        double r = 30 * pi / 180;
        return Pt{250 + x * std::cos(r) - y * std::sin(r), 200 + x * std::sin(r) + y * std::cos(r)};
    });
    out.push_back({"circleInAStretchedBlock", i, ring, {{Pt{0, 0}}, stretched}});

    Groups e = anchor();
    e.insert(e.end(), {{0, "ELLIPSE"}, {8, "0"}, {10, "250"}, {20, "200"}, {11, "200"}, {21, "60"}, {40, "0.3"},
                       {41, "0"}, {42, "6.283185307179586"}});
    auto ellipse = sampled([pi](double t) {
        double u = 2 * pi * t;
        return Pt{250 + 200 * std::cos(u) - 0.3 * 60 * std::sin(u), 200 + 60 * std::cos(u) + 0.3 * 200 * std::sin(u)};
    });
    out.push_back({"ellipse", e, {}, {{Pt{0, 0}}, ellipse}});

    // A cubic B-spline with a uniform clamped knot vector over four points:
    // one Bezier piece, evaluated here by its Bernstein form.
    Groups s = anchor();
    s.insert(s.end(), {{0, "SPLINE"}, {8, "0"}, {70, "8"}, {71, "3"}, {72, "8"}, {73, "4"}, {74, "0"},
                       {40, "0"}, {40, "0"}, {40, "0"}, {40, "0"}, {40, "1"}, {40, "1"}, {40, "1"}, {40, "1"},
                       {10, "50"}, {20, "50"}, {10, "150"}, {20, "450"}, {10, "350"}, {20, "-150"}, {10, "500"},
                       {20, "300"}});
    auto bezier = sampled([](double t) {
        double u = 1 - t, b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
        return Pt{b0 * 50 + b1 * 150 + b2 * 350 + b3 * 500, b0 * 50 + b1 * 450 + b2 * -150 + b3 * 300};
    });
    out.push_back({"spline", s, {}, {{Pt{0, 0}}, bezier}});
    return out;
}

class ChordTolerance : public ::testing::TestWithParam<Case> {};

TEST_P(ChordTolerance, holdsOnPaperAfterRoundingToHostUnits) {
    const Case& c = GetParam();
    // Coarse host units (0.2 mm) and fine ones, at a coarse and a fine tolerance.
    for (auto [unitsPerInch, toleranceMm] : {std::pair{127.0, 0.5}, {1016.0, 0.5}, {1016.0, 0.1}}) {
            SCOPED_TRACE(::testing::Message() << unitsPerInch << " units per inch, tolerance " << toleranceMm);
            std::vector<Segment> drawn;
            std::string error;
            ASSERT_TRUE(plotSegments(drawing(c.entities, c.blocks, {}, header()), unitsPerInch, toleranceMm, drawn,
                                     error))
                << error;
            ASSERT_GT(drawn.size(), 8u);
            double worst = 0;
            for (const Segment& s : drawn)
                for (int k = 0; k <= 16; ++k) {
                    double t = k / 16.0;
                    Pt p{s.a.x + t * (s.b.x - s.a.x), s.a.y + t * (s.b.y - s.a.y)};
                    worst = std::max(worst, distanceToCurves(p, c.curves));
                }
            EXPECT_LE(worst, toleranceMm);
            // And not needlessly fine: the chords use a good part of it.
            EXPECT_GT(worst, toleranceMm / 5);
        }
}

INSTANTIATE_TEST_SUITE_P(Curves, ChordTolerance, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavix::dxf
