// Sequences of configuration and plot requests from a host of the fuzzer's:
// well-formed packets with any codes, coordinates, counts, doubles, flags,
// image sizes and rows, host services that fail where the fuzzer says, run
// against a fresh driver. After every request the driver's invariants must
// hold.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzzHost.h"
#include "tavix/driverState.h"
#include "tavix/entryPoints.h"
#include "tavix/messageSlots.h"
#include "tavix/outputBuffer.h"
#include "tavix/requestPackets.h"

namespace {

bool allocationAllowed = true;

// The stream of a plot that drew something ends with ";PUSP0;PG;" and,
// for extra copies, "RP" and their number.
bool endsWithTrailer(const std::string& out) {
    size_t at = out.rfind(";PUSP0;PG;");
    if (at == std::string::npos) return false;
    std::string rest = out.substr(at + 10);
    if (rest.empty()) return true;
    if (rest.size() < 3 || rest.compare(0, 2, "RP") != 0) return false;
    return rest.find_first_not_of("0123456789", 2) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tavix::fuzzing::enterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavix;
    FuzzedDataProvider in(data, size);
    static testing::RecordingHost host;
    host = testing::RecordingHost{};
    host.hasStored = in.ConsumeBool();
    std::vector<uint8_t> stored = in.ConsumeBytes<uint8_t>(40);
    if (!stored.empty()) std::memcpy(host.stored, stored.data(), stored.size());
    host.failWriteAtCall = in.ConsumeIntegralInRange<int>(-1, 400);
    host.failSaveAtCall = in.ConsumeIntegralInRange<int>(-1, 3);
    host.failLoadAtCall = in.ConsumeIntegralInRange<int>(-1, 3);
    host.install();
    allocationAllowed = in.ConsumeProbability<float>() >= 0.05f;
    outputAllocationAllowed = [] { return allocationAllowed; };
    native::scriptedUser::reset();

    static std::vector<uint8_t> packet(4096), vertices(4096);
    for (int n = 0; n < 200 && in.remaining_bytes() > 0; ++n) {
        bool plot = in.ConsumeBool();
        int16_t code = in.PickValueInArray<int16_t>({2,  3,  4,  5,  7,  8,  9,  11, 13, 15, 20, 21, 22,
                                                     23, 25, 29, 30, 31, 33, 36, 40, 41, 43, 44, 46, 47,
                                                     48, 49, 50, 52, 54, 0,  55, -1, 3,  4,  4,  4,  3});
        std::fill(packet.begin(), packet.end(), 0);
        std::vector<uint8_t> raw = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 160));
        if (!raw.empty()) std::memcpy(packet.data() + 2, raw.data(), raw.size());
        writeI16(packet.data(), PACKET_STATUS, code);
        switch (code) {
            case 33:
                writeI16(packet.data(), plotPacket::INLINE_COUNT,
                         in.ConsumeIntegralInRange<int16_t>(-3, 1000));
                break;
            case 54: {
                writeI16(packet.data(), plotPacket::ARRAY_COUNT,
                         in.ConsumeIntegralInRange<int16_t>(-3, 1000));
                uint32_t where = in.PickValueInArray<uint32_t>({0u, 1u, 0xDEADBEEFu, hostAddressOf(vertices.data())});
                writeU32(packet.data(), plotPacket::ARRAY_ADDRESS, where);
                std::vector<uint8_t> v = in.ConsumeBytes<uint8_t>(64);
                for (size_t i = 0; i < vertices.size(); ++i) vertices[i] = v.empty() ? 0 : v[i % v.size()];
                break;
            }
            case 52: fuzzing::fillImageRequest(in, packet.data()); break;
            case 20:
            case 21:
            case 46: fuzzing::scriptDialogs(in.ConsumeBool()); break;
            default: break;
        }
        // A pending image is printed before the request is dispatched; its
        // output failure is the image's, and the request itself may still
        // succeed.
        const bool imagePendingBefore = state.imageMarker == IMAGE_PENDING;
        uint8_t latchBefore = state.errorLatch;
        uint8_t drawnBefore = state.somethingDrawn;
        bool plotOpen = state.outputBuffer != nullptr;
        const int writesBefore = host.writeCalls;
        const size_t messagesBefore = host.messages.size();
        const uint8_t* bufferBefore = state.outputBuffer;
        const int32_t countBefore = state.outputCount;
        uint8_t tail[64];
        const size_t tailSize = countBefore < 64 ? static_cast<size_t>(countBefore) : 64;
        if (bufferBefore != nullptr) std::memcpy(tail, bufferBefore + countBefore - tailSize, tailSize);
        if (plot)
            PlotEntry(packet.data());
        else
            ConfigEntry(packet.data());

        if (state.outputCount < 0 || state.outputCount >= OUTPUT_LIMIT) std::abort();
        // Once an output step has failed, nothing more reaches the port, and
        // the failure is not reported again.
        if (latchBefore != 0 && host.writeCalls != writesBefore) std::abort();
        const char* plottingError = state.messages[MSG_PLOTTING_ERROR];
        if (latchBefore != 0 && plottingError[0] != '\0') {
            const std::string outputFailure = "\n" + std::string(plottingError) + "\n";
            for (size_t m = messagesBefore; m < host.messages.size(); ++m)
                if (host.messages[m] == outputFailure) std::abort();
        }
        // Staging only appends: without a flush, a new plot or a failure,
        // what was staged stays in place.
        if (code != 30 && code != 49 && latchBefore == 0 && state.errorLatch == 0 &&
            bufferBefore != nullptr && state.outputBuffer == bufferBefore &&
            host.writeCalls == writesBefore) {
            if (state.outputCount < countBefore) std::abort();
            if (std::memcmp(tail, state.outputBuffer + countBefore - tailSize, tailSize) != 0) std::abort();
        }
        if (state.outlineCount < 0 || state.outlineCount > OUTLINE_CAPACITY) std::abort();
        bool writes = code == 3 || code == 4 || code == 5 || code == 7 || code == 8 || code == 41;
        if (plot && writes && !imagePendingBefore && latchBefore == 0 && state.errorLatch != 0 &&
            readI16(packet.data(), PACKET_STATUS) != -1)
            std::abort();  // a request that failed must say so
        if (plot && code == 2) {
            if (state.outputBuffer != nullptr || state.outputCount != 0) std::abort();
            if (state.exchangeToken != -1) std::abort();
            if (plotOpen && latchBefore == 0 && drawnBefore == 1 && state.errorLatch == 0 &&
                !endsWithTrailer(host.output))
                std::abort();
        }
    }
    // The host ends the plot so that nothing is held between runs.
    std::fill(packet.begin(), packet.end(), 0);
    writeI16(packet.data(), PACKET_STATUS, 2);
    PlotEntry(packet.data());
    outputAllocationAllowed = nullptr;
    return 0;
}
