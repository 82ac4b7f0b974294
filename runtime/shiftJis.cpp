#include "runtime/shiftJis.h"

namespace tavix {

bool isShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

size_t shiftJisPrefixLength(const char* text, size_t limit) {
    size_t at = 0;
    while (text[at] != '\0') {
        size_t width =
            isShiftJisLeadByte(static_cast<unsigned char>(text[at])) && text[at + 1] != '\0' ? 2 : 1;
        if (at + width > limit) break;
        at += width;
    }
    return at;
}

}  // namespace tavix
