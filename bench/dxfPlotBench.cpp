// `tavix plot` of big DXF drawings against dxflib's bare parse of the same
// files (callbacks that do nothing), in the same run:
//   lines    1,000,000 LINE entities
//   curves   100,000 CIRCLE and ARC entities (half each)
// The plot runs the program itself (configured for A1 in colour) into a
// printer file; its peak resident memory is a counter (MB). A summary after
// the run gives each drawing's ratio of plot time to parse time, in CPU
// seconds (the program's user and system time; the parse's process time),
// which a machine shared with other builds disturbs far less than wall time.
#include <benchmark/benchmark.h>
#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path workDirectory() {
    static fs::path dir = [] {
        char name[] = "/tmp/tavix-dxf-bench-XXXXXX";
        if (mkdtemp(name) == nullptr) std::abort();
        return fs::path(name);
    }();
    return dir;
}

void writeGroup(std::FILE* f, int code, const char* value) { std::fprintf(f, "%3d\n%s\n", code, value); }
void writeNumber(std::FILE* f, int code, double value) { std::fprintf(f, "%3d\n%.6f\n", code, value); }

// A drawing of `count` entities made by `entity`, 1 m square, in millimetres.
std::string makeDrawing(const char* name, int count, void (*entity)(std::FILE*, std::mt19937&, int)) {
    fs::path path = workDirectory() / name;
    if (fs::exists(path)) return path.string();
    std::FILE* f = std::fopen(path.c_str(), "w");
    std::mt19937 random(12);
    writeGroup(f, 0, "SECTION");
    writeGroup(f, 2, "HEADER");
    writeGroup(f, 9, "$INSUNITS");
    writeGroup(f, 70, "4");
    writeGroup(f, 0, "ENDSEC");
    writeGroup(f, 0, "SECTION");
    writeGroup(f, 2, "ENTITIES");
    for (int i = 0; i < count; ++i) entity(f, random, i);
    writeGroup(f, 0, "ENDSEC");
    writeGroup(f, 0, "EOF");
    std::fclose(f);
    return path.string();
}

double coordinate(std::mt19937& random) { return std::uniform_real_distribution<double>(0, 1000)(random); }

void line(std::FILE* f, std::mt19937& random, int i) {
    writeGroup(f, 0, "LINE");
    writeGroup(f, 8, "0");
    writeGroup(f, 62, std::to_string(1 + i % 7).c_str());
    writeNumber(f, 10, coordinate(random));
    writeNumber(f, 20, coordinate(random));
    writeNumber(f, 11, coordinate(random));
    writeNumber(f, 21, coordinate(random));
}

void curve(std::FILE* f, std::mt19937& random, int i) {
    writeGroup(f, 0, i % 2 ? "ARC" : "CIRCLE");
    writeGroup(f, 8, "0");
    writeNumber(f, 10, coordinate(random));
    writeNumber(f, 20, coordinate(random));
    writeNumber(f, 40, 1 + coordinate(random) / 20);
    if (i % 2) {
        writeNumber(f, 50, coordinate(random) * 0.36);
        writeNumber(f, 51, coordinate(random) * 0.36);
    }
}

const std::map<std::string, std::string>& drawings() {
    static std::map<std::string, std::string> d = {
        {"lines", makeDrawing("lines.dxf", 1000000, line)},
        {"curves", makeDrawing("curves.dxf", 100000, curve)},
    };
    return d;
}

std::map<std::string, double> parseSeconds, plotSeconds;

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void dxflibParse(benchmark::State& state, const std::string& drawing) {
    const std::string& path = drawings().at(drawing);
    for (auto _ : state) {
        double start = cpuSeconds();
        DL_Dxf dxf;
        DL_CreationAdapter nothing;
        std::ifstream in(path);
        dxf.in(in, &nothing);
        parseSeconds[drawing] = cpuSeconds() - start;
    }
}

// Runs tavix, waits, and returns its exit status; `peakKb` its peak memory,
// `seconds` its CPU time.
int runTavix(const std::vector<std::string>& args, long& peakKb, double& seconds) {
    pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        std::string program = TAVIX_BINARY;
        argv.push_back(program.data());
        std::vector<std::string> copy = args;
        for (std::string& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::freopen("/dev/null", "w", stderr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    peakKb = usage.ru_maxrss;
    seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

void tavixPlot(benchmark::State& state, const std::string& drawing) {
    const std::string& path = drawings().at(drawing);
    std::string config = (workDirectory() / "bench.cfg").string();
    std::string output = (workDirectory() / (drawing + ".plt")).string();
    long peak = 0;
    double seconds = 0;
    if (!fs::exists(config) && runTavix({"--config", config, "configure", "--defaults", "--model", "tx90", "--paper",
                                         "A1", "--colour", "colour"}, peak, seconds) != 0) {
        state.SkipWithError("tavix configure failed");
        return;
    }
    for (auto _ : state) {
        if (runTavix({"--config", config, "plot", path, "-o", output, "-q"}, peak, seconds) != 0) {
            state.SkipWithError("tavix plot failed");
            return;
        }
        plotSeconds[drawing] = seconds;
    }
    state.counters["peakMB"] = static_cast<double>(peak) / 1024.0;
}

BENCHMARK_CAPTURE(dxflibParse, lines, std::string("lines"))->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(tavixPlot, lines, std::string("lines"))->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(dxflibParse, curves, std::string("curves"))->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(tavixPlot, curves, std::string("curves"))->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const auto& [drawing, parse] : parseSeconds) {
        auto plot = plotSeconds.find(drawing);
        if (plot == plotSeconds.end() || parse <= 0) continue;
        std::printf("%-8s CPU time: tavix plot %.3f s, dxflib bare parse %.3f s: ratio %.2f\n", drawing.c_str(),
                    plot->second, parse, plot->second / parse);
    }
    fs::remove_all(workDirectory());
    return 0;
}
