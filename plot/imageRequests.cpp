// Image requests (plot code 52). The request is only kept when it arrives;
// the next plot request, whatever its code, prints it first: flush the
// staged HP-GL/2, move to the image corner, fetch the rows from the host
// one printer row at a time and send them as HP RTL, then put back what the
// raster disturbed (pen position, absolute/relative mode, the 255 pen
// colours, window, pen, width and line type).
#include <cmath>
#include <cstring>

#include "platform/hostAddress.h"
#include "platform/messageBox.h"
#include "plot/imageRequests.h"
#include "plot/rasterOutput.h"
#include "plot/rtlEncoder.h"
#include "tavix/driverState.h"
#include "tavix/imageRequest.h"
#include "tavix/outputBuffer.h"
#include "tavix/packet.h"
#include "plot/palette.h"
#include "runtime/textFormat.h"

namespace tavix {

const int32_t bitonalColorTable[8][3] = {
    {255, 255, 255},  // 0 white
    {255, 0, 0},      // 1 red
    {255, 255, 0},    // 2 yellow
    {0, 255, 0},      // 3 green
    {0, 255, 255},    // 4 cyan
    {0, 0, 255},      // 5 blue
    {255, 0, 255},    // 6 magenta
    {0, 0, 0},        // 7 black
};

namespace {

constexpr int BLACK_INDEX = 7;
constexpr double HOST_UNIT_CM = 0.0025;  // a host unit at scale divisor 1: 1/40 mm
constexpr double CM_PER_INCH = 2.54;
constexpr char FAILED_ROW_CAPTION[] = "VUV4.3";

// Truncation toward zero of a size or coordinate computed in double; what
// no int32 can hold (NaN, beyond the range) is limited instead of undefined.
int32_t truncToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(v);
}

// Printer pixels along one side: trunc(target / natural * source), with
// target = host extent * 0.0025 and natural = source / dpi * 2.54, evaluated
// in that order (the truncation depends on it). No source pixels, or an
// empty or reversed target, gives no pixels.
int32_t printerPixels(int32_t from, int32_t to, int32_t sourcePixels, double dpi) {
    if (sourcePixels <= 0) return 0;
    double target = (static_cast<double>(to) - static_cast<double>(from)) * HOST_UNIT_CM;
    double natural = sourcePixels / dpi * CM_PER_INCH;
    int32_t pixels = truncToInt32(target / natural * sourcePixels);
    return pixels > 0 ? pixels : 0;
}

void writeMove(const char* command, int64_t x, int64_t y) {
    char text[64];
    TextBuilder(text, sizeof text).text(command).integer(x).character(',').integer(y);
    rasterWriteText(text);
}

// The 255 pen colours of the preamble again, as grays in monochrome.
void restorePenColours(bool colour) {
    for (int pen = 1; pen <= 255; ++pen) {
        char text[PEN_COLOUR_TEXT_SIZE];
        formatPenColour(text, pen, colour);
        rasterWriteText(text);
    }
}

void restoreText(const char* text) {
    rasterWrite(text, static_cast<int32_t>(strnlen(text, RESTORE_TEXT_SIZE)));
}

// Fills the fields of the row query that change with the row, plus those of
// the image kind; bytes the layout does not list are left as they are.
void fillRowQuery(int32_t row, bool alongX, int32_t w, int32_t h, double step) {
    const PendingImageState& im = state.image;
    uint8_t* q = state.image.rowQuery;
    const double x0 = im.x0, y0 = im.y0, x1 = im.x1, y1 = im.y1;
    if (!alongX) {
        writeI32(q, rowQuery::FIRST_COLUMN, 0);
        writeI32(q, rowQuery::FIRST_ROW, row);
        writeI32(q, rowQuery::LAST_COLUMN, w - 1);
        writeI32(q, rowQuery::LAST_ROW, row);
        writeI32(q, rowQuery::DEVICE_X_START, truncToInt32(x0 + 0.5));
        writeI32(q, rowQuery::DEVICE_Y_START, truncToInt32(y0 + row * step + 0.5));
        writeI32(q, rowQuery::DEVICE_X_END, truncToInt32(x1 - 0.5));
        writeI32(q, rowQuery::DEVICE_Y_END, truncToInt32(y0 + (row + 1.0) * step - 0.5));
    } else {
        writeI32(q, rowQuery::FIRST_COLUMN, row);
        writeI32(q, rowQuery::FIRST_ROW, 0);
        writeI32(q, rowQuery::LAST_COLUMN, row);
        writeI32(q, rowQuery::LAST_ROW, h - 1);
        writeI32(q, rowQuery::DEVICE_X_START, truncToInt32(x0 + row * step + 0.5));
        writeI32(q, rowQuery::DEVICE_Y_START, truncToInt32(y0 + 0.5));
        writeI32(q, rowQuery::DEVICE_X_END, truncToInt32(x0 + (row + 1.0) * step - 0.5));
        writeI32(q, rowQuery::DEVICE_Y_END, truncToInt32(y1 - 0.5));
    }
    writeI32(q, rowQuery::HOST_VALUE, readI32(im.request, imagePacket::HOST_VALUE));
    writeI32(q, rowQuery::DIRECTION, alongX ? DIRECTION_ALONG_X : DIRECTION_ALONG_Y);
    if (im.bitonal) {
        writeI32(q, rowQuery::KIND, 1);
        writeI16(q, rowQuery::BITS_PER_PIXEL, 1);
        writeI16(q, rowQuery::WHITE, 0);
        writeI16(q, rowQuery::COLOR_INDEX, readI16(im.request, imagePacket::COLOR_INDEX));
    } else {
        writeI32(q, rowQuery::KIND, 8);
        writeI16(q, rowQuery::BITS_PER_PIXEL, 24);
        q[rowQuery::WHITE] = q[rowQuery::WHITE + 1] = q[rowQuery::WHITE + 2] = 255;
        q[rowQuery::CHANNELS] = 0;
        q[rowQuery::CHANNELS + 1] = 1;
        q[rowQuery::CHANNELS + 2] = 2;
    }
    writeI32(q, rowQuery::ZERO32, 0);
    writeI16(q, rowQuery::ZERO16, 0);
    writeI16(q, rowQuery::ONE16, 1);
    std::memcpy(q + rowQuery::HOST_BLOCK, im.request + imagePacket::HOST_BLOCK,
                imagePacket::HOST_BLOCK_SIZE);
}

void showFailedRow(int32_t row, int32_t pixelsPerRow, int32_t byteCount) {
    char text[64];
    TextBuilder t(text, sizeof text);
    t.text("image faile=").integer(row).character(' ').integer(pixelsPerRow).character(' ');
    t.integer(byteCount);
    showWarningBox(state.hostWindow, text, FAILED_ROW_CAPTION);
}

// Asks the host for every row and encodes it. Stops at the host's stop
// flag, at a reply the driver cannot read, and when the port has failed.
void fetchRows(int32_t rows, bool alongX, int32_t w, int32_t h, double step) {
    const PendingImageState& im = state.image;
    auto source = reinterpret_cast<ImageRowSourceFn>(
        hostPointer(readU32(im.request, imagePacket::ROW_SOURCE)));
    auto release = reinterpret_cast<ImageRowReleaseFn>(
        hostPointer(readU32(im.request, imagePacket::ROW_RELEASE)));
    if (source == nullptr) return;
    const int32_t pixelsPerRow = alongX ? h : w;
    for (int32_t row = 0; row < rows && state.errorLatch == 0; ++row) {
        fillRowQuery(row, alongX, w, h, step);
        ImageRowReplyAddress replyAddress = source(state.image.rowQuery);
        const uint8_t* reply = static_cast<const uint8_t*>(hostPointer(replyAddress));
        if (reply == nullptr) break;
        if (readI16(reply, rowReply::STOP_FLAG) != 0) {
            if (release != nullptr) release(replyAddress);
            break;
        }
        const int32_t count = readI32(reply, rowReply::COUNT);
        if (readI16(reply, rowReply::ERROR_FLAG) != 0) {
            showFailedRow(row, pixelsPerRow, count);
        } else {
            const uint8_t* pixels =
                static_cast<const uint8_t*>(hostPointer(readU32(reply, rowReply::PIXELS)));
            const int32_t usable = count > 0 ? count : 0;
            if (im.bitonal) {
                encodeRow(usable, pixels, 1, im.bitonalColor[0], im.bitonalColor[1],
                          im.bitonalColor[2]);
            } else {
                encodeRow(usable / 3, pixels, 0, 0, 0, 0);
            }
        }
        if (release != nullptr) release(replyAddress);
    }
}

void printImage() {
    PendingImageState& im = state.image;
    const bool colour = state.settings.get(flags::colorMode);
    const int32_t mode = state.settings.get(flags::rasterContone) ? 2 : 0;
    const double dpi = colour ? 300.0 : 400.0;
    im.nonWhitePixels = 0;

    // Printer pixels at dpi / scaleDivisor; the encoder replicates them back.
    const int32_t w = printerPixels(im.x0, im.x1, im.sourceWidth, dpi);
    const int32_t h = printerPixels(im.y0, im.y1, im.sourceHeight, dpi);

    const int32_t savedX = state.currentX, savedY = state.currentY;
    state.outlineOrigin = {state.lastHostX, state.lastHostY};
    if (state.outputCount > 0 && flushOutput() != 0) return;

    // Host units times the scale divisor are plotter units; 64-bit, as a
    // far corner at a large divisor does not fit 32 bits.
    const int64_t s = state.scaleDivisor;
    const bool alongX = state.settings.get(flags::landscapePaper);
    const int64_t cornerX = static_cast<int64_t>(alongX ? im.x0 : im.x1) * s;
    const int64_t cornerY = static_cast<int64_t>(im.y0) * s;
    writeMove(";PU", cornerX, cornerY);  // ";" ends whatever HP-GL/2 instruction is open
    writeMove("PA", cornerX, cornerY);

    const int32_t rows = alongX ? w : h;
    const int32_t key = im.transparency;
    if (alongX)
        beginRaster(h, w, mode, colour ? 1 : 0, key, 0, 1, 2, state.scaleDivisor);
    else
        beginRaster(w, h, mode, colour ? 1 : 0, key, 0, 1, 2, state.scaleDivisor);

    // An image without pixels along either side has no row to fetch.
    if (w > 0 && h > 0) {
        const double extent = alongX ? static_cast<double>(im.x1) - im.x0
                                     : static_cast<double>(im.y1) - im.y0;
        fetchRows(rows, alongX, w, h, extent / rows);
    }

    if (im.nonWhitePixels > 0 && state.outlineCapture != 0) state.outlineCapture = 0;
    endRaster();  // back in HP-GL/2 where the pen was before the raster

    // The closing PA is in host units, the PU that follows in plotter units:
    // the PU, absolute by then, is what puts the pen back.
    writeMove("PA", im.x1, im.y0);
    writeMove("PU", savedX, savedY);
    rasterWriteText("PR");
    restorePenColours(colour);
    restoreText(state.restoreTexts.window);
    restoreText(state.restoreTexts.pen);
    restoreText(state.restoreTexts.penWidth);
    restoreText(state.restoreTexts.lineType);

    // A page that carries an image is ended at end plot like a drawn one.
    if (state.errorLatch == 0) state.somethingDrawn = 1;
}

}  // namespace

