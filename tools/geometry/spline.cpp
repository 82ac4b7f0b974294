#include "spline.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "chordCount.h"
#include "vectorMath.h"

namespace tavix::geometry {
namespace {

// Points one curve may produce at most; refinement stops there.
constexpr std::size_t MAX_SPLINE_OUTPUT = 4 * MAX_CHORDS_PER_CURVE;
// Halvings of one starting piece at most: 2^-20 of a knot span is far below
// any plotter step.
constexpr int MAX_REFINE_DEPTH = 20;
// Starting pieces per knot span before refinement, so that a bend inside a
// span is never jumped over.
constexpr int PIECES_PER_SPAN = 4;

bool validCurve(const Spline& s) {
  const std::size_t n = s.controlPoints.size();
  if (s.degree < 1 || s.degree > MAX_SPLINE_DEGREE || n < static_cast<std::size_t>(s.degree) + 1 ||
      n > static_cast<std::size_t>(MAX_SPLINE_POINTS))
    return false;
  if (s.knots.size() != n + s.degree + 1) return false;
  if (!s.weights.empty() && s.weights.size() != n) return false;
  for (const Point& p : s.controlPoints)
    if (!isFinite(p)) return false;
  for (double w : s.weights)
    if (!std::isfinite(w) || !(w > 0)) return false;
  for (std::size_t i = 0; i < s.knots.size(); ++i) {
    if (!std::isfinite(s.knots[i])) return false;
    if (i > 0 && s.knots[i] < s.knots[i - 1]) return false;
  }
  return s.knots[s.degree] < s.knots[n];
}

std::vector<double> clampedUniformKnots(std::size_t count, int degree) {
  std::vector<double> knots;
  const std::size_t inner = count - degree;  // spans
  for (int i = 0; i < degree; ++i) knots.push_back(0);
  for (std::size_t i = 0; i <= inner; ++i) knots.push_back(static_cast<double>(i));
  for (int i = 0; i < degree; ++i) knots.push_back(static_cast<double>(inner));
  return knots;
}

using Basis = std::array<double, MAX_SPLINE_DEGREE + 1>;

// The non-zero basis functions N[span - p .. span] at u (de Boor, Cox).
void basisFunctions(const std::vector<double>& knots, std::size_t span, int p, double u, Basis& n) {
  Basis left{}, right{};
  n[0] = 1;
  for (int j = 1; j <= p; ++j) {
    left[j] = u - knots[span + 1 - j];
    right[j] = knots[span + j] - u;
    double saved = 0;
    for (int r = 0; r < j; ++r) {
      const double denominator = right[r + 1] + left[j - r];
      const double temp = denominator != 0 ? n[r] / denominator : 0;
      n[r] = saved + right[r + 1] * temp;
      saved = left[j - r] * temp;
    }
    n[j] = saved;
  }
}

// A periodic curve stored as the CAD host writes it: n control points and
// n + 1 knots, one period. It is the ordinary curve over the control points
// with the first `degree` repeated at the end and the knots continued by
// the period on both sides, drawn over [knots[0], knots[n]].
std::optional<Spline> unwrappedPeriodic(const Spline& s) {
  const std::size_t n = s.controlPoints.size(), p = s.degree;
  if (n < p || !std::is_sorted(s.knots.begin(), s.knots.end())) return std::nullopt;
  const double period = s.knots[n] - s.knots[0];
  if (!std::isfinite(period) || !(period > 0)) return std::nullopt;
  Spline out = s;
  out.knots.clear();
  for (std::size_t i = 0; i < p; ++i) out.knots.push_back(s.knots[n - p + i] - period);
  out.knots.insert(out.knots.end(), s.knots.begin(), s.knots.end());
  for (std::size_t i = 1; i <= p; ++i) out.knots.push_back(s.knots[i] + period);
  for (std::size_t i = 0; i < p; ++i) out.controlPoints.push_back(s.controlPoints[i]);
  if (!out.weights.empty())
    for (std::size_t i = 0; i < p; ++i) out.weights.push_back(s.weights[i]);
  return out;
}

class CurveEvaluator {
 public:
  explicit CurveEvaluator(const Spline& s) : s_(s) {}

  std::size_t spanOf(double u) const {
    const std::size_t n = s_.controlPoints.size();
    const auto first = s_.knots.begin() + s_.degree + 1;
    const auto last = s_.knots.begin() + n;
    std::size_t span = (std::upper_bound(first, last, u) - s_.knots.begin()) - 1;
    return std::clamp<std::size_t>(span, s_.degree, n - 1);
  }

  Point at(double u) {
    const std::size_t span = spanOf(u);
    basisFunctions(s_.knots, span, s_.degree, u, basis_);
    double x = 0, y = 0, w = 0;
    for (int j = 0; j <= s_.degree; ++j) {
      const std::size_t i = span - s_.degree + j;
      const double weight = s_.weights.empty() ? 1.0 : s_.weights[i];
      const double b = basis_[j] * weight;
      x += b * s_.controlPoints[i].x;
      y += b * s_.controlPoints[i].y;
      w += b;
    }
    return {x / w, y / w};
  }

