// Raster rows: the encoder against the straightforward one it must match,
// and against memcpy of the same input bytes.
//
// Whole rows of a 36-inch plot at 400 dpi: 14400 printed pixels, as 14400
// source pixels at magnify 1 or 3600 at magnify 4, in the four forms
// (dithered or continuous tone, monochrome or colour). The rows are a noisy
// photo-like ramp, 16 different ones in turn. Mpx/s counts printed pixels
// (width x passes). packRow runs on typical plane rows of 1803 bytes (all
// zero, all ones, line art, dithered, random) and on continuous-tone rows.
// The host's write service only counts bytes. A summary after the run gives
// the ratios, all measured in that run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/hostAddress.h"
#include "plot/packBits.h"
#include "tests/plot/rasterReference.h"
#include "plot/rtlEncoder.h"
#include "tavix/driverState.h"
#include "tavix/entryPoints.h"
#include "tavix/hostServices.h"
#include "tavix/packet.h"

namespace {

using namespace tavix;

constexpr int PRINTED_WIDTH = 14400;
constexpr int ROW_VARIANTS = 16;

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
    resetDriverState();
    DERIZ(hostTable, 0);
}

void countSink(void*, const void*, size_t count) { bytesWritten += count; }

// --- Inputs ---------------------------------------------------------------

uint32_t seed = 2024;
uint32_t nextRandom() { return seed = seed * 1664525u + 1013904223u, seed >> 8; }

// A ramp across the row with noise, different in each variant: few white
// pixels, no long runs, like a scanned photograph.
std::vector<std::vector<uint8_t>> photoRows(int pixels) {
    std::vector<std::vector<uint8_t>> rows(ROW_VARIANTS);
    for (int v = 0; v < ROW_VARIANTS; ++v) {
        std::vector<uint8_t>& row = rows[static_cast<size_t>(v)];
        row.resize(3 * static_cast<size_t>(pixels));
        for (int i = 0; i < pixels; ++i) {
            int base = (i * 255) / pixels;
            for (int c = 0; c < 3; ++c) {
                int value = (base + 40 * c + 7 * v) % 256 + static_cast<int>(nextRandom() % 17) - 8;
                row[3 * static_cast<size_t>(i) + static_cast<size_t>(c)] =
                    static_cast<uint8_t>(value < 0 ? 0 : value > 254 ? 254 : value);
            }
        }
    }
    return rows;
}

struct Form {
    const char* name;
    int mode, colour;
};
constexpr Form FORMS[] = {{"ditheredMono", 0, 0},
                          {"ditheredColour", 0, 1},
                          {"contoneMono", 2, 0},
                          {"contoneColour", 2, 1}};

void setPixelCounters(benchmark::State& s, int magnify, size_t inputBytes) {
    double rows = static_cast<double>(s.iterations());
    s.counters["Mpx"] = benchmark::Counter(rows * PRINTED_WIDTH * magnify / 1e6,
                                           benchmark::Counter::kIsRate);
    s.counters["ns_per_row"] = benchmark::Counter(rows, benchmark::Counter::kIsRate |
                                                            benchmark::Counter::kInvert);
    s.SetBytesProcessed(static_cast<int64_t>(rows * static_cast<double>(inputBytes)));
}

void fastRows(benchmark::State& s, Form form, int magnify) {
    installCountingHost();
    const int pixels = PRINTED_WIDTH / magnify;
    auto rows = photoRows(pixels);
    beginRaster(pixels, 1 << 20, form.mode, form.colour, 1, 0, 1, 2, magnify);
    size_t next = 0;
    for (auto _ : s) {
        encodeRow(pixels, rows[next].data(), 0, 0, 0, 0);
        next = (next + 1) % ROW_VARIANTS;
        state.image.nonWhitePixels = 0;
    }
    setPixelCounters(s, magnify, rows[0].size());
}

void referenceRows(benchmark::State& s, Form form, int magnify) {
    const int pixels = PRINTED_WIDTH / magnify;
    auto rows = photoRows(pixels);
    reference::Raster ref(countSink, nullptr);
    ref.begin(pixels, 1 << 20, form.mode, form.colour, 1, 0, 1, 2, magnify);
    size_t next = 0;
    for (auto _ : s) {
        ref.encodeRow(pixels, rows[next].data(), 0, 0, 0, 0);
        next = (next + 1) % ROW_VARIANTS;
        ref.nonWhitePixels = 0;
    }
    setPixelCounters(s, magnify, rows[0].size());
}

