// Move and draw requests through PlotEntry, against the limits of
// tightPeEncoder.h: a tight encoder called once per request with its state in
// memory, and one loop over the whole stream.
//
// Four deterministic workloads in a 48 x 36 inch area (1016 units per inch,
// scale divisor 1), each in 7-bit and 8-bit PE:
//   polyline  one long polyline through random points
//   walk511   a random walk with steps of up to 511 units each way
//   walk15    a random walk with steps of 1 to 15 units each way
//   lines     separate lines: a move and a draw each
// Before anything is timed, every engine runs each workload often enough to
// fill the 2 MiB buffer at least once, and must hand the host the same bytes
// in the same pieces as the driver; otherwise the program stops with the
// first difference. The host's write service only counts bytes while timed.
// Counters: ns per request, output bytes per segment; a summary after the
// run gives each workload's ratios to the two limits.
//
// --count ENGINE WORKLOAD MODE PASSES (driver|tight|stream, a workload name,
// pe7|pe8) runs one engine without timing, for instruction counts under
// callgrind (scripts/bench-callgrind.sh).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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
#include "tightPeEncoder.h"

namespace {

using namespace tavix;

constexpr int32_t AREA_X = 48 * 1016;
constexpr int32_t AREA_Y = 36 * 1016;
constexpr int SEGMENTS = 1 << 16;

static_assert(tight::LIMIT == static_cast<uint32_t>(OUTPUT_LIMIT));
static_assert(tight::PIECE == OUTPUT_PIECE_SIZE);

// --- Where the bytes go -----------------------------------------------------

// Counts every byte; while `captured` is set, also keeps them and the size
// of every piece, for the comparison of the engines.
struct Output {
    uint64_t bytes = 0;
    std::string* captured = nullptr;
    std::vector<int>* pieces = nullptr;

