#include "streamContext.h"

#include <cmath>

namespace tavix::preview {

std::string_view StreamContext::bytes(size_t from, size_t count) const {
    if (from >= data_.size()) return {};
    return data_.substr(from, count);
}

void StreamContext::warn(size_t offset, std::string text) {
    if (out_.warnings.size() >= limits_.maxWarnings) {
        ++out_.warningsDropped;
        return;
    }
    out_.warnings.push_back(Warning{offset, std::move(text)});
}

bool readDecimal(StreamContext& ctx, Decimal& number) {
    size_t start = ctx.pos;
    size_t at = start;
    auto byteAt = [&](size_t i) { return i < ctx.size() ? ctx.peek(i - ctx.pos) : -1; };
    bool negative = false;
    if (byteAt(at) == '+' || byteAt(at) == '-') {
        negative = byteAt(at) == '-';
        ++at;
    }
    double value = 0;
    bool digits = false;
    bool saturated = false;
    while (byteAt(at) >= '0' && byteAt(at) <= '9') {
        if (!saturated) {
            value = value * 10 + (byteAt(at) - '0');
            if (value > Decimal::LIMIT) saturated = true;
        }
        digits = true;
        ++at;
    }
    if (byteAt(at) == '.') {
        size_t fraction = at + 1;
        double scale = 0.1;
        int kept = 0;
        while (byteAt(fraction) >= '0' && byteAt(fraction) <= '9') {
            if (kept < 15) {
                value += (byteAt(fraction) - '0') * scale;
                scale /= 10;
                ++kept;
            }
            digits = true;
            ++fraction;
        }
        if (digits) at = fraction;
    }
    if (!digits) return false;
    number.tooLarge = saturated || value > Decimal::LIMIT;
    if (number.tooLarge) value = Decimal::LIMIT;
    number.value = negative ? -value : value;
    ctx.pos = at;
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
