// Request packets for the configuration tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tavix/entryPoints.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix::testing {

// A packet large enough for every configuration reply, filled with a
// pattern so that bytes a request must not touch can be checked.
struct Packet {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(2100, 0xA5);

    explicit Packet(int16_t code) { writeI16(bytes.data(), PACKET_STATUS, code); }
    uint8_t* data() { return bytes.data(); }
    std::string str() const { return std::string(bytes.begin(), bytes.end()); }
    int16_t status() const { return readI16(bytes.data(), PACKET_STATUS); }
};

// Sends the packet to ConfigEntry and returns it.
inline Packet& sendConfig(Packet& packet) {
    ConfigEntry(packet.data());
    return packet;
}

// Request 49 from AutoCAD R14, request 50 with the given language code.
inline void identifyAndSetLanguage(const char* language = "en") {
    Packet identify(49);
    writeI16(identify.data(), identifyPacket::CALLER, 1);
    identify.bytes[identifyPacket::RELEASE] = 2;
    sendConfig(identify);
    Packet language50(50);
    writeFixedText(language50.data(), languagePacket::CODE, 8, language);
    sendConfig(language50);
}

}  // namespace tavix::testing
