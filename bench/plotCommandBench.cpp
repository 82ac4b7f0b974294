// `tavix plot` on a drawing of 2,000,000 segments, against reading the same
// file line by line and doing nothing else (a 1 MiB fread loop that finds
// each line end with memchr: the least any line reader must do). Both read
// the file from the page cache; the plot writes its printer file to the
// same temporary folder. A summary after the run gives the ratio.
//
//   build/native/bench/plotCommandBench
//   /usr/bin/time -v build/native/tavix plot -q DRAWING -o OUT   (peak memory)
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "configureCommand.h"
#include "plotCommand.h"

namespace {

namespace fs = std::filesystem;

constexpr int SEGMENTS = 2'000'000;

struct Workspace {
    fs::path dir;
    std::string drawing, output, config;

    Workspace() {
        char name[] = "/tmp/tavix-plot-bench-XXXXXX";
        if (mkdtemp(name) == nullptr) std::abort();
        dir = name;
        drawing = (dir / "segments.txt").string();
        output = (dir / "segments.plt").string();
        config = (dir / "bench.cfg").string();
        std::FILE* f = std::fopen(drawing.c_str(), "wb");
        if (f == nullptr) std::abort();
        std::fputs("pen 1\nmove 0 0\n", f);
        for (int i = 0; i < SEGMENTS; ++i) std::fprintf(f, "draw %d %d\n", i % 2 ? 9000 : 10, i % 7000);
        std::fclose(f);
        // The driver keeps its pen file in the current directory.
        fs::path previous = fs::current_path();
        fs::current_path(dir);
        tavix::host::ConfigureOptions configure;
        configure.configPath = config;
        configure.defaults = true;
        configure.paper = "A1";
        std::FILE* quiet = std::freopen("/dev/null", "w", stderr);
        (void)quiet;
        if (tavix::host::runConfigureCommand(configure) != 0) std::abort();
        fs::current_path(previous);
    }
    ~Workspace() {
        std::error_code error;
        fs::remove_all(dir, error);
    }
};

Workspace& workspace() {
    static Workspace w;
    return w;
}

std::map<std::string, double> seconds;

void readLinesDoingNothing(benchmark::State& state) {
    const std::string& path = workspace().drawing;
    std::vector<char> chunk(size_t{1} << 20);
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        size_t lines = 0, n;
        while ((n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0) {
            const char* p = chunk.data();
            const char* end = p + n;
            while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)))) != nullptr) {
                ++lines;
                ++p;
            }
        }
        std::fclose(f);
        benchmark::DoNotOptimize(lines);
    }
}

void tavixPlot(benchmark::State& state) {
    Workspace& w = workspace();
    fs::path previous = fs::current_path();
    fs::current_path(w.dir);
    tavix::host::PlotCommandOptions options;
    options.drawing = w.drawing;
    options.output = w.output;
    options.configPath = w.config;
    options.quiet = true;
    for (auto _ : state)
        if (tavix::host::runPlotCommand(options) != 0) state.SkipWithError("the plot failed");
    fs::current_path(previous);
    state.counters["ns/segment"] = benchmark::Counter(static_cast<double>(SEGMENTS) * state.iterations(),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(readLinesDoingNothing)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(tavixPlot)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps each benchmark's real time per iteration for the summary.
class Summary : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) seconds[r.benchmark_name()] = r.GetAdjustedRealTime() / 1e3;
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    workspace();
    Summary reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double plot = seconds["tavixPlot/min_time:2.000"], read = seconds["readLinesDoingNothing/min_time:2.000"];
    if (plot > 0 && read > 0)
        std::printf("\ntavix plot of %d segments: %.3f s, %.1f times reading its lines doing nothing (%.3f s)\n",
                    SEGMENTS, plot, plot / read, read);
    benchmark::Shutdown();
    return 0;
}
