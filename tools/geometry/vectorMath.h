#pragma once
// Small vector helpers for the geometry files (not part of the interface).
#include <cmath>

#include "point.h"

namespace tavix::geometry {

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
// Calls emit(cos a, sin a) for a = start + sweep * i / steps, i = 0..steps,
// by turning a unit vector one step at a time: one sine and cosine for the
// whole curve instead of one per point. The drift over MAX_CHORDS_PER_CURVE
// steps stays near 1e-12, far below any tolerance; the last point is exact.
template <typename Emit>
void turnSteps(double start, double sweep, int steps, Emit emit) {
  const double stepCos = std::cos(sweep / steps), stepSin = std::sin(sweep / steps);
  double c = std::cos(start), s = std::sin(start);
  for (int i = 0; i < steps; ++i) {
    emit(c, s);
    const double nextC = c * stepCos - s * stepSin;
    s = c * stepSin + s * stepCos;
    c = nextC;
  }
  emit(std::cos(start + sweep), std::sin(start + sweep));
}

// Distance from p to the segment a-b (to a when a == b).
inline double distanceToSegment(Point p, Point a, Point b) {
  const Point d = b - a;
  const double dd = dot(d, d);
  double t = dd > 0 ? dot(p - a, d) / dd : 0;
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  return length(p - (a + t * d));
}

}  // namespace tavix::geometry
