#include "drawingText.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace tavix::dxf {
namespace {

// Stands for an escape of no character; no stroke font has it, so it is drawn as a box.
constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;

// "ANSI_932" -> "CP932", "ANSI_1252" -> "CP1252"; the DOS code pages likewise.
std::string iconvName(const std::string& codepage) {
    std::string upper;
    for (char c : codepage) upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    for (const char* prefix : {"ANSI_", "DOS"})
        if (upper.rfind(prefix, 0) == 0) return "CP" + upper.substr(std::string(prefix).size());
    return upper;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool validUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 9;
        if (extra == 9 || s.size() - i <= extra) return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

}  // namespace

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

TextDecoder::TextDecoder(const std::string& codepage, bool utf8) : utf8Input(utf8) {
    if (utf8) {
        name = "UTF-8";
        return;
    }
    std::string wanted = iconvName(codepage.empty() ? "ANSI_1252" : codepage);
    iconv_t cd = iconv_open("UTF-8", wanted.c_str());
    if (cd != reinterpret_cast<iconv_t>(-1)) {
        converter = cd;
        name = wanted;
    }
}

TextDecoder::~TextDecoder() {
    if (converter != nullptr) iconv_close(static_cast<iconv_t>(converter));
}

bool TextDecoder::decode(std::string_view raw, std::string& out, std::string& why) {
    out.clear();
    bool ascii = true;
    for (char c : raw) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii || utf8Input) {
        if (!ascii && !validUtf8(raw)) {
            why = "the text is not valid UTF-8";
            return false;
        }
        out.assign(raw);
        return true;
    }
    if (converter == nullptr) {  // an unknown code page: Latin-1 keeps every byte
        for (char c : raw) appendUtf8(out, static_cast<unsigned char>(c));
        return true;
    }
    iconv_t cd = static_cast<iconv_t>(converter);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string input(raw);
    char* in = input.data();
    size_t inLeft = input.size();
    std::string buffer(input.size() * 4 + 16, '\0');
    char* o = buffer.data();
    size_t outLeft = buffer.size();
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) {
        char offset[32];
        std::snprintf(offset, sizeof offset, "%zu", input.size() - inLeft + 1);
        why = "the text is not valid " + name + " (byte " + offset + ")";
        return false;
    }
    buffer.resize(buffer.size() - outLeft);
    out = std::move(buffer);
    return true;
}

bool expandUnicodeEscapes(std::string_view text, std::string& out, std::string& why) {
    out.clear();
    bool allCharacters = true;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 6 < text.size() && (text[i + 1] == 'U' || text[i + 1] == 'u') &&
            text[i + 2] == '+') {
            char32_t c = 0;
            bool hex = true;
            for (size_t k = 3; k < 7; ++k) {
                int h = hexValue(text[i + k]);
                hex = hex && h >= 0;
                c = c * 16 + static_cast<char32_t>(h < 0 ? 0 : h);
            }
            if (hex) {
                if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) {
                    if (allCharacters) why = "\\U+" + std::string(text.substr(i + 3, 4)) + " is not a character";
                    allCharacters = false;
                    c = REPLACEMENT_CHARACTER;
                }
                appendUtf8(out, c);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return allCharacters;
}

}  // namespace tavix::dxf
