// A viewport's clipping: fills cut by a convex boundary (either way round)
// and by one that is not, strokes cut by any, and the view's placement on
// the sheet.
#include <gtest/gtest.h>

#include <cmath>

#include "layoutPlot.h"
#include "viewportSink.h"

namespace tavix::dxf {
namespace {

using geometry::Point;
using geometry::Polyline;

double area(const Polyline& p) {
    double a = 0;
    for (size_t i = 0; i + 1 < p.size(); ++i) a += p[i].x * p[i + 1].y - p[i + 1].x * p[i].y;
    return std::fabs(a) / 2;
}

const Polyline SQUARE = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
const Polyline SQUARE_CLOCKWISE = {{0, 0}, {0, 10}, {10, 10}, {10, 0}, {0, 0}};
const Polyline NOTCHED = {{0, 0}, {10, 0}, {10, 10}, {5, 5}, {0, 10}, {0, 0}};

TEST(ViewportClip, convexBoundariesCutFillsEitherWayRound) {
    const struct {
        Polyline fill;
        double area;
    } cases[] = {
        {{{5, 5}, {15, 5}, {15, 15}, {5, 15}, {5, 5}}, 25},     // a corner inside
        {{{2, 2}, {4, 2}, {4, 4}, {2, 4}, {2, 2}}, 4},          // wholly inside
        {{{20, 20}, {30, 20}, {30, 30}, {20, 20}}, 0},          // wholly outside
        {{{-5, -5}, {15, -5}, {15, 15}, {-5, 15}, {-5, -5}}, 100},  // over all of it
        {{{-2, 5}, {5, -2}, {12, 5}, {5, 12}, {-2, 5}}, 100 - 4 * 4.5},  // a diamond over the middle: the corners cut
    };
    for (const Polyline& clip : {SQUARE, SQUARE_CLOCKWISE}) {
        EXPECT_TRUE(isConvex(clip));
        for (const auto& c : cases) EXPECT_NEAR(c.area, area(clipToConvex(c.fill, clip)), 1e-9);
    }
    EXPECT_FALSE(isConvex(NOTCHED));
    EXPECT_FALSE(isConvex({{0, 0}, {1, 1}, {2, 2}, {0, 0}}));  // no area
}

class Collect : public PrimitiveSink {
public:
    bool stroke(const LineLook&, const Polyline& p, double, std::string&) override {
        strokes.push_back(p);
        return true;
    }
    bool fill(const LineLook&, const std::vector<Polyline>& loops, std::string&) override {
        fills.push_back(loops);
        return true;
    }
    std::vector<Polyline> strokes;
    std::vector<std::vector<Polyline>> fills;
};

TEST(ViewportClip, sinkPlacesThenClips) {
    Collect out;
    // Model space at 1:2 about (100, 100), onto a sheet square 0..10.
    ViewportSink sink(geometry::Affine::translation(5, 5).after(geometry::Affine::scaling(0.5, 0.5))
                          .after(geometry::Affine::translation(-100, -100)),
                      SQUARE, out);
    std::string why;
    LineLook look;
    look.bandWidth = 4;
    ASSERT_TRUE(sink.stroke(look, {{80, 100}, {120, 100}}, 0, why));  // 20 long on the sheet, 10 inside
    ASSERT_EQ(1u, out.strokes.size());
    EXPECT_NEAR(0, out.strokes[0].front().x, 1e-9);
    EXPECT_NEAR(10, out.strokes[0].back().x, 1e-9);
    ASSERT_TRUE(sink.fill(look, {{{100, 100}, {130, 100}, {130, 130}, {100, 130}, {100, 100}}}, why));
    ASSERT_EQ(1u, out.fills.size());
    EXPECT_NEAR(25, area(out.fills[0][0]), 1e-9);

    Collect notched;
    ViewportSink cut({}, NOTCHED, notched);
    ASSERT_TRUE(cut.fill(look, {{{1, 1}, {2, 1}, {2, 2}, {1, 1}}}, why));      // inside: kept
    ASSERT_TRUE(cut.fill(look, {{{4, 4}, {6, 4}, {6, 9}, {4, 9}, {4, 4}}}, why));  // across the notch: cut
    ASSERT_TRUE(cut.fill(look, {{{20, 20}, {21, 20}, {21, 21}, {20, 20}}}, why));  // outside: dropped
    ASSERT_EQ(2u, notched.fills.size());
    EXPECT_NEAR(0.5, area(notched.fills[0][0]), 1e-6);
    // Under the notch's sides y = 10 - x and y = x, from y = 4: 1.5 on each side of x = 5.
    double across = 0;
    for (const Polyline& loop : notched.fills[1]) across += area(loop);
    EXPECT_NEAR(3, across, 1e-6);
    ASSERT_TRUE(cut.fill(look, {{{0, 0}, {1e7, 0}, {1e7, 1}, {0, 0}}}, why));  // beyond the clipping's integers
    EXPECT_EQ(1, cut.fillsLeftOut);
    ASSERT_TRUE(cut.stroke(look, {{0, 8}, {10, 8}}, 0, why));  // cut in two by the notch
    EXPECT_EQ(2u, notched.strokes.size());
}

TEST(ViewportClip, viewCentreHeightTwistAndTargetPlaceModelSpace) {
    Viewport v;
    v.centre = {200, 150};
    v.height = 100;
    v.viewHeight = 200;
    v.viewCentre = {50, 60};
    Point p = viewportToSheet(v).apply({50, 60});
    EXPECT_NEAR(200, p.x, 1e-9);
    EXPECT_NEAR(150, p.y, 1e-9);
    p = viewportToSheet(v).apply({70, 60});  // 20 model units are 10 on the sheet
    EXPECT_NEAR(210, p.x, 1e-9);
    v.twist = 90;
    v.viewCentre = {0, 0};
    p = viewportToSheet(v).apply({20, 0});  // turned a quarter counter-clockwise
    EXPECT_NEAR(200, p.x, 1e-9);
    EXPECT_NEAR(160, p.y, 1e-9);
    v.twist = 0;
    v.target = {1000, 1000};
    p = viewportToSheet(v).apply({1000, 1000});  // the view is about its target
    EXPECT_NEAR(200, p.x, 1e-9);
    EXPECT_NEAR(150, p.y, 1e-9);
}

}  // namespace
}  // namespace tavix::dxf
