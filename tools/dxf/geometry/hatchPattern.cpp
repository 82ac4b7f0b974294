#include "hatchPattern.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "vectorMath.h"

namespace tavix::dxf::geometry {
namespace {

struct Bounds {
  Point low{INFINITY, INFINITY}, high{-INFINITY, -INFINITY};
};

// Where the line through `origin` along `direction` crosses the loops, as
// distances along it, sorted. An edge counts when its ends lie on opposite
// sides, one end on the line counting as above: every vertex on the line is
// then counted once or not at all, which keeps the even-odd pairing right.
void crossings(const std::vector<Polyline>& loops, Point origin, Point direction,
               std::vector<double>& out) {
  out.clear();
  const Point normal{-direction.y, direction.x};
  for (const Polyline& loop : loops) {
    const std::size_t n = loop.size();
    for (std::size_t i = 0; i < n; ++i) {
      const Point a = loop[i], b = loop[(i + 1) % n];
      const double ha = dot(a - origin, normal), hb = dot(b - origin, normal);
      if ((ha >= 0) == (hb >= 0)) continue;
      const double t = ha / (ha - hb);
      out.push_back(dot(a + t * (b - a) - origin, direction));
    }
  }
  std::sort(out.begin(), out.end());
}

// Appends the pen-down parts of [from, to] on the line; the dash pattern
// starts at distance 0 (the family's base point) and repeats both ways.
bool dashInterval(Point origin, Point direction, double from, double to,
                  const std::vector<double>& dashes, double patternLength,
                  std::vector<Segment>& out) {
  auto at = [&](double s) { return origin + s * direction; };
  if (dashes.empty() || !(patternLength > 0)) {
    out.push_back({at(from), at(to)});
    return out.size() <= MAX_HATCH_SEGMENTS;
  }
  const double first = std::floor(from / patternLength);
  if ((to - from) / patternLength > static_cast<double>(MAX_HATCH_SEGMENTS)) return false;
  for (double repeat = first; repeat * patternLength <= to; ++repeat) {
    double s = repeat * patternLength;
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
  Bounds bounds;
  for (const Polyline& loop : loops)
    for (const Point& p : loop) {
      if (!isFinite(p)) return std::nullopt;
      bounds.low = {std::min(bounds.low.x, p.x), std::min(bounds.low.y, p.y)};
      bounds.high = {std::max(bounds.high.x, p.x), std::max(bounds.high.y, p.y)};
    }
  std::vector<Segment> out;
  if (!(bounds.low.x <= bounds.high.x)) return out;
  const double turn = std::fmod(patternAngleDegrees, 360.0) * DEGREE;
  const Point corners[] = {bounds.low, {bounds.high.x, bounds.low.y}, bounds.high,
                           {bounds.low.x, bounds.high.y}};
  std::vector<double> hits;
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
    // The family members k whose line meets the bounding box.
    double kLow = INFINITY, kHigh = -INFINITY;
    for (const Point& c : corners) {
      const double k = dot(c - base, normal) / spacing;
      kLow = std::min(kLow, k);
      kHigh = std::max(kHigh, k);
    }
    if (!std::isfinite(kLow) || !std::isfinite(kHigh) ||
        kHigh - kLow > static_cast<double>(MAX_HATCH_SEGMENTS))
      return std::nullopt;
    for (double k = std::ceil(kLow); k <= kHigh; ++k) {
      const Point origin = base + k * offset;
      crossings(loops, origin, direction, hits);
      for (std::size_t i = 0; i + 1 < hits.size(); i += 2)
        if (hits[i + 1] > hits[i] &&
            !dashInterval(origin, direction, hits[i], hits[i + 1], dashes, patternLength, out))
          return std::nullopt;
      if (out.size() > MAX_HATCH_SEGMENTS) return std::nullopt;
    }
  }
  return out;
}

}  // namespace tavix::dxf::geometry
