// The reading position in a printer stream, shared by the readers of its
// languages (job ticket, PJL, HP-GL/2, HP RTL), and the warning list with
// its cap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <string_view>

#include "streamModel.h"

namespace tavix::preview {

// Where the bytes come from: the whole stream in memory, or read piece by
// piece from a file or pipe. Read from a source, the context keeps only
// the bytes from the last release() on, so memory does not grow with the
// stream. `progress`, when set, is told the bytes read so far.
struct StreamSource {
    std::istream* in = nullptr;
    std::function<void(uint64_t bytesRead)> progress;
};

class StreamContext {
public:
    StreamContext(std::string_view data, const ParseLimits& limits, ParsedStream& out)
        : window_(data), limits_(limits), out_(out), atSourceEnd_(true) {}
    StreamContext(StreamSource source, const ParseLimits& limits, ParsedStream& out)
        : limits_(limits), out_(out), source_(std::move(source)), atSourceEnd_(source_.in == nullptr) {}

    size_t pos = 0;  // absolute offset in the stream

    // Bytes known so far; the stream's size once atEnd().
    size_t size() const { return base_ + window_.size(); }
    bool atEnd() { return peek() < 0; }
    // The byte `ahead` places after the position, or -1 past the end.
    int peek(size_t ahead = 0) {
        size_t at = pos + ahead;
        if (at - base_ >= window_.size() && !fill(at + 1)) return -1;
        return static_cast<uint8_t>(window_[at - base_]);
    }
    bool startsWith(std::string_view text);
    // Makes `count` bytes from the position available (fewer at the end of
    // the data) and returns how many are.
    size_t ensure(size_t count);
    // Bytes [from, from + count) still held; empty when released.
    std::string_view bytes(size_t from, size_t count) const;
    // The bytes before the position are no longer looked at: with a
    // source they are dropped. No view from bytes() may be kept over it.
    void release();
    // Moves past `count` bytes (fewer at the end), holding none of them.
    void skip(size_t count);

    void warn(size_t offset, std::string text);

    const ParseLimits& limits() const { return limits_; }
    ParsedStream& out() { return out_; }

private:
    bool fill(size_t upTo);

    std::string_view window_;  // bytes [base_, base_ + window_.size())
    std::string buffer_;       // holds window_ when reading from a source
    size_t base_ = 0;
    const ParseLimits& limits_;
    ParsedStream& out_;
    StreamSource source_;
    bool atSourceEnd_;
    uint64_t bytesRead_ = 0;
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
