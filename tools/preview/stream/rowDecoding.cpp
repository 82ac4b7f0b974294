#include "rowDecoding.h"

#include <algorithm>

namespace tavix::preview {
namespace {

void appendRepeat(std::vector<uint8_t>& out, size_t maxBytes, uint8_t value, size_t count) {
    size_t room = maxBytes > out.size() ? maxBytes - out.size() : 0;
    out.insert(out.end(), std::min(room, count), value);
}

void appendBytes(std::vector<uint8_t>& out, size_t maxBytes, std::string_view bytes) {
    size_t room = maxBytes > out.size() ? maxBytes - out.size() : 0;
    size_t n = std::min(room, bytes.size());
    for (size_t i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(bytes[i]));
}

}  // namespace

RowDecodeResult decodeRow(int method, std::string_view in, std::vector<uint8_t>& out,
                          size_t maxBytes) {
    out.clear();
    RowDecodeResult result;
    if (method == 1) {
        size_t i = 0;
        for (; i + 1 < in.size(); i += 2) {
            size_t count = static_cast<uint8_t>(in[i]) + 1u;
            appendRepeat(out, maxBytes, static_cast<uint8_t>(in[i + 1]), count);
            result.produced += count;
        }
        result.cutPiece = i < in.size();
        return result;
    }
    if (method == 2) {
        size_t i = 0;
        while (i < in.size()) {
            int header = static_cast<int8_t>(in[i++]);
            if (header >= 0) {
                size_t count = static_cast<size_t>(header) + 1;
                size_t available = std::min(count, in.size() - i);
                appendBytes(out, maxBytes, in.substr(i, available));
                result.produced += available;
                i += available;
                if (available < count) result.cutPiece = true;
            } else if (header != -128) {
                if (i >= in.size()) {
                    result.cutPiece = true;
                    break;
                }
                size_t count = static_cast<size_t>(1 - header);
                appendRepeat(out, maxBytes, static_cast<uint8_t>(in[i++]), count);
                result.produced += count;
            }
        }
        return result;
    }
    appendBytes(out, maxBytes, in);
    result.produced = in.size();
    return result;
}

}  // namespace tavix::preview
