#include "widthOutline.h"

#include <cmath>

#include "arc.h"
#include "vectorMath.h"

namespace tavix::geometry {

std::optional<Polyline> widthOutline(Point from, Point to, double bulge, double startWidth, double endWidth,
                                     double tolerance) {
  if (!isFinite(from) || !isFinite(to) || !std::isfinite(bulge) || !std::isfinite(startWidth) ||
      !std::isfinite(endWidth) || startWidth < 0 || endWidth < 0)
    return Polyline{};
  if (length(to - from) == 0) return std::nullopt;
  // The middle line: the arc's chords, or the straight piece.
  Polyline middle{from, to};
  if (bulge != 0) {
    auto arc = flattenBulge(from, to, bulge, tolerance);
    if (!arc) return Polyline{};
    middle = std::move(*arc);
  }
  const std::size_t n = middle.size();
  std::vector<double> along(n, 0.0);
  for (std::size_t i = 1; i < n; ++i) along[i] = along[i - 1] + length(middle[i] - middle[i - 1]);
  const double total = along[n - 1];
  if (!(total > 0)) return std::nullopt;
  Polyline left, right;
  for (std::size_t i = 0; i < n; ++i) {
    // The normal at a point: across the chords either side of it (on an
    // arc, the radius there).
    const Point before = middle[i > 0 ? i - 1 : 0], after = middle[i + 1 < n ? i + 1 : n - 1];
    const Point d = after - before;
    const double l = length(d);
    if (!(l > 0)) return Polyline{};
    const Point normal{-d.y / l, d.x / l};
    const double half = (startWidth + (endWidth - startWidth) * along[i] / total) / 2;
    left.push_back(middle[i] + half * normal);
    right.push_back(middle[i] - half * normal);
  }
  Polyline out = std::move(left);
  out.insert(out.end(), right.rbegin(), right.rend());
  if (!allFinite(out)) return Polyline{};
  return out;
}

}  // namespace tavix::geometry
