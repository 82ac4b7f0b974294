#include "pageBuilder.h"

#include <algorithm>

namespace tavix::preview {
namespace {

// A polyline longer than this goes on in a new one.
constexpr size_t MAX_POLYLINE_POINTS = 1 << 16;

bool sameStyle(const StrokeStyle& a, const StrokeStyle& b) {
    return a.pen == b.pen && a.colour == b.colour && a.widthMm == b.widthMm && a.cap == b.cap &&
           a.join == b.join && a.pattern.solid == b.pattern.solid &&
           a.pattern.type == b.pattern.type && a.pattern.adaptive == b.pattern.adaptive &&
           a.pattern.period == b.pattern.period;
}

bool sameRect(const Rect& a, const Rect& b) {
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

}  // namespace

void PageBuilder::setPaper(double length, double width, Rect extent) {
    breakLine();
    page_.hasPaper = true;
    page_.paperLength = length;
    page_.paperWidth = width;
    page_.extent = extent;
}

void PageBuilder::vector(Point from, Point to, const StrokeStyle& style, const Rect& clip,
                         size_t offset) {
    lastPageEnded_ = false;
    Polyline line;
    line.points = {from, to};
    if (lineOpen_ && !page_.strokes.empty()) {
        Polyline& open = page_.strokes.back();
        if (open.points.back() == from && sameStyle(open.style, style) && sameRect(open.clip, clip)) {
            if (open.points.size() < MAX_POLYLINE_POINTS) {
                open.points.push_back(to);
                return;
            }
            // Continued in a new polyline, so that this one can leave memory;
            // a joined one repeats its last vector, so that the join is drawn.
            if (style.pattern.solid && style.join != LineJoin::None)
                line.points.insert(line.points.begin(), open.points[open.points.size() - 2]);
        }
    }
    line.offset = offset;
    line.style = style;
    line.clip = clip;
    page_.strokes.push_back(std::move(line));
    addOp(OpKind::Stroke, page_.strokes.size() - 1);
    usePen(style.pen);
    lineOpen_ = true;
}

void PageBuilder::addOp(OpKind kind, size_t index) {
    if (!page_.order.empty()) {
        DrawOp& last = page_.order.back();
        if (last.kind == kind && last.index + last.count == index) {
            ++last.count;
            return;
        }
    }
    page_.order.push_back({kind, index});
}

void PageBuilder::addFill(Polygon polygon) {
    breakLine();
    lastPageEnded_ = false;
    usePen(polygon.pen);
    page_.fills.push_back(std::move(polygon));
    addOp(OpKind::Fill, page_.fills.size() - 1);
}

RasterImage& PageBuilder::addRaster(RasterImage image) {
    breakLine();
    lastPageEnded_ = false;
    page_.rasters.push_back(std::move(image));
    addOp(OpKind::Raster, page_.rasters.size() - 1);
    return page_.rasters.back();
}

void PageBuilder::usePen(int pen) {
    auto at = std::lower_bound(page_.pensUsed.begin(), page_.pensUsed.end(), pen);
    if (at == page_.pensUsed.end() || *at != pen) page_.pensUsed.insert(at, pen);
}

void PageBuilder::pushPage() {
    auto& pages = ctx_.out().pages;
    if (pages.size() >= ctx_.limits().maxPages) {
        ctx_.warn(NO_OFFSET, "too many pages; the rest are not kept");
    } else {
        pages.push_back(std::move(page_));
    }
    Page next;
    next.strokes = StrokeStore(spool_);
    next.hasPaper = page_.hasPaper;
    next.paperLength = page_.paperLength;
    next.paperWidth = page_.paperWidth;
    next.extent = page_.extent;
    page_ = std::move(next);
    lineOpen_ = false;
}

void PageBuilder::endPage(size_t) {
    breakLine();
    if (!page_.drawn()) return;  // PG on an empty page advances nothing
    page_.ended = true;
    pushPage();
    lastPageEnded_ = true;
}

void PageBuilder::replot(int copies, size_t offset) {
    if (!lastPageEnded_ || ctx_.out().pages.empty()) {
        ctx_.warn(offset, "RP without an ended page to replot; ignored");
        return;
    }
    Page& last = ctx_.out().pages.back();
    last.replots = std::min(last.replots + copies, 1 << 20);
}

void PageBuilder::finish() {
    breakLine();
    if (page_.drawn()) pushPage();
}

}  // namespace tavix::preview
