// Conversions between UTF-8 (the resource script, test sources) and code
// page 932 (the Japanese system's ANSI code page, which the dialogs' texts
// use at run time), and the two-byte character rule of code page 932.
#pragma once

#include <string>
#include <string_view>

namespace tavix::native {

// A character that the target cannot show becomes "?", as the system's
// conversion does.
std::string utf8ToCp932(std::string_view utf8);
std::string cp932ToUtf8(std::string_view cp932);

// True for the first byte of a two-byte code page 932 character.
constexpr bool isCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace tavix::native
