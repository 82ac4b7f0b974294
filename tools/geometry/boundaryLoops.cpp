#include "boundaryLoops.h"

#include <algorithm>
#include <cmath>

#include "vectorMath.h"

namespace tavix::geometry {
namespace {

bool inside(Point p, const Polyline& loop) {
  bool odd = false;
  const std::size_t n = loop.size();
  for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
    const Point a = loop[i], b = loop[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
      odd = !odd;
  }
  return odd;
}

struct Extent {
  Point low{INFINITY, INFINITY}, high{-INFINITY, -INFINITY};
  bool holds(Point p) const { return p.x >= low.x && p.x <= high.x && p.y >= low.y && p.y <= high.y; }
};

Extent extentOf(const Polyline& loop) {
  Extent e;
  for (const Point& p : loop) {
    e.low = {std::min(e.low.x, p.x), std::min(e.low.y, p.y)};
    e.high = {std::max(e.high.x, p.x), std::max(e.high.y, p.y)};
  }
  return e;
}

double area(const Polyline& loop) {
  double twice = 0;
  for (std::size_t i = 0, j = loop.size() - 1; i < loop.size(); j = i++)
    twice += cross(loop[j], loop[i]);
  return std::fabs(twice) / 2;
}

}  // namespace

std::vector<FillRegion> nestBoundaryLoops(const std::vector<Polyline>& loops) {
  std::vector<int> usable;
  std::vector<double> areas(loops.size(), 0);
  std::vector<Extent> extents(loops.size());
  for (std::size_t i = 0; i < loops.size(); ++i)
    if (loops[i].size() >= 3 && allFinite(loops[i])) {
      usable.push_back(static_cast<int>(i));
      areas[i] = area(loops[i]);
      extents[i] = extentOf(loops[i]);
    }
  long long work = 0;
  // For each loop: how many loops hold it, and the smallest that does. A
  // loop is probed at the middle of its first edge, away from its corners.
  std::vector<int> depth(loops.size(), 0), parent(loops.size(), -1);
  for (int i : usable) {
    const Point probe = 0.5 * (loops[i][0] + loops[i][1]);
    for (int j : usable) {
      if (++work > MAX_NESTING_WORK) return {};
      if (i == j || areas[j] < areas[i] || !extents[j].holds(probe)) continue;
      work += static_cast<long long>(loops[j].size());
      if (!inside(probe, loops[j])) continue;
      ++depth[i];
      if (parent[i] < 0 || areas[j] < areas[parent[i]]) parent[i] = j;
    }
  }
  std::vector<FillRegion> regions;
  std::vector<int> regionOf(loops.size(), -1);
  for (int i : usable)
    if (depth[i] % 2 == 0) {
      regionOf[i] = static_cast<int>(regions.size());
      regions.push_back({i, {}});
    }
  for (int i : usable)
    if (depth[i] % 2 == 1 && parent[i] >= 0 && regionOf[parent[i]] >= 0)
      regions[regionOf[parent[i]]].holes.push_back(i);
  return regions;
}

}  // namespace tavix::geometry
