#include "hostSession.h"

#include <cstring>

#include "driverMessages.h"
#include "platform/hostAddress.h"
#include "platform/native/codePage.h"
#include "tavix/entryPoints.h"
#include "tavix/hostServices.h"
#include "tavix/packet.h"

namespace tavix::host {

namespace {
HostSession* active = nullptr;
}

// The service functions the driver calls through the table.
struct HostCallbacks {
    static int showMessage(const char* text) {
        active->messages.emplace_back(text);
        // The driver speaks Japanese in code page 932; the terminal reads UTF-8.
        std::string shown = active->messagesInEnglish ? englishForUser(text) : native::cp932ToUtf8(text);
        std::fputs(shown.c_str(), active->log_);
        std::fflush(active->log_);
        return 0;
    }
    static int sendDeviceControl(const char* text) {
        std::fputs("device control: ", active->log_);
        for (const char* p = text; *p; ++p) {
            if (*p == '\x1b')
                std::fputs("ESC", active->log_);
            else
                std::fputc(*p, active->log_);
        }
        std::fputc('\n', active->log_);
        return 0;
    }
    static int writeOutput(int, int, const void* bytes, int count, int) {
        if (count < 0) return 0;
        if (std::fwrite(bytes, 1, static_cast<size_t>(count), active->output_) !=
            static_cast<size_t>(count)) {
            active->writeFailed = true;
            return 0;
        }
        active->bytesWritten += static_cast<uint64_t>(count);
        if (active->onWrite) active->onWrite(active->bytesWritten);
        return count > 0 ? count : 1;
    }
    static int loadSettings(int size, void* block) {
        if (size != 40 || !active->hasStoredBlock) return 1;
        std::memcpy(block, active->storedBlock.data(), 40);
        return 0;
    }
    static int saveSettings(int size, void* block) {
        if (size != 40 || active->saveRefused) return 1;
        std::memcpy(active->storedBlock.data(), block, 40);
        active->hasStoredBlock = true;
        return 0;
    }
    static int exchangeValue(int, int) { return 0; }
};

HostSession::HostSession(std::FILE* output, std::FILE* log) : output_(output), log_(log) {}

HostSession::~HostSession() {
    if (active == this) active = nullptr;
}

void HostSession::connect() {
    active = this;
    auto put = [this](int offset, const void* fn) { writeU32(table_, offset, hostAddressOf(fn)); };
    put(SLOT_SHOW_MESSAGE, reinterpret_cast<const void*>(&HostCallbacks::showMessage));
    put(SLOT_SEND_DEVICE_CONTROL, reinterpret_cast<const void*>(&HostCallbacks::sendDeviceControl));
    put(SLOT_WRITE_OUTPUT, reinterpret_cast<const void*>(&HostCallbacks::writeOutput));
    put(SLOT_LOAD_SETTINGS, reinterpret_cast<const void*>(&HostCallbacks::loadSettings));
    put(SLOT_SAVE_SETTINGS, reinterpret_cast<const void*>(&HostCallbacks::saveSettings));
    put(SLOT_EXCHANGE_VALUE, reinterpret_cast<const void*>(&HostCallbacks::exchangeValue));
    const uint8_t* record = reinterpret_cast<const uint8_t*>(DERIZ(table_, 0));
    configEntry_ = readU32(record, 410);
    plotEntry_ = readU32(record, 414);
}

namespace {
using EntryFn = int (*)(uint8_t*);
int callEntry(uint32_t address, uint8_t* packet) {
    auto fn = reinterpret_cast<EntryFn>(hostPointer(address));
    return fn ? fn(packet) : -1;
}
}  // namespace

int HostSession::config(Packet& packet) {
    active = this;
    return callEntry(configEntry_, packet.data());
}

int HostSession::plot(Packet& packet) { return plotBytes(packet.data()); }

int HostSession::plotBytes(uint8_t* packet) {
    active = this;
    return callEntry(plotEntry_, packet);
}

}  // namespace tavix::host
