// Draw requests through PlotEntry, against the limit: a loop that only
// encodes the same points as PE pairs into a buffer.
//
// Four deterministic workloads in a 48 x 36 inch area (1016 units per inch,
// scale divisor 1), each in 7-bit and 8-bit PE:
//   polyline  one long polyline through random points
//   walk511   a random walk with steps of up to 511 units each way
//   walk15    a random walk with steps of 1 to 15 units each way
//   lines     separate lines: a move and a draw each
// The host's write service only counts bytes. Counters: ns per request,
// output bytes per segment; a summary after the run gives each workload's
// ratio to its encode loop.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/hostAddress.h"
#include "tavix/driverState.h"
#include "tavix/entryPoints.h"
#include "tavix/hostServices.h"
#include "tavix/outputBuffer.h"
#include "tavix/packet.h"
#include "tavix/requestPackets.h"

namespace {

using namespace tavix;

constexpr int32_t AREA_X = 48 * 1016;
constexpr int32_t AREA_Y = 36 * 1016;
constexpr int SEGMENTS = 1 << 16;

// --- A host that counts ---------------------------------------------------

uint64_t bytesWritten = 0;

int TAVIX_CDECL countWrite(int, int, const void*, int count, int) {
    bytesWritten += static_cast<uint64_t>(count);
    return count;
}
int TAVIX_CDECL ignoreText(const char*) { return 0; }
int TAVIX_CDECL noSettings(int, void*) { return 1; }
int TAVIX_CDECL exchange(int, int) { return 1; }

uint8_t hostTable[HOST_TABLE_SIZE];

void installCountingHost() {
    auto put = [](int slot, const void* fn) { writeU32(hostTable, slot, hostAddressOf(fn)); };
    put(SLOT_SHOW_MESSAGE, reinterpret_cast<const void*>(&ignoreText));
    put(SLOT_SEND_DEVICE_CONTROL, reinterpret_cast<const void*>(&ignoreText));
    put(SLOT_WRITE_OUTPUT, reinterpret_cast<const void*>(&countWrite));
    put(SLOT_LOAD_SETTINGS, reinterpret_cast<const void*>(&noSettings));
    put(SLOT_SAVE_SETTINGS, reinterpret_cast<const void*>(&noSettings));
    put(SLOT_EXCHANGE_VALUE, reinterpret_cast<const void*>(&exchange));
    releaseOutputBuffer();
    resetDriverState();
    DERIZ(hostTable, 0);
}

// --- Workloads --------------------------------------------------------------

// splitmix64: the same points on every machine and library.
struct Random {
    uint64_t s;
    uint64_t next() {
        uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int32_t below(int32_t n) { return static_cast<int32_t>(next() % static_cast<uint64_t>(n)); }
};

enum class Workload { polyline, walk511, walk15, lines };

struct Request {
    std::array<uint8_t, 8> packet;
};

struct Points {
    std::vector<Request> requests;     // what PlotEntry is given
    std::vector<uint32_t> xs, ys;      // every point, in order
    int segments = 0;
};

int32_t clampTo(int32_t v, int32_t high) { return v < 0 ? 0 : v > high ? high : v; }

Points makeWorkload(Workload w) {
    Points p;
    Random r{0x7A41D0u + static_cast<uint64_t>(w)};
    auto add = [&p](int16_t code, int32_t x, int32_t y) {
        Request q{};
        writeI16(q.packet.data(), PACKET_STATUS, code);
        writeU16(q.packet.data(), plotPacket::X, static_cast<uint16_t>(x));
        writeU16(q.packet.data(), plotPacket::Y, static_cast<uint16_t>(y));
        p.requests.push_back(q);
        p.xs.push_back(static_cast<uint32_t>(x));
        p.ys.push_back(static_cast<uint32_t>(y));
    };
    int32_t x = AREA_X / 2, y = AREA_Y / 2;
    add(3, x, y);
    for (int i = 0; i < SEGMENTS; ++i) {
        switch (w) {
        case Workload::polyline:
            add(4, r.below(AREA_X + 1), r.below(AREA_Y + 1));
            break;
        case Workload::walk511:
            x = clampTo(x + r.below(1023) - 511, AREA_X);
            y = clampTo(y + r.below(1023) - 511, AREA_Y);
            add(4, x, y);
            break;
        case Workload::walk15: {
            int32_t dx = 1 + r.below(15), dy = 1 + r.below(15);
            x = clampTo(x + (r.below(2) ? dx : -dx), AREA_X);
            y = clampTo(y + (r.below(2) ? dy : -dy), AREA_Y);
            add(4, x, y);
            break;
        }
        case Workload::lines:
            add(3, r.below(AREA_X + 1), r.below(AREA_Y + 1));
            add(4, r.below(AREA_X + 1), r.below(AREA_Y + 1));
            break;
        }
        ++p.segments;
    }
    return p;
}

const Points& workload(Workload w) {
    static std::map<Workload, Points> cache;
    auto it = cache.find(w);
    if (it == cache.end()) it = cache.emplace(w, makeWorkload(w)).first;
    return it->second;
}

// A plot begun for a 48 x 36 inch area, in 7-bit or 8-bit PE.
void beginBenchPlot(bool eightBit) {
    installCountingHost();
    state.settings.setCopies(1);
    state.settings.setPaperSize(1);
    state.settings.set(flags::eightBitEncoding, eightBit);
    state.settings.set(flags::colorMode, true);
    state.plotWidth = state.deviceWidth = 48.0;
    state.plotHeight = state.deviceHeight = 36.0;
    state.scaleDivisor = 1;
    state.stepsPerInchX = state.stepsPerInchY = 1016.0;
    uint8_t packet[16] = {};
    writeI16(packet, PACKET_STATUS, 30);
    PlotEntry(packet);
    flushOutput();
    bytesWritten = 0;
}

void endBenchPlot() {
    uint8_t packet[16] = {};
    writeI16(packet, PACKET_STATUS, 2);
    PlotEntry(packet);
}

void setCounters(benchmark::State& s, const Points& p, uint64_t bytes) {
    double requests = static_cast<double>(p.requests.size()) * static_cast<double>(s.iterations());
    double segments = static_cast<double>(p.segments) * static_cast<double>(s.iterations());
    s.counters["ns_per_request"] = benchmark::Counter(
        requests * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    s.counters["bytes_per_segment"] = static_cast<double>(bytes) / segments;
}

// --- The benchmarks ---------------------------------------------------------

void drawRequests(benchmark::State& s, Workload w, bool eightBit) {
    const Points& p = workload(w);
    std::vector<Request> requests = p.requests;
    beginBenchPlot(eightBit);
    for (auto _ : s) {
        for (Request& q : requests) PlotEntry(q.packet.data());
    }
    // What is still staged counts as written.
    uint64_t bytes = bytesWritten + static_cast<uint64_t>(state.outputCount);
    setCounters(s, p, bytes);
    endBenchPlot();
}

// The limit: the same points, encoded back to back into a buffer.
void encodeLoop(benchmark::State& s, Workload w, bool eightBit) {
    const Points& p = workload(w);
    std::vector<uint8_t> buffer(1 << 20);
    uint64_t bytes = 0;
    for (auto _ : s) {
        size_t at = 0;
        int64_t px = 0, py = 0;
        for (size_t i = 0; i < p.xs.size(); ++i) {
            if (at > buffer.size() - 64) {
                bytes += at;
                at = 0;
            }
            int64_t x = p.xs[i], y = p.ys[i];
            at += encodePeDigits(x - px, eightBit, buffer.data() + at);
            at += encodePeDigits(y - py, eightBit, buffer.data() + at);
            px = x;
            py = y;
        }
        bytes += at;
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    setCounters(s, p, bytes);
}

struct Named {
    const char* name;
    Workload w;
};
const Named WORKLOADS[] = {{"polyline", Workload::polyline},
                           {"walk511", Workload::walk511},
                           {"walk15", Workload::walk15},
                           {"lines", Workload::lines}};

void registerAll() {
    for (const Named& n : WORKLOADS) {
        for (bool eightBit : {false, true}) {
            std::string suffix = std::string(n.name) + (eightBit ? "/pe8" : "/pe7");
            benchmark::RegisterBenchmark(("PlotEntry/" + suffix).c_str(), drawRequests, n.w, eightBit);
            benchmark::RegisterBenchmark(("EncodeLoop/" + suffix).c_str(), encodeLoop, n.w, eightBit);
        }
    }
}

// Collects ns per request of every run and prints the ratios at the end.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration) continue;
            auto ns = r.counters.find("ns_per_request");
            auto bytes = r.counters.find("bytes_per_segment");
            if (ns == r.counters.end()) continue;
            results[r.benchmark_name()] = {ns->second.value,
                                           bytes != r.counters.end() ? bytes->second.value : 0};
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void summary() const {
        std::printf("\n%-22s %12s %12s %8s %16s\n", "workload", "PlotEntry ns", "encode ns", "ratio",
                    "bytes/segment");
        for (const auto& [name, value] : results) {
            if (name.rfind("PlotEntry/", 0) != 0) continue;
            std::string rest = name.substr(std::strlen("PlotEntry/"));
            auto limit = results.find("EncodeLoop/" + rest);
            if (limit == results.end()) continue;
            std::printf("%-22s %12.2f %12.2f %8.2f %16.3f\n", rest.c_str(), value.ns,
                        limit->second.ns, value.ns / limit->second.ns, value.bytesPerSegment);
        }
    }

private:
    struct Result {
        double ns;
        double bytesPerSegment;
    };
    std::map<std::string, Result> results;
};

}  // namespace

int main(int argc, char** argv) {
    registerAll();
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.summary();
    benchmark::Shutdown();
    return 0;
}
