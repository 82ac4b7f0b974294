// A straightforward HP RTL encoder, written line by line from the
// description of the raster forms, PackBits and the dither (with the
// driver's limits: rows clipped to the buffers and the declared
// width, colour plane bytes that all belong to the row). Tests only: it is
// the oracle the fast encoder must match byte for byte, and the baseline of
// the raster benchmark. Header-only so that the benchmark can use it too.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tavix::reference {

inline constexpr uint8_t TONE_CURVE[256] = {
      0,   3,   6,  12,  14,  17,  20,  22,  25,  28,  30,  32,  35,  37,  39,  42,
     44,  46,  48,  50,  52,  54,  56,  58,  60,  62,  64,  66,  68,  70,  72,  73,
     75,  77,  79,  80,  82,  84,  85,  87,  89,  90,  92,  93,  95,  97,  98, 100,
    101, 102, 104, 105, 107, 108, 110, 111, 112, 114, 115, 116, 118, 119, 120, 122,
    123, 124, 126, 127, 128, 129, 130, 132, 133, 134, 135, 136, 138, 139, 140, 141,
    142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152, 153, 154, 155, 156, 157,
    158, 159, 160, 161, 162, 163, 164, 165, 166, 167, 168, 169, 170, 170, 171, 172,
    173, 174, 175, 176, 177, 178, 178, 179, 180, 181, 182, 183, 183, 184, 185, 186,
    187, 188, 188, 189, 190, 191, 191, 192, 193, 194, 194, 195, 196, 197, 197, 198,
    199, 200, 200, 201, 202, 202, 203, 204, 204, 205, 206, 207, 207, 208, 209, 209,
    210, 210, 211, 212, 212, 213, 214, 214, 215, 215, 216, 217, 217, 218, 218, 219,
    220, 220, 221, 221, 222, 222, 223, 224, 224, 225, 225, 226, 226, 227, 227, 228,
    228, 229, 229, 230, 230, 231, 231, 232, 232, 233, 233, 234, 234, 235, 235, 236,
    236, 237, 237, 238, 238, 239, 239, 239, 240, 240, 241, 241, 242, 242, 242, 243,
    243, 244, 244, 245, 245, 245, 246, 246, 246, 247, 247, 248, 248, 248, 249, 249,
    249, 250, 250, 251, 251, 251, 252, 252, 252, 253, 253, 253, 254, 254, 254, 255,
};

inline constexpr uint8_t BASE_MATRIX[8][8] = {
    { 0, 52,  8, 60, 18, 38, 26, 46},
    {36, 16, 44, 24, 54,  2, 62, 10},
    {48,  4, 56, 12, 34, 22, 42, 30},
    {20, 32, 28, 40,  6, 50, 14, 58},
    {27, 47, 19, 39,  9, 61,  1, 53},
    {63, 11, 55,  3, 45, 25, 37, 17},
    {43, 31, 35, 23, 57, 13, 49,  5},
    {15, 59,  7, 51, 29, 41, 21, 33},
};

constexpr int ROW_PIXELS = 30000;
constexpr int PACK_INPUT = 60000;

class Raster {
public:
    using Sink = void (*)(void* context, const void* bytes, size_t count);

private:
    Sink sink_;
    void* context_;

public:
    Raster(Sink sink, void* context)
        : sink_(sink),
          context_(context),
          red(ROW_PIXELS),
          green(ROW_PIXELS),
          blue(ROW_PIXELS),
          yellow(ROW_PIXELS),
          magenta(ROW_PIXELS),
          cyan(ROW_PIXELS),
          toneRow(90000),
          packInput(PACK_INPUT),
          packRuns(PACK_INPUT),
          packOutput(90000) {
        for (int r = 0; r < 16; ++r)
            for (int c = 0; c < 16; ++c) {
                int q = 0;
                if (r < 8 && c >= 8) q = 1;
                if (r >= 8 && c < 8) q = 2;
                if (r >= 8 && c >= 8) q = 3;
                matrix[r][c] = 4 * BASE_MATRIX[r % 8][c % 8] + 1 + q;
            }
    }

    int32_t mode = 0, colour = 0, keyEnabled = 0, keyRed = 0, keyGreen = 0, keyBlue = 0;
    int32_t magnify = 1, ditherRowIndex = 0, pendingSkip = 0, nonWhitePixels = 0;
    int32_t matrix[16][16];
    uint16_t masks[16][256];
    std::vector<uint8_t> red, green, blue, yellow, magenta, cyan, toneRow, packInput;
    std::vector<int32_t> packRuns;
    std::vector<uint8_t> packOutput;

    void buildMasks() {
        for (int r = 0; r < 16; ++r) {
            masks[r][0] = 0x0000;
            masks[r][255] = 0xFFFF;
        }
        for (int level = 1; level <= 254; ++level)
            for (int r = 0; r < 16; ++r) {
                uint16_t mask = 0;
                for (int c = 0; c < 16; ++c)
                    if (level >= matrix[r][c]) mask |= static_cast<uint16_t>(1 << (15 - c));
                masks[r][level] = mask;
            }
    }