    void take(const void* data, int count) {
        bytes += static_cast<uint64_t>(count);
        if (captured == nullptr) return;
        captured->append(static_cast<const char*>(data), static_cast<size_t>(count));
        pieces->push_back(count);
    }
};
Output output;

int TAVIX_CDECL countWrite(int, int, const void* data, int count, int) {
    output.take(data, count);
    return count;
}
void takePiece(const uint8_t* data, int count) { output.take(data, count); }
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

// One request packet: code at 0, x at 4, y at 6; packets lie back to back.
using Request = std::array<uint8_t, 8>;
static_assert(sizeof(Request) == 8);

struct Points {
    std::vector<Request> requests;
    int segments = 0;
};

int32_t clampTo(int32_t v, int32_t high) { return v < 0 ? 0 : v > high ? high : v; }

Points makeWorkload(Workload w) {
    Points p;
    Random r{0x7A41D0u + static_cast<uint64_t>(w)};
    auto add = [&p](int16_t code, int32_t x, int32_t y) {
        Request q{};
        writeI16(q.data(), 0, code);
        writeU16(q.data(), 4, static_cast<uint16_t>(x));
        writeU16(q.data(), 6, static_cast<uint16_t>(y));
        p.requests.push_back(q);
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

// --- The engines ------------------------------------------------------------

// The driver: a plot begun for a 48 x 36 inch area, its preamble sent, so
// that the vector bytes start at the beginning of the buffer.
void beginDriverPlot(bool eightBit) {
    Output kept = output;  // the preamble is not part of what is compared
    output.captured = nullptr;
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
    writeI16(packet, 0, 30);
    PlotEntry(packet);
    flushOutput();
    output = kept;
    output.bytes = 0;
}

void endDriverPlot() {
    uint8_t packet[16] = {};
    writeI16(packet, 0, 2);
    PlotEntry(packet);
}

void driverPass(std::vector<Request>& requests) {
    for (Request& q : requests) PlotEntry(q.data());
}

void setUp(tight::TightEncoder& e, bool eightBit) {
    e.eightBit = eightBit;
    e.scale = 1;
    e.write = takePiece;
}

void tightPass(tight::TightEncoder& e, const std::vector<Request>& requests) {
    for (const Request& q : requests) e.request(q.data());
}

void streamPass(tight::TightEncoder& e, const std::vector<Request>& requests) {
    e.stream(requests.front().data(), requests.size());
}

enum class Engine { driver, tight, stream };

// Runs `passes` passes of one engine and sends everything it staged: for
// the comparison by a flush, for the instruction counts by the engine's own
// end (the driver's end plot through PlotEntry, which adds its trailer).
enum class Ending { flush, endPlot };

void runEngine(Engine engine, const Points& p, bool eightBit, int passes, Ending ending) {
    std::vector<Request> requests = p.requests;
    if (engine == Engine::driver) {
        beginDriverPlot(eightBit);
        for (int i = 0; i < passes; ++i) driverPass(requests);
        ending == Ending::flush ? static_cast<void>(flushOutput()) : endDriverPlot();
        return;
    }
    tight::TightEncoder e;
    setUp(e, eightBit);
    for (int i = 0; i < passes; ++i)
        engine == Engine::tight ? tightPass(e, requests) : streamPass(e, requests);
    e.finish();
}

struct Stream {
    std::string bytes;
    std::vector<int> pieces;
};

Stream capture(Engine engine, const Points& p, bool eightBit, int passes) {
    Stream s;
    output.captured = &s.bytes;
    output.pieces = &s.pieces;
    runEngine(engine, p, eightBit, passes, Ending::flush);
    output.captured = nullptr;
    output.pieces = nullptr;
    return s;
}

// --- Same bytes before any timing --------------------------------------------

void showDifference(const char* what, const std::string& want, const std::string& got) {
    size_t at = 0;
    while (at < want.size() && at < got.size() && want[at] == got[at]) ++at;
    std::fprintf(stderr, "%s: %zu bytes from the driver, %zu from the engine; first difference at %zu\n",
                 what, want.size(), got.size(), at);
    for (const std::string* s : {&want, &got}) {
        std::fprintf(stderr, "  %s:", s == &want ? "driver" : "engine");
        for (size_t i = at < 8 ? 0 : at - 8; i < at + 8 && i < s->size(); ++i)
            std::fprintf(stderr, " %02X", static_cast<unsigned char>((*s)[i]));
        std::fprintf(stderr, "\n");
    }
}

struct Named {
    const char* name;
    Workload w;
};
const Named WORKLOADS[] = {{"polyline", Workload::polyline},
                           {"walk511", Workload::walk511},
                           {"walk15", Workload::walk15},
                           {"lines", Workload::lines}};

// Every engine against the driver, over enough passes that the buffer
// fills at least once (a flush at the limit in the middle of the stream).
bool sameBytesEverywhere() {
    bool same = true;
    for (const Named& n : WORKLOADS) {
        for (bool eightBit : {false, true}) {
            const Points& p = workload(n.w);
            Stream one = capture(Engine::driver, p, eightBit, 1);
            int passes = static_cast<int>(OUTPUT_LIMIT / one.bytes.size()) + 2;
            Stream want = capture(Engine::driver, p, eightBit, passes);
            for (Engine e : {Engine::tight, Engine::stream}) {
                Stream got = capture(e, p, eightBit, passes);
                std::string what = std::string(e == Engine::tight ? "tight" : "stream") + "/" + n.name +
                                   (eightBit ? "/pe8" : "/pe7");
                if (got.bytes != want.bytes) {
                    showDifference(what.c_str(), want.bytes, got.bytes);
                    same = false;
                } else if (got.pieces != want.pieces) {
                    std::fprintf(stderr, "%s: the same bytes in other pieces\n", what.c_str());
                    same = false;
                }
            }
        }
    }
    return same;
}

// --- The benchmarks ---------------------------------------------------------

void setCounters(benchmark::State& s, const Points& p, uint64_t bytes) {
    double requests = static_cast<double>(p.requests.size()) * static_cast<double>(s.iterations());
    double segments = static_cast<double>(p.segments) * static_cast<double>(s.iterations());
    s.counters["ns_per_request"] = benchmark::Counter(
        requests * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    s.counters["bytes_per_segment"] = static_cast<double>(bytes) / segments;
}

void driverBench(benchmark::State& s, Workload w, bool eightBit) {
    const Points& p = workload(w);
    std::vector<Request> requests = p.requests;
    beginDriverPlot(eightBit);
    for (auto _ : s) driverPass(requests);
    // What is still staged counts as written.
    setCounters(s, p, output.bytes + static_cast<uint64_t>(state.outputCount));
    endDriverPlot();
}

void tightBench(benchmark::State& s, Workload w, bool eightBit, bool wholeStream) {
    const Points& p = workload(w);
    tight::TightEncoder e;
    setUp(e, eightBit);
    output.bytes = 0;
    for (auto _ : s) wholeStream ? streamPass(e, p.requests) : tightPass(e, p.requests);
    setCounters(s, p, output.bytes + e.count);
}

// The least of repeated runs: on a shared machine the one least disturbed.
double fewest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

void registerAll() {
    for (const Named& n : WORKLOADS) {
        for (bool eightBit : {false, true}) {
            std::string suffix = std::string(n.name) + (eightBit ? "/pe8" : "/pe7");
            for (benchmark::internal::Benchmark* b :
                 {benchmark::RegisterBenchmark(("Driver/" + suffix).c_str(), driverBench, n.w, eightBit),
                  benchmark::RegisterBenchmark(("Tight/" + suffix).c_str(), tightBench, n.w, eightBit, false),
                  benchmark::RegisterBenchmark(("Stream/" + suffix).c_str(), tightBench, n.w, eightBit, true)})
                b->ComputeStatistics("min", fewest);
        }
    }
}

// Collects ns per request of every run and prints the ratios at the end.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // With --benchmark_repetitions the least time (the run least
        // disturbed by the machine's other work) stands for the benchmark.
        for (const Run& r : runs) {
            bool least = r.run_type == Run::RT_Aggregate && r.aggregate_name == "min";
            if (r.run_type != Run::RT_Iteration && !least) continue;
            auto ns = r.counters.find("ns_per_request");
            auto bytes = r.counters.find("bytes_per_segment");
            if (ns == r.counters.end()) continue;
            results[r.run_name.function_name] = {ns->second.value,
                                           bytes != r.counters.end() ? bytes->second.value : 0};
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void summary() const {
        std::printf("\n%-14s %10s %10s %10s %12s %12s %14s\n", "ns/request", "driver", "tight",
                    "stream", "driver/tight", "driver/strm", "bytes/segment");
        for (const Named& n : WORKLOADS) {
            for (const char* mode : {"/pe7", "/pe8"}) {
                std::string rest = std::string(n.name) + mode;
                auto d = results.find("Driver/" + rest);
                auto t = results.find("Tight/" + rest);
                auto s = results.find("Stream/" + rest);
                if (d == results.end() || t == results.end() || s == results.end()) continue;
                std::printf("%-14s %10.2f %10.2f %10.2f %12.2f %12.2f %14.3f\n", rest.c_str(),
                            d->second.ns, t->second.ns, s->second.ns, d->second.ns / t->second.ns,
                            d->second.ns / s->second.ns, d->second.bytesPerSegment);
            }
        }
    }

private:
    struct Result {
        double ns;
        double bytesPerSegment;
    };
    std::map<std::string, Result> results;
};

// --count ENGINE WORKLOAD MODE PASSES
int countOnly(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s --count driver|tight|stream WORKLOAD pe7|pe8 PASSES\n", argv[0]);
        return 2;
    }
    std::string engine = argv[2], name = argv[3], mode = argv[4];
    int passes = std::atoi(argv[5]);
    const Named* w = nullptr;
    for (const Named& n : WORKLOADS)
        if (name == n.name) w = &n;
    if (w == nullptr || (mode != "pe7" && mode != "pe8") || passes < 1 ||
        (engine != "driver" && engine != "tight" && engine != "stream")) {
        std::fprintf(stderr, "%s: unknown engine, workload, mode or pass count\n", argv[0]);
        return 2;
    }
    Engine e = engine == "driver" ? Engine::driver : engine == "tight" ? Engine::tight : Engine::stream;
    runEngine(e, workload(w->w), mode == "pe8", passes, Ending::endPlot);
    std::printf("%zu requests a pass\n", workload(w->w).requests.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--count") == 0) return countOnly(argc, argv);
    if (!sameBytesEverywhere()) {
        std::fprintf(stderr, "the engines do not write the driver's bytes: nothing timed\n");
        return 1;
    }
    registerAll();
    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.summary();
    benchmark::Shutdown();
    return 0;
}
