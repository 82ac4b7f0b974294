#include "hatchPattern.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "vectorMath.h"

namespace tavix::geometry {
namespace {

// The work one hatch may do, over all its families: line and edge meetings
// looked at and pattern repeats walked (gaps included, which add no output).
struct WorkBudget {
  long long left = 2 * MAX_HATCH_SEGMENTS;
  bool spend(double n) {
    if (!(n <= static_cast<double>(left))) return false;  // also NaN
    left -= static_cast<long long>(n);
    return true;
  }
};

// A crossing of family line k with the boundary, at distance s along it
// from the line's own origin.
struct Crossing {
  double k, s;
  bool operator<(const Crossing& o) const { return k < o.k || (k == o.k && s < o.s); }
};

// Where the family's lines cross the loops. A line k crosses an edge when
// its ends lie on opposite sides, an end on the line counting as above it:
// the side of each vertex is one expression of the vertex alone, so a vertex
// on a line is counted once or not at all by its two edges, which keeps the
// even-odd pairing right. Each edge is tried only for the lines its ends
// span, so the work follows the crossings, not lines times edges.
bool familyCrossings(const std::vector<Polyline>& loops, Point base, Point offset, Point direction,
                     double spacing, WorkBudget& budget, std::vector<Crossing>& out) {
  out.clear();
  const Point normal{-direction.y, direction.x};
  for (const Polyline& loop : loops) {
    const std::size_t n = loop.size();
    for (std::size_t i = 0; i < n; ++i) {
      const Point a = loop[i], b = loop[(i + 1) % n];
      const double da = dot(a - base, normal), db = dot(b - base, normal);
      const double ka = da / spacing, kb = db / spacing;
      const double first = std::floor(std::min(ka, kb)), last = std::ceil(std::max(ka, kb));
      const double lines = last - first + 1;  // NaN when the ends overflow
      if (!budget.spend(lines)) return false;
      // Counted in integers: far from the base point first + 1 == first.
      const long long count = static_cast<long long>(lines);
      for (long long step = 0; step < count; ++step) {
        const double k = first + static_cast<double>(step);
        const double ha = da - k * spacing, hb = db - k * spacing;
        if ((ha >= 0) == (hb >= 0)) continue;
        const double t = ha / (ha - hb);
        out.push_back({k, dot(a + t * (b - a) - (base + k * offset), direction)});
      }
    }
  }
  std::sort(out.begin(), out.end());
  return true;
}

// Appends the pen-down parts of [from, to] on the line; the dash pattern
// starts at distance 0 (the family's base point) and repeats both ways.
bool dashInterval(Point origin, Point direction, double from, double to,
                  const std::vector<double>& dashes, double patternLength,
                  WorkBudget& budget, std::vector<Segment>& out) {
  auto at = [&](double s) { return origin + s * direction; };
  if (dashes.empty() || !(patternLength > 0)) {
    out.push_back({at(from), at(to)});
    return out.size() <= MAX_HATCH_SEGMENTS;
  }
  const double first = std::floor(from / patternLength);
  const double repeats = std::floor(to / patternLength) - first + 1;
  if (!budget.spend(repeats)) return false;
  // Counted in integers: far from the base point first + 1 == first.
  const long long count = static_cast<long long>(repeats);
  for (long long step = 0; step < count; ++step) {
    double s = (first + static_cast<double>(step)) * patternLength;
    for (double element : dashes) {
      const double end = s + std::fabs(element);
      if (element == 0 && s >= from && s <= to) out.push_back({at(s), at(s)});
      if (element > 0 && end > from && s < to) out.push_back({at(std::max(s, from)), at(std::min(end, to))});
      s = end;
    }
    if (out.size() > MAX_HATCH_SEGMENTS) return false;
  }
  return true;
}

}  // namespace

std::optional<std::vector<Segment>> hatchPatternSegments(const std::vector<PatternLine>& pattern,
                                                         double patternScale,
                                                         double patternAngleDegrees,
                                                         const std::vector<Polyline>& loops) {
  constexpr double DEGREE = std::numbers::pi / 180;
  if (!std::isfinite(patternScale) || !(patternScale > 0) || !std::isfinite(patternAngleDegrees))
    return std::nullopt;
  for (const Polyline& loop : loops)
    if (!allFinite(loop)) return std::nullopt;
  std::vector<Segment> out;
  const double turn = std::fmod(patternAngleDegrees, 360.0) * DEGREE;
  std::vector<Crossing> hits;
  WorkBudget budget;
  for (const PatternLine& line : pattern) {
    if (!std::isfinite(line.angleDegrees) || !isFinite(line.basePoint) || !isFinite(line.offset))
      return std::nullopt;
    std::vector<double> dashes;
    double patternLength = 0;
    for (double d : line.dashes) {
      if (!std::isfinite(d)) return std::nullopt;
      dashes.push_back(d * patternScale);
      patternLength += std::fabs(d) * patternScale;
    }
    const double angle = std::fmod(line.angleDegrees, 360.0) * DEGREE + turn;
    const Point direction{std::cos(angle), std::sin(angle)};
    const Point normal{-direction.y, direction.x};
    const Point base = rotated(patternScale * line.basePoint, turn);
    const Point offset = rotated(patternScale * line.offset, turn);
    const double spacing = dot(offset, normal);
    if (!(std::fabs(spacing) > 1e-12 * std::max(1.0, length(offset)))) return std::nullopt;
    if (!familyCrossings(loops, base, offset, direction, spacing, budget, hits)) return std::nullopt;
    for (std::size_t i = 0; i + 1 < hits.size();) {
      std::size_t end = i;
      while (end < hits.size() && hits[end].k == hits[i].k) ++end;
      const Point origin = base + hits[i].k * offset;
      for (std::size_t j = i; j + 1 < end; j += 2)
        if (hits[j + 1].s > hits[j].s &&
            !dashInterval(origin, direction, hits[j].s, hits[j + 1].s, dashes, patternLength, budget, out))
          return std::nullopt;
      if (out.size() > MAX_HATCH_SEGMENTS) return std::nullopt;
      i = end;
    }
  }
  return out;
}

}  // namespace tavix::geometry
