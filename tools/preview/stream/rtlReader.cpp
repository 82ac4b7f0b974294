#include "rtlReader.h"

#include <algorithm>
#include <cmath>

#include "rowDecoding.h"

namespace tavix::preview {
namespace {

enum WarnKey {
    IMPLICIT_START, EXTRA_PLANES, PAST_HEIGHT, METHOD_UNSUPPORTED, PRIMARY_BITS, COLOUR_SPACE,
    DIRECT_PALETTE, WIDTH_DEFAULT, STRAY, CUT_ROW, TOO_WIDE,
};

constexpr int MAX_PLANES = 8;
constexpr size_t MAX_PALETTE_STACK = 32;

Point plus(Point a, Point b, double k) { return {a.x + b.x * k, a.y + b.y * k}; }
double dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }

}  // namespace

RtlReader::RtlReader(StreamContext& ctx, PageBuilder& pages) : ctx_(ctx), pages_(pages) {
    reset();
}

void RtlReader::reset() {
    pixelEncoding_ = 0;
    bitsPerIndex_ = 1;
    bitsPerPrimary_[0] = bitsPerPrimary_[1] = bitsPerPrimary_[2] = 8;
    defaultPalette();
    paletteStack_.clear();
    pending_[0] = pending_[1] = pending_[2] = 0;
    width_ = height_ = 0;
    method_ = 0;
    dpi_ = 300;
    sourceTransparent_ = true;
}

void RtlReader::warnOnce(int key, size_t offset, const std::string& text) {
    uint64_t bit = uint64_t{1} << key;
    if (warned_ & bit) return;
    warned_ |= bit;
    ctx_.warn(offset, text);
}

void RtlReader::enter(const RtlFrame& frame, Point pen, bool atPen) {
    frame_ = frame;
    if (atPen) cursor_ = pen;
}

void RtlReader::defaultPalette() {
    palette_.fill(Rgb{0, 0, 0});
    int planes = planesPerRow();
    if ((pixelEncoding_ == 0 && planes == 1) || (pixelEncoding_ == 1 && bitsPerIndex_ == 1)) {
        palette_[0] = {255, 255, 255};
        palette_[1] = {0, 0, 0};
    } else if (pixelEncoding_ == 0) {
        for (int i = 0; i < 8; ++i)
            palette_[i] = Rgb{static_cast<uint8_t>(i & 1 ? 255 : 0),
                              static_cast<uint8_t>(i & 2 ? 255 : 0),
                              static_cast<uint8_t>(i & 4 ? 255 : 0)};
    } else {
        for (int i = 0; i < 256; ++i) {
            uint8_t v = static_cast<uint8_t>(i);
            palette_[i] = Rgb{v, v, v};
        }
    }
}

int RtlReader::planesPerRow() const {
    if (pixelEncoding_ == 0) return bitsPerIndex_ >= 1 && bitsPerIndex_ <= MAX_PLANES ? bitsPerIndex_ : 3;
    if (pixelEncoding_ == 2) return 3;
    return 1;
}

size_t RtlReader::bytesPerPlane() const {
    size_t w = static_cast<size_t>(rowWidth_);
    switch (pixelEncoding_) {
    case 1: {
        int b = bitsPerIndex_;
        if (b != 1 && b != 2 && b != 4) b = 8;
        return (w * static_cast<size_t>(b) + 7) / 8;
    }
    case 3: return w * 3;
    default: return (w + 7) / 8;
    }
}

void RtlReader::configure(const EscCommand& command) {
    if (active_) {
        ctx_.warn(command.offset, "image configuration inside a raster ignored");
        return;
    }
    if (command.data.size() < 6) {
        ctx_.warn(command.offset, "image configuration of " + numberText(command.data.size()) +
                                      " bytes ignored (6 expected)");
        return;
    }
    auto byte = [&](size_t i) { return static_cast<int>(static_cast<uint8_t>(command.data[i])); };
    if (byte(0) != 0)
        warnOnce(COLOUR_SPACE, command.offset,
                 "colour space " + numberText(byte(0)) + " is shown as RGB");
    if (byte(1) > 3) {
        ctx_.warn(command.offset, "unknown pixel encoding " + numberText(byte(1)) + "; configuration ignored");
        return;
    }
    pixelEncoding_ = byte(1);
    bitsPerIndex_ = byte(2);
    for (int i = 0; i < 3; ++i) bitsPerPrimary_[i] = byte(3 + i);
    if (pixelEncoding_ == 3 && (byte(3) != 8 || byte(4) != 8 || byte(5) != 8))
        warnOnce(PRIMARY_BITS, command.offset, "direct colour with other than 8 bits per primary is read as 8 bits");
    if (pixelEncoding_ == 1 && bitsPerIndex_ != 1 && bitsPerIndex_ != 2 && bitsPerIndex_ != 4 &&
        bitsPerIndex_ != 8 && bitsPerIndex_ != 0xFF)
        ctx_.warn(command.offset, "bits per index " + numberText(bitsPerIndex_) + " read as 8");
    defaultPalette();
}

