// The host side of the program: the CAD host's service table, implemented
// natively, and the two request entries reached through the driver record
// exactly as the CAD host reaches them.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace tavix::host {

constexpr size_t PACKET_SIZE = 4096;  // room for the largest reply (2064 bytes)

using Packet = std::array<uint8_t, PACKET_SIZE>;

class HostSession {
public:
    // output: where the printer stream goes; log: device-control strings and
    // the driver's messages (in UTF-8).
    HostSession(std::FILE* output, std::FILE* log);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Calls DERIZ with this session's table and keeps the record's entries.
    void connect();

    int config(Packet& packet);
    int plot(Packet& packet);
    // A plot request in a buffer of the caller's (requests that outgrow a
    // Packet, such as a fill with its vertices inside).
    int plotBytes(uint8_t* packet);

    // The stored settings block (what hostLoadSettings hands out).
    std::array<uint8_t, 40> storedBlock{};
    bool hasStoredBlock = false;
    bool saveRefused = false;  // hostSaveSettings answers failure

    // What the driver did.
    uint64_t bytesWritten = 0;
    bool writeFailed = false;
    std::vector<std::string> messages;  // as the driver gave them (code page 932)
    // The messages shown in English rather than as the driver gave them
    // (the settings summary, for a user whose language is not Japanese).
    bool messagesInEnglish = false;

    // Called after every accepted write (progress display).
    std::function<void(uint64_t bytes)> onWrite;

private:
    friend struct HostCallbacks;
    std::FILE* output_;
    std::FILE* log_;
    uint8_t table_[196] = {};
    uint32_t configEntry_ = 0;
    uint32_t plotEntry_ = 0;
};

}  // namespace tavix::host
