// NURBS and fit-point splines against ezdxf's BSpline and its fit-point
// interpolation (fit_points_to_cad_cv).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "curveOracle.h"
#include "geometry/chordCount.h"
#include "geometry/spline.h"

namespace tavix::geometry {
namespace {

using test::askOracle;
using test::farthestFrom;
using test::json;

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double INF = std::numeric_limits<double>::infinity();

struct SplineCase {
  std::string name;
  Spline spline;
  double tolerance;
};

std::string oracleJson(const SplineCase& c) {
  const Spline& s = c.spline;
  if (s.controlPoints.empty()) {
    std::string tangents;
    if (s.startTangent && s.endTangent)
      tangents = ", \"tangents\": " + json(std::vector<Point>{*s.startTangent, *s.endTangent});
    return "{\"kind\": \"fit\", \"fit\": " + json(s.fitPoints) + tangents +
           ", \"tolerance\": " + json(c.tolerance) + "}";
  }
  return "{\"kind\": \"spline\", \"degree\": " + std::to_string(s.degree) + ", \"control\": " +
         json(s.controlPoints) + ", \"knots\": " + json(s.knots) + ", \"weights\": " + json(s.weights) +
         ", \"tolerance\": " + json(c.tolerance) + "}";
}

void expectFollowsSplines(const std::vector<SplineCase>& cases) {
  std::vector<std::string> requests;
  for (const SplineCase& c : cases) requests.push_back(oracleJson(c));
  const auto curves = askOracle(requests);
  ASSERT_EQ(curves.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    const auto ours = flattenSpline(cases[i].spline, cases[i].tolerance);
    ASSERT_TRUE(ours.has_value());
    const Polyline& truth = curves[i].truth;
    EXPECT_LE(farthestFrom(truth, *ours), cases[i].tolerance * (1 + 1e-9));
    EXPECT_LE(farthestFrom(*ours, truth), cases[i].tolerance / 50);
    EXPECT_NEAR(ours->front().x, truth.front().x, 1e-9);
    EXPECT_NEAR(ours->front().y, truth.front().y, 1e-9);
    EXPECT_NEAR(ours->back().x, truth.back().x, 1e-9);
    EXPECT_NEAR(ours->back().y, truth.back().y, 1e-9);
    // Adaptive, but not wasteful: within a small factor of ezdxf's count.
    EXPECT_LE(ours->size(), 3 * curves[i].reference.size() + 8)
        << "ours " << ours->size() << ", ezdxf " << curves[i].reference.size();
  }
}

Spline curve(int degree, std::vector<Point> control, std::vector<double> knots = {},
             std::vector<double> weights = {}) {
  Spline s;
  s.degree = degree;
  s.controlPoints = std::move(control);
  s.knots = std::move(knots);
  s.weights = std::move(weights);
  return s;
}

Spline through(std::vector<Point> fit, std::optional<Point> start = {}, std::optional<Point> end = {}) {
  Spline s;
  s.fitPoints = std::move(fit);
  s.startTangent = start;
  s.endTangent = end;
  return s;
}

TEST(Splines, controlPointCurvesLieOnTheNurbsWithinTheTolerance) {
  const double h = std::sqrt(0.5);
  expectFollowsSplines({
      {"cubic, uneven knots",
       curve(3, {{0, 0}, {10, 20}, {30, -10}, {40, 30}, {60, 0}, {70, 10}}, {0, 0, 0, 0, 1, 3, 4, 4, 4, 4}),
       0.01},
      {"rational quarter circle", curve(2, {{10, 0}, {10, 10}, {0, 10}}, {0, 0, 0, 1, 1, 1}, {1, h, 1}), 0.001},
      {"weighted cubic",
       curve(3, {{0, 0}, {5, 10}, {10, -10}, {15, 5}, {20, 0}}, {0, 0, 0, 0, 0.5, 1, 1, 1, 1}, {1, 3, 0.5, 2, 1}),
       0.01},
      {"degree one", curve(1, {{0, 0}, {1, 1}, {2, 0}, {3, 1}}, {0, 0, 1, 2, 3, 3}), 0.001},
      {"degree five",
       curve(5, {{0, 0}, {1, 3}, {2, -3}, {3, 3}, {4, -3}, {5, 3}, {6, -3}, {7, 0}},
             {0, 0, 0, 0, 0, 0, 1, 2, 3, 3, 3, 3, 3, 3}),
       0.001},
      {"double inner knot", curve(3, {{0, 0}, {1, 2}, {2, 2}, {3, 0}, {4, 2}, {5, 0}}, {0, 0, 0, 0, 1, 1, 2, 2, 2, 2}),
       0.001},
      {"unclamped (closed) knots",
       curve(3, {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
       0.01},
      {"large drawing", curve(3, {{0, 0}, {5000, 9000}, {12000, -3000}, {20000, 0}}, {0, 0, 0, 0, 1, 1, 1, 1}), 0.05},
  });
}

Spline periodic(int degree, std::vector<Point> control, std::vector<double> knots, std::vector<double> weights = {}) {
  Spline s = curve(degree, std::move(control), std::move(knots), std::move(weights));
  s.closed = true;
  return s;
}

TEST(Splines, periodicCurvesCloseOnThemselves) {
  // One period of knots: the same curve as the control points repeated at
  // the end under a uniform knot vector.
  const std::vector<Point> ring = {{0, 0}, {10, 0}, {14, 8}, {5, 12}, {-4, 8}};
  const Spline wrapped = curve(3, {{0, 0}, {10, 0}, {14, 8}, {5, 12}, {-4, 8}, {0, 0}, {10, 0}, {14, 8}},
                               {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  const std::vector<SplineCase> cases = {
      {"stored as one period", periodic(3, ring, {0, 1, 2, 3, 4, 5}), 0.01},
      {"quadratic, one period", periodic(2, ring, {10, 12, 14, 16, 18, 20}), 0.01},
  };
  std::vector<std::string> requests = {oracleJson({"", wrapped, 0.01}),
                                       oracleJson({"", curve(2, {{0, 0}, {10, 0}, {14, 8}, {5, 12}, {-4, 8}, {0, 0}, {10, 0}},
                                                             {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}), 0.01})};
  const auto curves = askOracle(requests);
  ASSERT_EQ(curves.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    const auto ours = flattenSpline(cases[i].spline, cases[i].tolerance);
    ASSERT_TRUE(ours);
    EXPECT_LE(farthestFrom(curves[i].truth, *ours), cases[i].tolerance * (1 + 1e-9));
    EXPECT_LE(farthestFrom(*ours, curves[i].truth), cases[i].tolerance / 50);
    EXPECT_NEAR(ours->front().x, ours->back().x, 1e-9);
    EXPECT_NEAR(ours->front().y, ours->back().y, 1e-9);
  }
  // Uneven knots and weights still close.
  const auto uneven = flattenSpline(periodic(3, ring, {0, 1, 3, 4, 7, 8}, {1, 2, 1, 0.5, 1}), 0.01);
  ASSERT_TRUE(uneven);
  EXPECT_NEAR(uneven->front().x, uneven->back().x, 1e-9);
  EXPECT_NEAR(uneven->front().y, uneven->back().y, 1e-9);
}

TEST(Splines, fitPointCurvesMatchTheCadInterpolation) {
  expectFollowsSplines({
      {"five points", through({{0, 0}, {10, 10}, {20, 0}, {30, 10}, {40, 0}}), 0.01},
      {"given tangents", through({{0, 0}, {10, 10}, {20, 0}, {30, 10}}, Point{0, 1}, Point{1, -1}), 0.01},
      {"three points", through({{0, 0}, {5, 8}, {12, 0}}), 0.001},
      {"two points with tangents", through({{0, 0}, {10, 0}}, Point{0, 1}, Point{0, -1}), 0.001},
      {"uneven spacing", through({{0, 0}, {1, 1}, {2, 1.5}, {10, 2}, {11, 5}, {30, -4}, {31, -4.5}}), 0.005},
  });
}

TEST(Splines, fitPointsAreOnTheCurve) {
  const std::vector<Point> fit = {{0, 0}, {3, 7}, {9, 2}, {14, 9}, {20, 1}, {26, 5}};
  for (const auto& tangents : {std::pair<std::optional<Point>, std::optional<Point>>{},
                               {Point{1, 0}, Point{0, 1}}}) {
    const auto ours = flattenSpline(through(fit, tangents.first, tangents.second), 0.001);
    ASSERT_TRUE(ours);
    EXPECT_LE(farthestFrom(fit, *ours), 0.001 * (1 + 1e-9));
  }
}

TEST(Splines, collinearAndRepeatedFitPointsGiveTheStraightLine) {
  const auto line = flattenSpline(through({{0, 0}, {1, 1}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}), 0.001);
  ASSERT_TRUE(line);
  for (const Point& p : *line) EXPECT_NEAR(p.x, p.y, 1e-9);
  EXPECT_NEAR(line->back().x, 4, 1e-12);
}

TEST(Splines, clampedUniformKnotsWhenNoneAreStored) {
  const std::vector<Point> control = {{0, 0}, {1, 2}, {3, 2}, {4, 0}, {6, 1}};
  const auto implicit = flattenSpline(curve(3, control), 0.001);
  const auto stated = flattenSpline(curve(3, control, {0, 0, 0, 0, 1, 2, 2, 2, 2}), 0.001);
  ASSERT_TRUE(implicit && stated);
  EXPECT_LE(farthestFrom(*implicit, *stated), 0.002);
  EXPECT_LE(farthestFrom(*stated, *implicit), 0.002);
}

TEST(Splines, inconsistentDefinitionsGiveNothing) {
  const std::vector<Point> four = {{0, 0}, {1, 1}, {2, 0}, {3, 1}};
  const std::vector<double> knots = {0, 0, 0, 0, 1, 1, 1, 1};
  std::vector<Point> tooMany(MAX_SPLINE_POINTS + 1);
  for (std::size_t i = 0; i < tooMany.size(); ++i) tooMany[i] = {double(i), double(i % 2)};
  const struct {
    const char* name;
    Spline spline;
    double tolerance;
  } table[] = {
      {"NaN control point", curve(3, {{0, 0}, {NaN, 1}, {2, 0}, {3, 1}}, knots), 0.01},
      {"infinite control point", curve(3, {{0, 0}, {1, INF}, {2, 0}, {3, 1}}, knots), 0.01},
      {"too few knots", curve(3, four, {0, 0, 0, 1, 1, 1}), 0.01},
      {"too many knots", curve(3, four, {0, 0, 0, 0, 0, 1, 1, 1, 1}), 0.01},
      {"decreasing knots", curve(3, four, {0, 0, 0, 0, 1, 0.5, 1, 1}), 0.01},
      {"NaN knot", curve(3, four, {0, 0, 0, 0, NaN, 1, 1, 1}), 0.01},
      {"all knots equal", curve(3, four, {1, 1, 1, 1, 1, 1, 1, 1}), 0.01},
      {"zero weight", curve(3, four, knots, {1, 0, 1, 1}), 0.01},
      {"negative weight", curve(3, four, knots, {1, -2, 1, 1}), 0.01},
      {"weights miscounted", curve(3, four, knots, {1, 1, 1}), 0.01},
      {"degree zero", curve(0, four, {0, 1, 2, 3, 4}), 0.01},
      {"degree above the points", curve(4, four), 0.01},
      {"absurd degree", curve(1000, four), 0.01},
      {"zero tolerance", curve(3, four, knots), 0},
      {"NaN tolerance", curve(3, four, knots), NaN},
      {"one fit point", through({{1, 1}}), 0.01},
      {"one fit point repeated", through({{1, 1}, {1, 1}, {1, 1}}), 0.01},
      {"NaN fit point", through({{0, 0}, {NaN, 0}, {2, 2}}), 0.01},
      {"overflowing fit points", through({{-1e308, 0}, {1e308, 0}, {1e308, 1e308}}), 0.01},
      {"too many fit points", through(tooMany), 0.01},
      {"nothing at all", Spline{}, 0.01},
      {"periodic, knots falling", periodic(3, four, {0, 1, 2, 1.5, 4}), 0.01},
      {"periodic, no period", periodic(3, four, {1, 1, 1, 1, 1}), 0.01},
      {"periodic, NaN knot", periodic(3, four, {0, 1, NaN, 3, 4}), 0.01},
      {"periodic, fewer points than the degree", periodic(3, {{0, 0}, {1, 1}}, {0, 1, 2}), 0.01},
  };
  for (const auto& row : table) EXPECT_FALSE(flattenSpline(row.spline, row.tolerance).has_value()) << row.name;
}

TEST(Splines, absurdSizesStayBounded) {
  // Many spans, each asking for more refinement than the limit allows.
  Spline wiggle = curve(3, {});
  for (int i = 0; i < 3000; ++i) wiggle.controlPoints.push_back({double(i), i % 2 ? 1e6 : -1e6});
  const auto wiggly = flattenSpline(wiggle, 1e-9);
  ASSERT_TRUE(wiggly);
  EXPECT_LE(wiggly->size(), 4u * MAX_CHORDS_PER_CURVE + 3000 + 32);
  EXPECT_DOUBLE_EQ(wiggly->back().x, 2999);
  const struct {
    const char* name;
    Spline spline;
    double tolerance;
  } table[] = {
      {"huge coordinates, tiny tolerance", curve(3, {{0, 0}, {1e300, 1e300}, {-1e300, 1e300}, {1e300, 0}}), 1e-300},
      {"wild weights", curve(3, {{0, 0}, {1, 1}, {2, 0}, {3, 1}}, {}, {1e-300, 1e300, 1e-300, 1}), 1e-6},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    const auto result = flattenSpline(row.spline, row.tolerance);
    if (result) {
      EXPECT_LE(result->size(), 4u * MAX_CHORDS_PER_CURVE + 1 + 32);
    }
  }
}

}  // namespace
}  // namespace tavix::geometry
