#include "bandPainter.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "parallelRows.h"
#include "pixelIndex.h"
#include "pixelBlend.h"
#include "wideColumns.h"

namespace tavix::preview {
namespace {

// The side piece from x = xa to x = xb down one row, `d` of the row's
// height (negative for a right side), added to the accumulation row `a`:
// the running sum of `a` from the left then gives, for each pixel, the part
// of its area right of the side. Columns i0 .. i1 change.
[[gnu::always_inline]] inline void accumulate(float* a, double xa, double xb, double d, int& i0, int& i1) {
    double x0 = std::min(xa, xb), x1 = std::max(xa, xb);
    i0 = floorInt(x0);
    i1 = ceilInt(x1);
    if (i1 <= i0 + 1) {
        // Within one column: the share right of the piece's mid-point.
        double right = 0.5 * (xa + xb) - i0;
        a[i0] += static_cast<float>(d * (1 - right));
        a[i0 + 1] += static_cast<float>(d * right);
        i1 = i0 + 1;
        return;
    }
    // Across several columns: the triangles the piece cuts from the first
    // and the last column, and an even share of each column between.
    double s = 1 / (x1 - x0);
    double x0f = x0 - i0, x1f = x1 - i1 + 1;
    double first = 0.5 * s * (1 - x0f) * (1 - x0f);
    double last = 0.5 * s * x1f * x1f;
    a[i0] += static_cast<float>(d * first);
    if (i1 == i0 + 2) {
        a[i0 + 1] += static_cast<float>(d * (1 - first - last));
    } else {
        double second = s * (1.5 - x0f);
        a[i0 + 1] += static_cast<float>(d * (second - first));
        float step = static_cast<float>(d * s);
        for (int k = i0 + 2; k < i1 - 1; ++k) a[k] += step;
        double beforeLast = second + (i1 - i0 - 3) * s;
        a[i1 - 1] += static_cast<float>(d * (1 - beforeLast - last));
    }
    a[i1] += static_cast<float>(d * last);
}

}  // namespace

BandPainter::BandPainter(int stride, int width, int bandRows, bool antialias)
    : stride_(stride), antialias_(antialias), coverStride_(width + 2) {
    if (!antialias_) return;
    size_t rows = static_cast<size_t>(std::max(bandRows, 1));
    cover_.assign(rows * static_cast<size_t>(coverStride_), 0.0f);
    touchedFrom_.assign(rows, INT_MAX);
    touchedTo_.assign(rows, -1);
}

void BandPainter::paint(const RasterRecord& record, const RasterShape& shape, int bandTop, int top, int bottom) {
    if (top >= bottom) return;
    if (antialias_) antialiased(record, shape, bandTop, top, bottom);
    else plain(record, shape, top, bottom);
}

// Each trapezoid takes the rows whose centres it holds, from its left
// side to its right side at the centre.
void BandPainter::plain(const RasterRecord& record, const RasterShape& shape, int top, int bottom) {
    const RasterPaint& paint = record.paints[shape.paint];
    const double left = paint.clipX0, right = paint.clipX1;
    for (uint32_t i = 0; i < shape.count; ++i) {
        const RasterTrapezoid& t = record.trapezoids[shape.first + i];
        int from = ceilInt(std::max(t.yTop - 0.5, static_cast<double>(top)));
        int to = ceilInt(std::min(t.yBottom - 0.5, static_cast<double>(bottom)));
        double down = from + 0.5 - t.yTop;
        double xl = t.leftX + down * t.leftSlope, xr = t.rightX + down * t.rightSlope;
        for (int y = from; y < to; ++y, xl += t.leftSlope, xr += t.rightSlope) {
            int first = ceilInt(within(xl, left, right) - 0.5);
            int end = ceilInt(within(xr, left, right) - 0.5);
            uint32_t* row = pixels_ + static_cast<size_t>(y) * stride_;
            for (int x = first; x < end; ++x) row[x] = paint.solid;
        }
    }
}

void BandPainter::antialiased(const RasterRecord& record, const RasterShape& shape, int bandTop, int top,
                              int bottom) {
    const RasterPaint& paint = record.paints[shape.paint];
    const double left = paint.clipX0, right = paint.clipX1;
    // With the wide form the end rows are gathered, each with its pieces,
    // and painted whole after the bodies (a row is one or the other): a
    // shape's trapezoids come from the top down, so a row's pieces come
    // together. Otherwise they go to the accumulation rows.
    const bool wide = wideColumnsInUse();
    int pendingRow = -1;
    endRows_.clear();
    pieces_.clear();
    int accumulatedFrom = bottom, accumulatedTo = top;  // rows with accumulation to composite
    for (uint32_t i = 0; i < shape.count; ++i) {
        const RasterTrapezoid& t = record.trapezoids[shape.first + i];
        int from = floorInt(std::max(t.yTop, static_cast<double>(top)));
        int to = ceilInt(std::min(t.yBottom, static_cast<double>(bottom)));
        // Rows wholly inside a slab whose sides stay the same distance apart
        // (the body of a stroke) are painted at once; no other slab of the
        // shape reaches them.
        bool parallel = std::fabs(t.rightSlope - t.leftSlope) * (t.yBottom - t.yTop) < 1e-6;
        int wholeFrom = parallel ? std::max(from, ceilInt(t.yTop)) : to;
        int wholeTo = parallel ? std::min(to, floorInt(t.yBottom)) : to;
        // A body of a row or two (a short stroke's) costs less as end rows.
        if (wide && wholeTo - wholeFrom < 3) wholeFrom = wholeTo = to;
        double leftSquare = 0.5 / std::fabs(t.leftSlope), rightSquare = 0.5 / std::fabs(t.rightSlope);
        if (wholeFrom < wholeTo) {
            ParallelRows body(paint, t.rightX - t.leftX, t.leftSlope);
            body.paintRows(pixels_, static_cast<size_t>(stride_), wholeFrom, wholeTo, t.leftX, t.yTop);
        }
        for (int y = from; y < to; ++y) {
            if (y == wholeFrom) y = std::max(y, wholeTo);
            if (y >= to) break;
            double yt = std::max(t.yTop, static_cast<double>(y)), yb = std::min(t.yBottom, y + 1.0);
            if (!(yb > yt)) continue;
            double downTop = yt - t.yTop, downBottom = yb - t.yTop;
            double leftTop = within(t.leftX + downTop * t.leftSlope, left, right);
            double leftBottom = within(t.leftX + downBottom * t.leftSlope, left, right);
            double rightTop = within(t.rightX + downTop * t.rightSlope, left, right);
            double rightBottom = within(t.rightX + downBottom * t.rightSlope, left, right);
            if (wide) {
                double low = std::min(leftTop, leftBottom), high = std::max(rightTop, rightBottom);
                if (y != pendingRow) {
                    pendingRow = y;
                    endRows_.push_back({pixels_ + static_cast<size_t>(y) * stride_,
                                        static_cast<uint32_t>(pieces_.size()), 0, std::floor(low), low, high});
                }
                EndRow& row = endRows_.back();
                ++row.count;
                row.least = std::min(row.least, low);
                row.most = std::max(row.most, high);
                pieces_.push_back(rowPiece(leftTop, leftBottom, rightTop, rightBottom, yb - yt, leftSquare, rightSquare,
                                           row.origin));
                continue;
            }
            int band = y - bandTop, l0, l1, r0, r1;
            float* a = &cover_[static_cast<size_t>(band) * coverStride_];
            accumulate(a, leftTop, leftBottom, yb - yt, l0, l1);
            accumulate(a, rightTop, rightBottom, yt - yb, r0, r1);
            touchedFrom_[band] = std::min(touchedFrom_[band], l0);
            touchedTo_[band] = std::max(touchedTo_[band], r1);
            accumulatedFrom = std::min(accumulatedFrom, y);
            accumulatedTo = std::max(accumulatedTo, y + 1);
        }
    }
    if (!endRows_.empty()) wideEndRows(paint, endRows_.data(), endRows_.size(), pieces_.data());
    for (int y = accumulatedFrom; y < accumulatedTo; ++y) composite(paint, y, y - bandTop);
}

// The running sum of the accumulation row is each pixel's covered area;
// the row is cleared for the next shape.
void BandPainter::composite(const RasterPaint& paint, int y, int band) {
    int from = touchedFrom_[band], to = touchedTo_[band];
    if (to < from) return;
    touchedFrom_[band] = INT_MAX;
    touchedTo_[band] = -1;
    float* a = &cover_[static_cast<size_t>(band) * coverStride_];
    uint32_t* row = pixels_ + static_cast<size_t>(y) * stride_;
    int paintTo = std::min(to, paint.clipX1 - 1);
    int x = from;
    float sum = 0;
#if defined(__SSE2__)
    if (x + 3 <= paintTo) {
        FourPixelBlend four(paint.solid);
        __m128 carry = _mm_setzero_ps();
        for (; x + 3 <= paintTo; x += 4) {
            __m128 v = _mm_loadu_ps(a + x);
            _mm_storeu_ps(a + x, _mm_setzero_ps());
            v = _mm_add_ps(v, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(v), 4)));
            v = _mm_add_ps(v, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(v), 8)));
            v = _mm_add_ps(v, carry);
            carry = _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3));
            four.blend(row + x, coverageOf(v));
        }
        sum = _mm_cvtss_f32(carry);
    }
#endif
    for (; x <= paintTo; ++x) {
        sum += a[x];
        a[x] = 0;
        if (uint32_t c = coverageOf(sum)) row[x] = blendPixel(row[x], paint.solid, c);
    }
    for (x = std::max(from, paintTo + 1); x <= to; ++x) a[x] = 0;
}

}  // namespace tavix::preview
