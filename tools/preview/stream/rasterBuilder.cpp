#include "rasterBuilder.h"

#include <algorithm>

namespace tavix::preview {
namespace {

// Row counts saturate here: a raster without a declared height can be
// given any number of Y offsets.
constexpr int MAX_ROWS = 1 << 30;

}  // namespace

void RasterBuilder::begin(RasterImage& image, int width, int expectedRows, uint64_t budget) {
    image_ = &image;
    width = std::max(width, 1);
    if (budget < 1) budget = 1;
    uint64_t rowsGuess = expectedRows > 0 ? static_cast<uint64_t>(expectedRows)
                                          : static_cast<uint64_t>(width);
    factor_ = 1;
    auto stored = [&](uint64_t n, int f) { return (n + f - 1) / static_cast<uint64_t>(f); };
    while (factor_ < (1 << 20) && stored(width, factor_) * stored(rowsGuess, factor_) > budget)
        factor_ *= 2;
    storedWidth_ = static_cast<int>(stored(width, factor_));
    uint64_t capacity = budget / static_cast<uint64_t>(storedWidth_);
    storedCapacity_ = static_cast<int>(std::min<uint64_t>(capacity, 1u << 30));
    image.width = width;
    image.factor = factor_;
    image.storedWidth = storedWidth_;
    image.storedHeight = 0;
    image.rgba.clear();
    rowInBlock_ = 0;
    blockHasPixels_ = false;
    dropped_ = false;
    sumR_.assign(storedWidth_, 0);
    sumG_.assign(storedWidth_, 0);
    sumB_.assign(storedWidth_, 0);
    sumA_.assign(storedWidth_, 0);
}

void RasterBuilder::addRow(const std::vector<Rgb>& pixels, const std::vector<uint8_t>& printed) {
    if (!image_) return;
    image_->rows = std::min(image_->rows + 1, MAX_ROWS);
    image_->printedRows = std::min(image_->printedRows + 1, MAX_ROWS);
    size_t n = std::min<size_t>(std::min(pixels.size(), printed.size()),
                                static_cast<size_t>(image_->width));
    if (factor_ == 1) {
        for (size_t i = 0; i < n; ++i) {
            if (!printed[i]) continue;
            sumR_[i] = pixels[i].r;
            sumG_[i] = pixels[i].g;
            sumB_[i] = pixels[i].b;
            sumA_[i] = 1;
            blockHasPixels_ = true;
        }
    } else {
        bool skipWhite = image_->whiteTransparent;
        for (size_t i = 0; i < n; ++i) {
            if (!printed[i]) continue;
            if (skipWhite && pixels[i] == Rgb{255, 255, 255}) continue;
            size_t s = i / static_cast<size_t>(factor_);
            sumR_[s] += pixels[i].r;
            sumG_[s] += pixels[i].g;
            sumB_[s] += pixels[i].b;
            sumA_[s] += 1;
            blockHasPixels_ = true;
        }
    }
    if (++rowInBlock_ == factor_) flushBlockRow();
}

void RasterBuilder::skipRows(int64_t n) {
    if (!image_ || n <= 0) return;
    image_->rows = static_cast<int>(std::min<int64_t>(int64_t{image_->rows} + n, MAX_ROWS));
    image_->skippedRows = static_cast<int>(std::min<int64_t>(int64_t{image_->skippedRows} + n, MAX_ROWS));
    while (n > 0) {
        if (rowInBlock_ == 0 && n >= factor_) {
            // Whole blank blocks: as many stored rows as there is room for.
            int64_t blocks = n / factor_;
            int64_t room = storedCapacity_ - image_->storedHeight;
            if (blocks > room) {
                dropped_ = true;
                blocks = std::max<int64_t>(room, 0);
                n = 0;
            } else {
                n -= blocks * factor_;
            }
            for (int64_t b = 0; b < blocks; ++b) pushStoredRow();
            continue;
        }
        int64_t step = std::min<int64_t>(n, factor_ - rowInBlock_);
        rowInBlock_ += static_cast<int>(step);
        n -= step;
        if (rowInBlock_ == factor_) flushBlockRow();
    }
}

void RasterBuilder::finish() {
    if (!image_) return;
    if (rowInBlock_ > 0) flushBlockRow();
    image_ = nullptr;
}

void RasterBuilder::flushBlockRow() {
    int rows = rowInBlock_;
    rowInBlock_ = 0;
    if (image_->storedHeight >= storedCapacity_) {
        dropped_ = true;
    } else if (!blockHasPixels_) {
        pushStoredRow();
    } else {
        size_t base = image_->rgba.size();
        image_->rgba.resize(base + static_cast<size_t>(storedWidth_) * 4);
        uint8_t* out = image_->rgba.data() + base;
        for (int s = 0; s < storedWidth_; ++s) {
            uint32_t printedCount = sumA_[s];
            if (printedCount == 0) {
                out[s * 4 + 3] = 0;
                continue;
            }
            int columns = std::min(factor_, image_->width - s * factor_);
            uint32_t cells = static_cast<uint32_t>(std::max(columns, 1) * std::max(rows, 1));
            out[s * 4 + 0] = static_cast<uint8_t>(sumR_[s] / printedCount);
            out[s * 4 + 1] = static_cast<uint8_t>(sumG_[s] / printedCount);
            out[s * 4 + 2] = static_cast<uint8_t>(sumB_[s] / printedCount);
            out[s * 4 + 3] = static_cast<uint8_t>(std::min<uint32_t>(255, printedCount * 255 / cells));
        }
        ++image_->storedHeight;
    }
    std::fill(sumR_.begin(), sumR_.end(), 0);
    std::fill(sumG_.begin(), sumG_.end(), 0);
    std::fill(sumB_.begin(), sumB_.end(), 0);
    std::fill(sumA_.begin(), sumA_.end(), 0);
    blockHasPixels_ = false;
}

void RasterBuilder::pushStoredRow() {
    image_->rgba.resize(image_->rgba.size() + static_cast<size_t>(storedWidth_) * 4, 0);
    ++image_->storedHeight;
}

}  // namespace tavix::preview
