// Reading decimal numbers from text the driver stores itself (the pen
// settings file), the same way whatever the C runtime and its locale: the
// point is always '.', and nothing but the plain decimal forms below is
// accepted (no hexadecimal, "inf" or "nan").
#pragma once

#include <cstdint>

namespace tavix {

// Optional leading blanks (space, tab, line feed, vertical tab, form feed,
// carriage return), an optional sign, then decimal digits; reading stops at
// the first other character. No digits gives 0. A value beyond the 32-bit
// range gives the nearest limit.
int32_t parseDecimalInteger(const char* text);

// Optional leading blanks and sign, then digits with an optional fraction
// ("12", "12.5", ".5", "12.") and an optional exponent ("e-3", "E+2"), which
// counts only when it has digits; reading stops at the first other
// character. No number gives 0. The result is the double nearest to the
// decimal value; a value too large gives infinity, one too small 0.
double parseDecimalNumber(const char* text);

}  // namespace tavix
