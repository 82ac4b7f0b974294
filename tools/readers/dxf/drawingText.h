// The text of TEXT and MTEXT entities as UTF-8: drawings before AutoCAD 2007
// store it in the code page named by $DWGCODEPAGE (ANSI_1252, ANSI_932 ...),
// later ones in UTF-8; both may hold \U+XXXX escapes.
#pragma once

#include <string>
#include <string_view>

namespace tavix::dxf {

class TextDecoder {
public:
    // `codepage` as $DWGCODEPAGE gives it; `utf8` for files of AutoCAD 2007 on.
    TextDecoder(const std::string& codepage, bool utf8);
    ~TextDecoder();
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;

    // False with the reason when the bytes are not text of the code page.
    bool decode(std::string_view raw, std::string& utf8, std::string& why);
    // The code page understood; empty when it was unknown and Latin-1 is used.
    const std::string& charset() const { return name; }

private:
    std::string name;
    bool utf8Input = false;
    void* converter = nullptr;  // iconv_t
};

// Replaces \U+XXXX escapes with their characters (TEXT; MTEXT keeps its own
// codes for the paragraph reader). An escape of no character (\U+D800,
// \U+0000) becomes U+FFFD; then false, and `why` names the first.
bool expandUnicodeEscapes(std::string_view text, std::string& out, std::string& why);

void appendUtf8(std::string& out, char32_t c);

}  // namespace tavix::dxf
