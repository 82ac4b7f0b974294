#include "streamContext.h"

#include <algorithm>
#include <cmath>

namespace tavix::preview {

namespace {

constexpr size_t READ_PIECE = 1 << 20;
// Released bytes are dropped once this many have gathered, so a release
// costs a move of the bytes still held only now and then.
constexpr size_t RELEASE_AT = 4 << 20;

}  // namespace

bool StreamContext::fill(size_t upTo) {
    while (!atSourceEnd_ && base_ + window_.size() < upTo) {
        size_t held = buffer_.size();
        buffer_.resize(held + READ_PIECE);
        source_.in->read(buffer_.data() + held, static_cast<std::streamsize>(READ_PIECE));
        size_t got = static_cast<size_t>(source_.in->gcount());
        buffer_.resize(held + got);
        window_ = buffer_;
        bytesRead_ += got;
        if (got == 0 || !*source_.in) atSourceEnd_ = true;
        if (source_.progress && got > 0) source_.progress(bytesRead_);
    }
    return base_ + window_.size() >= upTo;
}

bool StreamContext::startsWith(std::string_view text) {
    return ensure(text.size()) >= text.size() && window_.substr(pos - base_, text.size()) == text;
}

size_t StreamContext::ensure(size_t count) {
    fill(pos + count);
    size_t end = base_ + window_.size();
    return pos >= end ? 0 : std::min(count, end - pos);
}

std::string_view StreamContext::bytes(size_t from, size_t count) const {
    if (from < base_ || from - base_ >= window_.size()) return {};
    return window_.substr(from - base_, count);
}

void StreamContext::release() {
    if (source_.in == nullptr || pos <= base_ || pos - base_ < RELEASE_AT) return;
    size_t drop = std::min(pos - base_, buffer_.size());
    buffer_.erase(0, drop);
    base_ += drop;
    window_ = buffer_;
}

void StreamContext::skip(size_t count) {
    while (count > 0 && peek() >= 0) {
        size_t held = base_ + window_.size() - pos;
        size_t step = std::min(count, held);
        pos += step;
        count -= step;
        release();
    }
}

void StreamContext::warn(size_t offset, std::string text) {
    if (out_.warnings.size() >= limits_.maxWarnings) {
        ++out_.warningsDropped;
        return;
    }
    out_.warnings.push_back(Warning{offset, std::move(text)});
}

// Looks at most three bytes ahead before it commits to a number; then it
// moves on digit by digit, so a run of digits of any length holds nothing.
bool readDecimal(StreamContext& ctx, Decimal& number) {
    auto isDigit = [](int c) { return c >= '0' && c <= '9'; };
    size_t lead = 0;
    bool negative = false;
    if (ctx.peek() == '+' || ctx.peek() == '-') {
        negative = ctx.peek() == '-';
        lead = 1;
    }
    bool startsWithDigit = isDigit(ctx.peek(lead)) || (ctx.peek(lead) == '.' && isDigit(ctx.peek(lead + 1)));
    if (!startsWithDigit) return false;
    ctx.pos += lead;
    double value = 0;
    bool saturated = false;
    bool whole = isDigit(ctx.peek());
    for (size_t n = 0; isDigit(ctx.peek()); ++ctx.pos, ++n) {
        if (!saturated) {
            value = value * 10 + (ctx.peek() - '0');
            if (value > Decimal::LIMIT) saturated = true;
        }
        if (n % 65536 == 65535) ctx.release();
    }
    if (ctx.peek() == '.' && (whole || isDigit(ctx.peek(1)))) {  // "12." is 12
        ++ctx.pos;
        double scale = 0.1;
        for (size_t kept = 0; isDigit(ctx.peek()); ++ctx.pos, ++kept) {
            if (kept < 15) {
                value += (ctx.peek() - '0') * scale;
                scale /= 10;
            }
            if (kept % 65536 == 65535) ctx.release();
        }
    }
    number.tooLarge = saturated || value > Decimal::LIMIT;
    if (number.tooLarge) value = Decimal::LIMIT;
    number.value = negative ? -value : value;
    return true;
}

std::string describeByte(int byte) {
    if (byte < 0) return "end of data";
    if (byte > 0x20 && byte < 0x7F) return std::string("'") + static_cast<char>(byte) + "'";
    static const char hex[] = "0123456789ABCDEF";
    std::string text = "0x";
    text += hex[(byte >> 4) & 15];
    text += hex[byte & 15];
    return text;
}

std::string numberText(long long value) {
    if (value == 0) return "0";
    bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    std::string digits;
    while (magnitude > 0) {
        digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    }
    return negative ? "-" + digits : digits;
}

std::string fixedText(double value, int decimals) {
    if (!std::isfinite(value)) return "0";
    if (decimals < 0) decimals = 0;
    if (decimals > 6) decimals = 6;
    double scale = std::pow(10.0, decimals);
    double scaled = std::round(std::fabs(value) * scale);
    if (scaled > 9e15) scaled = 9e15;
    long long whole = static_cast<long long>(scaled);
    long long unit = static_cast<long long>(scale);
    std::string text = (value < 0 && whole != 0) ? "-" : "";
    text += numberText(whole / unit);
    if (decimals > 0) {
        std::string fraction = numberText(whole % unit);
        text += '.';
        text += std::string(static_cast<size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return text;
}

}  // namespace tavix::preview