void RtlReader::startRaster(size_t offset, bool atLeftEdge) {
    if (active_) return;
    double pixel = UNITS_PER_INCH / dpi_;
    int width = width_;
    if (width <= 0) {
        double across = std::fabs(dot({frame_.clip.x1 - frame_.clip.x0, frame_.clip.y1 - frame_.clip.y0},
                                      frame_.xAxis));
        width = static_cast<int>(std::min(across / pixel, 1e6));
        if (width <= 0) width = 1;
        warnOnce(WIDTH_DEFAULT, offset, "raster width not set (ESC*r#S); the page width is used");
    }
    if (width > ctx_.limits().maxRasterWidth) {
        warnOnce(TOO_WIDE, offset, "raster width " + numberText(width) + " clamped to " +
                                       numberText(ctx_.limits().maxRasterWidth));
        width = ctx_.limits().maxRasterWidth;
    }
    Point origin = cursor_;
    if (atLeftEdge) {
        double down = dot({cursor_.x - frame_.origin.x, cursor_.y - frame_.origin.y}, frame_.yAxis);
        origin = plus(frame_.origin, frame_.yAxis, down);
    }
    RasterImage image;
    image.offset = offset;
    image.origin = origin;
    image.pixelStep = {frame_.xAxis.x * pixel, frame_.xAxis.y * pixel};
    image.rowStep = {frame_.yAxis.x * pixel, frame_.yAxis.y * pixel};
    image.dpi = dpi_;
    image.pixelEncoding = pixelEncoding_;
    image.bitsPerIndex = bitsPerIndex_;
    image.clip = frame_.clip;
    image.whiteTransparent = sourceTransparent_;
    uint64_t used = 0;
    for (const Page& p : ctx_.out().pages)
        for (const RasterImage& r : p.rasters) used += static_cast<uint64_t>(r.storedWidth) * r.storedHeight;
    for (const RasterImage& r : pages_.current().rasters)
        used += static_cast<uint64_t>(r.storedWidth) * r.storedHeight;
    uint64_t total = ctx_.limits().maxTotalRasterPixels;
    uint64_t budget = std::min(ctx_.limits().maxRasterPixels, total > used ? total - used : 1);
    RasterImage& kept = pages_.addRaster(std::move(image));
    imageIndex_ = pages_.current().rasters.size() - 1;
    builder_.begin(kept, width, height_, budget);
    rowWidth_ = width;
    rowsLeft_ = height_ > 0 ? height_ : -1;
    planes_.assign(MAX_PLANES, {});
    planeCoverage_.assign(MAX_PLANES, 0);
    planeCount_ = 0;
    active_ = true;
}

void RtlReader::transfer(const EscCommand& command, bool lastPlane) {
    if (!active_) {
        warnOnce(IMPLICIT_START, command.offset, "row data before ESC*r1A starts raster graphics");
        startRaster(command.offset, false);
    }
    int method = method_;
    if (method != 0 && method != 1 && method != 2) {
        warnOnce(METHOD_UNSUPPORTED, command.offset,
                 "compression method " + numberText(method) + " not supported; its rows are left blank");
        method = -1;
    }
    if (planeCount_ >= MAX_PLANES) {
        warnOnce(EXTRA_PLANES, command.offset, "more planes in a row than the configuration has; extra planes ignored");
    } else {
        std::vector<uint8_t>& plane = planes_[planeCount_];
        if (method < 0) {
            plane.clear();
        } else {
            RowDecodeResult result = decodeRow(method, command.data, plane, bytesPerPlane());
            if (result.cutPiece)
                warnOnce(CUT_ROW, command.offset, "row data ends inside a compressed piece");
        }
        planeCoverage_[planeCount_] = plane.size();
        if (pixelEncoding_ == 0 && bitsPerIndex_ >= 1 && bitsPerIndex_ <= MAX_PLANES &&
            planeCount_ >= bitsPerIndex_)
            warnOnce(EXTRA_PLANES, command.offset, "more planes in a row than the configuration has; extra planes ignored");
        ++planeCount_;
    }
    if (lastPlane) completeRow(command.offset);
}

