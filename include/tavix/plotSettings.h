// The 40-byte settings block that the host stores for the driver, and the pen
// data kept beside it in the pen settings file.
//
// The host stores and returns the block's bytes unchanged, so its layout is a
// stored format. It is kept as a byte array with named accessors, so that the
// layout cannot drift:
//
//   Offset  Type     Field          Range / meaning
//   0       int32    copies         1..999
//   4       int32    paperSize      1-based row of the model's paper list
//   8       uint8    flag byte A    serialHandshake 0x01, xonXoffHandshake 0x08,
//                                   fillStyle 0x10 (half-tone), eightBitEncoding
//                                   0x20, centering 0x40, mirror 0x80
//   9       uint8    flag byte B    invert 0x01, penSettingOn 0x02
//   10      uint8    flag byte C    outputOption 0x01, plotMargin 0x02,
//                                   formatCut 0x10, stampOn 0x20, stampMode
//                                   0x40 (transparent), colorMode 0x80
//   11      uint8    flag byte D    rasterContone 0x01, landscapePaper 0x02,
//                                   dateStamp 0x04, orientation 0x08 (portrait)
//   12      int16    mediaType      row of the media type table
//   14      int16    reserved       written 0 with the defaults, never read
//   16      int16    stampPosition  0..8
//   18      int16    stampFontSize  0..15
//   20      int16    lineEnd        0..3: butt, square, triangular, rounded
//   22      int16    tray           row of the model's tray table
//   24      int16    density        1..64
//   26      int16    reserved       never written, never read
//   28      float32  stampOffsetX   millimetres
//   32      float32  stampOffsetY   millimetres
//   36      int32    modelIndex     model row the block was saved for
#pragma once

#include <cstdint>

#include "tavix/packet.h"

namespace tavix {

constexpr int SETTINGS_SIZE = 40;
constexpr int PEN_COUNT = 255;
constexpr int DRAW_NAME_SIZE = 41;  // 40 characters and the NUL
constexpr int COMMENT_SIZE = 81;    // 80 characters and the NUL

// One flag bit of the block: the byte it lives in and its mask.
struct SettingsFlag {
    uint8_t offset;
    uint8_t mask;
};

namespace flags {
constexpr SettingsFlag serialHandshake{8, 0x01};
constexpr SettingsFlag xonXoffHandshake{8, 0x08};
constexpr SettingsFlag fillStyle{8, 0x10};
constexpr SettingsFlag eightBitEncoding{8, 0x20};
constexpr SettingsFlag centering{8, 0x40};
constexpr SettingsFlag mirror{8, 0x80};
constexpr SettingsFlag invert{9, 0x01};
constexpr SettingsFlag penSettingOn{9, 0x02};
constexpr SettingsFlag outputOption{10, 0x01};
constexpr SettingsFlag plotMargin{10, 0x02};
constexpr SettingsFlag formatCut{10, 0x10};
constexpr SettingsFlag stampOn{10, 0x20};
constexpr SettingsFlag stampMode{10, 0x40};
constexpr SettingsFlag colorMode{10, 0x80};
constexpr SettingsFlag rasterContone{11, 0x01};
constexpr SettingsFlag landscapePaper{11, 0x02};
constexpr SettingsFlag dateStamp{11, 0x04};
constexpr SettingsFlag orientation{11, 0x08};
}  // namespace flags

struct PlotSettings {
    uint8_t bytes[SETTINGS_SIZE];

    bool get(SettingsFlag f) const { return (bytes[f.offset] & f.mask) != 0; }
    void set(SettingsFlag f, bool on) {
        if (on)
            bytes[f.offset] = static_cast<uint8_t>(bytes[f.offset] | f.mask);
        else
            bytes[f.offset] = static_cast<uint8_t>(bytes[f.offset] & ~f.mask);
    }

    int32_t copies() const { return readI32(bytes, 0); }
    void setCopies(int32_t v) { writeI32(bytes, 0, v); }
    int32_t paperSize() const { return readI32(bytes, 4); }
    void setPaperSize(int32_t v) { writeI32(bytes, 4, v); }
    uint8_t flagByte(int index) const { return bytes[8 + index]; }
    void setFlagByte(int index, uint8_t v) { bytes[8 + index] = v; }
    int16_t mediaType() const { return readI16(bytes, 12); }
    void setMediaType(int16_t v) { writeI16(bytes, 12, v); }
    void setReserved14(int16_t v) { writeI16(bytes, 14, v); }
    int16_t stampPosition() const { return readI16(bytes, 16); }
    void setStampPosition(int16_t v) { writeI16(bytes, 16, v); }
    int16_t stampFontSize() const { return readI16(bytes, 18); }
    void setStampFontSize(int16_t v) { writeI16(bytes, 18, v); }
    int16_t lineEnd() const { return readI16(bytes, 20); }
    void setLineEnd(int16_t v) { writeI16(bytes, 20, v); }
    int16_t tray() const { return readI16(bytes, 22); }
    void setTray(int16_t v) { writeI16(bytes, 22, v); }
    int16_t density() const { return readI16(bytes, 24); }
    void setDensity(int16_t v) { writeI16(bytes, 24, v); }
    float stampOffsetX() const { return readF32(bytes, 28); }
    void setStampOffsetX(float v) { writeF32(bytes, 28, v); }
    float stampOffsetY() const { return readF32(bytes, 32); }
    void setStampOffsetY(float v) { writeF32(bytes, 32, v); }
    int32_t modelIndex() const { return readI32(bytes, 36); }
    void setModelIndex(int32_t v) { writeI32(bytes, 36, v); }
};
static_assert(sizeof(PlotSettings) == SETTINGS_SIZE);

// One pen of the pen table: width in millimetres (above 0 up to 25.4) and
// gray 0..100.
struct PenEntry {
    float penWidth;
    uint8_t penGray;
};

}  // namespace tavix
