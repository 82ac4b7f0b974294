// The reading position in a printer stream, shared by the readers of its
// languages (job ticket, PJL, HP-GL/2, HP RTL), and the warning list with
// its cap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "streamModel.h"

namespace tavix::preview {

class StreamContext {
public:
    StreamContext(std::string_view data, const ParseLimits& limits, ParsedStream& out)
        : data_(data), limits_(limits), out_(out) {}

    size_t pos = 0;

    size_t size() const { return data_.size(); }
    bool atEnd() const { return pos >= data_.size(); }
    size_t remaining() const { return atEnd() ? 0 : data_.size() - pos; }
    // The byte `ahead` places after the position, or -1 past the end.
    int peek(size_t ahead = 0) const {
        return pos + ahead < data_.size() ? static_cast<uint8_t>(data_[pos + ahead]) : -1;
    }
    bool startsWith(std::string_view text) const {
        return data_.substr(pos < data_.size() ? pos : data_.size()).starts_with(text);
    }
    std::string_view bytes(size_t from, size_t count) const;

    void warn(size_t offset, std::string text);

    const ParseLimits& limits() const { return limits_; }
    ParsedStream& out() { return out_; }

private:
    std::string_view data_;
    const ParseLimits& limits_;
    ParsedStream& out_;
};

// A decimal number as HP-GL/2 parameters and PCL values write it:
// optional sign, digits, optional fraction ("12", "-3.5", "+.25").
struct Decimal {
    double value = 0;
    bool tooLarge = false;  // magnitude above LIMIT, clamped to it
    static constexpr double LIMIT = 1e9;
};

// Reads a number at the position. Returns false (position unchanged) when
// no digit is there. Any number of digits is consumed; the value saturates.
bool readDecimal(StreamContext& ctx, Decimal& number);

// Text of a byte for messages: "'A'" or "0x1B".
std::string describeByte(int byte);

// Integer text without locale or printf.
std::string numberText(long long value);
// Fixed-point text with `decimals` digits, rounded half away from zero.
std::string fixedText(double value, int decimals);

}  // namespace tavix::preview
