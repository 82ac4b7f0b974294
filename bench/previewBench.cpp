// The preview drawing dense plots: 200,000 long random vectors (each to a
// random point of an A0 sheet) and 2,000,000 short ones (steps of up to
// 5 mm), one connected Polyline Encoded run as the driver writes a long
// polyline, 0.35 mm pens, at 50 and 100 dpi, antialiased and not.
//
// The floor is the tightest way to put the same pixels on a picture of the
// same size: plain spans (std::fill_n) covering as many pixels as the
// strokes cover (length x width of each vector, in picture pixels). Each
// drawing benchmark measures its floor in the same run and reports the
// ratio as the counter xFloor; an antialiased benchmark also draws the
// same without antialiasing in the same run and reports the ratio as
// xPlain; BM_DrawFourWide does the same in the form processors without
// AVX2 take. The stream is read once, outside the timing.
//
// BM_ReadAndDraw times what an independent reader drawing to a null device
// does: reading the stream and drawing it into memory, without writing a
// picture file (PNG compression costs more than the drawing itself at
// 100 dpi). GhostPCL 10.09, built from source, read and drew the short
// stream plain in 1.06 s at 50 dpi and 2.8 s at 100 dpi, in 27 MB.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "preview.h"
#include "streamParser.h"
#include "wideColumns.h"

