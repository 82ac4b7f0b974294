#include "binaryDxf.h"

#include <cstring>

namespace tavix::dxf {
namespace {

constexpr char SENTINEL[] = "AutoCAD Binary DXF\r\n\x1a";  // and a zero byte: 22 bytes
constexpr size_t SENTINEL_BYTES = sizeof SENTINEL;

enum class ValueType { Text, Double, Int8, Int16, Int32, Int64, Chunk };

bool in(int code, int first, int last) { return code >= first && code <= last; }

// The stored type of a group code's value, as the binary format keeps it.
ValueType typeOf(int code) {
    if (in(code, 310, 319) || code == 1004) return ValueType::Chunk;
    if (in(code, 10, 59) || in(code, 110, 149) || in(code, 210, 239) || in(code, 460, 469) || in(code, 1010, 1059))
        return ValueType::Double;
    if (in(code, 290, 299)) return ValueType::Int8;
    if (in(code, 60, 79) || in(code, 170, 179) || in(code, 270, 289) || in(code, 370, 389) || in(code, 400, 409) ||
        in(code, 1060, 1070))
        return ValueType::Int16;
    if (in(code, 90, 99) || in(code, 420, 459) || code == 1071) return ValueType::Int32;
    if (in(code, 160, 169)) return ValueType::Int64;
    return ValueType::Text;
}

class Reader {
public:
    explicit Reader(std::FILE* file) : file_(file) {}
    bool bytes(uint8_t* out, size_t n) {
        size_t got = std::fread(out, 1, n, file_);
        offset_ += static_cast<long long>(got);
        return got == n;
    }
    int byte() {
        int c = std::getc(file_);
        if (c != EOF) ++offset_;
        return c;
    }
    uint64_t little(size_t n, bool& ok) {
        uint8_t b[8] = {};
        ok = bytes(b, n);
        uint64_t v = 0;
        for (size_t i = n; i-- > 0;) v = v << 8 | b[i];
        return v;
    }
    long long offset() const { return offset_; }

private:
    std::FILE* file_;
    long long offset_ = 0;
};

// A string value as ASCII DXF holds it: control characters in caret form
// (a line break would end the value).
void writeText(std::FILE* out, const std::string& s) {
    for (unsigned char c : s) {
        if (c < 0x20) {
            std::fputc('^', out);
            std::fputc(c + 0x40, out);
        } else if (c == '^') {
            std::fputs("^ ", out);
        } else {
            std::fputc(c, out);
        }
    }
    std::fputc('\n', out);
}

}  // namespace

bool binaryDxfToAscii(std::FILE* in, std::FILE* out, std::string& error) {
    std::rewind(in);
    Reader r(in);
    uint8_t head[SENTINEL_BYTES] = {};
    if (!r.bytes(head, SENTINEL_BYTES) || std::memcmp(head, SENTINEL, SENTINEL_BYTES) != 0) {
        error = "this is not a binary DXF file";
        return false;
    }
    // Files up to R12 keep group codes in one byte (255 leads a two-byte
    // code); later ones in two. The first pair is (0, "SECTION"): a zero
    // byte after the first code byte tells two-byte codes.
    int first = r.byte(), second = r.byte();
    if (first == EOF || second == EOF) {
        error = "the binary DXF file holds nothing after its sentinel";
        return false;
    }
    bool twoByteCodes = first == 0 && second == 0;
    std::fseek(in, static_cast<long>(SENTINEL_BYTES), SEEK_SET);
    Reader body(in);
    long long base = SENTINEL_BYTES;
    auto cut = [&](const char* inside, int code) {
        error = "the binary DXF file ends inside " + std::string(inside) +
                (code >= 0 ? " (group code " + std::to_string(code) + ")" : "") + " at byte " +
                std::to_string(base + body.offset());
        return false;
    };
    std::string text;
    bool ok = true, ended = false;
    for (;;) {
        int lo = body.byte();
        if (lo == EOF) break;
        ended = false;
        int code = lo;
        if (twoByteCodes) {
            int hi = body.byte();
            if (hi == EOF) return cut("a group code", -1);
            code = static_cast<int16_t>(lo | hi << 8);
        } else if (lo == 255) {
            code = static_cast<int>(body.little(2, ok));
            if (!ok) return cut("a group code", -1);
        }
        std::fprintf(out, "%d\n", code);
        switch (typeOf(code)) {
            case ValueType::Text: {
                text.clear();
                int c;
                while ((c = body.byte()) != 0) {
                    if (c == EOF) return cut("a string", code);
                    text.push_back(static_cast<char>(c));
                }
                writeText(out, text);
                ended = code == 0 && text == "EOF";
                break;
            }
            case ValueType::Double: {
                uint64_t bits = body.little(8, ok);
                if (!ok) return cut("a number", code);
                double v;
                std::memcpy(&v, &bits, sizeof v);
                std::fprintf(out, "%.17g\n", v);
                break;
            }
            case ValueType::Int8:
            case ValueType::Int16:
            case ValueType::Int32:
            case ValueType::Int64: {
                ValueType t = typeOf(code);
                size_t n = t == ValueType::Int8 ? 1 : t == ValueType::Int16 ? 2 : t == ValueType::Int32 ? 4 : 8;
                uint64_t raw = body.little(n, ok);
                if (!ok) return cut("a number", code);
                long long v = n == 1   ? static_cast<long long>(static_cast<uint8_t>(raw))
                              : n == 2 ? static_cast<long long>(static_cast<int16_t>(raw))
                              : n == 4 ? static_cast<long long>(static_cast<int32_t>(raw))
                                       : static_cast<long long>(raw);
                std::fprintf(out, "%lld\n", v);
                break;
            }
            case ValueType::Chunk: {
                int length = body.byte();
                if (length == EOF) return cut("binary data", code);
                uint8_t chunk[255];
                if (!body.bytes(chunk, static_cast<size_t>(length))) return cut("binary data", code);
                static const char HEX[] = "0123456789ABCDEF";
                for (int i = 0; i < length; ++i) {
                    std::fputc(HEX[chunk[i] >> 4], out);
                    std::fputc(HEX[chunk[i] & 15], out);
                }
                std::fputc('\n', out);
                break;
            }
        }
    }
    if (!ended) {
        error = "the binary DXF file ends at byte " + std::to_string(base + body.offset()) +
                " without its end marker (0, EOF): it is truncated";
        return false;
    }
    if (std::ferror(out) || std::fflush(out) != 0) {
        error = "the binary DXF file could not be read into a temporary file (is the disk full?)";
        return false;
    }
    return true;
}

}  // namespace tavix::dxf
