// Any 40 bytes stored by the host, through a configuration run (49, 50,
// 11, 20, 21, 47, every dialog closed with OK) and a plot run (49, 50, 29,
// 48, 47, 30, a few vectors, a fill, an image, 2).
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzzHost.h"
#include "tavix/driverState.h"
#include "tavix/entryPoints.h"

namespace {

std::vector<uint8_t> packet(4096);

uint8_t* request(int16_t code) {
    std::fill(packet.begin(), packet.end(), 0);
    tavix::writeI16(packet.data(), 0, code);
    return packet.data();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tavix::fuzzing::enterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavix;
    if (size < 40) return 0;
    FuzzedDataProvider in(data + 40, size - 40);
    static testing::RecordingHost host;
    host = testing::RecordingHost{};
    std::memcpy(host.stored, data, 40);
    host.hasStored = true;
    host.install();

    // Configuration run.
    uint8_t* p = request(49);
    writeI16(p, 4, 1);
    p[7] = 2;
    ConfigEntry(p);
    std::memcpy(request(50) + 8, "ja", 2);
    ConfigEntry(packet.data());
    writeI16(request(11), 4, 3);
    ConfigEntry(packet.data());
    fuzzing::scriptDialogs(true);
    ConfigEntry(request(20));
    fuzzing::scriptDialogs(true);
    ConfigEntry(request(21));
    ConfigEntry(request(47));
    if (state.outputBuffer != nullptr) std::abort();

    // The same block again, as stored, through a plot run.
    std::memcpy(host.stored, data, 40);
    p = request(49);
    writeI16(p, 4, 1);
    p[7] = 2;
    PlotEntry(p);
    std::memcpy(request(50) + 8, "ja", 2);
    PlotEntry(packet.data());
    writeI16(request(29), 4, 3);
    PlotEntry(packet.data());
    p = request(48);
    writeF64(p, 9, 1e6);
    writeF64(p, 17, 1e6);
    writeF64(p, 41, 1016);
    writeF64(p, 49, 1016);
    PlotEntry(p);
    double w = readF64(p, 9), h = readF64(p, 17);
    p = request(47);
    writeF64(p, 9, w);
    writeF64(p, 17, h);
    PlotEntry(p);
    PlotEntry(request(30));
    bool begun = readI16(packet.data(), 0) == 0;
    for (int i = 0; i < 8; ++i) {
        p = request(i % 3 == 0 ? 3 : 4);
        writeU16(p, 4, in.ConsumeIntegral<uint16_t>());
        writeU16(p, 6, in.ConsumeIntegral<uint16_t>());
        PlotEntry(p);
    }
    p = request(33);
    writeI16(p, 6, 5);
    writeI16(p, 10, 3);
    for (int i = 0; i < 6; ++i) writeU16(p, 12 + 2 * i, in.ConsumeIntegral<uint16_t>());
    PlotEntry(p);
    fuzzing::fillImageRequest(in, request(52));
    PlotEntry(packet.data());
    PlotEntry(request(2));
    if (state.outputBuffer != nullptr) std::abort();
    // A plot that began writes its job from the start: ticket or PJL.
    if (begun && !host.output.empty() && host.output.rfind("##DOZ START\r\n", 0) != 0 &&
        host.output.rfind("\x1b%-12345X", 0) != 0)
        std::abort();
    return 0;
}
