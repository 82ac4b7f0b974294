// The wrappers around the host's six service slots; nothing else in the
// driver names a slot. A missing table or an empty slot behaves as a host
// that refuses: output and settings calls fail, messages are dropped.
#include "tavix/hostServices.h"

#include <cstdarg>
#include <cstdio>

#include "platform/hostAddress.h"
#include "tavix/driverState.h"
#include "tavix/packet.h"

namespace tavix {
namespace {

char messageBuffer[MESSAGE_BUFFER_SIZE];

template <typename Fn>
Fn slot(int offset) {
    if (state.hostServices == nullptr) return nullptr;
    return reinterpret_cast<Fn>(hostPointer(readU32(state.hostServices, offset)));
}

}  // namespace

void hostShowMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(messageBuffer, sizeof messageBuffer, format, args);
    va_end(args);
    if (n < 0) messageBuffer[0] = '\0';
    if (auto fn = slot<HostShowMessageFn>(SLOT_SHOW_MESSAGE)) fn(messageBuffer);
}

const char* lastMessageText() { return messageBuffer; }

void hostSendDeviceControl(const char* text) {
    if (auto fn = slot<HostSendDeviceControlFn>(SLOT_SEND_DEVICE_CONTROL)) fn(text);
}

HostWriteOutputFn hostOutputWriter() { return slot<HostWriteOutputFn>(SLOT_WRITE_OUTPUT); }

int hostWriteOutput(int32_t count, const void* bytes) {
    return hostWriteOutputWith(hostOutputWriter(), count, bytes);
}

int hostLoadSettings(void* block) {
    auto fn = slot<HostLoadSettingsFn>(SLOT_LOAD_SETTINGS);
    return fn ? fn(SETTINGS_SIZE, block) : -1;
}

int hostSaveSettings(void* block) {
    auto fn = slot<HostSaveSettingsFn>(SLOT_SAVE_SETTINGS);
    return fn ? fn(SETTINGS_SIZE, block) : -1;
}

int hostExchangeValue(int32_t a, int32_t b) {
    auto fn = slot<HostExchangeValueFn>(SLOT_EXCHANGE_VALUE);
    return fn ? fn(a, b) : -1;
}

}  // namespace tavix
