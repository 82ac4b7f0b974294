// The HP RTL encoder: the raster set-up that leaves HP-GL/2, one transfer per
// printed row (method 2 PackBits when shorter, else method 0 raw), and the
// end that returns to HP-GL/2 with the pen where it was.
//
// The four output forms, chosen by colorMode and rasterContone:
//
//   form                 dpi  configuration bytes  palette      transfer
//   dithered mono        400  00 00 01 08 08 08    white, black one plane, "W"
//   dithered colour      300  00 00 FF 08 08 08    8 entries    Y "V", M "V", C "W"
//   continuous mono      400  00 01 FF 08 08 08    256 grays    a gray byte a pixel
//   continuous colour    300  00 03 08 08 08 08    none         R, G, B a pixel
//
// Every byte goes straight to the host port (rasterWrite), not through the
// OutputBuffer. All buffers are fixed parts of DriverState.
#include <cstring>

#include "plot/grayLevel.h"
#include "plot/halftone.h"
#include "plot/packBits.h"
#include "plot/rasterFill.h"
#include "plot/rasterOutput.h"
#include "plot/rtlEncoder.h"
#include "tavix/driverState.h"
#include "runtime/textFormat.h"

namespace tavix {
namespace {

constexpr int32_t MODE_CONTONE = 2;

// Enter HP RTL at the HP-GL/2 pen, push the palette, forbid negative motion,
// then Configure Image Data with six bytes: colour space RGB, pixel encoding
// (0 by plane, 1 indexed by pixel, 3 direct by pixel), bits per index, and 8
// bits for each primary. 0xFF bits per index is what the printer takes for
// the colour planes and the 256 grays.
constexpr char RTL_ENTER[] = "\x1b%1A\x1b*p0P\x1b&a1N\x1b*v6W";
constexpr uint8_t CONFIG_DITHERED_MONO[6] = {0x00, 0x00, 0x01, 0x08, 0x08, 0x08};
constexpr uint8_t CONFIG_DITHERED_COLOUR[6] = {0x00, 0x00, 0xFF, 0x08, 0x08, 0x08};
constexpr uint8_t CONFIG_CONTONE_MONO[6] = {0x00, 0x01, 0xFF, 0x08, 0x08, 0x08};
constexpr uint8_t CONFIG_CONTONE_COLOUR[6] = {0x00, 0x03, 0x08, 0x08, 0x08, 0x08};
constexpr int SETUP_SIZE = 25;
static_assert(sizeof RTL_ENTER - 1 + 6 == SETUP_SIZE);

// The eight plane combinations: index bit 0 yellow, bit 1 magenta, bit 2 cyan.
constexpr char COLOUR_PLANE_PALETTE[] =
    "\x1b*v255A\x1b*v255B\x1b*v255C\x1b*v0I"   // 0 white
    "\x1b*v255A\x1b*v255B\x1b*v000C\x1b*v1I"   // 1 yellow
    "\x1b*v255A\x1b*v000B\x1b*v255C\x1b*v2I"   // 2 magenta
    "\x1b*v255A\x1b*v000B\x1b*v000C\x1b*v3I"   // 3 red
    "\x1b*v000A\x1b*v255B\x1b*v255C\x1b*v4I"   // 4 cyan
    "\x1b*v000A\x1b*v255B\x1b*v000C\x1b*v5I"   // 5 green
    "\x1b*v000A\x1b*v000B\x1b*v255C\x1b*v6I"   // 6 blue
    "\x1b*v000A\x1b*v000B\x1b*v000C\x1b*v7I";  // 7 black
static_assert(sizeof COLOUR_PLANE_PALETTE - 1 == 208);

constexpr char MONO_PLANE_WHITE[] = "\x1b*v255a255b255c0I";
constexpr char MONO_PLANE_BLACK[] = "\x1b*v0a0b0c1I";
constexpr char RTL_END[] = "\x1b*rC\x1b*p1P\x1b%0B";  // end raster, pop palette, back to HP-GL/2

// Where the three packed colour planes of one row are kept, so that the
// passes of a magnified row send them without packing again.
constexpr int32_t PLANE_PACK_STRIDE = PACK_OUTPUT_SIZE / 3;
static_assert(packedBound(RASTER_ROW_PIXELS / 8 + 3) + PACK_SLACK <= PLANE_PACK_STRIDE);

bool contone() { return state.raster.mode == MODE_CONTONE; }

// Source pixels one row may carry: replicated, they must fit the component
// buffers (30000 pixels), and a tone row the packer (60000 bytes, so 20000
// colour pixels). Wider rows are clipped to this, and the declared width
// says so.
int32_t sourcePixelLimit() {
    const RasterState& rs = state.raster;
    int32_t rowPixels = contone() && rs.colour ? PACK_INPUT_SIZE / 3 : RASTER_ROW_PIXELS;
    return rowPixels / rs.magnify;
}

void writeNumberCommand(const char* prefix, int64_t value, char letter) {
    char text[40];
    TextBuilder(text, sizeof text).text(prefix).integer(value).character(letter);
    rasterWriteText(text);
}

void writeSkip() {
    writeNumberCommand("\x1b*b", state.raster.pendingSkip, 'Y');
    state.raster.pendingSkip = 0;
}

void countSkippedPass() {
    if (state.raster.pendingSkip == INT32_MAX) writeSkip();
    ++state.raster.pendingSkip;
}

void advanceDitherRow() {
    // Only the row modulo 16 matters; 2^31 is a multiple of 16.
    state.raster.ditherRowIndex =
        static_cast<int32_t>((static_cast<uint32_t>(state.raster.ditherRowIndex) + 1u) & 0x7FFFFFFFu);
}

// One transfer: the packed form when it is strictly shorter, else raw. The
// lower-case "m" names the method in the same escape sequence as the data.
void sendTransfer(const uint8_t* raw, int32_t length, const uint8_t* packed, int32_t packedLength,
                  char letter) {
    bool usePacked = packedLength < length;
    char head[32];
    TextBuilder t(head, sizeof head);
    t.character('\x1b').text(usePacked ? "*b2m" : "*b0m").integer(usePacked ? packedLength : length);
    t.character(letter);
    rasterWrite(head, static_cast<int32_t>(t.length()));
    rasterWrite(usePacked ? packed : raw, usePacked ? packedLength : length);
}

void ditheredRow(int32_t width) {
    RasterState& rs = state.raster;
    ditherPlanes(rs.ditherRowIndex, width, rs.colour);
    uint8_t* packed = rs.packOutput;
    if (rs.colour != 0) {
        const int32_t length = width / 8 + 3;
        const int32_t py = packInto(packed, length, rs.yellow);
        const int32_t pm = packInto(packed + PLANE_PACK_STRIDE, length, rs.magenta);
        const int32_t pc = packInto(packed + 2 * PLANE_PACK_STRIDE, length, rs.cyan);
        for (int32_t pass = 0; pass < rs.magnify; ++pass) {
            sendTransfer(rs.yellow, length, packed, py, 'V');
            sendTransfer(rs.magenta, length, packed + PLANE_PACK_STRIDE, pm, 'V');
            sendTransfer(rs.cyan, length, packed + 2 * PLANE_PACK_STRIDE, pc, 'W');
            advanceDitherRow();
        }
    } else {
        const int32_t length = (width + 7) / 8;
        const int32_t pc = packInto(packed, length, rs.cyan);
        for (int32_t pass = 0; pass < rs.magnify; ++pass) {
            sendTransfer(rs.cyan, length, packed, pc, 'W');
            advanceDitherRow();
        }
    }
}

// Where encodeRow puts a row before it is sent.
enum class RowFill {
    components,  // the red, green and blue buffers
    grayTone,    // continuous-tone gray, straight into the tone row
    asGiven,     // continuous-tone colour sent as the host gave it
};

void contoneRow(const uint8_t* data, RowFill fill, int32_t width, bool blank) {
    RasterState& rs = state.raster;
    if (blank) {
        for (int32_t pass = 0; pass < rs.magnify; ++pass) countSkippedPass();
        return;
    }
    int32_t length;
    const uint8_t* tone = rs.toneRow;
    if (fill == RowFill::asGiven) {
        length = 3 * width;
        tone = data;
    } else if (fill == RowFill::grayTone) {
        length = width;
    } else if (rs.colour != 0) {
        length = 3 * width;
        for (int32_t i = 0; i < width; ++i) {
            rs.toneRow[3 * i] = rs.red[i];
            rs.toneRow[3 * i + 1] = rs.green[i];
            rs.toneRow[3 * i + 2] = rs.blue[i];
        }
    } else {
        length = width;
        int32_t i = 0;
#if defined(__SSE2__)
        // The component buffers and the tone row hold whole words of 16.
        static_assert(RASTER_ROW_PIXELS % 16 == 0 && RASTER_ROW_PIXELS <= TONE_ROW_SIZE);
        for (; i < width; i += 16) {
            __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rs.red + i));
            __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rs.green + i));
            __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rs.blue + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(rs.toneRow + i), graySixteen(r, g, b));
        }
