// Shared by the request fuzzers: a recording host whose answers come from
// the fuzzer's bytes, row functions for image requests, and dialog scripts
// that close every dialog with OK or Cancel.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/hostAddress.h"
#include "platform/native/scriptedUser.h"
#include "support/recordingHost.h"
#include "tavix/imageRequest.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace tavix::fuzzing {

// Runs in a private directory: the driver writes its pen settings file into
// the current directory.
inline void enterScratchDirectory() {
    char dir[] = "/tmp/tavix-fuzz-XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0) std::abort();
}

// Rows the host hands out: sizes, contents and flags from the fuzzer.
// An image may declare tens of thousands of rows, each sent up to 16 times
// and hundreds of megabytes in all; the host stops every image after
// ROWS_PER_IMAGE rows so that one input stays quick, while the declared
// sizes and the row widths are left as large as the fuzzer makes them.
constexpr size_t ROWS_PER_IMAGE = 32;

struct RowScript {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(64 * 1024);
    uint8_t reply[16] = {};
    std::vector<uint8_t> plan;  // one byte per row: low bits size, 0x40 stop, 0x80 error
    size_t next = 0;
    size_t served = 0;    // rows of the image being printed
    int32_t image = 0;    // the host value of that image
    int32_t announced = 0;
};

inline RowScript& rows() {
    static RowScript r;
    return r;
}

// Each announced image carries its own number as the host value, which
// comes back in every row query.
inline HostAddress TAVIX_CDECL rowSource(void* query) {
    RowScript& r = rows();
    const int32_t image = readI32(static_cast<const uint8_t*>(query), 32);
    if (image != r.image) {
        r.image = image;
        r.served = 0;
    }
    uint8_t step = r.plan.empty() ? 0x3F : r.plan[r.next++ % r.plan.size()];
    if (++r.served > ROWS_PER_IMAGE) step |= 0x40;
    int32_t count = static_cast<int32_t>((step & 0x3F) * 1031 % r.pixels.size());
    writeU32(r.reply, rowReply::PIXELS, hostAddressOf(r.pixels.data()));
    writeI32(r.reply, rowReply::COUNT, count);
    writeI16(r.reply, rowReply::STOP_FLAG, (step & 0x40) ? 1 : 0);
    writeI16(r.reply, rowReply::ERROR_FLAG, (step & 0x80) ? 1 : 0);
    return hostAddressOf(r.reply);
}

inline void TAVIX_CDECL rowRelease(HostAddress) {}

inline void fillImageRequest(FuzzedDataProvider& in, uint8_t* p) {
    writeU32(p, imagePacket::ROW_SOURCE, hostAddressOf(reinterpret_cast<const void*>(&rowSource)));
    writeU32(p, imagePacket::ROW_RELEASE,
             hostAddressOf(reinterpret_cast<const void*>(&rowRelease)));
    for (int offset = imagePacket::X0; offset <= imagePacket::Y1; offset += 4)
        writeI32(p, offset, in.ConsumeIntegralInRange<int32_t>(-100, 70000));
    writeI32(p, imagePacket::KIND, in.ConsumeIntegralInRange<int32_t>(0, 2));
    writeI32(p, imagePacket::SOURCE_WIDTH, in.ConsumeIntegralInRange<int32_t>(-1, 3000));
    writeI32(p, imagePacket::SOURCE_HEIGHT, in.ConsumeIntegralInRange<int32_t>(-1, 3000));
    writeI16(p, imagePacket::TRANSPARENCY, in.ConsumeIntegralInRange<int16_t>(0, 2));
    writeI16(p, imagePacket::DEPTH, in.ConsumeIntegralInRange<int16_t>(0, 24));
    writeI16(p, imagePacket::COLOR_INDEX, in.ConsumeIntegralInRange<int16_t>(-2, 9));
    RowScript& r = rows();
    r.plan = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 16));
    r.next = 0;
    writeI32(p, imagePacket::HOST_VALUE, ++r.announced);
    std::vector<uint8_t> content = in.ConsumeBytes<uint8_t>(16);
    for (size_t i = 0; i < r.pixels.size(); ++i)
        r.pixels[i] = content.empty() ? static_cast<uint8_t>(i) : content[i % content.size()];
}

// Every dialog the next request opens is closed at once, with OK or Cancel.
inline void scriptDialogs(bool ok) {
    namespace user = native::scriptedUser;
    user::reset();
    for (const char* name : {"modelcfg", "detailcfg", "drivercfg"})
        user::expect(name, [ok](native::DialogDriver& d) {
            if (ok || d.templateName() == "modelcfg") d.ok(); else d.cancel();
        });
}

}  // namespace tavix::fuzzing
