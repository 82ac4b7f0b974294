// Halftone: the tone curve, the 16 x 16 ordered-dither matrix and the
// dithering of one row into the yellow, magenta and cyan bit planes.
#include <cstring>

#include "plot/grayLevel.h"
#include "plot/halftone.h"
#include "tavix/driverState.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavix {
namespace {

// Component value -> tone; rises monotonically and brightens the mid-tones.
constexpr uint8_t TONE_CURVE[256] = {
      0,   3,   6,  12,  14,  17,  20,  22,  25,  28,  30,  32,  35,  37,  39,  42,  // 0
     44,  46,  48,  50,  52,  54,  56,  58,  60,  62,  64,  66,  68,  70,  72,  73,  // 16
     75,  77,  79,  80,  82,  84,  85,  87,  89,  90,  92,  93,  95,  97,  98, 100,  // 32
    101, 102, 104, 105, 107, 108, 110, 111, 112, 114, 115, 116, 118, 119, 120, 122,  // 48
    123, 124, 126, 127, 128, 129, 130, 132, 133, 134, 135, 136, 138, 139, 140, 141,  // 64
    142, 143, 144, 145, 146, 147, 148, 149, 150, 151, 152, 153, 154, 155, 156, 157,  // 80
    158, 159, 160, 161, 162, 163, 164, 165, 166, 167, 168, 169, 170, 170, 171, 172,  // 96
    173, 174, 175, 176, 177, 178, 178, 179, 180, 181, 182, 183, 183, 184, 185, 186,  // 112
    187, 188, 188, 189, 190, 191, 191, 192, 193, 194, 194, 195, 196, 197, 197, 198,  // 128
    199, 200, 200, 201, 202, 202, 203, 204, 204, 205, 206, 207, 207, 208, 209, 209,  // 144
    210, 210, 211, 212, 212, 213, 214, 214, 215, 215, 216, 217, 217, 218, 218, 219,  // 160
    220, 220, 221, 221, 222, 222, 223, 224, 224, 225, 225, 226, 226, 227, 227, 228,  // 176
    228, 229, 229, 230, 230, 231, 231, 232, 232, 233, 233, 234, 234, 235, 235, 236,  // 192
    236, 237, 237, 238, 238, 239, 239, 239, 240, 240, 241, 241, 242, 242, 242, 243,  // 208
    243, 244, 244, 245, 245, 245, 246, 246, 246, 247, 247, 248, 248, 248, 249, 249,  // 224
    249, 250, 250, 251, 251, 251, 252, 252, 252, 253, 253, 253, 254, 254, 254, 255,  // 240
};

// The 8 x 8 base of the dither matrix; every value 0..63 once.
constexpr uint8_t BASE_MATRIX[8][8] = {
    { 0, 52,  8, 60, 18, 38, 26, 46},
    {36, 16, 44, 24, 54,  2, 62, 10},
    {48,  4, 56, 12, 34, 22, 42, 30},
    {20, 32, 28, 40,  6, 50, 14, 58},
    {27, 47, 19, 39,  9, 61,  1, 53},
    {63, 11, 55,  3, 45, 25, 37, 17},
    {43, 31, 35, 23, 57, 13, 49,  5},
    {15, 59,  7, 51, 29, 41, 21, 33},
};

struct DitherMatrix {
    int32_t cell[16][16];
};

// M[r][c] = 4 * B[r mod 8][c mod 8] + 1 + q, q numbering the four 8 x 8
// quadrants 0 (top left), 1 (top right), 2 (bottom left), 3 (bottom right).
// Every threshold 1..256 occurs once.
constexpr DitherMatrix buildDitherMatrix() {
    DitherMatrix m{};
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) {
            int q = (r < 8 ? 0 : 2) + (c < 8 ? 0 : 1);
            m.cell[r][c] = 4 * BASE_MATRIX[r % 8][c % 8] + 1 + q;
        }
    return m;
}

constexpr DitherMatrix DITHER_MATRIX = buildDitherMatrix();

// The level that lights cell (r, c): level 255 lights every cell, including
// the one with threshold 256, which the comparison alone would leave dark.
constexpr bool levelLights(int level, int r, int c) {
    return level == 255 || (level >= 1 && level >= DITHER_MATRIX.cell[r][c]);
}

// The tone curve is monotone, so a cell lights for every component value
// below one bound: the level 255 - TONE_CURVE[v] falls as v rises. Each cell
// therefore reduces to one byte, and dithering to one compare per component.
// The bounds are stored with 0x80 added so that a signed byte compare of
// (v ^ 0x80) < bound works for the full 0..255 range.
struct ComponentBounds {
    alignas(16) uint8_t biased[16][16];
    bool monotone;
};

constexpr ComponentBounds buildComponentBounds() {
    ComponentBounds b{};
    b.monotone = true;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) {
            int count = 0;
            for (int v = 0; v < 256; ++v) {
                bool lit = levelLights(255 - TONE_CURVE[v], r, c);
                if (lit && count != v) b.monotone = false;  // not a prefix
                if (lit) ++count;
            }
            b.biased[r][c] = static_cast<uint8_t>(count ^ 0x80);
        }
    return b;
}

