#include "convexTrapezoids.h"

#include <algorithm>
#include <cmath>

namespace tavix::preview {
namespace {

struct Side {
    double x, slope;  // x at the slab's top
};

// The side from a down to b, at height y.
Side sideAt(Px a, Px b, double y) {
    double slope = (b.x - a.x) / (b.y - a.y);
    if (!std::isfinite(slope)) slope = 0;
    return {a.x + (y - a.y) * slope, slope};
}

// One slab between the clip's columns: cut where a side crosses them;
// outside, a side becomes the clip's edge.
void addSlab(double top, double bottom, Side l, Side r, double left, double right, bool inside,
             std::vector<RasterTrapezoid>& out) {
    if (inside) {
        out.push_back({top, bottom, l.x, l.slope, r.x, r.slope});
        return;
    }
    double cuts[6] = {top};
    size_t count = 1;
    for (const Side& s : {l, r}) {
        double end = s.x + (bottom - top) * s.slope;
        for (double column : {left, right})
            if ((s.x - column) * (end - column) < 0) {
                double y = top + (column - s.x) / s.slope;
                if (y > top && y < bottom) cuts[count++] = y;
            }
    }
    for (size_t i = 2; i < count; ++i)  // at most four cuts
        for (size_t j = i; j > 1 && cuts[j] < cuts[j - 1]; --j) std::swap(cuts[j], cuts[j - 1]);
    cuts[count++] = bottom;
    for (size_t i = 0; i + 1 < count; ++i) {
        double from = cuts[i], to = cuts[i + 1];
        if (!(to > from)) continue;
        double middle = (from + to) / 2;
        auto within = [&](Side s) -> Side {
            double x = s.x + (middle - top) * s.slope;
            if (x <= left) return {left, 0};
            if (x >= right) return {right, 0};
            return {s.x + (from - top) * s.slope, s.slope};
        };
        Side a = within(l), b = within(r);
        if (a.x == b.x && a.slope == 0 && b.slope == 0) continue;  // wholly outside
        out.push_back({from, to, a.x, a.slope, b.x, b.slope});
    }
}

// The two chains of the outline are walked down from the top corner, one
// forwards and one backwards; each slab lies between the next corners
// below on either chain. N is the corner count when known at compile time
// (a stroke's quadrilateral, the most common shape by far: the walk then
// has no division by a variable count), else 0.
template <size_t N, bool Inside>
void walk(const Px* p, size_t n, size_t top, double left, double right, std::vector<RasterTrapezoid>& out) {
    if constexpr (N != 0) n = N;
    auto next = [n](size_t i) { return i + 1 == n ? 0 : i + 1; };
    auto previous = [n](size_t i) { return i == 0 ? n - 1 : i - 1; };
    size_t a = top, b = top;  // the upper corners of each chain's current side
    double y = p[top].y;
    for (size_t steps = 0; steps <= 2 * n; ++steps) {
        while (p[next(a)].y <= y && next(a) != b) {
            if (p[next(a)].y < p[a].y) return;  // past the bottom
            a = next(a);
        }
        while (p[previous(b)].y <= y && previous(b) != a) {
            if (p[previous(b)].y < p[b].y) return;
            b = previous(b);
        }
        Px aEnd = p[next(a)], bEnd = p[previous(b)];
        if (!(aEnd.y > y) || !(bEnd.y > y)) return;
        double bottom = std::min(aEnd.y, bEnd.y);
        Side sa = sideAt(p[a], aEnd, y), sb = sideAt(p[b], bEnd, y);
        double middle = (y + bottom) / 2;
        if (sa.x + (middle - y) * sa.slope > sb.x + (middle - y) * sb.slope) std::swap(sa, sb);
        if constexpr (Inside) out.push_back({y, bottom, sa.x, sa.slope, sb.x, sb.slope});
        else addSlab(y, bottom, sa, sb, left, right, false, out);
        y = bottom;
    }
}

// The walk above, written out for the usual quadrilateral (a stroke's
// body): one top corner, one bottom corner opposite it and the other two
// at different heights between, its columns inside the clip. Slab for slab
// the same sides at the same heights, so the same trapezoids; false (and
// nothing added) for any other quadrilateral.
bool cutQuadrilateral(const Px* p, size_t top, std::vector<RasterTrapezoid>& out) {
    const Px &t = p[top], &r = p[(top + 1) & 3], &b = p[(top + 2) & 3], &l = p[(top + 3) & 3];
    if (!(t.y < r.y && t.y < l.y && r.y != l.y && r.y < b.y && l.y < b.y)) return false;
    auto slab = [&out](double y, double bottom, Side sa, Side sb) {
        double middle = (y + bottom) / 2;
        if (sa.x + (middle - y) * sa.slope > sb.x + (middle - y) * sb.slope) std::swap(sa, sb);
        out.push_back({y, bottom, sa.x, sa.slope, sb.x, sb.slope});
    };
    slab(t.y, std::min(r.y, l.y), sideAt(t, r, t.y), sideAt(t, l, t.y));
    if (r.y < l.y) {
        slab(r.y, l.y, sideAt(r, b, r.y), sideAt(t, l, r.y));
        slab(l.y, b.y, sideAt(r, b, l.y), sideAt(l, b, l.y));
    } else {
        slab(l.y, r.y, sideAt(t, r, l.y), sideAt(l, b, l.y));
        slab(r.y, b.y, sideAt(r, b, r.y), sideAt(l, b, r.y));
    }
    return true;
}

}  // namespace

void cutConvex(const Px* p, size_t n, double left, double right, std::vector<RasterTrapezoid>& out) {
    if (n < 3) return;
    size_t top = 0;
    double least = p[0].x, most = p[0].x;
    for (size_t i = 1; i < n; ++i) {
        if (p[i].y < p[top].y) top = i;
        least = std::min(least, p[i].x);
        most = std::max(most, p[i].x);
    }
    bool inside = least >= left && most <= right;  // nothing to cut at the clip
    if (inside && n == 4 && cutQuadrilateral(p, top, out)) return;
    if (inside && n == 4) walk<4, true>(p, n, top, left, right, out);
    else if (inside) walk<0, true>(p, n, top, left, right, out);
    else walk<0, false>(p, n, top, left, right, out);
}

}  // namespace tavix::preview
