// The area a page may mark: the intersection of the clip paths in force,
// and filled areas under either PDF fill rule turned into loops that the
// driver's even-odd fill draws alike. Polygon clipping is Clipper's
// (Debian libpolyclipping), on paper coordinates fixed to 1/1024 unit.
#pragma once

#include <memory>
#include <vector>

#include "geometry/point.h"

namespace tavix::pdf {

enum class FillRule { NonZero, EvenOdd };

using Loops = std::vector<geometry::Polyline>;

class ClipRegion {
public:
    ClipRegion();  // no clip: everything shows
    ClipRegion(const ClipRegion&);
    ClipRegion& operator=(const ClipRegion&);
    ~ClipRegion();

    bool unlimited() const;
    // The region narrowed to what `loops` enclose under `rule`.
    void intersect(const Loops& loops, FillRule rule);
    // The area `loops` enclose under `rule`, inside the region, as loops
    // that overlap nowhere (holes run the other way): even-odd and
    // non-zero fills of them agree.
    Loops fillArea(const Loops& loops, FillRule rule) const;
    // True when the rectangle lies wholly inside the region.
    bool holds(double x0, double y0, double x1, double y1) const;
    // The parts of an open chain inside the region.
    std::vector<geometry::Polyline> clipLine(const geometry::Polyline& line) const;

private:
    struct Paths;
    std::unique_ptr<Paths> paths;  // null: no clip
};

}  // namespace tavix::pdf
