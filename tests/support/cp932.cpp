#include "support/cp932.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <vector>

namespace tavix::testing {

std::string cp932(const std::string& utf8) {
    std::string failed = "<not convertible: " + utf8 + ">";
    if (utf8.empty()) return utf8;
#if defined(_WIN32)
    int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                         static_cast<int>(utf8.size()), nullptr, 0);
    if (wideLength <= 0) return failed;
    std::vector<wchar_t> wide(static_cast<size_t>(wideLength));
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        wideLength);
    BOOL lossy = FALSE;
    int length = WideCharToMultiByte(932, 0, wide.data(), wideLength, nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return failed;
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(932, 0, wide.data(), wideLength, out.data(), length, nullptr, nullptr);
    return out;
#else
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return failed;
    std::vector<char> in(utf8.begin(), utf8.end());
    std::vector<char> out(utf8.size() * 2 + 8);
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1) || inLeft != 0) return failed;
    return std::string(out.data(), out.size() - outLeft);
#endif
}

std::string cp932Padded(const std::string& utf8, size_t width) {
    std::string bytes = cp932(utf8);
    if (bytes.size() < width) bytes.append(width - bytes.size(), ' ');
    return bytes;
}

}  // namespace tavix::testing
