#include "linetype.h"

#include <cmath>

#include "vectorMath.h"

namespace tavix::geometry {

std::vector<Polyline> applyLinetype(const Polyline& polyline, const std::vector<double>& pattern,
                                    double scale) {
  if (!allFinite(polyline) || polyline.empty()) return {};
  double total = 0, lineLength = 0;
  bool finitePattern = std::isfinite(scale) && scale > 0;
  for (double element : pattern) {
    finitePattern = finitePattern && std::isfinite(element);
    total += std::fabs(element) * scale;
  }
  for (std::size_t i = 1; i < polyline.size(); ++i)
    lineLength += length(polyline[i] - polyline[i - 1]);
  // A pattern that can not be laid out draws the line continuous, and so
  // does a line shorter than one repeat of the pattern, as the CAD host
  // draws it (a short line would otherwise show as a lone dash or nothing).
  if (!finitePattern || pattern.empty() || !(total > 0) || !std::isfinite(total) || lineLength < total ||
      !std::isfinite(lineLength) || lineLength / total * pattern.size() > MAX_DASHES_PER_POLYLINE)
    return {polyline};

  std::vector<Polyline> dashes;
  std::size_t element = 0;
  double left = std::fabs(pattern[0]) * scale;  // of the current element
  bool penDown = pattern[0] > 0;
  if (pattern[0] == 0) dashes.push_back({polyline[0], polyline[0]});
  if (penDown) dashes.push_back({polyline[0]});
  for (std::size_t i = 1; i < polyline.size(); ++i) {
    const Point a = polyline[i - 1], b = polyline[i];
    const double segment = length(b - a);
    double along = 0;  // distance walked on this segment
    while (segment - along > left) {
      along += left;
      const Point at = a + (along / segment) * (b - a);
      if (penDown) dashes.back().push_back(at);
      element = (element + 1) % pattern.size();
      left = std::fabs(pattern[element]) * scale;
      penDown = pattern[element] > 0;
      if (pattern[element] == 0) dashes.push_back({at, at});
      if (penDown) dashes.push_back({at});
    }
    left -= segment - along;
    if (penDown) dashes.back().push_back(b);
  }
  // A dash begun exactly at the end has no length: drop it.
  if (!dashes.empty() && dashes.back().size() == 1) dashes.pop_back();
  return dashes;
}

}  // namespace tavix::geometry
