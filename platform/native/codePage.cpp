#include "platform/native/codePage.h"

#include <iconv.h>

#include <cerrno>

namespace tavix::native {

namespace {

size_t utf8SequenceLength(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}

std::string convert(std::string_view in, const char* to, const char* from, bool fromUtf8) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (char c : in) out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
        return out;
    }
    size_t pos = 0;
    char buffer[256];
    while (pos < in.size()) {
        char* src = const_cast<char*>(in.data() + pos);
        size_t srcLeft = in.size() - pos;
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst);
        pos = in.size() - srcLeft;
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            // One character the other side has no room for: a "?".
            out += '?';
            unsigned char c = static_cast<unsigned char>(in[pos]);
            size_t skip = fromUtf8 ? utf8SequenceLength(c) : (isCp932LeadByte(c) ? 2 : 1);
            pos += skip;
            if (pos > in.size()) pos = in.size();
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string utf8ToCp932(std::string_view utf8) { return convert(utf8, "CP932", "UTF-8", true); }

std::string cp932ToUtf8(std::string_view cp932) { return convert(cp932, "UTF-8", "CP932", false); }

}  // namespace tavix::native
