#include "previewStreams.h"

namespace tavix::preview::testing {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

const std::string COLOUR_PLANE_PALETTE =
    "\x1b*v255A\x1b*v255B\x1b*v255C\x1b*v0I\x1b*v255A\x1b*v255B\x1b*v000C\x1b*v1I"
    "\x1b*v255A\x1b*v000B\x1b*v255C\x1b*v2I\x1b*v255A\x1b*v000B\x1b*v000C\x1b*v3I"
    "\x1b*v000A\x1b*v255B\x1b*v255C\x1b*v4I\x1b*v000A\x1b*v255B\x1b*v000C\x1b*v5I"
    "\x1b*v000A\x1b*v000B\x1b*v255C\x1b*v6I\x1b*v000A\x1b*v000B\x1b*v000C\x1b*v7I";

std::string grayPalette() {
    std::string s;
    for (int i = 0; i < 256; ++i) {
        std::string n = std::to_string(i);
        s += "\x1b*v" + n + "A\x1b*v" + n + "B\x1b*v" + n + "C\x1b*v" + n + "I";
    }
    return s;
}

std::string examplePalette() {
    // Colour-number palette entries 1..7 and 255; the rest of the example's
    // 255 pens do not matter to these tests.
    return "PC1,255,0,0PC2,255,255,0PC3,0,255,0PC4,0,255,255PC5,0,0,255PC6,255,0,255PC7,0,0,0"
           "PC255,255,255,255";
}

std::string preamble(long width, long height, int lineEnd, const std::string& pens) {
    std::string w = std::to_string(width), h = std::to_string(height);
    std::string s = "\x1b%-12345X@PJL ENTER LANGUAGE = HPGL2\n\x1b%-1B;BP;IN;";
    s += "PS" + w + "," + h + "IP0,0," + w + "," + h + "SC0," + w + ",0," + h + "IW0,0," + w + "," + h;
    s += "LA1," + std::to_string(lineEnd) + ",2,6SP7RFNP256CR0,255,0,255,0,255";
    s += pens.empty() ? examplePalette() : pens;
    s += "PUPA0,0PRTR0";
    return s;
}

std::string peNumber(long value, bool sevenBit) {
    unsigned long n = value >= 0 ? 2ul * static_cast<unsigned long>(value)
                                 : 2ul * static_cast<unsigned long>(-value) + 1;
    unsigned long base = sevenBit ? 32 : 64;
    std::string out;
    while (n >= base) {
        out += static_cast<char>(63 + n % base);
        n /= base;
    }
    out += static_cast<char>((sevenBit ? 95 : 191) + n);
    return out;
}

std::string pePair(long dx, long dy, bool sevenBit) {
    return peNumber(dx, sevenBit) + peNumber(dy, sevenBit);
}

std::string rtlBegin(const uint8_t config[6], int width, int height, int dpi,
                     const std::string& palette) {
    std::string s = "\x1b%1A\x1b*p0P\x1b&a1N\x1b*v6W";
    for (int i = 0; i < 6; ++i) s += static_cast<char>(config[i]);
    s += "\x1b*r" + std::to_string(width) + "S\x1b*r" + std::to_string(height) + "T";
    s += "\x1b*b2M\x1b*t" + std::to_string(dpi) + "R";
    s += palette;
    s += "\x1b*r1A";
    return s;
}

std::string rtlEnd() { return "\x1b*rC\x1b*p1P\x1b%0B"; }

std::string rtlRow(int method, const std::string& data, char letter) {
    return "\x1b*b" + std::to_string(method) + "m" + std::to_string(data.size()) + letter + data;
}

}  // namespace tavix::preview::testing
