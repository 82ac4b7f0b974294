// Pixel indices from coordinates already within a picture's columns or
// rows (about -1 to 1e6), where truncation is cheap and exact; the
// library's floor and ceil are calls on the baseline instruction set.
#pragma once

#include <algorithm>

namespace tavix::preview {

inline int floorInt(double v) {
    int t = static_cast<int>(v);
    return t - (v < t);
}

inline int ceilInt(double v) {
    int t = static_cast<int>(v);
    return t + (t < v);
}

// Within [lo, hi]; NaN goes to hi.
inline double within(double v, double lo, double hi) { return std::max(lo, std::min(hi, v)); }

}  // namespace tavix::preview
