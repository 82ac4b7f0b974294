// Little-endian access to host-owned byte records (request packets, the
// settings block, the host service table, image row queries).
//
// Every field of a host record may sit at any byte offset, odd ones included,
// so fields are only ever read and written through these helpers (memcpy of
// single bytes and shifts), never through a cast of a misaligned pointer.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace tavix {

inline uint8_t readU8(const uint8_t* base, size_t offset) { return base[offset]; }

inline void writeU8(uint8_t* base, size_t offset, uint8_t value) { base[offset] = value; }

inline uint16_t readU16(const uint8_t* base, size_t offset) {
    return static_cast<uint16_t>(base[offset] | (base[offset + 1] << 8));
}

inline int16_t readI16(const uint8_t* base, size_t offset) {
    return static_cast<int16_t>(readU16(base, offset));
}

inline void writeU16(uint8_t* base, size_t offset, uint16_t value) {
    base[offset] = static_cast<uint8_t>(value);
    base[offset + 1] = static_cast<uint8_t>(value >> 8);
}

inline void writeI16(uint8_t* base, size_t offset, int16_t value) {
    writeU16(base, offset, static_cast<uint16_t>(value));
}

inline uint32_t readU32(const uint8_t* base, size_t offset) {
    return static_cast<uint32_t>(base[offset]) | (static_cast<uint32_t>(base[offset + 1]) << 8) |
           (static_cast<uint32_t>(base[offset + 2]) << 16) |
           (static_cast<uint32_t>(base[offset + 3]) << 24);
}

inline int32_t readI32(const uint8_t* base, size_t offset) {
    return static_cast<int32_t>(readU32(base, offset));
}

inline void writeU32(uint8_t* base, size_t offset, uint32_t value) {
    base[offset] = static_cast<uint8_t>(value);
    base[offset + 1] = static_cast<uint8_t>(value >> 8);
    base[offset + 2] = static_cast<uint8_t>(value >> 16);
    base[offset + 3] = static_cast<uint8_t>(value >> 24);
}

inline void writeI32(uint8_t* base, size_t offset, int32_t value) {
    writeU32(base, offset, static_cast<uint32_t>(value));
}

inline float readF32(const uint8_t* base, size_t offset) {
    return std::bit_cast<float>(readU32(base, offset));
}

inline void writeF32(uint8_t* base, size_t offset, float value) {
    writeU32(base, offset, std::bit_cast<uint32_t>(value));
}

inline double readF64(const uint8_t* base, size_t offset) {
    return std::bit_cast<double>(static_cast<uint64_t>(readU32(base, offset)) |
                                 (static_cast<uint64_t>(readU32(base, offset + 4)) << 32));
}

inline void writeF64(uint8_t* base, size_t offset, double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    writeU32(base, offset, static_cast<uint32_t>(bits));
    writeU32(base, offset + 4, static_cast<uint32_t>(bits >> 32));
}

// Copies a text into a fixed field of `size` bytes: at most size - 1 bytes of
// the text, then NUL padding to the end of the field.
inline void writeFixedText(uint8_t* base, size_t offset, size_t size, const char* text) {
    size_t n = 0;
    while (n + 1 < size && text[n] != '\0') ++n;
    std::memcpy(base + offset, text, n);
    std::memset(base + offset + n, 0, size - n);
}

}  // namespace tavix