#endif
        for (; i < width; ++i) rs.toneRow[i] = grayOf(rs.red[i], rs.green[i], rs.blue[i]);
    }
    const int32_t packedLength = packInto(rs.packOutput, length, tone);
    for (int32_t pass = 0; pass < rs.magnify; ++pass) {
        if (rs.pendingSkip > 0) writeSkip();
        sendTransfer(tone, length, rs.packOutput, packedLength, 'W');
    }
}

}  // namespace

void beginRaster(int32_t width, int32_t height, int32_t mode, int32_t colour, int32_t keyEnabled,
                 int32_t keyRed, int32_t keyGreen, int32_t keyBlue, int32_t magnify) {
    RasterState& rs = state.raster;
    rs.mode = mode;
    rs.colour = colour != 0 ? 1 : 0;
    rs.keyEnabled = keyEnabled;
    rs.keyRed = keyRed;
    rs.keyGreen = keyGreen;
    rs.keyBlue = keyBlue;
    // The host passes its scale divisor (1 to 16); anything else is kept
    // within what one row can hold.
    rs.magnify = magnify < 1 ? 1 : (magnify > RASTER_ROW_PIXELS ? RASTER_ROW_PIXELS : magnify);
    rs.width = width > 0 ? width : 0;
    rs.height = height > 0 ? height : 0;
    rs.ditherRowIndex = 0;
    rs.pendingSkip = 0;

    const uint8_t* config = contone() ? (rs.colour ? CONFIG_CONTONE_COLOUR : CONFIG_CONTONE_MONO)
                                      : (rs.colour ? CONFIG_DITHERED_COLOUR : CONFIG_DITHERED_MONO);
    uint8_t setup[SETUP_SIZE];
    std::memcpy(setup, RTL_ENTER, sizeof RTL_ENTER - 1);
    std::memcpy(setup + sizeof RTL_ENTER - 1, config, 6);
    rasterWrite(setup, SETUP_SIZE);

    // Source raster width and height in printer pixels. The width is that
    // of the widest row the buffers can take, so the printer is never told
    // of pixels that cannot come.
    const int32_t widthSent = rs.width < sourcePixelLimit() ? rs.width : sourcePixelLimit();
    writeNumberCommand("\x1b*r", static_cast<int64_t>(widthSent) * rs.magnify, 'S');
    writeNumberCommand("\x1b*r", static_cast<int64_t>(rs.height) * rs.magnify, 'T');
    rasterWriteText(rs.colour ? "\x1b*b2M\x1b*t300R" : "\x1b*b2M\x1b*t400R");

    if (!contone() && rs.colour) {
        rasterWriteText(COLOUR_PLANE_PALETTE);
    } else if (!contone()) {
        rasterWriteText(MONO_PLANE_WHITE);
        rasterWriteText(MONO_PLANE_BLACK);
    } else if (!rs.colour) {
        for (int i = 0; i < 256; ++i) {
            char entry[48];
            TextBuilder t(entry, sizeof entry);
            t.text("\x1b*v").integer(i).character('A').text("\x1b*v").integer(i).character('B');
            t.text("\x1b*v").integer(i).character('C').text("\x1b*v").integer(i).character('I');
            rasterWriteText(entry);
        }
    }
    rasterWriteText("\x1b*r1A");  // start raster graphics at the cursor
}