 private:
  const Spline& s_;
  Basis basis_{};
};

struct Refiner {
  CurveEvaluator& curve;
  double tolerance;
  Polyline& out;

  // A piece is flat when seven points along it lie near its chord. The
  // curve between them can bulge a little further than the nearest of them,
  // so they are held to nine tenths of the tolerance.
  bool flatEnough(double t0, Point p0, double t1, Point p1, Point middle) {
    const double bound = 0.9 * tolerance;
    if (distanceToSegment(middle, p0, p1) > bound) return false;
    for (double f : {0.125, 0.25, 0.375, 0.625, 0.75, 0.875})
      if (distanceToSegment(curve.at(t0 + (t1 - t0) * f), p0, p1) > bound) return false;
    return true;
  }

  // Emits the points after p0 up to p1.
  void refine(double t0, Point p0, double t1, Point p1, int depth) {
    const double tm = 0.5 * (t0 + t1);
    const Point pm = curve.at(tm);
    if (depth >= MAX_REFINE_DEPTH || out.size() >= MAX_SPLINE_OUTPUT || !isFinite(pm) ||
        flatEnough(t0, p0, t1, p1, pm)) {
      out.push_back(p1);
      return;
    }
    refine(t0, p0, tm, pm, depth + 1);
    refine(tm, pm, t1, p1, depth + 1);
  }
};

std::optional<Polyline> flattenCurve(const Spline& s, double tolerance) {
  if (!validCurve(s)) return std::nullopt;
  CurveEvaluator curve(s);
  Polyline out;
  Refiner refiner{curve, tolerance, out};
  const std::size_t n = s.controlPoints.size();
  out.push_back(curve.at(s.knots[s.degree]));
  for (std::size_t span = s.degree; span < n; ++span) {
    const double a = s.knots[span], b = s.knots[span + 1];
    if (!(b > a)) continue;
    double t0 = a;
    Point p0 = out.back();
    for (int piece = 1; piece <= PIECES_PER_SPAN; ++piece) {
      // Past the limit, each span adds only its end.
      if (out.size() >= MAX_SPLINE_OUTPUT && piece < PIECES_PER_SPAN) continue;
      // The span's end is evaluated from inside the span: at a knot of full
      // multiplicity the next span's value may differ (a break in the curve).
      const double t1 = piece == PIECES_PER_SPAN ? b : a + (b - a) * piece / PIECES_PER_SPAN;
      const Point p1 = piece == PIECES_PER_SPAN ? curve.at(std::nextafter(b, a)) : curve.at(t1);
      refiner.refine(t0, p0, t1, p1, 0);
      t0 = t1;
      p0 = p1;
    }
  }
  // The last point exactly at the domain's end.
  out.back() = curve.at(s.knots[n]);
  if (!allFinite(out)) return std::nullopt;
  return out;
}

// The direction of the curve at the first or last fit point, by the five
// point (Akima) estimate with the chords beyond the ends extended linearly
// (d[-1] = 2 d[0] - d[1], d[-2] = 3 d[0] - 2 d[1]). Those chords make both of
// Akima's weights equal at the ends, so the estimate is the mean of d[-1]
// and d[0]: 1.5 d[0] - 0.5 d[1].
Point estimatedTangent(const std::vector<Point>& q, bool atEnd) {
  const std::size_t n = q.size();
  if (n == 2) return q[1] - q[0];
  if (atEnd) return 1.5 * (q[n - 1] - q[n - 2]) - 0.5 * (q[n - 2] - q[n - 3]);
  return 1.5 * (q[1] - q[0]) - 0.5 * (q[2] - q[1]);
}

Point unitOr(std::optional<Point> given, Point estimate) {
  if (given && isFinite(*given) && length(*given) > 0) return (1 / length(*given)) * *given;
  const double l = length(estimate);
  return l > 0 ? (1 / l) * estimate : Point{0, 0};
}

}  // namespace

std::optional<Spline> splineThroughFitPoints(const Spline& spline) {
  if (spline.fitPoints.size() > static_cast<std::size_t>(MAX_SPLINE_POINTS)) return std::nullopt;
  std::vector<Point> q;
  for (const Point& p : spline.fitPoints) {
    if (!isFinite(p)) return std::nullopt;
    if (q.empty() || length(p - q.back()) > 0) q.push_back(p);
  }
  if (q.size() < 2) return std::nullopt;
  const std::size_t n = q.size() - 1;
  std::vector<double> u(n + 1, 0.0);
  for (std::size_t k = 1; k <= n; ++k) u[k] = u[k - 1] + length(q[k] - q[k - 1]);
  const double total = u[n];
  if (!std::isfinite(total) || !(total > 0)) return std::nullopt;
  for (double& v : u) v /= total;
  u[n] = 1;

  Spline out;
  out.degree = 3;
  out.closed = spline.closed;
  out.knots = {0, 0, 0, 0};
  for (std::size_t k = 1; k < n; ++k) out.knots.push_back(u[k]);
  out.knots.insert(out.knots.end(), {1, 1, 1, 1});
  // End derivatives in the [0, 1] parameter: unit tangents times the length.
  const Point d0 = total * unitOr(spline.startTangent, estimatedTangent(q, false));
  const Point dn = total * unitOr(spline.endTangent, estimatedTangent(q, true));
  std::vector<Point>& p = out.controlPoints;
  p.assign(n + 3, Point{0, 0});
  p[0] = q[0];
  p[1] = q[0] + (out.knots[4] / 3) * d0;
  p[n + 2] = q[n];
  p[n + 1] = q[n] - ((1 - out.knots[n + 2]) / 3) * dn;

  // Interpolate the inner fit points: row r (fit point r + 1) ties unknowns
  // p[2..n] (index c = i - 2) within a band of three on each side.
  const std::size_t unknowns = n - 1;
  constexpr int BAND = 3;
  std::vector<std::array<double, 2 * BAND + 1>> a(unknowns);
  std::vector<Point> rhs(unknowns);
  Basis basis{};
  for (std::size_t r = 0; r < unknowns; ++r) {
    const std::size_t k = r + 1;
    const std::size_t span = k + 3;
    a[r].fill(0);
    basisFunctions(out.knots, span, 3, u[k], basis);
    rhs[r] = q[k];
    for (int j = 0; j <= 3; ++j) {
      const std::size_t i = span - 3 + j;
      if (i >= 2 && i <= n) a[r][static_cast<long>(i - 2) - static_cast<long>(r) + BAND] = basis[j];
      else rhs[r] = rhs[r] - basis[j] * p[i];
    }
  }
  // Gaussian elimination in the band; B-spline collocation needs no pivoting.
  for (std::size_t j = 0; j < unknowns; ++j) {
    const double pivot = a[j][BAND];
    if (!(std::fabs(pivot) > 1e-300)) return std::nullopt;
    for (std::size_t r = j + 1; r < std::min(unknowns, j + BAND + 1); ++r) {
      const double f = a[r][static_cast<long>(j) - static_cast<long>(r) + BAND] / pivot;
      if (f == 0) continue;
      for (std::size_t c = j; c < std::min(unknowns, j + BAND + 1); ++c)
        a[r][static_cast<long>(c) - static_cast<long>(r) + BAND] -=
            f * a[j][static_cast<long>(c) - static_cast<long>(j) + BAND];
      rhs[r] = rhs[r] - f * rhs[j];
    }
  }
  for (std::size_t j = unknowns; j-- > 0;) {
    Point v = rhs[j];
    for (std::size_t c = j + 1; c < std::min(unknowns, j + BAND + 1); ++c)
      v = v - a[j][static_cast<long>(c) - static_cast<long>(j) + BAND] * p[c + 2];
    p[j + 2] = (1 / a[j][BAND]) * v;
  }
  for (const Point& c : p)
    if (!isFinite(c)) return std::nullopt;
  return out;
}

std::optional<Polyline> flattenSpline(const Spline& spline, double tolerance) {
  if (!std::isfinite(tolerance) || !(tolerance > 0)) return std::nullopt;
  if (spline.controlPoints.empty()) {
    const std::optional<Spline> through = splineThroughFitPoints(spline);
    if (!through) return std::nullopt;
    return flattenCurve(*through, tolerance);
  }
  if (spline.knots.empty() && spline.degree >= 1 && spline.degree <= MAX_SPLINE_DEGREE &&
      spline.controlPoints.size() > static_cast<std::size_t>(spline.degree) &&
      spline.controlPoints.size() <= static_cast<std::size_t>(MAX_SPLINE_POINTS)) {
    Spline clamped = spline;
    clamped.knots = clampedUniformKnots(spline.controlPoints.size(), spline.degree);
    return flattenCurve(clamped, tolerance);
  }
  if (spline.closed && spline.degree >= 1 && spline.degree <= MAX_SPLINE_DEGREE &&
      spline.controlPoints.size() <= static_cast<std::size_t>(MAX_SPLINE_POINTS) &&
      spline.knots.size() == spline.controlPoints.size() + 1 &&
      (spline.weights.empty() || spline.weights.size() == spline.controlPoints.size())) {
    const std::optional<Spline> unwrapped = unwrappedPeriodic(spline);
    if (!unwrapped) return std::nullopt;
    return flattenCurve(*unwrapped, tolerance);
  }
  return flattenCurve(spline, tolerance);
}

}  // namespace tavix::geometry
