// Arcs, circles, bulges and ellipses against ezdxf's own curves.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "curveOracle.h"
#include "geometry/arc.h"
#include "geometry/chordCount.h"
#include "geometry/ellipse.h"

namespace tavix::geometry {
namespace {

using test::askOracle;
using test::farthestFrom;
using test::json;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double INF = std::numeric_limits<double>::infinity();

struct CurveCase {
  std::string name;
  std::string oracleJson;
  std::optional<Polyline> ours;
  double tolerance;
  double scale;  // size of the coordinates, for rounding
};

// Every point of the true curve lies within the tolerance of our chords,
// every vertex of ours lies on the curve, the ends agree, and we use no
// more chords than ezdxf does at the same tolerance (plus one for rounding).
void expectFollowsCurve(const std::vector<CurveCase>& cases, bool sameEnds = true) {
  std::vector<std::string> requests;
  for (const CurveCase& c : cases) requests.push_back(c.oracleJson);
  const std::vector<test::OracleCurve> curves = askOracle(requests);
  ASSERT_EQ(curves.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    ASSERT_TRUE(cases[i].ours.has_value());
    const Polyline& ours = *cases[i].ours;
    const Polyline& truth = curves[i].truth;
    const double rounding = 1e-12 * cases[i].scale;
    ASSERT_GE(ours.size(), 2u);
    EXPECT_LE(farthestFrom(truth, ours), cases[i].tolerance + rounding);
    EXPECT_LE(farthestFrom(ours, truth), cases[i].tolerance / 100 + rounding);
    if (sameEnds) {
      EXPECT_NEAR(ours.front().x, truth.front().x, 1e-9 * cases[i].scale);
      EXPECT_NEAR(ours.front().y, truth.front().y, 1e-9 * cases[i].scale);
      EXPECT_NEAR(ours.back().x, truth.back().x, 1e-9 * cases[i].scale);
      EXPECT_NEAR(ours.back().y, truth.back().y, 1e-9 * cases[i].scale);
    }
    EXPECT_LE(ours.size(), curves[i].reference.size() + 1)
        << "ours " << ours.size() << " points, ezdxf " << curves[i].reference.size();
  }
}

CurveCase arcCase(std::string name, Point c, double r, double start, double end, double tol) {
  return {name,
          "{\"kind\": \"arc\", \"center\": " + json(c) + ", \"radius\": " + json(r) + ", \"start\": " +
              json(start) + ", \"end\": " + json(end) + ", \"tolerance\": " + json(tol) + "}",
          flattenArc(c, r, start, end, tol), tol, std::fabs(c.x) + std::fabs(c.y) + r};
}

TEST(Flattening, arcsLieOnTheCurveWithinTheTolerance) {
  expectFollowsCurve({
      arcCase("1 mm circle", {0, 0}, 0.5, 0, 360, 0.05),
      arcCase("1 m circle", {10, -5}, 500, 0, 360, 0.05),
      arcCase("far from the origin", {1e5, 1e5}, 3, 30, 120, 0.01),
      arcCase("across angle zero", {0, 0}, 10, 350, 10, 0.1),
      arcCase("end before start", {0, 0}, 10, 90, 45, 0.1),
      arcCase("negative start", {2, 3}, 10, -90, 90, 0.1),
      arcCase("angles beyond a turn", {0, 0}, 2, 750, 60, 0.001),
  });
}

TEST(Flattening, circleCountsGrowWithTheRadius) {
  // Chords for a 1 mm and a 1 m circle at 0.05 mm: few, and many.
  const struct {
    double radius;
    std::size_t fewest, most;
  } table[] = {{0.5, 5, 9}, {500, 150, 300}, {1e-9, 5, 5}};
  for (const auto& row : table) {
    SCOPED_TRACE(row.radius);
    const auto circle = flattenCircle({0, 0}, row.radius, 0.05);
    ASSERT_TRUE(circle);
    EXPECT_GE(circle->size(), row.fewest);
    EXPECT_LE(circle->size(), row.most);
    EXPECT_DOUBLE_EQ(circle->front().x, circle->back().x);
    EXPECT_NEAR(circle->front().y, circle->back().y, 1e-12 * row.radius);
  }
}

TEST(Flattening, equalArcAnglesDrawTheWholeCircle) {
  const auto arc = flattenArc({0, 0}, 10, 45, 45 + 720, 0.1);
  const auto circle = flattenCircle({0, 0}, 10, 0.1);
  ASSERT_TRUE(arc && circle);
  EXPECT_EQ(arc->size(), circle->size());
  EXPECT_NEAR(arc->front().x, arc->back().x, 1e-12);
}

CurveCase bulgeCase(std::string name, Point a, Point b, double bulge, double tol) {
  return {name,
          "{\"kind\": \"bulge\", \"from\": " + json(a) + ", \"to\": " + json(b) + ", \"bulge\": " +
              json(bulge) + ", \"tolerance\": " + json(tol) + "}",
          flattenBulge(a, b, bulge, tol), tol, std::fabs(a.x) + std::fabs(b.x) + std::fabs(a.y) + 10};
}

TEST(Flattening, bulgesFollowTheirArcs) {
  // ezdxf draws a clockwise bulge from its end, so only the shape is compared
  // here; the ends are checked below.
  expectFollowsCurve({
                         bulgeCase("half circle to the left", {0, 0}, {10, 0}, 1, 0.01),
                         bulgeCase("clockwise", {0, 0}, {10, 0}, -0.5, 0.01),
                         bulgeCase("more than half", {0, 0}, {10, 0}, 3, 0.01),
                         bulgeCase("downwards", {5, 5}, {5, -5}, 0.2, 0.001),
                         bulgeCase("clockwise half", {1, 1}, {-1, -1}, -1, 0.01),
                     },
                     false);
}

TEST(Flattening, bulgeEndsAreTheVerticesExactlyAndTurnTheRightWay) {
  const struct {
    double bulge;
    double middleY;  // sign of the arc's side
  } table[] = {{1, -5}, {-1, 5}, {0.5, -2.5}, {-3, 15}};
  for (const auto& row : table) {
    SCOPED_TRACE(row.bulge);
    const auto arc = flattenBulge({0, 0}, {10, 0}, row.bulge, 0.001);
    ASSERT_TRUE(arc);
    EXPECT_EQ(arc->front().x, 0);
    EXPECT_EQ(arc->front().y, 0);
    EXPECT_EQ(arc->back().x, 10);
    EXPECT_EQ(arc->back().y, 0);
    // Counter-clockwise from (0,0) to (10,0) passes below the chord.
    double extreme = 0;
    for (const Point& p : *arc)
      if (std::fabs(p.y) > std::fabs(extreme)) extreme = p.y;
    EXPECT_NEAR(extreme, row.middleY, 0.01 + std::fabs(row.middleY) * 0.5);
    EXPECT_GT(extreme * row.middleY, 0);
  }
}

TEST(Flattening, straightBulgesAreOneSegment) {
  for (double bulge : {0.0, 1e-15, -1e-15}) {
    const auto line = flattenBulge({1, 2}, {3, 4}, bulge, 0.01);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->size(), 2u);
  }
  const auto samePoint = flattenBulge({1, 2}, {1, 2}, 1, 0.01);
  ASSERT_TRUE(samePoint);
  EXPECT_EQ(samePoint->size(), 2u);
}

CurveCase ellipseCase(std::string name, Point c, Point major, double ratio, double start, double end,
                      double tol) {
  return {name,
          "{\"kind\": \"ellipse\", \"center\": " + json(c) + ", \"major\": " + json(major) + ", \"ratio\": " +
              json(ratio) + ", \"start\": " + json(start) + ", \"end\": " + json(end) +
              ", \"tolerance\": " + json(tol) + "}",
          flattenEllipse(c, major, ratio, start, end, tol), tol,
          std::fabs(c.x) + std::fabs(c.y) + std::hypot(major.x, major.y)};
}

TEST(Flattening, ellipsesLieOnTheCurveWithinTheTolerance) {
  std::vector<CurveCase> cases = {
      ellipseCase("whole", {0, 0}, {10, 0}, 0.5, 0, 2 * M_PI, 0.01),
      ellipseCase("turned", {3, -2}, {3, 4}, 0.1, 0, 2 * M_PI, 0.01),
      ellipseCase("arc", {0, 0}, {10, 0}, 0.5, 0.5, 2.5, 0.01),
      ellipseCase("across zero", {0, 0}, {0, 20}, 0.3, 5.5, 0.5, 0.01),
      ellipseCase("a circle", {1, 1}, {5, 0}, 1, 1, 4, 0.001),
      ellipseCase("very flat", {0, 0}, {1000, 0}, 0.001, 0, 2 * M_PI, 0.05),
  };
  std::vector<std::string> requests;
  // ezdxf subdivides ellipses adaptively (fewer chords on the flat sides), so
  // only the distances are compared here.
  const auto curves = askOracle([&] {
    for (const CurveCase& c : cases) requests.push_back(c.oracleJson);
    return requests;
  }());
  ASSERT_EQ(curves.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    ASSERT_TRUE(cases[i].ours);
    EXPECT_LE(farthestFrom(curves[i].truth, *cases[i].ours), cases[i].tolerance * (1 + 1e-9));
    EXPECT_LE(farthestFrom(*cases[i].ours, curves[i].truth), cases[i].tolerance / 100);
    EXPECT_NEAR(cases[i].ours->front().x, curves[i].truth.front().x, 1e-9 * cases[i].scale);
    EXPECT_NEAR(cases[i].ours->back().y, curves[i].truth.back().y, 1e-9 * cases[i].scale);
  }
}

TEST(Flattening, badCurvesGiveNothing) {
  const struct {
    const char* name;
    std::optional<Polyline> result;
  } table[] = {
      {"NaN centre", flattenArc({NaN, 0}, 1, 0, 90, 0.1)},
      {"infinite radius", flattenArc({0, 0}, INF, 0, 90, 0.1)},
      {"negative radius", flattenCircle({0, 0}, -1, 0.1)},
      {"NaN angle", flattenArc({0, 0}, 1, NaN, 90, 0.1)},
      {"infinite angle", flattenArc({0, 0}, 1, 0, -INF, 0.1)},
      {"zero tolerance", flattenCircle({0, 0}, 1, 0)},
      {"negative tolerance", flattenCircle({0, 0}, 1, -0.1)},
      {"NaN tolerance", flattenCircle({0, 0}, 1, NaN)},
      {"overflowing circle", flattenCircle({1e308, 1e308}, 1e308, 0.1)},
      {"NaN bulge", flattenBulge({0, 0}, {1, 0}, NaN, 0.1)},
      {"infinite vertex", flattenBulge({0, INF}, {1, 0}, 1, 0.1)},
      {"bulge tolerance zero", flattenBulge({0, 0}, {1, 0}, 1, 0)},
      {"ellipse ratio zero", flattenEllipse({0, 0}, {1, 0}, 0, 0, 1, 0.1)},
      {"ellipse ratio above one", flattenEllipse({0, 0}, {1, 0}, 1.5, 0, 1, 0.1)},
      {"ellipse without axis", flattenEllipse({0, 0}, {0, 0}, 0.5, 0, 1, 0.1)},
      {"ellipse NaN parameter", flattenEllipse({0, 0}, {1, 0}, 0.5, NaN, 1, 0.1)},
      {"ellipse infinite axis", flattenEllipse({0, 0}, {INF, 0}, 0.5, 0, 1, 0.1)},
      {"ellipse overflowing", flattenEllipse({1e308, 0}, {1e308, 1e308}, 0.5, 0, 1, 0.1)},
  };
  for (const auto& row : table) EXPECT_FALSE(row.result.has_value()) << row.name;
}

TEST(Flattening, absurdSizesStayBounded) {
  const struct {
    const char* name;
    std::optional<Polyline> result;
  } table[] = {
      {"huge circle, tiny tolerance", flattenCircle({0, 0}, 1e300, 1e-300)},
      {"huge arc", flattenArc({0, 0}, 1e300, 0, 1e-3, 1e-3)},
      {"huge bulge", flattenBulge({0, 0}, {1e300, 0}, 1, 1e-9)},
      {"huge ellipse", flattenEllipse({0, 0}, {1e300, 0}, 0.5, 0, 7, 1e-9)},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(row.result.has_value());
    EXPECT_GE(row.result->size(), 2u);
    EXPECT_LE(row.result->size(), static_cast<std::size_t>(MAX_CHORDS_PER_CURVE) + 1);
  }
  const auto point = flattenCircle({4, 5}, 0, 0.1);
  ASSERT_TRUE(point);
  ASSERT_EQ(point->size(), 1u);
  EXPECT_EQ(point->front().x, 4);
}

}  // namespace
}  // namespace tavix::geometry
