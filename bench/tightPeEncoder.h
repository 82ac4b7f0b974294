// The limits the driver's draw path is measured against: move and draw
// requests encoded as tightly as we know how, with the driver's output
// (the same bytes, the same 128-byte pieces, the same flush points) but none
// of its other duties (no error latch, no pen re-selection, no outline
// capture, no request table).
//
//   TightEncoder::request   one call per request, all state in memory, like
//                           PlotEntry; the limit a driver request is held to
//   TightEncoder::stream    every request of a stream in one loop, the state
//                           in registers; no call per request at all
//
// Written on its own (not with the driver's encoder), so that a fault in
// either shows up as different bytes before anything is timed. Domain:
// host points of 16 bits, scale divisors 1..16 (steps below 2^21 plotter
// units, so a number never needs more than five digits).
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tight {

constexpr uint32_t LIMIT = 2097152;           // staged bytes stay below this
constexpr uint32_t BUFFER_SIZE = LIMIT + 8;   // 8 bytes of slack for a word store
constexpr int PIECE = 128;

constexpr int16_t OUTSIDE = 1, UP_FLAGGED = 2, DOWN = 4, MOVED = 8;

using PieceWriter = void (*)(const uint8_t* bytes, int count);

// Digit counts and offset words per leading-zero count of n | 1.
struct Lengths {
    uint64_t offsets[64];
    uint8_t length[64];
};

constexpr Lengths makeLengths(unsigned bits, unsigned last) {
    Lengths t{};
    for (unsigned zeros = 0; zeros < 64; ++zeros) {
        unsigned digits = (64 - zeros + bits - 1) / bits;
        if (digits > 8) digits = 8;  // outside the domain
        for (unsigned i = 0; i + 1 < digits; ++i) t.offsets[zeros] |= uint64_t{63} << (8 * i);
        t.offsets[zeros] |= uint64_t{last} << (8 * (digits - 1));
        t.length[zeros] = static_cast<uint8_t>(digits);
    }
    return t;
}

inline constexpr Lengths LENGTHS7 = makeLengths(5, 95);
inline constexpr Lengths LENGTHS8 = makeLengths(6, 191);

struct Number {
    uint64_t word;
    uint32_t length;
};

// n = 2|v| + sign, its digits spread into bytes (multiplies move each upper
// half, quarter, then digit into place) plus the offsets: one word.
template <bool EightBit>
inline Number number(int32_t v) {
    uint32_t s = static_cast<uint32_t>(v >> 31);
    uint64_t n = (((static_cast<uint32_t>(v) ^ s) - s) * uint64_t{2}) + (s & 1);
    unsigned zeros = static_cast<unsigned>(std::countl_zero(n | 1));
    if constexpr (EightBit) {
        n += (n & 0x0000FFFFFF000000ull) * 255;
        n += (n & 0x00FFF00000FFF000ull) * 15;
        n += (n & 0x0FC00FC00FC00FC0ull) * 3;
        return {n + LENGTHS8.offsets[zeros], LENGTHS8.length[zeros]};
    } else {
        n += (n & 0x000000FFFFF00000ull) * 4095;
        n += (n & 0x000FFC00000FFC00ull) * 63;
        n += (n & 0x03E003E003E003E0ull) * 7;
        return {n + LENGTHS7.offsets[zeros], LENGTHS7.length[zeros]};
    }
}

inline void store(uint8_t* p, uint64_t word) { std::memcpy(p, &word, sizeof word); }

struct TightEncoder {
    std::vector<uint8_t> storage = std::vector<uint8_t>(BUFFER_SIZE);
    uint8_t* bytes = storage.data();
    // No two of x, y, hostX, hostY side by side: the compiler then stores
    // them one by one instead of packing them into a vector register.
    int32_t x = 0;               // pen position, plotter units
    uint32_t count = 0;
    int32_t hostX = -1;          // the last host point written
    int16_t penState = OUTSIDE, previousPenState = OUTSIDE;
    int32_t y = 0;
    int32_t scale = 1;
    int32_t hostY = -1;
    bool eightBit = false;
    PieceWriter write = nullptr;

    TightEncoder() = default;
    TightEncoder(const TightEncoder&) = delete;
    TightEncoder& operator=(const TightEncoder&) = delete;

    void flush() {
        for (uint32_t at = 0; at < count; at += PIECE)
            write(bytes + at, count - at < PIECE ? static_cast<int>(count - at) : PIECE);
        count = 0;
    }

    // The end of a stream: what is still staged is sent (as end plot does).
    [[gnu::noinline]] void finish() { flush(); }

    // One text staged on its own: a flush first when it would reach the limit.
    void part(const void* text, uint32_t length) {
        if (count + length >= LIMIT) flush();
        std::memcpy(bytes + count, text, length);
        count += length;
    }

    void enter(int16_t next) {
        previousPenState = penState;
        penState = next;
    }

    bool redundant(uint32_t hx, uint32_t hy) const {
        return penState == previousPenState && penState != OUTSIDE &&
               static_cast<int32_t>(hx) == hostX && static_cast<int32_t>(hy) == hostY;
    }

    // At the limit: each part on its own, as the driver stages it.
    [[gnu::noinline]] void pointInParts(uint32_t penUp, Number nx, Number ny) {
        if (penUp) part("<", 1);
        part(&nx.word, nx.length);
        part(&ny.word, ny.length);
    }

    // "<" when penUp, then the relative pair: one capacity check, one store
    // per number.
    template <bool EightBit>
    [[gnu::always_inline]] void point(uint32_t hx, uint32_t hy, uint32_t penUp) {
        int32_t px = static_cast<int32_t>(hx) * scale, py = static_cast<int32_t>(hy) * scale;
        Number nx = number<EightBit>(px - x), ny = number<EightBit>(py - y);
        x = px;
        y = py;
        hostX = static_cast<int32_t>(hx);
        hostY = static_cast<int32_t>(hy);
        uint32_t end = count + penUp + nx.length + ny.length;
        if (end >= LIMIT) [[unlikely]]
            return pointInParts(penUp, nx, ny);
        uint8_t* out = bytes + count;
        count = end;
        out[0] = '<';
        store(out + penUp, nx.word);
        store(out + penUp + nx.length, ny.word);
    }

    template <bool EightBit>
    [[gnu::noinline]] void moveInGeneral(uint32_t hx, uint32_t hy) {
        if (redundant(hx, hy)) return;
        int16_t before = penState;
        enter(MOVED);
        if (before == OUTSIDE) part(EightBit ? "PE<" : "PE7<", EightBit ? 3 : 4);
        point<EightBit>(hx, hy, before == DOWN || before == MOVED);
    }

    template <bool EightBit>
    [[gnu::noinline]] void drawInGeneral(uint32_t hx, uint32_t hy) {
        if (redundant(hx, hy)) return;
        int16_t before = penState;
        if (before == UP_FLAGGED) {
            enter(MOVED);
            Number zero = number<EightBit>(0);
            part(&zero.word, 1);
            part(&zero.word, 1);
        } else {
            enter(DOWN);
            if (before == OUTSIDE) part(EightBit ? "PE" : "PE7", EightBit ? 2 : 3);
        }
        point<EightBit>(hx, hy, 0);
    }

    // A move (code 3) or a draw (code 4), the common case inline: the pen
    // down or just moved, and not the same point in the same state.
    template <bool EightBit>
    void serve(const uint8_t* packet) {
        uint32_t hx = packet[4] | uint32_t{packet[5]} << 8;
        uint32_t hy = packet[6] | uint32_t{packet[7]} << 8;
        int16_t s = penState;
        bool going = (s == DOWN || s == MOVED) &&
                     !(s == previousPenState && static_cast<int32_t>(hx) == hostX &&
                       static_cast<int32_t>(hy) == hostY);
        if (packet[0] == 4) {
            if (!going) return drawInGeneral<EightBit>(hx, hy);
            enter(DOWN);
            point<EightBit>(hx, hy, 0);
        } else {
            if (!going) return moveInGeneral<EightBit>(hx, hy);
            enter(MOVED);
            point<EightBit>(hx, hy, 1);
        }
    }

    [[gnu::noinline]] void request(const uint8_t* packet) {
        eightBit ? serve<true>(packet) : serve<false>(packet);
    }

    template <bool EightBit>
    [[gnu::noinline]] void serveInGeneral(const uint8_t* packet) {
        serve<EightBit>(packet);
    }

    // Every request of the stream (8-byte packets) in one loop, the state in
    // locals, the last host point as the packet's x and y bytes in one word
    // (the domain's points have 16 bits). Whatever is not a
    // continued move or draw well below the limit goes through serve with
    // the state put back for it.
    template <bool EightBit>
    [[gnu::noinline]] void streamIn(const uint8_t* packets, size_t requests) {
        uint8_t* const out = bytes;
        const int32_t sc = scale;
        uint32_t n = count;
        int32_t px = x, py = y;
        uint32_t lastXy = 0;
        int16_t s = 0, ps = 0;
        auto load = [&] {
            n = count, px = x, py = y, s = penState, ps = previousPenState;
            lastXy = static_cast<uint32_t>(hostX & 0xFFFF) | static_cast<uint32_t>(hostY) << 16;
        };
        auto save = [&] {
            count = n, x = px, y = py, previousPenState = ps;
            penState = s, hostX = static_cast<int32_t>(lastXy & 0xFFFF), hostY = static_cast<int32_t>(lastXy >> 16);
        };
        load();
        for (const uint8_t* p = packets; p != packets + 8 * requests; p += 8) {
            uint32_t xy;
            std::memcpy(&xy, p + 4, sizeof xy);
            uint32_t penUp = p[0] == 4 ? 0 : 1;
            int32_t nx = static_cast<int32_t>(xy & 0xFFFF) * sc, ny = static_cast<int32_t>(xy >> 16) * sc;
            Number wx = number<EightBit>(nx - px), wy = number<EightBit>(ny - py);
            uint32_t end = n + penUp + wx.length + wy.length;
            bool going = (s == DOWN || s == MOVED) && !(s == ps && xy == lastXy);
            if (!going || end >= LIMIT) [[unlikely]] {
                save();
                serveInGeneral<EightBit>(p);
                load();
                continue;
            }
            out[n] = '<';
            store(out + n + penUp, wx.word);
            store(out + n + penUp + wx.length, wy.word);
            n = end;
            px = nx, py = ny, lastXy = xy;
            ps = s;
            s = penUp ? MOVED : DOWN;
        }
        save();
    }

    void stream(const uint8_t* packets, size_t requests) {
        eightBit ? streamIn<true>(packets, requests) : streamIn<false>(packets, requests);
    }
};

}  // namespace tight
