#include "support/recordingHost.h"

#include <cstdio>
#include <cstring>

#include "platform/hostAddress.h"
#include "tavix/driverState.h"
#include "tavix/entryPoints.h"
#include "tavix/hostServices.h"
#include "tavix/outputBuffer.h"
#include "tavix/packet.h"

namespace tavix::testing {
namespace {

RecordingHost* current = nullptr;

int TAVIX_CDECL showMessage(const char* text) {
    current->messages.emplace_back(text);
    return 0;
}

int TAVIX_CDECL sendDeviceControl(const char* text) {
    current->deviceControls.emplace_back(text);
    return 0;
}

int TAVIX_CDECL writeOutput(int one, int zero, const void* bytes, int count, int zero2) {
    if (one != 1 || zero != 0 || zero2 != 0) return 0;
    int call = current->writeCalls++;
    current->pieceSizes.push_back(count);
    if (call == current->failWriteAtCall ||
        (current->failAllWritesFrom && current->failWriteAtCall >= 0 &&
         call > current->failWriteAtCall))
        return 0;
    current->output.append(static_cast<const char*>(bytes), static_cast<size_t>(count));
    return count;
}

int TAVIX_CDECL loadSettings(int size, void* block) {
    int call = current->loadCalls++;
    if (size != 40 || !current->hasStored || call == current->failLoadAtCall) return 1;
    std::memcpy(block, current->stored, 40);
    return 0;
}

int TAVIX_CDECL saveSettings(int size, void* block) {
    int call = current->saveCalls++;
    if (size != 40 || call == current->failSaveAtCall) return 1;
    std::memcpy(current->stored, block, 40);
    current->hasStored = true;
    return 0;
}

int TAVIX_CDECL exchangeValue(int a, int b) {
    current->exchangeCalls.emplace_back(a, b);
    return current->exchangeResult;
}

void putSlot(uint8_t* table, int offset, const void* fn) {
    writeU32(table, offset, hostAddressOf(fn));
}

}  // namespace

RecordingHost* activeHost() { return current; }

void RecordingHost::install() {
    current = this;
    std::memset(table, 0, sizeof table);
    putSlot(table, SLOT_SHOW_MESSAGE, reinterpret_cast<const void*>(&showMessage));
    putSlot(table, SLOT_SEND_DEVICE_CONTROL, reinterpret_cast<const void*>(&sendDeviceControl));
    putSlot(table, SLOT_WRITE_OUTPUT, reinterpret_cast<const void*>(&writeOutput));
    putSlot(table, SLOT_LOAD_SETTINGS, reinterpret_cast<const void*>(&loadSettings));
    putSlot(table, SLOT_SAVE_SETTINGS, reinterpret_cast<const void*>(&saveSettings));
    putSlot(table, SLOT_EXCHANGE_VALUE, reinterpret_cast<const void*>(&exchangeValue));
    releaseOutputBuffer();
    resetDriverState();
    DERIZ(table, 0);
}

std::string hexAround(const std::string& bytes, size_t offset) {
    size_t from = offset > 16 ? offset - 16 : 0;
    size_t to = offset + 16 < bytes.size() ? offset + 16 : bytes.size();
    std::string out;
    char cell[8];
    for (size_t i = from; i < to; ++i) {
        std::snprintf(cell, sizeof cell, i == offset ? "[%02X]" : " %02X",
                      static_cast<unsigned char>(bytes[i]));
        out += cell;
    }
    out += "  \"";
    for (size_t i = from; i < to; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        out += (c >= 32 && c < 127) ? static_cast<char>(c) : '.';
    }
    return out + "\"";
}

std::string firstDifference(const std::string& expected, const std::string& actual) {
    size_t n = expected.size() < actual.size() ? expected.size() : actual.size();
    size_t at = 0;
    while (at < n && expected[at] == actual[at]) ++at;
    if (at == n && expected.size() == actual.size()) return "";
    char head[160];
    std::snprintf(head, sizeof head, "first difference at offset %zu (expected %zu bytes, got %zu)",
                  at, expected.size(), actual.size());
    return std::string(head) + "\n  expected:" + hexAround(expected, at) +
           "\n  actual:  " + hexAround(actual, at);
}

}  // namespace tavix::testing
