// What the stream reader makes of a printer stream: pages of drawing
// operations in plotter units, the job ticket, and warnings with the byte
// offsets they refer to. Nothing here knows about cairo, so the reader can
// be run (and fuzzed) on its own.
//
// Coordinates are HP-GL/2 plotter units (1/1016 inch) in the page's own
// frame: X to the right, Y up, (0, 0) at the lower-left corner of the hard
// clip limits. The picture is what the CAD drawing looks like on paper.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "polylineSpool.h"

namespace tavix::preview {

inline constexpr double UNITS_PER_INCH = 1016.0;
inline constexpr double UNITS_PER_MM = 40.0;
inline constexpr size_t NO_OFFSET = static_cast<size_t>(-1);

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Point {
    double x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x0 <= x1, y0 <= y1
    bool empty() const { return !(x1 > x0) || !(y1 > y0); }
};

struct Warning {
    size_t offset = NO_OFFSET;  // byte offset in the stream, or NO_OFFSET
    std::string text;
};

enum class LineCap { Butt, Square, Triangular, Round };
enum class LineJoin { Mitered, MiteredBeveled, Triangular, Round, Beveled, None };

// A line type as the plotter applies it. `type` is the HP-GL/2 pattern
// number 1..8 (0: dots at the points only; solid has no pattern).
struct LinePattern {
    bool solid = true;
    int type = 0;
    bool adaptive = false;     // negative line type: whole patterns per vector
    double period = 0;         // pattern length in plotter units
};

struct StrokeStyle {
    int pen = 1;
    Rgb colour;
    double widthMm = 0.35;
    LineCap cap = LineCap::Butt;
    LineJoin join = LineJoin::Mitered;
    LinePattern pattern;
};

// Connected pen-down vectors drawn with one style. A polyline of two equal
// points is a dot.
struct Polyline {
    size_t offset = 0;
    std::vector<Point> points;
    StrokeStyle style;
    Rect clip;
};

// The polylines of a page in drawing order. The first are held in memory
// while the stream's budget lasts; later ones go to the stream's spool and
// are read back in order, so a page of millions of vectors keeps memory
// bounded. The last polyline is always in memory (it may still grow).
// Reading a spooled polyline is meant for walking the page in order; a
// reference to one lasts until the next is read.
class StrokeStore {
public:
    StrokeStore() = default;
    explicit StrokeStore(std::shared_ptr<PolylineSpool> spool) : spool_(std::move(spool)) {}

    size_t size() const { return held_.size() + spilled_ + late_.size(); }
    bool empty() const { return size() == 0; }
    void push_back(Polyline line);
    Polyline& back() { return late_.empty() ? held_.back() : late_.back(); }
    const Polyline& back() const { return late_.empty() ? held_.back() : late_.back(); }
    const Polyline& operator[](size_t i) const;
    const Polyline& at(size_t i) const;
    // A spooled polyline could not be read back (it reads as empty).
    bool readFailed() const { return readFailed_; }

    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Polyline;
        using difference_type = std::ptrdiff_t;
        using pointer = const Polyline*;
        using reference = const Polyline&;
        const_iterator(const StrokeStore* store, size_t index) : store_(store), index_(index) {}
        reference operator*() const { return (*store_)[index_]; }
        pointer operator->() const { return &(*store_)[index_]; }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return index_ == o.index_; }

    private:
        const StrokeStore* store_;
        size_t index_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    std::shared_ptr<PolylineSpool> spool_;  // none: all in memory
    std::vector<Polyline> held_;            // first these,
    size_t spilled_ = 0;                    // then these in the spool from spillStart_,
    uint64_t spillStart_ = 0;
    std::vector<Polyline> late_;            // then these
    mutable PolylineSpool::Cursor cursor_;
    mutable size_t cursorNext_ = 0;  // spooled index the cursor reads next
    mutable Polyline read_;          // the one read last
    mutable bool readFailed_ = false;
};

// A filled polygon (FP); its rings are closed implicitly.
struct Polygon {
    size_t offset = 0;
    std::vector<std::vector<Point>> rings;
    int pen = 1;
    Rgb colour;
    bool evenOdd = true;
    Rect clip;
};

// One HP RTL raster. The image is kept in rows of `storedWidth` RGBA pixels;
// each stored pixel covers `factor` x `factor` printer pixels (a factor
// above 1 only when a raster is too large to keep whole). Alpha 0 is
// unprinted paper: rows skipped with a Y offset, rows never sent. With
// source transparency (the printer's default, ESC*v0N) printed white pixels
// leave what is under them visible; averaged blocks then average only the
// pixels that are not white.
struct RasterImage {
    size_t offset = 0;
    Point origin;         // corner of printer pixel (0, 0)
    Point pixelStep;      // plotter units from one pixel to the next in a row
    Point rowStep;        // plotter units from one row to the next
    int dpi = 300;
    int pixelEncoding = 0;  // 0 indexed by plane, 1 indexed by pixel, 2/3 direct
    int bitsPerIndex = 1;
    int width = 0;          // printer pixels per row
    int rows = 0;           // rows advanced (printed and skipped)
    int printedRows = 0;
    int skippedRows = 0;
    int factor = 1;
    bool whiteTransparent = true;
    int storedWidth = 0, storedHeight = 0;
    std::vector<uint8_t> rgba;
    Rect clip;
};

enum class OpKind { Stroke, Fill, Raster };
// `count` operations of one kind from `index` on, in the page's strokes,
// fills or rasters (consecutive polylines share one).
struct DrawOp {
    OpKind kind;
    size_t index;
    size_t count = 1;
};

struct Page {
    bool hasPaper = false;
    double paperLength = 0, paperWidth = 0;  // PS as written
    Rect extent;                             // the hard clip limits
    StrokeStore strokes;
    std::vector<Polygon> fills;
    std::vector<RasterImage> rasters;
    std::vector<DrawOp> order;  // drawing order
    bool ended = false;         // closed by PG
    int replots = 0;            // extra copies asked by RP
    std::vector<int> pensUsed;  // sorted, each once

    bool drawn() const { return !order.empty(); }
};

struct ParseLimits {
    size_t maxWarnings = 500;
    uint64_t maxRasterPixels = 16'000'000;       // per raster, stored pixels
    uint64_t maxTotalRasterPixels = 48'000'000;  // all rasters of the stream
    int maxRasterWidth = 100'000;                // printer pixels per row
    size_t maxTicketBytes = 1 << 20;
    size_t maxPages = 1000;
    size_t heldStrokeBytes = 16u << 20;  // polylines beyond this go to a temporary file
};

struct ParsedStream {
    size_t byteCount = 0;
    bool ticketPresent = false;
    std::vector<std::string> ticket;  // the lines between the markers
    std::vector<std::string> pjl;     // PJL command lines, as written
    std::vector<Page> pages;          // pages with something drawn, in order
    std::vector<Warning> warnings;
    size_t warningsDropped = 0;       // beyond ParseLimits::maxWarnings
    size_t instructionCount = 0;      // HP-GL/2 instructions read
};

}  // namespace tavix::preview