    void dither(int32_t rowIndex, int32_t width, int32_t isColour) {
        int p = rowIndex % 16;
        if (p < 0) p += 16;
        // Every byte a colour plane sends belongs to this row.
        std::memset(yellow.data(), 0, static_cast<size_t>(width / 8 + 3));
        std::memset(magenta.data(), 0, static_cast<size_t>(width / 8 + 3));
        std::memset(cyan.data(), 0, static_cast<size_t>(width / 8 + 3));
        uint16_t wy = 0, wm = 0, wc = 0;
        for (int32_t i = 0; i < width; ++i) {
            int R = red[i], G = green[i], B = blue[i];
            if (!isColour) {
                int g = (30 * R + 59 * G + 11 * B) / 100;
                if (g > 255) g = 255;
                if (g < 0) g = 0;
                R = G = B = g;
            }
            int ly = 255 - TONE_CURVE[B], lm = 255 - TONE_CURVE[G], lc = 255 - TONE_CURVE[R];
            uint16_t bit = static_cast<uint16_t>(0x8000 >> (i % 16));
            if (masks[p][ly] & bit) wy |= bit;
            if (masks[p][lm] & bit) wm |= bit;
            if (masks[p][lc] & bit) wc |= bit;
            if (i % 16 == 15) {
                storeWord(i / 16, wy, wm, wc);
                wy = wm = wc = 0;
            }
        }
        if (width % 16 != 0) storeWord(width / 16, wy, wm, wc);
    }

    int32_t packRow(int32_t length, const uint8_t* data) {
        if (length > PACK_INPUT) length = PACK_INPUT;
        if (length < 0) length = 0;
        for (int32_t i = 0; i < length; ++i) packInput[i] = data[i];
        // Run lengths of equal neighbouring bytes.
        int32_t runs = 0;
        for (int32_t i = 0; i < length;) {
            int32_t j = i + 1;
            while (j < length && packInput[j] == packInput[i]) ++j;
            packRuns[runs++] = j - i;
            i = j;
        }
        int32_t out = 0, at = 0;
        for (int32_t k = 0; k < runs;) {
            if (packRuns[k] == 1) {
                int32_t n = 0;
                while (k + n < runs && packRuns[k + n] == 1) ++n;
                while (n > 0) {
                    int32_t piece = n > 124 ? 124 : n;
                    packOutput[out++] = static_cast<uint8_t>(piece - 1);
                    for (int32_t i = 0; i < piece; ++i) packOutput[out++] = packInput[at++];
                    n -= piece;
                    k += piece;
                }
            } else {
                int32_t n = packRuns[k];
                uint8_t value = packInput[at];
                at += n;
                while (n > 124) {
                    packOutput[out++] = 0x85;
                    packOutput[out++] = value;
                    n -= 124;
                }
                packOutput[out++] = static_cast<uint8_t>(1 - n);
                packOutput[out++] = value;
                ++k;
            }
        }
        packOutput[out++] = 0;
        packOutput[out++] = 0;
        return out;
    }

    void begin(int32_t width, int32_t height, int32_t mode_, int32_t colour_, int32_t keyEnabled_,
               int32_t keyRed_, int32_t keyGreen_, int32_t keyBlue_, int32_t magnify_) {
        mode = mode_;
        colour = colour_ != 0;
        keyEnabled = keyEnabled_;
        keyRed = keyRed_;
        keyGreen = keyGreen_;
        keyBlue = keyBlue_;
        magnify = magnify_ < 1 ? 1 : (magnify_ > ROW_PIXELS ? ROW_PIXELS : magnify_);
        ditherRowIndex = 0;
        buildMasks();
        write("\x1b%1A\x1b*p0P\x1b&a1N\x1b*v6W");
        if (mode != 2 && !colour) write(std::string("\x00\x00\x01\x08\x08\x08", 6));
        if (mode != 2 && colour) write(std::string("\x00\x00\xFF\x08\x08\x08", 6));
        if (mode == 2 && !colour) write(std::string("\x00\x01\xFF\x08\x08\x08", 6));
        if (mode == 2 && colour) write(std::string("\x00\x03\x08\x08\x08\x08", 6));
        int64_t w = width < 0 ? 0 : width;
        if (w > limit()) w = limit();
        int64_t h = height < 0 ? 0 : height;
        write("\x1b*r" + std::to_string(w * magnify) + "S");
        write("\x1b*r" + std::to_string(h * magnify) + "T");
        write(colour ? "\x1b*b2M\x1b*t300R" : "\x1b*b2M\x1b*t400R");
        if (mode != 2 && !colour) {
            write("\x1b*v255a255b255c0I");
            write("\x1b*v0a0b0c1I");
        } else if (mode != 2) {
            const char* c[8] = {"255A\x1b*v255B\x1b*v255C", "255A\x1b*v255B\x1b*v000C",
                                "255A\x1b*v000B\x1b*v255C", "255A\x1b*v000B\x1b*v000C",
                                "000A\x1b*v255B\x1b*v255C", "000A\x1b*v255B\x1b*v000C",
                                "000A\x1b*v000B\x1b*v255C", "000A\x1b*v000B\x1b*v000C"};
            for (int i = 0; i < 8; ++i)
                write(std::string("\x1b*v") + c[i] + "\x1b*v" + std::to_string(i) + "I");
        } else if (!colour) {
            for (int i = 0; i < 256; ++i) {
                std::string n = std::to_string(i);
                write("\x1b*v" + n + "A\x1b*v" + n + "B\x1b*v" + n + "C\x1b*v" + n + "I");
            }
        }
        write("\x1b*r1A");
        pendingSkip = 0;
    }