void RtlReader::completeRow(size_t offset) {
    int received = std::min(planeCount_, MAX_PLANES);
    planeCount_ = 0;
    if (rowsLeft_ == 0) {
        warnOnce(PAST_HEIGHT, offset, "rows beyond the raster height (ESC*r#T) ignored");
        return;
    }
    if (rowsLeft_ > 0) --rowsLeft_;
    size_t w = static_cast<size_t>(rowWidth_);
    rowPixels_.assign(w, Rgb{255, 255, 255});
    rowPrinted_.assign(w, 0);
    // Bits per index 0xFF (the driver's colour planes) takes every plane sent.
    bool anyPlanes = pixelEncoding_ == 0 && (bitsPerIndex_ < 1 || bitsPerIndex_ > MAX_PLANES);
    int planes = std::min(received, anyPlanes ? MAX_PLANES : planesPerRow());
    auto bitAt = [&](int p, size_t i) -> int {
        size_t byte = i >> 3;
        if (byte >= planeCoverage_[p]) return 0;
        return (planes_[p][byte] >> (7 - (i & 7))) & 1;
    };
    auto covered = [&](size_t byte) {
        for (int p = 0; p < received; ++p)
            if (byte < planeCoverage_[p]) return true;
        return false;
    };
    switch (pixelEncoding_) {
    case 0:
    case 2:
        for (size_t i = 0; i < w; ++i) {
            if (!covered(i >> 3)) continue;
            rowPrinted_[i] = 1;
            if (pixelEncoding_ == 2) {
                rowPixels_[i] = Rgb{static_cast<uint8_t>(planes > 0 && bitAt(0, i) ? 255 : 0),
                                    static_cast<uint8_t>(planes > 1 && bitAt(1, i) ? 255 : 0),
                                    static_cast<uint8_t>(planes > 2 && bitAt(2, i) ? 255 : 0)};
            } else {
                int index = 0;
                for (int p = 0; p < planes; ++p) index |= bitAt(p, i) << p;
                rowPixels_[i] = palette_[index & 255];
            }
        }
        break;
    case 1: {
        int b = bitsPerIndex_;
        if (b != 1 && b != 2 && b != 4) b = 8;
        for (size_t i = 0; i < w && received > 0; ++i) {
            size_t bit = i * static_cast<size_t>(b);
            size_t byte = bit >> 3;
            if (byte >= planeCoverage_[0]) break;
            int shift = 8 - b - static_cast<int>(bit & 7);
            int index = (planes_[0][byte] >> shift) & ((1 << b) - 1);
            rowPixels_[i] = palette_[index];
            rowPrinted_[i] = 1;
        }
        break;
    }
    default:
        for (size_t i = 0; i < w && received > 0; ++i) {
            size_t byte = i * 3;
            if (byte + 2 >= planeCoverage_[0]) break;
            rowPixels_[i] = Rgb{planes_[0][byte], planes_[0][byte + 1], planes_[0][byte + 2]};
            rowPrinted_[i] = 1;
        }
        break;
    }
    builder_.addRow(rowPixels_, rowPrinted_);
}

void RtlReader::skipRows(int64_t rows, size_t offset) {
    if (!active_) {
        warnOnce(IMPLICIT_START, offset, "row data before ESC*r1A starts raster graphics");
        startRaster(offset, false);
    }
    if (planeCount_ > 0) completeRow(offset);
    if (rowsLeft_ >= 0 && rows > rowsLeft_) {
        warnOnce(PAST_HEIGHT, offset, "rows beyond the raster height (ESC*r#T) ignored");
        rows = rowsLeft_;
    }
    builder_.skipRows(rows);
    if (rowsLeft_ > 0) rowsLeft_ -= static_cast<int>(rows);
}

void RtlReader::endRaster(size_t offset, bool warnIfOpen) {
    if (!active_) return;
    if (planeCount_ > 0) {
        ctx_.warn(offset, "row planes without their last plane (W)");
        completeRow(offset);
    }
    builder_.finish();
    RasterImage& image = pages_.current().rasters[imageIndex_];
    if (builder_.rowsDropped())
        ctx_.warn(image.offset, "raster too large for the preview; only its first " +
                                    numberText(static_cast<long long>(image.storedHeight) * image.factor) +
                                    " rows are shown");
    cursor_ = plus(image.origin, image.rowStep, image.rows);
    active_ = false;
    if (warnIfOpen) ctx_.warn(offset, "raster graphics not ended (ESC*rC)");
}

void RtlReader::strayBytes() {
    size_t start = ctx_.pos;
    while (!ctx_.atEnd() && ctx_.peek() != 0x1B) ctx_.skip(1);
    ctx_.warn(start, numberText(static_cast<long long>(ctx_.pos - start)) +
                         " bytes outside any HP RTL command skipped");
}

