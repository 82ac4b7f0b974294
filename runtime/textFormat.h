// Bounded text building with number formatting of our own.
//
// Every number in the output is formatted here, so that both builds give the
// same bytes whatever the host process's C runtime or locale: the decimal
// point is always '.', and a value exactly halfway between two results
// rounds away from zero (as the Windows C runtime of the CAD host rounds:
// "%.2f" of 0.125 is "0.13").
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavix {

// Writes `value` with `decimals` digits after the point ("%.Nf", "%1.Nlf")
// into out (capacity bytes, always NUL-terminated, cut if too small).
// Returns the length written. NaN and infinities are written as 0.
size_t formatFixed(char* out, size_t capacity, double value, int decimals);

// Appends texts and numbers to a fixed buffer; never writes past it and
// always leaves it NUL-terminated. A cut text is reported by truncated().
class TextBuilder {
public:
    TextBuilder(char* buffer, size_t capacity);

    TextBuilder& text(const char* s);
    TextBuilder& character(char c);
    TextBuilder& integer(int64_t value);              // "%d"
    TextBuilder& integer(int64_t value, int width);   // "%2d": right-aligned in width
    TextBuilder& fixed(double value, int decimals);   // "%.2f"

    const char* str() const { return buffer_; }
    size_t length() const { return length_; }
    bool truncated() const { return truncated_; }

private:
    void append(const char* s, size_t n);

    char* buffer_;
    size_t capacity_;
    size_t length_ = 0;
    bool truncated_ = false;
};

}  // namespace tavix
