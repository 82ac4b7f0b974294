#include "strokeRaster.h"

#include <algorithm>
#include <cmath>

namespace tavix::preview {
namespace {

constexpr int DISC_SIDES = 16;

}  // namespace

StrokeRaster::StrokeRaster(cairo_surface_t* image, bool antialias) : image_(image), antialias_(antialias) {
    width_ = cairo_image_surface_get_width(image);
    height_ = cairo_image_surface_get_height(image);
    stride_ = cairo_image_surface_get_stride(image) / 4;
    cover_.assign(static_cast<size_t>(std::max(width_, 0)) + 1, 0.0f);
}

StrokeRaster::~StrokeRaster() { flush(); }

void StrokeRaster::use(Rgb colour, const PixelBox& clip) {
    r_ = colour.r;
    g_ = colour.g;
    b_ = colour.b;
    clipX0_ = std::clamp(static_cast<int>(std::lround(clip.x0)), 0, width_);
    clipX1_ = std::clamp(static_cast<int>(std::lround(clip.x1)), 0, width_);
    clipY0_ = std::clamp(static_cast<int>(std::lround(clip.y0)), 0, height_);
    clipY1_ = std::clamp(static_cast<int>(std::lround(clip.y1)), 0, height_);
}

void StrokeRaster::flush() {
    if (!writing_) return;
    cairo_surface_mark_dirty(image_);
    writing_ = false;
}

void StrokeRaster::segment(Px a, Px b, double width, PixelCap cap) {
    double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    if (!(length > 0)) return dot(a, width, cap == PixelCap::Round);
    double ux = dx / length, uy = dy / length, h = width / 2;
    if (cap == PixelCap::Square) {
        a = {a.x - ux * h, a.y - uy * h};
        b = {b.x + ux * h, b.y + uy * h};
    }
    double nx = -uy * h, ny = ux * h;
    fillConvex({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}});
    if (cap == PixelCap::Round) {
        fillDisc(a, h);
        fillDisc(b, h);
    }
}

void StrokeRaster::dot(Px c, double width, bool round) {
    double h = width / 2;
    if (round) return fillDisc(c, h);
    fillConvex({{c.x - h, c.y - h}, {c.x + h, c.y - h}, {c.x + h, c.y + h}, {c.x - h, c.y + h}});
}

void StrokeRaster::fillDisc(Px c, double radius) {
    if (!(radius > 0)) return;
    Px corners[DISC_SIDES];
    for (int k = 0; k < DISC_SIDES; ++k) {
        double angle = 2 * M_PI * k / DISC_SIDES;
        corners[k] = {c.x + radius * std::cos(angle), c.y + radius * std::sin(angle)};
    }
    fillConvex(corners, DISC_SIDES);
}

void StrokeRaster::fillConvex(std::initializer_list<Px> corners) { fillConvex(corners.begin(), corners.size()); }

namespace {

// The two sides of a convex polygon walked down from its top vertex, one
// forwards and one backwards through the corners: at any height each side
// is one edge, so the polygon's interval there costs two steps.
class ConvexSides {
public:
    ConvexSides(const Px* p, size_t n) : p_(p), n_(n) {
        size_t top = 0;
        for (size_t i = 1; i < n; ++i)
            if (p[i].y < p[top].y) top = i;
        a_.from = b_.from = top;
        a_.to = next(top);
        b_.to = previous(top);
        a_.slope = slope(a_);
        b_.slope = slope(b_);
    }
    // The interval at height y, false when the polygon does not reach it.
    bool at(double y, double& from, double& to) {
        if (!advance(a_, y, true) || !advance(b_, y, false)) return false;
        double xa = xOf(a_, y), xb = xOf(b_, y);
        from = std::min(xa, xb);
        to = std::max(xa, xb);
        return true;
    }

    // The two sides' edges at height y.
    bool edgesAt(double y, ConvexLine& a, ConvexLine& b) {
        if (!advance(a_, y, true) || !advance(b_, y, false)) return false;
        a = {p_[a_.from].x, p_[a_.from].y, a_.slope};
        b = {p_[b_.from].x, p_[b_.from].y, b_.slope};
        return true;
    }
    // The next corner below y on either side (bottom when none).
    double nextCorner(double y, double bottom) const {
        double c = bottom;
        for (size_t i = 0; i < n_; ++i)
            if (p_[i].y > y && p_[i].y < c) c = p_[i].y;
        return c;
    }

private:
    struct Side {
        size_t from, to;
        size_t steps = 0;
        double slope = 0;
    };
    size_t next(size_t i) const { return i + 1 == n_ ? 0 : i + 1; }
    size_t previous(size_t i) const { return i == 0 ? n_ - 1 : i - 1; }
    bool advance(Side& s, double y, bool forwards) {
        while (p_[s.to].y <= y) {
            if (++s.steps >= n_) return false;
            s.from = s.to;
            s.to = forwards ? next(s.to) : previous(s.to);
            if (p_[s.to].y < p_[s.from].y) return false;  // past the bottom
            s.slope = slope(s);
        }
        return p_[s.from].y <= y;
    }
    double slope(const Side& s) const {
        const Px& a = p_[s.from];
        const Px& b = p_[s.to];
        return b.y > a.y ? (b.x - a.x) / (b.y - a.y) : 0;
    }
    double xOf(const Side& s, double y) const { return p_[s.from].x + (y - p_[s.from].y) * s.slope; }

    const Px* p_;
    size_t n_;
    Side a_, b_;
};

}  // namespace