void RtlReader::command(const EscCommand& c) {
    if (c.family == 0 && c.letter == 'E') {
        endRaster(c.offset, true);
        reset();
        return;
    }
    if (c.family == '&' && c.group == 'a' && c.letter == 'N') return;  // negative motion
    bool known = false;
    if (c.family == '*') {
        switch (c.group) {
        case 'v': known = imageData(c); break;
        case 'p': known = paletteStack(c); break;
        case 'r': known = rasterControl(c); break;
        case 'b': known = rowData(c); break;
        case 't': known = resolution(c); break;
        default: break;
        }
    }
    if (!known) ctx_.warn(c.offset, "unsupported HP RTL command " + describeCommand(c));
}

// ESC*v: the image configuration, palette entries and source transparency.
bool RtlReader::imageData(const EscCommand& c) {
    const std::string name = describeCommand(c);
    if (c.letter == 'W') {
        configure(c);
        return true;
    }
    if (c.letter == 'N') {
        if (c.value == 0 || c.value == 1) sourceTransparent_ = c.value == 0;
        else ctx_.warn(c.offset, "bad source transparency mode in " + name);
        return true;
    }
    if (c.letter == 'A' || c.letter == 'B' || c.letter == 'C') {
        double v = c.value;
        if (v < 0 || v > 255) {
            ctx_.warn(c.offset, "palette component out of range in " + name);
            v = std::clamp(v, 0.0, 255.0);
        }
        pending_[c.letter - 'A'] = static_cast<int>(v);
        return true;
    }
    if (c.letter != 'I') return false;
    if (pixelEncoding_ >= 2) {
        warnOnce(DIRECT_PALETTE, c.offset, "palette entries have no effect on direct colour");
    } else if (c.value < 0 || c.value > 255) {
        ctx_.warn(c.offset, "palette index out of range in " + name);
    } else {
        palette_[static_cast<size_t>(c.value)] =
            Rgb{static_cast<uint8_t>(pending_[0]), static_cast<uint8_t>(pending_[1]), static_cast<uint8_t>(pending_[2])};
    }
    pending_[0] = pending_[1] = pending_[2] = 0;
    return true;
}

// ESC*p#P: push (0) and pop (1) the palette.
bool RtlReader::paletteStack(const EscCommand& c) {
    if (c.letter != 'P') return false;
    if (c.value == 0) {
        if (paletteStack_.size() >= MAX_PALETTE_STACK) ctx_.warn(c.offset, "palette stack full");
        else paletteStack_.push_back(palette_);
    } else if (c.value == 1) {
        if (paletteStack_.empty()) {
            ctx_.warn(c.offset, "palette pop with nothing pushed");
        } else {
            palette_ = paletteStack_.back();
            paletteStack_.pop_back();
        }
    } else {
        ctx_.warn(c.offset, "bad palette stack operation " + describeCommand(c));
    }
    return true;
}

// ESC*r: the raster's width and height, its start and end.
bool RtlReader::rasterControl(const EscCommand& c) {
    const std::string name = describeCommand(c);
    switch (c.letter) {
    case 'S':
    case 'T': {
        if (active_) {
            ctx_.warn(c.offset, name + " inside a raster ignored");
            return true;
        }
        int& target = c.letter == 'S' ? width_ : height_;
        if (!c.hasValue || c.value < 0) ctx_.warn(c.offset, std::string("bad ") + (c.letter == 'S' ? "width" : "height") + " in " + name);
        else target = static_cast<int>(std::min(c.value, 1e9));
        return true;
    }
    case 'A':
        if (c.value != 0 && c.value != 1) ctx_.warn(c.offset, "raster start " + name + " read as ESC*r1A");
        if (!active_) startRaster(c.offset, c.value == 0);
        return true;
    case 'B':
    case 'C': endRaster(c.offset, false); return true;
    default: return false;
    }
}

// ESC*b: the compression method, row transfers and Y offsets.
bool RtlReader::rowData(const EscCommand& c) {
    switch (c.letter) {
    case 'M':
        if (!c.hasValue || c.value < 0 || c.value > 9) ctx_.warn(c.offset, "bad compression method in " + describeCommand(c));
        else method_ = c.intValue();
        return true;
    case 'W': transfer(c, true); return true;
    case 'V': transfer(c, false); return true;
    case 'Y':
        if (c.value < 0) ctx_.warn(c.offset, "negative Y offset ignored");
        else skipRows(static_cast<int64_t>(c.value), c.offset);
        return true;
    default: return false;
    }
}

// ESC*t#R: the raster resolution.
bool RtlReader::resolution(const EscCommand& c) {
    if (c.letter != 'R') return false;
    if (active_) ctx_.warn(c.offset, describeCommand(c) + " inside a raster ignored");
    else if (!c.hasValue || c.value < 1 || c.value > 10000) ctx_.warn(c.offset, "bad resolution in " + describeCommand(c));
    else dpi_ = c.intValue();
    return true;
}

}  // namespace tavix::preview
