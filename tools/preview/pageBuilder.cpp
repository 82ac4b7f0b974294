#include "pageBuilder.h"

#include <algorithm>

namespace tavix::preview {
namespace {

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
    if (lineOpen_ && !page_.strokes.empty()) {
        Polyline& line = page_.strokes.back();
        if (line.points.back() == from && sameStyle(line.style, style) && sameRect(line.clip, clip)) {
            line.points.push_back(to);
            return;
        }
    }
    Polyline line;
    line.offset = offset;
    line.points = {from, to};
    line.style = style;
    line.clip = clip;
    page_.strokes.push_back(std::move(line));
    page_.order.push_back({OpKind::Stroke, page_.strokes.size() - 1});
    usePen(style.pen);
    lineOpen_ = true;
}

void PageBuilder::addFill(Polygon polygon) {
    breakLine();
    lastPageEnded_ = false;
    usePen(polygon.pen);
    page_.fills.push_back(std::move(polygon));
    page_.order.push_back({OpKind::Fill, page_.fills.size() - 1});
}

RasterImage& PageBuilder::addRaster(RasterImage image) {
    breakLine();
    lastPageEnded_ = false;
    page_.rasters.push_back(std::move(image));
    page_.order.push_back({OpKind::Raster, page_.rasters.size() - 1});
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