// Row by row from the top: without antialiasing the pixels whose centres
// are inside take the colour at once; with it, each of the row's sampled
// heights adds the covered part of each pixel's width to the row's
// coverage, which is then laid over the picture.
void StrokeRaster::fillConvex(const Px* p, size_t n) {
    double top = p[0].y, bottom = p[0].y, left = p[0].x, right = p[0].x;
    for (size_t i = 1; i < n; ++i) {
        top = std::min(top, p[i].y);
        bottom = std::max(bottom, p[i].y);
        left = std::min(left, p[i].x);
        right = std::max(right, p[i].x);
    }
    if (!(bottom > top) || !(right > left)) return;
    int y0 = std::max(clipY0_, static_cast<int>(std::floor(top)));
    int y1 = std::min(clipY1_, static_cast<int>(std::ceil(bottom)));
    if (y0 >= y1 || right < clipX0_ || left > clipX1_ || !pixelsReady()) return;
    ConvexSides sides(p, n);
    uint32_t solid = 0xFF000000u | r_ << 16 | g_ << 8 | b_;
    double from, to;
    if (!antialias_) {
        for (int y = y0; y < y1; ++y) {
            if (!sides.at(y + 0.5, from, to)) continue;
            int first = std::max(clipX0_, static_cast<int>(std::ceil(from - 0.5)));
            int end = std::min(clipX1_, static_cast<int>(std::ceil(to - 0.5)));
            uint32_t* row = pixels_ + static_cast<size_t>(y) * stride_;
            for (int x = first; x < end; ++x) row[x] = solid;
        }
        return;
    }
    // Antialiased: the exact area of each pixel inside the polygon. A row is
    // cut at the corners inside it into slabs where both sides are straight.
    for (int y = y0; y < y1; ++y) {
        touchedX0_ = clipX1_;
        touchedX1_ = clipX0_;
        double slabTop = std::max<double>(y, top);
        double rowBottom = std::min<double>(y + 1, bottom);
        while (slabTop < rowBottom) {
            double slabBottom = std::min(rowBottom, sides.nextCorner(slabTop, bottom));
            ConvexLine a, b;
            if (slabBottom > slabTop && sides.edgesAt((slabTop + slabBottom) / 2, a, b))
                coverSlab(a, b, slabTop, slabBottom);
            slabTop = slabBottom;
        }
        paintRow(y);
    }
}

namespace {

// How much of a unit-wide column lies left of a straight side that runs
// from u0 to u1 (column units) down a slab, averaged over the slab: the
// integral of clamp(u, 0, 1) over the side's run, divided by that run.
double ramp(double u) { return u <= 0 ? 0 : u >= 1 ? u - 0.5 : u * u / 2; }

struct SideShare {
    double u0, u1, inverseRun;  // inverseRun 0: a vertical side
    SideShare(double a, double b) : u0(a), u1(b), inverseRun(std::fabs(b - a) < 1e-9 ? 0 : 1 / (b - a)) {}
    double column(int k) const {
        if (inverseRun == 0) return std::clamp(u0 - k, 0.0, 1.0);
        return (ramp(u1 - k) - ramp(u0 - k)) * inverseRun;
    }
};

}  // namespace

// Adds to the row's coverage the area of each pixel between two straight
// sides from height `top` to `bottom` (within one pixel row).
void StrokeRaster::coverSlab(const ConvexLine& a, const ConvexLine& b, double top, double bottom) {
    double height = bottom - top;
    double la = a.at(top), lb = a.at(bottom), ra = b.at(top), rb = b.at(bottom);
    if (la + lb > ra + rb) {
        std::swap(la, ra);
        std::swap(lb, rb);
    }
    int first = std::max(clipX0_, static_cast<int>(std::floor(std::min(la, lb))));
    int end = std::min(clipX1_, static_cast<int>(std::ceil(std::max(ra, rb))));
    if (first >= end) return;
    // Columns wholly between the sides.
    int fullFrom = static_cast<int>(std::ceil(std::max(la, lb))), fullTo = static_cast<int>(std::floor(std::min(ra, rb)));
    float weight = static_cast<float>(height * 256);
    SideShare left(la, lb), right(ra, rb);
    for (int k = first; k < end; ++k) {
        double share = k >= fullFrom && k + 1 <= fullTo ? 1.0 : right.column(k) - left.column(k);
        if (share > 0) cover_[k] += static_cast<float>(share) * weight;
    }
    touchedX0_ = std::min(touchedX0_, first);
    touchedX1_ = std::max(touchedX1_, end);
}

bool StrokeRaster::pixelsReady() {
    if (writing_) return pixels_ != nullptr;
    cairo_surface_flush(image_);
    pixels_ = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(image_));
    writing_ = true;
    return pixels_ != nullptr;
}

// The pen colour over the opaque picture by each pixel's coverage (0 to
// 256); the coverage is cleared for the next row.
void StrokeRaster::paintRow(int y) {
    uint32_t* row = pixels_ + static_cast<size_t>(y) * stride_;
    uint32_t solid = 0xFF000000u | r_ << 16 | g_ << 8 | b_;
    for (int x = touchedX0_; x < touchedX1_; ++x) {
        uint32_t c = static_cast<uint32_t>(std::min(cover_[x], 256.0f) + 0.5f);
        cover_[x] = 0;
        if (c == 0) continue;
        if (c == 256) {
            row[x] = solid;
            continue;
        }
        uint32_t d = row[x], keep = 256 - c;
        uint32_t r = (r_ * c + (d >> 16 & 255) * keep + 128) >> 8;
        uint32_t g = (g_ * c + (d >> 8 & 255) * keep + 128) >> 8;
        uint32_t b = (b_ * c + (d & 255) * keep + 128) >> 8;
        row[x] = 0xFF000000u | r << 16 | g << 8 | b;
    }
}

}  // namespace tavix::preview
