// The configuration requests that get fixed replies. What the host makes of
// the counts and tables is its business; the values are the ones it expects.
#include <cstring>

#include "host/fixedReplies.h"
#include "host/languageTables.h"
#include "tavix/driverState.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix {
namespace {

constexpr double DEFAULT_PEN_WIDTH_INCHES = 0.01;  // 0.254 mm

constexpr uint32_t CAPABILITY_BIT_19 = 0x80000;

void answerTableHead(uint8_t* packet, int16_t count) {
    writeI16(packet, PACKET_STATUS, 0);
    writeI16(packet, tablePacket::LENGTH, tablePacket::REPLY_LENGTH);
    writeI16(packet, tablePacket::COUNT, count);
}

}  // namespace

// 0 at 0, 262 at 2, 7 at 4, 256 zero bytes at 6..261.
void answerTable22(uint8_t* packet) {
    answerTableHead(packet, 7);
    std::memset(packet + tablePacket::TABLE, 0, tablePacket::TABLE_SIZE);
}

// 0 at 0, 262 at 2, 255 at 4, 256 bytes of 1 at 6..261.
void answerTable23(uint8_t* packet) {
    answerTableHead(packet, 255);
    std::memset(packet + tablePacket::TABLE, 1, tablePacket::TABLE_SIZE);
}

// 0 at 0, 262 at 2, 255 at 4, at 6..261 the bytes 1, 1, 2, 3, ..., 255.
void answerTable25(uint8_t* packet) {
    answerTableHead(packet, 255);
    writeU8(packet, tablePacket::TABLE, 1);
    for (size_t i = 1; i < tablePacket::TABLE_SIZE; ++i)
        writeU8(packet, tablePacket::TABLE + i, static_cast<uint8_t>(i));
}

// The packet has the plot-area record's layout: byte 4 = 1 when the
// language is Japanese, bit 19 of the option word at 5, bytes 139 and 140.
void answerCapabilities(uint8_t* packet) {
    using namespace plotAreaPacket;
    writeI16(packet, PACKET_STATUS, 0);
    writeU8(packet, JAPANESE, languageIsJapanese() ? 1 : 0);
    writeU8(packet, ONE, 1);
    writeU8(packet, ZERO, 0);
    writeU32(packet, OPTIONS, readU32(packet, OPTIONS) | CAPABILITY_BIT_19);
}

// 0 at 0, the 16-bit sum of the values at 8 and 12 at 2, 255 at 4 (32-bit),
// 256 doubles of 0.01 inch at 16..2063.
void answerPenWidths(uint8_t* packet) {
    using namespace penWidthsPacket;
    int16_t sum = static_cast<int16_t>(readI16(packet, FIRST) + readI16(packet, SECOND));
    writeI16(packet, PACKET_STATUS, 0);
    writeI16(packet, SUM, sum);
    writeI32(packet, COUNT, 255);
    for (int i = 0; i < WIDTH_COUNT; ++i)
        writeF64(packet, WIDTHS + 8 * static_cast<size_t>(i), DEFAULT_PEN_WIDTH_INCHES);
}

}  // namespace tavix