    void encodeRow(int32_t pixelCount, const uint8_t* data, int32_t bitonal, int32_t r,
                   int32_t g, int32_t b) {
        int32_t n = pixelCount < 0 ? 0 : pixelCount;
        if (n > limit()) n = limit();
        int32_t w = n * magnify;
        bool blank = true;
        for (int32_t i = 0; i < n; ++i) {
            int R, G, B;
            if (bitonal) {
                if (data[i] != 0) {
                    R = static_cast<uint8_t>(r);
                    G = static_cast<uint8_t>(g);
                    B = static_cast<uint8_t>(b);
                } else {
                    R = G = B = 255;
                }
            } else {
                R = data[3 * i];
                G = data[3 * i + 1];
                B = data[3 * i + 2];
            }
            if (keyEnabled && R == keyRed && G == keyGreen && B == keyBlue) R = G = B = 255;
            if (!(R == 255 && G == 255 && B == 255)) {
                blank = false;
                ++nonWhitePixels;
            }
            for (int32_t k = 0; k < magnify; ++k) {
                red[i * magnify + k] = static_cast<uint8_t>(R);
                green[i * magnify + k] = static_cast<uint8_t>(G);
                blue[i * magnify + k] = static_cast<uint8_t>(B);
            }
        }
        for (int32_t pass = 1; pass <= magnify; ++pass) {
            if (mode != 2) {
                if (pass == 1) dither(ditherRowIndex, w, colour);
                ++ditherRowIndex;
                if (colour) {
                    transfer(yellow.data(), w / 8 + 3, 'V');
                    transfer(magenta.data(), w / 8 + 3, 'V');
                    transfer(cyan.data(), w / 8 + 3, 'W');
                } else {
                    transfer(cyan.data(), (w + 7) / 8, 'W');
                }
            } else if (blank) {
                ++pendingSkip;
            } else {
                if (pendingSkip > 0) {
                    write("\x1b*b" + std::to_string(pendingSkip) + "Y");
                    pendingSkip = 0;
                }
                if (colour) {
                    for (int32_t i = 0; i < w; ++i) {
                        toneRow[3 * i] = red[i];
                        toneRow[3 * i + 1] = green[i];
                        toneRow[3 * i + 2] = blue[i];
                    }
                    transfer(toneRow.data(), 3 * w, 'W');
                } else {
                    for (int32_t i = 0; i < w; ++i) {
                        int gray = (30 * red[i] + 59 * green[i] + 11 * blue[i]) / 100;
                        toneRow[i] = static_cast<uint8_t>(gray > 255 ? 255 : gray);
                    }
                    transfer(toneRow.data(), w, 'W');
                }
            }
        }
    }

    void end() {
        if (pendingSkip > 0) {
            write("\x1b*b" + std::to_string(pendingSkip) + "Y");
            pendingSkip = 0;
        }
        write("\x1b*rC\x1b*p1P\x1b%0B");
    }

private:
    // Source pixels a row can carry after replication.
    int32_t limit() const { return (mode == 2 && colour ? PACK_INPUT / 3 : ROW_PIXELS) / magnify; }

    void storeWord(int32_t k, uint16_t wy, uint16_t wm, uint16_t wc) {
        yellow[2 * k] = static_cast<uint8_t>(wy >> 8);
        yellow[2 * k + 1] = static_cast<uint8_t>(wy);
        magenta[2 * k] = static_cast<uint8_t>(wm >> 8);
        magenta[2 * k + 1] = static_cast<uint8_t>(wm);
        cyan[2 * k] = static_cast<uint8_t>(wc >> 8);
        cyan[2 * k + 1] = static_cast<uint8_t>(wc);
        for (int z = 2; z < 4; ++z) yellow[2 * k + z] = magenta[2 * k + z] = cyan[2 * k + z] = 0;
    }

    void transfer(const uint8_t* bytes, int32_t length, char letter) {
        int32_t packed = packRow(length, bytes);
        write("\x1b");
        if (packed < length) {
            write("*b2m" + std::to_string(packed) + letter);
            sink_(context_, packOutput.data(), static_cast<size_t>(packed));
        } else {
            write("*b0m" + std::to_string(length) + letter);
            sink_(context_, bytes, static_cast<size_t>(length));
        }
    }

    void write(const std::string& text) { sink_(context_, text.data(), text.size()); }
};

// A sink that appends to a std::string.
inline void appendTo(void* context, const void* bytes, size_t count) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(bytes), count);
}

}  // namespace tavix::reference