void memcpyRows(benchmark::State& s, int magnify) {
    const int pixels = PRINTED_WIDTH / magnify;
    auto rows = photoRows(pixels);
    std::vector<uint8_t> target(rows[0].size());
    size_t next = 0;
    for (auto _ : s) {
        std::memcpy(target.data(), rows[next].data(), rows[next].size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
        next = (next + 1) % ROW_VARIANTS;
    }
    setPixelCounters(s, magnify, rows[0].size());
}

// --- packRow --------------------------------------------------------------

std::map<std::string, std::vector<uint8_t>> packInputs() {
    std::map<std::string, std::vector<uint8_t>> inputs;
    const size_t plane = PRINTED_WIDTH / 8 + 3;
    inputs["zero"] = std::vector<uint8_t>(plane, 0x00);
    inputs["ones"] = std::vector<uint8_t>(plane, 0xFF);
    std::vector<uint8_t> art(plane, 0), random(plane);
    for (size_t i = 0; i < plane; ++i) {
        if (i % 97 < 3) art[i] = static_cast<uint8_t>(0xFF >> (i % 3));  // thin lines
        random[i] = static_cast<uint8_t>(nextRandom());
    }
    inputs["lineArt"] = art;
    inputs["random"] = random;
    // A real dithered plane: the cyan plane of a photo row.
    {
        installCountingHost();
        auto rows = photoRows(PRINTED_WIDTH);
        beginRaster(PRINTED_WIDTH, 1, 0, 1, 0, 0, 1, 2, 1);
        encodeRow(PRINTED_WIDTH, rows[3].data(), 0, 0, 0, 0);
        inputs["dithered"] = std::vector<uint8_t>(state.raster.cyan, state.raster.cyan + plane);
        std::vector<uint8_t> gray(PRINTED_WIDTH);
        for (int i = 0; i < PRINTED_WIDTH; ++i) gray[static_cast<size_t>(i)] = rows[3][3 * static_cast<size_t>(i)];
        inputs["contoneGray"] = gray;
        inputs["contoneRgb"] = rows[3];
    }
    return inputs;
}

void fastPack(benchmark::State& s, std::vector<uint8_t> input) {
    const int32_t length = static_cast<int32_t>(input.size());
    for (auto _ : s) benchmark::DoNotOptimize(packInto(state.raster.packOutput, length, input.data()));
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * static_cast<int64_t>(input.size()));
}

void referencePack(benchmark::State& s, std::vector<uint8_t> input) {
    reference::Raster ref(countSink, nullptr);
    for (auto _ : s) benchmark::DoNotOptimize(ref.packRow(static_cast<int32_t>(input.size()), input.data()));
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * static_cast<int64_t>(input.size()));
}

void memcpyPack(benchmark::State& s, std::vector<uint8_t> input) {
    std::vector<uint8_t> target(input.size());
    for (auto _ : s) {
        std::memcpy(target.data(), input.data(), input.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    s.SetBytesProcessed(static_cast<int64_t>(s.iterations()) * static_cast<int64_t>(input.size()));
}

void registerAll() {
    for (int magnify : {1, 4}) {
        std::string m = "/m" + std::to_string(magnify);
        for (const Form& form : FORMS) {
            benchmark::RegisterBenchmark(("EncodeRow/fast/" + std::string(form.name) + m).c_str(), fastRows,
                                         form, magnify);
            benchmark::RegisterBenchmark(("EncodeRow/reference/" + std::string(form.name) + m).c_str(),
                                         referenceRows, form, magnify);
        }
        benchmark::RegisterBenchmark(("EncodeRow/memcpy/input" + m).c_str(), memcpyRows, magnify);
    }
    for (const auto& [name, input] : packInputs()) {
        benchmark::RegisterBenchmark(("PackRow/fast/" + name).c_str(), fastPack, input);
        benchmark::RegisterBenchmark(("PackRow/reference/" + name).c_str(), referencePack, input);
        benchmark::RegisterBenchmark(("PackRow/memcpy/" + name).c_str(), memcpyPack, input);
    }
}

// Collects the time per iteration and the rates of every run, and prints
// each workload's figures and ratios at the end.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration) continue;
            Result& result = results[r.benchmark_name()];
            result.ns = r.GetAdjustedCPUTime();
            auto mpx = r.counters.find("Mpx");
            result.mpx = mpx != r.counters.end() ? mpx->second.value : 0;
            auto bytes = r.counters.find("bytes_per_second");
            result.bytesPerSecond = bytes != r.counters.end() ? bytes->second.value : 0;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void summary() const {
        std::printf("\n%-24s %10s %10s %9s %12s\n", "encodeRow", "fast Mpx/s", "ref Mpx/s",
                    "vs ref", "time/memcpy");
        for (int magnify : {1, 4})
            for (const Form& form : FORMS) {
                std::string key = std::string(form.name) + "/m" + std::to_string(magnify);
                const Result* fast = find("EncodeRow/fast/" + key);
                const Result* ref = find("EncodeRow/reference/" + key);
                const Result* copy = find("EncodeRow/memcpy/input/m" + std::to_string(magnify));
                if (fast == nullptr || ref == nullptr || copy == nullptr) continue;
                std::printf("%-24s %10.0f %10.0f %8.1fx %11.1fx\n", key.c_str(), fast->mpx, ref->mpx,
                            ref->ns / fast->ns, fast->ns / copy->ns);
            }
        std::printf("\n%-24s %10s %10s %9s %12s\n", "packRow", "fast GB/s", "ref GB/s", "vs ref",
                    "time/memcpy");
        for (const auto& [name, fast] : results) {
            if (name.rfind("PackRow/fast/", 0) != 0) continue;
            std::string input = name.substr(std::strlen("PackRow/fast/"));
            const Result* ref = find("PackRow/reference/" + input);
            const Result* copy = find("PackRow/memcpy/" + input);
            if (ref == nullptr || copy == nullptr) continue;
            std::printf("%-24s %10.2f %10.2f %8.1fx %11.1fx\n", input.c_str(), fast.bytesPerSecond / 1e9,
                        ref->bytesPerSecond / 1e9, ref->ns / fast.ns, fast.ns / copy->ns);
        }
    }

private:
    struct Result {
        double ns = 0;
        double mpx = 0;
        double bytesPerSecond = 0;
    };

    const Result* find(const std::string& name) const {
        auto it = results.find(name);
        return it == results.end() ? nullptr : &it->second;
    }

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
