// Code page 932 (Shift-JIS as Windows has it) bytes of a UTF-8 text, for
// comparing the driver's Japanese texts with the texts as they are written.
// Natively glibc's iconv "CP932"; in the win32 build the system's own code
// page 932 table. "～" (U+FF5E) gives 81 60 in both.
#pragma once

#include <string>

namespace tavix::testing {

// The CP932 bytes, or "<not convertible: TEXT>" when the text has a
// character outside the code page.
std::string cp932(const std::string& utf8);

// The CP932 bytes filled with spaces to `width` bytes.
std::string cp932Padded(const std::string& utf8, size_t width);

}  // namespace tavix::testing
