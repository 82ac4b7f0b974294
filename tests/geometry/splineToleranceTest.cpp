// Spline chords stay within the tolerance of the curve everywhere, not only
// at the points the flattening looked at. The curve is evaluated here by
// the Cox-de Boor recursion straight from its definition, densely, and
// every point of it must lie within the tolerance of a chord.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "geometry/spline.h"

namespace tavix::geometry {
namespace {

double basis(const std::vector<double>& knots, int i, int p, double u) {
  if (p == 0) return knots[i] <= u && u < knots[i + 1] ? 1.0 : 0.0;
  double left = 0, right = 0;
  if (knots[i + p] > knots[i]) left = (u - knots[i]) / (knots[i + p] - knots[i]) * basis(knots, i, p - 1, u);
  if (knots[i + p + 1] > knots[i + 1])
    right = (knots[i + p + 1] - u) / (knots[i + p + 1] - knots[i + 1]) * basis(knots, i + 1, p - 1, u);
  return left + right;
}

// The clamped uniform curve of `points`: the knots the CAD host implies
// when a spline gives none.
Point curveAt(const std::vector<Point>& points, int degree, double u) {
  const int n = static_cast<int>(points.size()), spans = n - degree;
  std::vector<double> knots(degree, 0.0);
  for (int i = 0; i <= spans; ++i) knots.push_back(i);
  knots.insert(knots.end(), degree, spans);
  u = std::min(u * spans, spans - 1e-12);
  Point p{0, 0};
  for (int i = 0; i < n; ++i) {
    const double b = basis(knots, i, degree, u);
    p.x += b * points[i].x, p.y += b * points[i].y;
  }
  return p;
}

double distanceToChords(Point p, const Polyline& chords) {
  double best = INFINITY;
  for (std::size_t k = 0; k + 1 < chords.size(); ++k) {
    const Point a = chords[k], b = chords[k + 1];
    const double dx = b.x - a.x, dy = b.y - a.y, dd = dx * dx + dy * dy;
    const double t = dd > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / dd, 0.0, 1.0) : 0;
    best = std::min(best, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
  }
  return best;
}

TEST(SplineTolerance, chordsStayWithinTheToleranceEverywhere) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> coordinate(0, 100);
  const double tolerance = 0.05;
  for (int trial = 0; trial < 200; ++trial) {
    Spline s;
    s.degree = 2 + trial % 3;
    const int count = s.degree + 1 + trial % 6;
    for (int i = 0; i < count; ++i) s.controlPoints.push_back({coordinate(random), coordinate(random)});
    const auto chords = flattenSpline(s, tolerance);
    ASSERT_TRUE(chords.has_value());
    double worst = 0;
    for (int k = 0; k <= 1500; ++k)
      worst = std::max(worst, distanceToChords(curveAt(s.controlPoints, s.degree, k / 1500.0), *chords));
    EXPECT_LE(worst, tolerance) << "trial " << trial;
  }
}

}  // namespace
}  // namespace tavix::geometry
