// Gathers drawing operations into pages: joins connected vectors of one
// style into polylines, keeps the drawing order, ends pages at PG and
// attaches RP replots to the page they repeat.
#pragma once

#include <memory>

#include "streamContext.h"
#include "streamModel.h"

namespace tavix::preview {

class PageBuilder {
public:
    explicit PageBuilder(StreamContext& ctx)
        : ctx_(ctx), spool_(std::make_shared<PolylineSpool>(ctx.limits().heldStrokeBytes)) {
        page_.strokes = StrokeStore(spool_);
    }

    Page& current() { return page_; }

    void setPaper(double length, double width, Rect extent);

    // A pen-down vector; joined to the open polyline when it goes on from
    // its last point with the same style and clip.
    void vector(Point from, Point to, const StrokeStyle& style, const Rect& clip, size_t offset);
    // Ends the open polyline (pen up, style change, any other operation).
    void breakLine() { lineOpen_ = false; }

    void addFill(Polygon polygon);
    RasterImage& addRaster(RasterImage image);

    void endPage(size_t offset);            // PG
    void replot(int copies, size_t offset);  // RP
    // End of the stream: a drawn page that was never ended is kept too.
    void finish();

private:
    void usePen(int pen);
    // Extends the last operation when this one follows on from it.
    void addOp(OpKind kind, size_t index);
    void pushPage();

    StreamContext& ctx_;
    std::shared_ptr<PolylineSpool> spool_;  // one for all the stream's pages
    Page page_;
    bool lineOpen_ = false;
    bool lastPageEnded_ = false;  // the last kept page was ended by PG and nothing drawn since
};

}  // namespace tavix::preview