constexpr ComponentBounds COMPONENT_BOUNDS = buildComponentBounds();
static_assert(COMPONENT_BOUNDS.monotone, "the tone curve must rise monotonically");

// Bit i of a lane mask is pixel i of a 16-pixel word; on the wire pixel 0 is
// the most significant bit of the first byte.
struct BitReversal {
    uint8_t byte[256];
};

constexpr BitReversal buildBitReversal() {
    BitReversal t{};
    for (int v = 0; v < 256; ++v) {
        int r = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (v & (1 << bit)) r |= 0x80 >> bit;
        t.byte[v] = static_cast<uint8_t>(r);
    }
    return t;
}

constexpr BitReversal BIT_REVERSAL = buildBitReversal();

inline void storeWord(uint8_t* plane, int32_t word, unsigned lanes) {
    plane[2 * word] = BIT_REVERSAL.byte[lanes & 0xFF];
    plane[2 * word + 1] = BIT_REVERSAL.byte[(lanes >> 8) & 0xFF];
}

#if defined(__SSE2__)

inline unsigned litLanes(__m128i components, __m128i biasedBounds) {
    const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
    __m128i lit = _mm_cmplt_epi8(_mm_xor_si128(components, bias), biasedBounds);
    return static_cast<unsigned>(_mm_movemask_epi8(lit));
}

#endif

inline unsigned litLanesScalar(const uint8_t* components, const uint8_t* biasedBounds) {
    unsigned lanes = 0;
    for (int c = 0; c < 16; ++c)
        if (components[c] < (biasedBounds[c] ^ 0x80u)) lanes |= 1u << c;
    return lanes;
}

}  // namespace

uint16_t ditherMask(int row, int level) {
    if (row < 0 || row > 15 || level < 0 || level > 255) return 0;
    uint16_t mask = 0;
    for (int c = 0; c < 16; ++c)
        if (levelLights(level, row, c)) mask = static_cast<uint16_t>(mask | (0x8000 >> c));
    return mask;
}

// Reads `width` replicated pixels of the component buffers and writes
// ceil(width / 16) big-endian words to each plane, the pixels beyond the
// width as zero bits, then three zero bytes: a colour plane is sent as
// floor(width / 8) + 3 bytes, so every byte sent belongs to this row.
// The per-pixel result equals a lookup of ditherMask (pattern row
// rowIndex mod 16, level 255 - TONE_CURVE[v]); the bounds are that lookup
// folded into one compare.
void ditherPlanes(int32_t rowIndex, int32_t width, int32_t colour) {
    RasterState& rs = state.raster;
    if (width < 0) width = 0;
    if (width > RASTER_ROW_PIXELS) width = RASTER_ROW_PIXELS;
    const uint8_t* bounds = COMPONENT_BOUNDS.biased[rowIndex & 15];
    const int32_t words = (width + 15) / 16;
    const int32_t partial = width % 16;
    const unsigned lastValid = partial == 0 ? 0xFFFFu : (1u << partial) - 1;
    // 30000 is a whole number of words, so a word load never leaves the buffer.
    static_assert(RASTER_ROW_PIXELS % 16 == 0);

#if defined(__SSE2__)
    const __m128i b128 = _mm_load_si128(reinterpret_cast<const __m128i*>(bounds));
#endif
    for (int32_t k = 0; k < words; ++k) {
        const int32_t at = 16 * k;
        const unsigned valid = k == words - 1 ? lastValid : 0xFFFFu;
#if defined(__SSE2__)
        __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rs.red + at));
        __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rs.green + at));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rs.blue + at));
        if (colour != 0) {
            storeWord(rs.yellow, k, litLanes(b, b128) & valid);
            storeWord(rs.magenta, k, litLanes(g, b128) & valid);
            storeWord(rs.cyan, k, litLanes(r, b128) & valid);
        } else {
            storeWord(rs.cyan, k, litLanes(graySixteen(r, g, b), b128) & valid);
        }
#else
        if (colour != 0) {
            storeWord(rs.yellow, k, litLanesScalar(rs.blue + at, bounds) & valid);
            storeWord(rs.magenta, k, litLanesScalar(rs.green + at, bounds) & valid);
            storeWord(rs.cyan, k, litLanesScalar(rs.red + at, bounds) & valid);
        } else {
            uint8_t gray[16];
            for (int c = 0; c < 16; ++c)
                gray[c] = grayOf(rs.red[at + c], rs.green[at + c], rs.blue[at + c]);
            storeWord(rs.cyan, k, litLanesScalar(gray, bounds) & valid);
        }
#endif
    }
    const int32_t end = 2 * words;
    std::memset(rs.cyan + end, 0, 3);
    if (colour != 0) {
        std::memset(rs.yellow + end, 0, 3);
        std::memset(rs.magenta + end, 0, 3);
    }
}

}  // namespace tavix
