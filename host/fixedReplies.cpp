// The configuration requests that get fixed replies. What the host makes of
// the counts and tables is its business; the values are the ones it expects.
#include <cstring>

#include "host/configHandlers.h"
#include "tavix/driverState.h"
#include "tavix/messages.h"
#include "tavix/packet.h"

namespace tavix {
namespace {

constexpr size_t TABLE_OFFSET = 6;
constexpr size_t TABLE_SIZE = 256;
constexpr int16_t TABLE_REPLY_LENGTH = 262;  // bytes 0..261

constexpr int PEN_WIDTH_COUNT = 256;
constexpr size_t PEN_WIDTH_OFFSET = 16;
constexpr double DEFAULT_PEN_WIDTH_INCHES = 0.01;  // 0.254 mm

constexpr uint32_t CAPABILITY_BIT_19 = 0x80000;

}  // namespace

// 0 at 0, 262 at 2, 7 at 4, 256 zero bytes at 6..261.
void answerTable22(uint8_t* packet) {
    writeI16(packet, 0, 0);
    writeI16(packet, 2, TABLE_REPLY_LENGTH);
    writeI16(packet, 4, 7);
    std::memset(packet + TABLE_OFFSET, 0, TABLE_SIZE);
}

// 0 at 0, 262 at 2, 255 at 4, 256 bytes of 1 at 6..261.
void answerTable23(uint8_t* packet) {
    writeI16(packet, 0, 0);
    writeI16(packet, 2, TABLE_REPLY_LENGTH);
    writeI16(packet, 4, 255);
    std::memset(packet + TABLE_OFFSET, 1, TABLE_SIZE);
}

// 0 at 0, 262 at 2, 255 at 4, at 6..261 the bytes 1, 1, 2, 3, ..., 255.
void answerTable25(uint8_t* packet) {
    writeI16(packet, 0, 0);
    writeI16(packet, 2, TABLE_REPLY_LENGTH);
    writeI16(packet, 4, 255);
    writeU8(packet, TABLE_OFFSET, 1);
    for (size_t i = 1; i < TABLE_SIZE; ++i)
        writeU8(packet, TABLE_OFFSET + i, static_cast<uint8_t>(i));
}

// The packet has the plot-area record's layout: byte 4 = 1 when the
// language is Japanese, bit 19 of the option word at 5, bytes 139 and 140.
void answerCapabilities(uint8_t* packet) {
    writeI16(packet, 0, 0);
    writeU8(packet, 4, languageIsJapanese() ? 1 : 0);
    writeU8(packet, 139, 1);
    writeU8(packet, 140, 0);
    writeU32(packet, 5, readU32(packet, 5) | CAPABILITY_BIT_19);
}

// 0 at 0, the 16-bit sum of the values at 8 and 12 at 2, 255 at 4 (32-bit),
// 256 doubles of 0.01 inch at 16..2063.
void answerPenWidths(uint8_t* packet) {
    int16_t sum = static_cast<int16_t>(readI16(packet, 8) + readI16(packet, 12));
    writeI16(packet, 0, 0);
    writeI16(packet, 2, sum);
    writeI32(packet, 4, 255);
    for (int i = 0; i < PEN_WIDTH_COUNT; ++i)
        writeF64(packet, PEN_WIDTH_OFFSET + 8 * static_cast<size_t>(i), DEFAULT_PEN_WIDTH_INCHES);
}

}  // namespace tavix
