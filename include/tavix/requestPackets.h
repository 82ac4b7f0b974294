// The request packets the host hands to ConfigEntry and PlotEntry, as the
// driver reads and answers them (byte offsets, little-endian). The image
// request (code 52) has a header of its own, imageRequest.h.
//
// Every packet: bytes 0-1 carry the request code in and, for most codes,
// the status out (0 done, -1 refused or failed).
#pragma once

#include <cstddef>
#include <cstdint>

#include "tavix/packet.h"

namespace tavix {

constexpr size_t PACKET_STATUS = 0;  // int16: code in, status out

// The request was refused or failed.
inline void refuseRequest(uint8_t* packet) { writeI16(packet, PACKET_STATUS, -1); }

// The host's release, codes 11 (configuration) and 29 (plot):
//   4    int16   in: the host's interface release; out: 3
//   6    int16   out: 0
//   11   uint32  in: the host's window
namespace releasePacket {
constexpr size_t RELEASE = 4;
constexpr size_t ZERO = 6;
constexpr size_t HOST_WINDOW = 11;
}  // namespace releasePacket

// Identification, code 49 on either entry. Bytes 0-1 are left as they came.
//   4    int16   in: 1 when the caller is AutoCAD
//   7    uint8   in: the host's release, at least 2
//   10   int16   out: status, 0, -3 (not AutoCAD) or -5 (release too old)
//   12   int16   out: 0
//   86   81      out: the driver's banner, NUL-padded
namespace identifyPacket {
constexpr size_t CALLER = 4;
constexpr size_t RELEASE = 7;
constexpr size_t STATUS = 10;
constexpr size_t ZERO = 12;
constexpr size_t BANNER = 86;
constexpr size_t BANNER_SIZE = 81;
constexpr int16_t NOT_AUTOCAD = -3;
constexpr int16_t RELEASE_TOO_OLD = -5;
}  // namespace identifyPacket

// The language, code 50: the host's language code, at most eight characters.
namespace languagePacket {
constexpr size_t CODE = 8;
constexpr size_t CODE_LENGTH = 8;
}  // namespace languagePacket

// The model choice, code 20:
//   0    int16   0        2    int16   40, the length of the reply
//   4    int16   1        6    int16   0
//   8    32      the chosen model's name
namespace modelPacket {
constexpr size_t LENGTH = 2;
constexpr size_t ONE = 4;
constexpr size_t ZERO = 6;
constexpr size_t NAME = 8;
constexpr size_t NAME_SIZE = 32;
constexpr int16_t REPLY_LENGTH = 40;
}  // namespace modelPacket

// Device initialisation, code 21:
//   0   int16   0 (written by the dispatcher: always succeeds)
//   2   int16   59, the length of the reply
//   6   int16   in: 1 when the host wants the defaults
//   8   double  plot-area X extent, inches
//   16  double  plot-area Y extent, inches
//   24  double  steps per inch on X: 1016 / scaleDivisor
//   32  double  steps per inch on Y: the same
//   40  int16   2315
//   42  int16   255
//   44  int16   1
//   46  int16   7
//   48  int16   port kind: 1 serial (serialHandshake), 2 otherwise
//   50  int16   9600, line speed
//   52  int16   0, parity
//   54  int16   8, data bits
//   56  int16   1, stop bits
//   58  uint8   0
namespace devicePacket {
constexpr size_t LENGTH = 2;
constexpr size_t WANTS_DEFAULTS = 6;
constexpr size_t AREA_X = 8;
constexpr size_t AREA_Y = 16;
constexpr size_t STEPS_X = 24;
constexpr size_t STEPS_Y = 32;
constexpr size_t FIELD_2315 = 40;
constexpr size_t FIELD_255 = 42;
constexpr size_t FIELD_1 = 44;
constexpr size_t FIELD_7 = 46;
constexpr size_t PORT_KIND = 48;
constexpr size_t LINE_SPEED = 50;
constexpr size_t PARITY = 52;
constexpr size_t DATA_BITS = 54;
constexpr size_t STOP_BITS = 56;
constexpr size_t LAST_BYTE = 58;
constexpr int16_t REPLY_LENGTH = 59;
}  // namespace devicePacket

// PlotAreaRecord, the 267-byte packet of codes 46 to 48 (and the layout of
// code 40's capabilities):
//   0    int16   request code; reply 19 (46, 48), 0 or -1
//   4    uint8   code 40 out: 1 when the language is Japanese
//   5    uint32  host option word, kept in hostOptions
//   9    double  plot area width, inches
//   17   double  plot area height, inches
//   25   double  maximum plot area width, inches
//   33   double  maximum plot area height, inches
//   41   double  host units per inch along X
//   49   double  host units per inch along Y
//   73   4       "MAX" and NUL when the area is the maximum
//   139  uint8   written 1
//   140  uint8   written 0
// All other bytes pass through code 46 unchanged.
namespace plotAreaPacket {
constexpr size_t JAPANESE = 4;
constexpr size_t OPTIONS = 5;
constexpr size_t WIDTH = 9;
constexpr size_t HEIGHT = 17;
constexpr size_t MAX_WIDTH = 25;
constexpr size_t MAX_HEIGHT = 33;
constexpr size_t UNITS_X = 41;
constexpr size_t UNITS_Y = 49;
constexpr size_t MAX_MARK = 73;
constexpr size_t ONE = 139;
constexpr size_t ZERO = 140;
constexpr size_t SIZE = 267;
constexpr int16_t REPLY = 19;
}  // namespace plotAreaPacket

// The fixed tables, codes 22, 23 and 25:
//   2    int16   262, the length of the reply
//   4    int16   7 (code 22) or 255
//   6    256     the table
namespace tablePacket {
constexpr size_t LENGTH = 2;
constexpr size_t COUNT = 4;
constexpr size_t TABLE = 6;
constexpr size_t TABLE_SIZE = 256;
constexpr int16_t REPLY_LENGTH = 262;
}  // namespace tablePacket

// The pen widths, code 44:
//   2    int16   out: the 16-bit sum of the values at 8 and 12
//   4    int32   out: 255
//   8    int16   in         12   int16   in
//   16   256 doubles out: the widths, inches
namespace penWidthsPacket {
constexpr size_t SUM = 2;
constexpr size_t COUNT = 4;
constexpr size_t FIRST = 8;
constexpr size_t SECOND = 12;
constexpr size_t WIDTHS = 16;
constexpr int WIDTH_COUNT = 256;
}  // namespace penWidthsPacket

// The plot requests' arguments:
//   codes 3, 4  uint16 x at 4, uint16 y at 6 (host units)
//   codes 5, 7, 36  int16 pen, line type or line-type count at 4
//   code 41  double pen width at 4, inches
//   code 43  uint8 line-type count at 8
//   code 33  int16 fill pen at 6, int16 count at 10, (uint16 x, y) pairs from 12
//   code 54  int16 fill pen at 4, int16 count at 6, uint32 address at 8 of the pairs
namespace plotPacket {
constexpr size_t X = 4;
constexpr size_t Y = 6;
constexpr size_t VALUE = 4;
constexpr size_t LINE_TYPE_COUNT = 8;
constexpr size_t INLINE_PEN = 6;
constexpr size_t INLINE_COUNT = 10;
constexpr size_t INLINE_PAIRS = 12;
constexpr size_t ARRAY_PEN = 4;
constexpr size_t ARRAY_COUNT = 6;
constexpr size_t ARRAY_ADDRESS = 8;
}  // namespace plotPacket

}  // namespace tavix
