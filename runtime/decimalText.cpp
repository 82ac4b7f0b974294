#include "runtime/decimalText.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace tavix {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int32_t parseDecimalInteger(const char* text) {
    const char* p = text;
    while (isBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t value = 0;
    constexpr int64_t LIMIT = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    for (; isDigit(*p); ++p) {
        value = value * 10 + (*p - '0');
        if (value > LIMIT) value = LIMIT;  // saturate; keep reading the digits
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

double parseDecimalNumber(const char* text) {
    const char* p = text;
    while (isBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';

    // Scan the number ourselves: it must start with a digit or a point and a
    // digit, so nothing else the conversion below knows (infinity, NaN) can
    // get through; the conversion then reads exactly this grammar.
    const char* start = p;
    const char* intEnd = p;
    while (isDigit(*intEnd)) ++intEnd;
    p = intEnd;
    bool digits = p != start;
    if (*p == '.') {
        const char* fractionStart = ++p;
        while (isDigit(*p)) ++p;
        digits = digits || p != fractionStart;
    }
    if (!digits) return 0.0;
    bool exponentNegative = false;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-') exponentNegative = *q++ == '-';
        if (isDigit(*q)) {
            while (isDigit(*q)) ++q;
            p = q;
        } else {
            exponentNegative = false;  // "12e" is 12
        }
    }

    double value = 0.0;
    auto result = std::from_chars(start, p, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond a double: only an exponent takes a value that far, and its
        // sign says on which side.
        value = exponentNegative ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

}  // namespace tavix