void announceImage(uint8_t* packet) {
    if (packet == nullptr) return;
    PendingImageState& im = state.image;
    im.x0 = readI32(packet, imagePacket::X0);
    im.y0 = readI32(packet, imagePacket::Y0);
    im.x1 = readI32(packet, imagePacket::X1);
    im.y1 = readI32(packet, imagePacket::Y1);
    im.widthHost = static_cast<int32_t>(static_cast<uint32_t>(im.x1) - static_cast<uint32_t>(im.x0));
    im.sourceWidth = readI32(packet, imagePacket::SOURCE_WIDTH);
    im.sourceHeight = readI32(packet, imagePacket::SOURCE_HEIGHT);
    im.transparency = readI16(packet, imagePacket::TRANSPARENCY);
    if (im.transparency == 1) state.outlineCapture = 1;

    const int32_t kind = readI32(packet, imagePacket::KIND);
    im.bitonal = kind == 0 || (kind == 1 && readI16(packet, imagePacket::DEPTH) <= 2) ? 1 : 0;

    // The table has eight colours; another index prints black rather than
    // reading past it.
    int index = readI16(packet, imagePacket::COLOR_INDEX);
    if (index < 0 || index > BLACK_INDEX) index = BLACK_INDEX;
    for (int c = 0; c < 3; ++c) im.bitonalColor[c] = bitonalColorTable[index][c];

    writeI16(packet, imagePacket::REPLY, 1);
    state.outlineOrigin = {state.lastHostX, state.lastHostY};
    std::memcpy(im.request, packet, IMAGE_REQUEST_SIZE);
    state.imageMarker = IMAGE_PENDING;
}

int printPendingImage() {
    if (state.imageMarker != IMAGE_PENDING) return 0;
    // After an output failure or an abort, or with no plot open, the stream
    // has lost what was staged: the image is dropped, no row is requested.
    if (state.errorLatch == 0 && state.outputBuffer != nullptr) printImage();
    state.imageMarker = 0;
    state.penState = PEN_OUTSIDE;
    return 0;
}

}  // namespace tavix
