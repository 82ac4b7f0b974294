#include "runtime/textFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace tavix {
namespace {

// True when the exact binary value of `value` lies exactly halfway between
// two results with `decimals` digits.
bool isExactTie(double value, int decimals) {
    // Every double has a finite decimal expansion of at most 1074 fractional
    // digits; printing that many shows the value exactly.
    char exact[1500];
    auto r = std::to_chars(exact, exact + sizeof exact, value, std::chars_format::fixed, 1074);
    if (r.ec != std::errc()) return false;
    const char* point = static_cast<const char*>(std::memchr(exact, '.', r.ptr - exact));
    if (point == nullptr) return false;
    const char* digit = point + 1 + decimals;
    if (digit >= r.ptr || *digit != '5') return false;
    for (const char* p = digit + 1; p < r.ptr; ++p)
        if (*p != '0') return false;
    return true;
}

}  // namespace

size_t formatFixed(char* out, size_t capacity, double value, int decimals) {
    if (capacity == 0) return 0;
    if (!std::isfinite(value)) value = 0.0;
    if (decimals < 0) decimals = 0;
    if (decimals > 20) decimals = 20;

    // A cheap look at one more digit first: only a '5' there can be a tie.
    char probe[400];
    auto r = std::to_chars(probe, probe + sizeof probe, value, std::chars_format::fixed,
                           decimals + 1);
    if (r.ec == std::errc() && r.ptr[-1] == '5' && isExactTie(value, decimals)) {
        // Round-to-nearest-even would pick either side; the next double away
        // from zero lies just past the tie and so rounds away from zero.
        value = std::nextafter(value, value < 0 ? -INFINITY : INFINITY);
    }
    char text[400];
    auto f = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    size_t n = (f.ec == std::errc()) ? static_cast<size_t>(f.ptr - text) : 0;
    if (n > capacity - 1) n = capacity - 1;
    std::memcpy(out, text, n);
    out[n] = '\0';
    return n;
}

TextBuilder::TextBuilder(char* buffer, size_t capacity) : buffer_(buffer), capacity_(capacity) {
    if (capacity_ > 0) buffer_[0] = '\0';
}

void TextBuilder::append(const char* s, size_t n) {
    if (capacity_ == 0) {
        truncated_ = truncated_ || n > 0;
        return;
    }
    size_t room = capacity_ - 1 - length_;
    if (n > room) {
        n = room;
        truncated_ = true;
    }
    std::memcpy(buffer_ + length_, s, n);
    length_ += n;
    buffer_[length_] = '\0';
}

TextBuilder& TextBuilder::text(const char* s) {
    append(s, std::strlen(s));
    return *this;
}

TextBuilder& TextBuilder::character(char c) {
    append(&c, 1);
    return *this;
}

TextBuilder& TextBuilder::integer(int64_t value) {
    char digits[24];
    auto r = std::to_chars(digits, digits + sizeof digits, value);
    append(digits, static_cast<size_t>(r.ptr - digits));
    return *this;
}

TextBuilder& TextBuilder::integer(int64_t value, int width) {
    char digits[24];
    auto r = std::to_chars(digits, digits + sizeof digits, value);
    size_t n = static_cast<size_t>(r.ptr - digits);
    for (size_t i = n; i < static_cast<size_t>(width > 0 ? width : 0); ++i) append(" ", 1);
    append(digits, n);
    return *this;
}

TextBuilder& TextBuilder::fixed(double value, int decimals) {
    char digits[400];
    size_t n = formatFixed(digits, sizeof digits, value, decimals);
    append(digits, n);
    return *this;
}

}  // namespace tavix
