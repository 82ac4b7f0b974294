#include "vectorOutput.h"

#include <charconv>
#include <cmath>

namespace tavix::preview {
namespace {

bool sameBox(const PixelBox& a, const PixelBox& b) {
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

// True when b-c carries a-b on in the same direction (within a hundredth
// of a pixel of the line), so that a-c draws both.
bool carriesOn(Px a, Px b, Px c) {
    double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
    double lu = std::hypot(ux, uy), lv = std::hypot(vx, vy);
    if (lu == 0 || lv == 0) return false;
    if (ux * vx + uy * vy <= 0) return false;
    double cross = std::fabs(ux * vy - uy * vx);
    return cross / lu < 0.01 && cross / lv < 0.01;
}

}  // namespace

std::string VectorOutput::number(double v) {
    if (!std::isfinite(v)) v = 0;
    if (std::fabs(v) < 0.005) v = 0;
    char text[64];
    auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 2);
    std::string s(text, r.ptr);
    // 12.50 -> 12.5, 3.00 -> 3
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string VectorOutput::hexColour(Rgb c) {
    static const char digits[] = "0123456789abcdef";
    std::string s = "#";
    for (uint8_t v : {c.r, c.g, c.b}) {
        s += digits[v >> 4];
        s += digits[v & 15];
    }
    return s;
}

void VectorOutput::flushSegment() {
    if (!pending_) return;
    if (!placed_ || at_.x != from_.x || at_.y != from_.y) moveTo(from_);
    lineTo(to_);
    at_ = to_;
    placed_ = true;
    pending_ = false;
}

void VectorOutput::stroke(const VectorPen& pen, const PixelBox& clip, Px from, Px to) {
    if (!open_ || !(pen == pen_) || !sameBox(clip, clip_)) {
        flushSegment();
        if (open_) endStrokes();
        beginStrokes(pen, clip);
        open_ = true;
        pen_ = pen;
        clip_ = clip;
        placed_ = false;
    }
    // Round and square ends of a lengthened vector fall where the last
    // piece's would; butt ends too. Joins do not arise: the pieces are
    // separate vectors.
    if (pending_ && to_.x == from.x && to_.y == from.y && carriesOn(from_, to_, to)) {
        to_ = to;
        return;
    }
    flushSegment();
    pending_ = true;
    from_ = from;
    to_ = to;
}

void VectorOutput::polyline(const VectorPen& pen, const PixelBox& clip, const std::vector<Px>& points) {
    if (points.empty()) return;
    // A joined polyline is a subpath of the pen's path: joins stay within
    // a subpath, so polylines of one pen may share the path.
    flushSegment();
    if (!open_ || !(pen == pen_) || !sameBox(clip, clip_)) {
        if (open_) endStrokes();
        beginStrokes(pen, clip);
        open_ = true;
        pen_ = pen;
        clip_ = clip;
    }
    moveTo(points[0]);
    Px last = points[0];
    for (size_t i = 1; i < points.size(); ++i) {
        // Points on the way of a straight run add nothing.
        if (i + 1 < points.size() && carriesOn(last, points[i], points[i + 1])) continue;
        lineTo(points[i]);
        last = points[i];
    }
    if (points.size() == 1) lineTo(points[0]);
    // The next piece starts a subpath of its own, even where this one ends:
    // a join there would not be the driver's.
    placed_ = false;
}

void VectorOutput::fill(Rgb colour, const PixelBox& clip, const std::vector<std::vector<Px>>& rings, bool evenOdd) {
    flushSegment();
    if (open_) endStrokes();
    open_ = false;
    placed_ = false;
    if (!rings.empty()) fillRings(colour, &clip, rings, evenOdd);
}

void VectorOutput::rectangle(Rgb colour, double x, double y, double w, double h) {
    flushSegment();
    if (open_) endStrokes();
    open_ = false;
    placed_ = false;
    fillRings(colour, nullptr, {{{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}}, false);
}

void VectorOutput::dot(Rgb colour, const PixelBox& clip, Px c, double diameter, bool round) {
    flushSegment();
    if (open_) endStrokes();
    open_ = false;
    placed_ = false;
    double r = diameter / 2;
    if (round) circle(colour, clip, c, r);
    else fillRings(colour, &clip, {{{c.x - r, c.y - r}, {c.x + r, c.y - r}, {c.x + r, c.y + r}, {c.x - r, c.y + r}}}, false);
}

void VectorOutput::image(const PixelBox& clip, const uint8_t* argb, int width, int height, int stride,
                         const ImagePlacement& place, bool smooth) {
    flushSegment();
    if (open_) endStrokes();
    open_ = false;
    placed_ = false;
    placeImage(clip, argb, width, height, stride, place, smooth);
}

void VectorOutput::panel(const PanelText& text) {
    flushSegment();
    if (open_) endStrokes();
    open_ = false;
    placed_ = false;
    writePanel(text);
}

bool VectorOutput::finish(std::string& error) {
    flushSegment();
    if (open_) endStrokes();
    open_ = false;
    writeEnd();
    if (file_.close(error)) return true;
    file_.discard();
    return false;
}

}  // namespace tavix::preview
