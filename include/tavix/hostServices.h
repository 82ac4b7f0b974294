// The host's service table, as the driver uses it.
//
// The table that DERIZ receives is an array of 32-bit host addresses of
// functions, all in the caller-cleaned (cdecl) convention. The driver calls
// six slots, each looked up by exactly one wrapper below:
//
//   Slot offset  Operation              Arguments
//   112          hostShowMessage        text
//   140          hostSendDeviceControl  text
//   160          hostOutputWriter       1, 0, bytes, count, 0
//                (hostWriteOutput)
//   176          hostLoadSettings       40, block
//   180          hostSaveSettings       40, block
//   192          hostExchangeValue      two integers
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define TAVIX_CDECL __cdecl
#else
#define TAVIX_CDECL
#endif

namespace tavix {

constexpr int SLOT_SHOW_MESSAGE = 112;
constexpr int SLOT_SEND_DEVICE_CONTROL = 140;
constexpr int SLOT_WRITE_OUTPUT = 160;
constexpr int SLOT_LOAD_SETTINGS = 176;
constexpr int SLOT_SAVE_SETTINGS = 180;
constexpr int SLOT_EXCHANGE_VALUE = 192;
constexpr int HOST_TABLE_SIZE = 196;

// The host's functions, as they sit in the table.
using HostShowMessageFn = int(TAVIX_CDECL*)(const char* text);
using HostSendDeviceControlFn = int(TAVIX_CDECL*)(const char* text);
using HostWriteOutputFn = int(TAVIX_CDECL*)(int one, int zero, const void* bytes, int count,
                                            int zero2);
using HostLoadSettingsFn = int(TAVIX_CDECL*)(int size, void* block);
using HostSaveSettingsFn = int(TAVIX_CDECL*)(int size, void* block);
using HostExchangeValueFn = int(TAVIX_CDECL*)(int a, int b);

constexpr int MESSAGE_BUFFER_SIZE = 1024;

// Formats into one static 1024-byte buffer (a longer text is cut) and shows
// it. Only %s, %d and widths of them are used by the driver.
void hostShowMessage(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// The last text hostShowMessage formatted (the shared message buffer).
const char* lastMessageText();

void hostSendDeviceControl(const char* text);

// Non-zero: the bytes were accepted.
int hostWriteOutput(int32_t count, const void* bytes);

// The host's write function as the table holds it now (null for a missing
// table or slot), and one write through it: hostWriteOutput in two steps, so
// that flushOutput looks the slot up once for all the pieces of a flush.
HostWriteOutputFn hostOutputWriter();
inline int hostWriteOutputWith(HostWriteOutputFn writer, int32_t count, const void* bytes) {
    return writer ? writer(1, 0, bytes, count, 0) : 0;
}

// 0: the block was filled / stored.
int hostLoadSettings(void* block);
int hostSaveSettings(void* block);

int hostExchangeValue(int32_t a, int32_t b);

}  // namespace tavix
