// A plane affine map, for block insertion and placement on the paper:
// x' = a x + c y + e, y' = b x + d y + f.
#pragma once

#include <algorithm>
#include <cmath>

#include "point.h"

namespace tavix::geometry {

struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    Point apply(Point p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
    // This map after `inner`: (this * inner)(p) = this(inner(p)).
    Affine after(const Affine& inner) const {
        return {a * inner.a + c * inner.b, b * inner.a + d * inner.b,
                a * inner.c + c * inner.d, b * inner.c + d * inner.d,
                a * inner.e + c * inner.f + e, b * inner.e + d * inner.f + f};
    }
    // The largest stretch of a length (the larger singular value), so a
    // chord tolerance on the result can be turned into one before the map.
    double stretch() const {
        double p = a * a + b * b + c * c + d * d;
        double q = a * d - b * c;
        double s = p * p - 4 * q * q;
        return std::sqrt((p + std::sqrt(std::max(0.0, s))) / 2);
    }
    double determinant() const { return a * d - b * c; }

    static Affine translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Affine scaling(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static Affine rotation(double degrees) {
        double r = degrees * M_PI / 180.0;
        double cs = std::cos(r), sn = std::sin(r);
        // Exact quarter turns keep axis-parallel drawings exact.
        if (std::fmod(degrees, 90.0) == 0) {
            cs = std::round(cs);
            sn = std::round(sn);
        }
        return {cs, sn, -sn, cs, 0, 0};
    }
};

}  // namespace tavix::geometry