namespace {

using namespace tavix::preview;

constexpr long PAPER_LONG = 47520, PAPER_SHORT = 33600;  // A0 in plotter units
constexpr double PEN_MM = 0.35;

std::string peNumber(long value) {
    unsigned long n = value >= 0 ? 2ul * static_cast<unsigned long>(value) : 2ul * static_cast<unsigned long>(-value) + 1;
    std::string out;
    while (n >= 32) {
        out += static_cast<char>(63 + n % 32);
        n /= 32;
    }
    out += static_cast<char>(95 + n);
    return out;
}

struct DenseStream {
    std::string bytes;
    double lengthUnits = 0;  // total vector length in plotter units
};

DenseStream makeStream(int vectors, bool longVectors) {
    DenseStream s;
    std::mt19937 random(12345);
    // Steps of up to 141 units along each axis: vectors of up to 5 mm.
    std::uniform_int_distribution<long> x(100, PAPER_LONG - 100), y(100, PAPER_SHORT - 100), step(-141, 141);
    s.bytes = "\x1b%-12345X@PJL ENTER LANGUAGE = HPGL2\n\x1b%-1B;BP;IN;PS" + std::to_string(PAPER_LONG) + "," +
              std::to_string(PAPER_SHORT) + "LA1,1,2,6SP7NP256CR0,255,0,255,0,255PC1,255,0,0PUPA0,0PR";
    s.bytes += "PW0.35SP1PE7<";
    long px = PAPER_LONG / 2, py = PAPER_SHORT / 2;
    s.bytes += peNumber(px) + peNumber(py);
    for (int i = 0; i < vectors; ++i) {
        long nx, ny;
        if (longVectors) {
            nx = x(random);
            ny = y(random);
        } else {
            nx = std::clamp(px + step(random), 100L, PAPER_LONG - 100);
            ny = std::clamp(py + step(random), 100L, PAPER_SHORT - 100);
        }
        s.lengthUnits += std::hypot(double(nx - px), double(ny - py));
        s.bytes += peNumber(nx - px) + peNumber(ny - py);
        px = nx;
        py = ny;
    }
    s.bytes += ";PUSP0;PG;";
    return s;
}

struct Prepared {
    DenseStream stream;
    ParsedStream parsed;
};

const Prepared& prepared(int vectors, bool longVectors) {
    static std::map<std::pair<int, bool>, Prepared> cache;
    auto key = std::make_pair(vectors, longVectors);
    auto it = cache.find(key);
    if (it == cache.end()) {
        Prepared p;
        p.stream = makeStream(vectors, longVectors);
        p.parsed = parseStream(p.stream.bytes);
        it = cache.emplace(key, std::move(p)).first;
    }
    return it->second;
}

PreviewOptions optionsFor(double dpi, bool antialias) {
    PreviewOptions o;
    o.dpi = dpi;
    o.antialias = antialias;
    o.sidePanel = false;
    return o;
}

// The floor: `pixels` pixels of one colour written as spans of `span`
// pixels into a picture of width x height, row after row.
void fillSpans(std::vector<uint32_t>& picture, int width, uint64_t pixels, int span) {
    size_t at = 0;
    while (pixels > 0) {
        size_t n = std::min<uint64_t>(pixels, static_cast<uint64_t>(span));
        if (at + n > picture.size()) at = 0;
        std::fill_n(picture.data() + at, n, 0xFFFF0000u);
        pixels -= n;
        at += static_cast<size_t>(width);
    }
    benchmark::DoNotOptimize(picture.data());
}

struct FloorShape {
    int width, height;
    uint64_t pixels;
    int span;
};

FloorShape floorShape(const Prepared& p, int vectors, double dpi) {
    FloorShape f;
    f.width = static_cast<int>(std::ceil(PAPER_LONG / UNITS_PER_INCH * dpi)) + 24;
    f.height = static_cast<int>(std::ceil(PAPER_SHORT / UNITS_PER_INCH * dpi)) + 24;
    double widthPx = std::max(1.0, PEN_MM * UNITS_PER_MM / UNITS_PER_INCH * dpi);
    double lengthPx = p.stream.lengthUnits / UNITS_PER_INCH * dpi;
    f.pixels = static_cast<uint64_t>(lengthPx * widthPx);
    f.span = std::max(1, static_cast<int>(f.pixels / static_cast<uint64_t>(vectors)));
    return f;
}

double floorSeconds(const FloorShape& f) {
    std::vector<uint32_t> picture(static_cast<size_t>(f.width) * f.height, 0xFFFFFFFFu);
    auto start = std::chrono::steady_clock::now();
    fillSpans(picture, f.width, f.pixels, f.span);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The same drawing without antialiasing, for the ratio of the two.
double renderSeconds(const Prepared& p, const PreviewOptions& options) {
    auto start = std::chrono::steady_clock::now();
    PreviewImage image;
    renderParsed(p.parsed, options, &image);
    benchmark::DoNotOptimize(image.argb.data());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_Draw(benchmark::State& state) {
    int vectors = static_cast<int>(state.range(0));
    bool longVectors = state.range(1) != 0;
    double dpi = static_cast<double>(state.range(2));
    bool antialias = state.range(3) != 0;
    const Prepared& p = prepared(vectors, longVectors);
    PreviewOptions options = optionsFor(dpi, antialias);
    double drawn = 0, floor = 0, plain = 0;
    FloorShape shape = floorShape(p, vectors, dpi);
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        PreviewImage image;
        PreviewResult r = renderParsed(p.parsed, options, &image);
        benchmark::DoNotOptimize(image.argb.data());
        if (!r.ok) state.SkipWithError(r.error.c_str());
        drawn += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        floor += floorSeconds(shape);
        if (antialias) plain += renderSeconds(p, optionsFor(dpi, false));
        state.ResumeTiming();
    }
    state.counters["xFloor"] = drawn / floor;
    if (antialias) state.counters["xPlain"] = drawn / plain;
    state.counters["Mpx"] = static_cast<double>(shape.pixels) / 1e6;
}

// Reading and drawing, from the stream's bytes to the picture in memory.
void BM_ReadAndDraw(benchmark::State& state) {
    int vectors = static_cast<int>(state.range(0));
    bool longVectors = state.range(1) != 0;
    const Prepared& p = prepared(vectors, longVectors);
    PreviewOptions options = optionsFor(static_cast<double>(state.range(2)), state.range(3) != 0);
    for (auto _ : state) {
        PreviewImage image;
        PreviewResult r = renderParsed(parseStream(p.stream.bytes), options, &image);
        benchmark::DoNotOptimize(image.argb.data());
        if (!r.ok) state.SkipWithError(r.error.c_str());
    }
}

// Antialiased in the four-wide form, which processors without AVX2 take.
void BM_DrawFourWide(benchmark::State& state) {
    allowWideColumns(false);
    BM_Draw(state);
    allowWideColumns(true);
}

void BM_Floor(benchmark::State& state) {
    int vectors = static_cast<int>(state.range(0));
    const Prepared& p = prepared(vectors, state.range(1) != 0);
    FloorShape shape = floorShape(p, vectors, static_cast<double>(state.range(2)));
    std::vector<uint32_t> picture(static_cast<size_t>(shape.width) * shape.height, 0xFFFFFFFFu);
    for (auto _ : state) fillSpans(picture, shape.width, shape.pixels, shape.span);
    state.counters["Mpx"] = static_cast<double>(shape.pixels) / 1e6;
}

void denseCases(benchmark::internal::Benchmark* b, std::vector<int> antialias) {
    b->ArgNames({"vectors", "long", "dpi", "aa"});
    for (auto [vectors, longVectors] : {std::pair{200'000, 1}, std::pair{2'000'000, 0}})
        for (int dpi : {50, 100})
            for (int aa : antialias) b->Args({vectors, longVectors, dpi, aa});
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_Draw)->Apply([](benchmark::internal::Benchmark* b) { denseCases(b, {0, 1}); });
BENCHMARK(BM_ReadAndDraw)->Apply([](benchmark::internal::Benchmark* b) { denseCases(b, {0, 1}); });
BENCHMARK(BM_DrawFourWide)->Apply([](benchmark::internal::Benchmark* b) { denseCases(b, {1}); });
BENCHMARK(BM_Floor)->Apply([](benchmark::internal::Benchmark* b) { denseCases(b, {0}); });

}  // namespace

BENCHMARK_MAIN();