void encodeRow(int32_t pixelCount, const uint8_t* data, int32_t bitonal, int32_t red,
               int32_t green, int32_t blue) {
    RasterState& rs = state.raster;
    if (state.errorLatch != 0) return;  // the port is dead; nothing would be sent
    int32_t n = data == nullptr || pixelCount < 0 ? 0 : pixelCount;
    if (n > sourcePixelLimit()) n = sourcePixelLimit();
    const int32_t width = n * rs.magnify;

    // Continuous-tone RGB rows skip the component buffers: a gray row is
    // made at once, and a colour row without replication or key colour is
    // sent as the host gave it.
    RowFill fill = RowFill::components;
    if (contone() && bitonal == 0) {
        if (!rs.colour)
            fill = RowFill::grayTone;
        else if (rs.magnify == 1 && rs.keyEnabled == 0)
            fill = RowFill::asGiven;
    }
    int32_t nonWhite;
    switch (fill) {
        case RowFill::asGiven: nonWhite = countNonWhiteRgb(n, data); break;
        case RowFill::grayTone: nonWhite = fillToneGrayRgb(n, data); break;
        default:
            nonWhite = bitonal != 0 ? fillComponentsBitonal(n, data, red, green, blue)
                                    : fillComponentsRgb(n, data);
            break;
    }
    const int64_t counted = static_cast<int64_t>(state.image.nonWhitePixels) + nonWhite;
    state.image.nonWhitePixels = counted > INT32_MAX ? INT32_MAX : static_cast<int32_t>(counted);

    if (contone()) {
        contoneRow(data, fill, width, nonWhite == 0);
    } else {
        ditheredRow(width);
    }
}

void endRaster() {
    if (state.raster.pendingSkip > 0) writeSkip();
    rasterWriteText(RTL_END);
}

}  // namespace tavix
