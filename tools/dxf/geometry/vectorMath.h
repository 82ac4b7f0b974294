#pragma once
// Small vector helpers for the geometry files (not part of the interface).
#include <cmath>

#include "point.h"

namespace tavix::dxf::geometry {

inline Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
inline Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
inline Point operator*(double s, Point a) { return {s * a.x, s * a.y}; }
inline double dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
inline double cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }
inline double length(Point a) { return std::hypot(a.x, a.y); }
inline bool isFinite(Point a) { return std::isfinite(a.x) && std::isfinite(a.y); }
inline Point rotated(Point a, double radians) {
  const double c = std::cos(radians), s = std::sin(radians);
  return {a.x * c - a.y * s, a.x * s + a.y * c};
}
inline bool allFinite(const Polyline& line) {
  for (const Point& p : line)
    if (!isFinite(p)) return false;
  return true;
}
// Distance from p to the segment a-b (to a when a == b).
inline double distanceToSegment(Point p, Point a, Point b) {
  const Point d = b - a;
  const double dd = dot(d, d);
  double t = dd > 0 ? dot(p - a, d) / dd : 0;
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  return length(p - (a + t * d));
}

}  // namespace tavix::dxf::geometry
