// The image request (plot code 52) and the host's row functions.
//
// The code-52 packet, as the driver reads it (bytes 0..123 are kept until
// the next plot request prints the image):
//
//   Offset  Type     Field
//   0       int16    request code 52
//   4       address  rowSource: ImageRowReplyAddress (query pointer)
//   8       address  rowRelease: called with what rowSource returned
//   12      int32    host value, handed back at query offset 32
//   16      int32    x0, first corner X, host units
//   20      int32    y0
//   24      int32    x1, opposite corner X
//   28      int32    y1
//   32      int32    image kind (0 bitonal; 1 bitonal when depth <= 2; else RGB)
//   36      int32    source width in pixels
//   40      int32    source height in pixels
//   44      int16    transparency: non-zero keys (0, 1, 2) to white; 1 also
//                    arms outline capture
//   46      int16    depth, read only by the bitonal rule
//   48      int16    colour index 0..7 of the set pixels of a bitonal image
//   50      72 B     opaque block, copied to query offset 72
//   122     int16    reply: the driver writes 1
//
// ImageRowQuery, 144 bytes built by the driver for every row. Fields given
// for one kind only are not written for the other; bytes not listed are
// never written.
//
//   Offset  Type     Field
//   0       int32    first output column
//   4       int32    first output row
//   8       int32    last output column
//   12      int32    last output row
//   16..28  int32    device rectangle X start, Y start, X end, Y end (host units)
//   32      int32    host value from packet offset 12
//   36      int32    8 for RGB, 1 for bitonal
//   40      int32    direction: 2, or 7 when landscapePaper is set
//   46      int16    bits per pixel: 24 RGB, 1 bitonal
//   48      3 B      RGB: 255, 255, 255     bitonal: int16 0 at 48
//   52      3 B      RGB: 0, 1, 2
//   56      int16    bitonal: the colour index from packet offset 48
//   64      int32    0
//   68      int16    0
//   70      int16    1
//   72      72 B     the block from packet offset 50
//
// ImageRowReply, owned by the host until rowRelease:
//
//   Offset  Type     Field
//   0       address  pixel bytes: RGB triples, or one byte per bitonal pixel
//   4       int32    byte count
//   12      int16    stop flag: non-zero ends the image
//   14      int16    error flag: non-zero, the host could not produce the row
#pragma once

#include <cstdint>

#include "platform/hostAddress.h"
#include "tavix/hostServices.h"

namespace tavix {

namespace imagePacket {
constexpr int ROW_SOURCE = 4;
constexpr int ROW_RELEASE = 8;
constexpr int HOST_VALUE = 12;
constexpr int X0 = 16;
constexpr int Y0 = 20;
constexpr int X1 = 24;
constexpr int Y1 = 28;
constexpr int KIND = 32;
constexpr int SOURCE_WIDTH = 36;
constexpr int SOURCE_HEIGHT = 40;
constexpr int TRANSPARENCY = 44;
constexpr int DEPTH = 46;
constexpr int COLOR_INDEX = 48;
constexpr int HOST_BLOCK = 50;
constexpr int HOST_BLOCK_SIZE = 72;
constexpr int REPLY = 122;
}  // namespace imagePacket

namespace rowQuery {
constexpr int FIRST_COLUMN = 0;
constexpr int FIRST_ROW = 4;
constexpr int LAST_COLUMN = 8;
constexpr int LAST_ROW = 12;
constexpr int DEVICE_X_START = 16;
constexpr int DEVICE_Y_START = 20;
constexpr int DEVICE_X_END = 24;
constexpr int DEVICE_Y_END = 28;
constexpr int HOST_VALUE = 32;
constexpr int KIND = 36;
constexpr int DIRECTION = 40;
constexpr int BITS_PER_PIXEL = 46;
constexpr int WHITE = 48;        // RGB: 255, 255, 255; bitonal: int16 0
constexpr int CHANNELS = 52;     // RGB: 0, 1, 2
constexpr int COLOR_INDEX = 56;  // bitonal
constexpr int ZERO32 = 64;
constexpr int ZERO16 = 68;
constexpr int ONE16 = 70;
constexpr int HOST_BLOCK = 72;
}  // namespace rowQuery

namespace rowReply {
constexpr int PIXELS = 0;
constexpr int COUNT = 4;
constexpr int STOP_FLAG = 12;
constexpr int ERROR_FLAG = 14;
}  // namespace rowReply

constexpr int32_t DIRECTION_ALONG_Y = 2;  // landscapePaper clear
constexpr int32_t DIRECTION_ALONG_X = 7;  // landscapePaper set

// The host's row functions. In the DLL both are plain 32-bit cdecl
// functions; natively their addresses are registered handles, and the reply
// is a host address too (hostPointer resolves it).
using ImageRowReplyAddress = HostAddress;
using ImageRowSourceFn = ImageRowReplyAddress(TAVIX_CDECL*)(void* query);
using ImageRowReleaseFn = void(TAVIX_CDECL*)(ImageRowReplyAddress reply);

// The colours of a bitonal image's set pixels, by colour index.
extern const int32_t bitonalColorTable[8][3];

}  // namespace tavix
