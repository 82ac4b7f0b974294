// The CUPS filter against CUPS's own raster-to-printer filter, rastertohp,
// on the same 36-inch-wide page (ARCH E, 36 x 48 in), in the same run.
//
// rastertohp takes 1-bit rasters that the rasteriser has already dithered
// (CMY planes in colour, K in monochrome, at 300 dpi); on 8-bit RGB it is
// not made to run. So each filter gets the raster CUPS would make for its
// own PPD of the same page: rastertotavix 8-bit RGB at 300 dpi in colour
// and 8-bit gray at 400 dpi in monochrome (and dithers it itself),
// rastertohp the 1-bit forms of the same picture at 300 dpi. Both run as
// CUPS runs them (a process, $PPD, the raster file), their stream going to
// /dev/null; the rate is page pixels per second at each filter's own
// resolution. A summary after the run gives the ratios.
#include <benchmark/benchmark.h>
#include <cups/raster.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double PAGE_WIDTH = 36, PAGE_LENGTH = 48;  // inches
constexpr int COLOUR_DPI = 300, MONO_DPI = 400, HP_DPI = 300;

std::string folder;
std::map<std::string, double> rates;  // pixels per second, by benchmark name

// The picture: colour bars, a gray ramp and thin lines on white, as a
// plotted drawing with filled areas looks. (x, y) in inches.
void picture(double x, double y, uint8_t rgb[3]) {
    rgb[0] = rgb[1] = rgb[2] = 255;
    int band = static_cast<int>(y / 4);
    if (x > 2 && x < 34 && band % 3 == 0) {
        static const uint8_t bars[8][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0},
                                           {0, 255, 255}, {255, 0, 255}, {0, 0, 0}, {128, 128, 128}};
        const uint8_t* c = bars[static_cast<int>((x - 2) / 4) % 8];
        rgb[0] = c[0], rgb[1] = c[1], rgb[2] = c[2];
    } else if (x > 2 && x < 34 && band % 3 == 1) {
        uint8_t g = static_cast<uint8_t>((x - 2) / 32 * 255);
        rgb[0] = rgb[1] = rgb[2] = g;
    } else if (static_cast<int>(x * 50) % 25 == 0 || static_cast<int>(y * 50) % 50 == 0) {
        rgb[0] = rgb[1] = 0, rgb[2] = 128;
    }
}

cups_page_header2_t header(int dpi, cups_cspace_t space, int bits, cups_order_t order) {
    cups_page_header2_t h{};
    h.HWResolution[0] = h.HWResolution[1] = static_cast<unsigned>(dpi);
    h.PageSize[0] = static_cast<unsigned>(PAGE_WIDTH * 72);
    h.PageSize[1] = static_cast<unsigned>(PAGE_LENGTH * 72);
    h.cupsPageSize[0] = static_cast<float>(PAGE_WIDTH * 72);
    h.cupsPageSize[1] = static_cast<float>(PAGE_LENGTH * 72);
    h.cupsWidth = static_cast<unsigned>(PAGE_WIDTH * dpi);
    h.cupsHeight = static_cast<unsigned>(PAGE_LENGTH * dpi);
    h.cupsColorSpace = space;
    h.cupsColorOrder = order;
    h.cupsBitsPerColor = static_cast<unsigned>(bits);
    int colours = space == CUPS_CSPACE_RGB || space == CUPS_CSPACE_CMY ? 3 : 1;
    h.cupsBitsPerPixel = order == CUPS_ORDER_CHUNKED ? static_cast<unsigned>(bits * colours) : static_cast<unsigned>(bits);
    unsigned planeBytes = (h.cupsWidth * static_cast<unsigned>(bits) + 7) / 8;
    h.cupsBytesPerLine = order == CUPS_ORDER_CHUNKED ? (h.cupsWidth * h.cupsBitsPerPixel + 7) / 8
                                                     : planeBytes * static_cast<unsigned>(colours);
    h.NumCopies = 1;
    h.cupsCompression = 2;
    return h;
}

// One page in one of the four forms; the 1-bit forms threshold the picture
// with a 4 x 4 ordered dither (the rasteriser's job for rastertohp).
void writePage(const std::string& path, int dpi, cups_cspace_t space, int bits, cups_order_t order) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    cups_raster_t* raster = cupsRasterOpen(fd, CUPS_RASTER_WRITE_COMPRESSED);
    cups_page_header2_t h = header(dpi, space, bits, order);
    cupsRasterWriteHeader2(raster, &h);
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::vector<uint8_t> line(h.cupsBytesPerLine);
    unsigned planeBytes = (h.cupsWidth + 7) / 8;
    for (unsigned y = 0; y < h.cupsHeight; ++y) {
        std::fill(line.begin(), line.end(), 0);
        for (unsigned x = 0; x < h.cupsWidth; ++x) {
            uint8_t rgb[3];
            picture((x + 0.5) / dpi, (y + 0.5) / dpi, rgb);
            if (bits == 8 && space == CUPS_CSPACE_RGB) {
                std::copy(rgb, rgb + 3, &line[x * 3]);
            } else if (bits == 8) {
                line[x] = static_cast<uint8_t>((30 * rgb[0] + 59 * rgb[1] + 11 * rgb[2]) / 100);
            } else {
                int threshold = bayer[y % 4][x % 4] * 16 + 8;
                uint8_t bit = static_cast<uint8_t>(0x80 >> (x % 8));
                if (space == CUPS_CSPACE_K) {
                    if ((30 * rgb[0] + 59 * rgb[1] + 11 * rgb[2]) / 100 < threshold) line[x / 8] |= bit;
                } else {
                    for (int c = 0; c < 3; ++c)  // cyan from red, magenta from green, yellow from blue
                        if (rgb[c] < threshold) line[c * planeBytes + x / 8] |= bit;
                }
            }
        }
        cupsRasterWritePixels(raster, line.data(), h.cupsBytesPerLine);
    }
    cupsRasterClose(raster);
    close(fd);
}

// A filter run as CUPS runs it; false when it fails.
bool runFilter(const std::string& program, const std::string& ppd, const std::string& options,
               const std::string& input) {
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        setenv("PPD", ppd.c_str(), 1);
        execl(program.c_str(), program.c_str(), "1", "bench", "page", "1", options.c_str(), input.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void prepare() {
    if (!folder.empty()) return;
    folder = (fs::temp_directory_path() / ("tavix-cups-bench-" + std::to_string(getpid()))).string();
    fs::create_directories(folder);
    auto make = [](const char* name, int dpi, cups_cspace_t space, int bits, cups_order_t order) {
        std::string path = folder + "/" + name;
        if (!fs::exists(path)) writePage(path, dpi, space, bits, order);
    };
    make("rgb300.ras", COLOUR_DPI, CUPS_CSPACE_RGB, 8, CUPS_ORDER_CHUNKED);
    make("gray400.ras", MONO_DPI, CUPS_CSPACE_W, 8, CUPS_ORDER_CHUNKED);
    make("cmy300.ras", HP_DPI, CUPS_CSPACE_CMY, 1, CUPS_ORDER_BANDED);
    make("k300.ras", HP_DPI, CUPS_CSPACE_K, 1, CUPS_ORDER_CHUNKED);
    // rastertohp's own PPDs, from CUPS's sample driver file.
    if (!fs::exists(folder + "/deskjet.ppd"))
        std::system(("ppdc -d '" + folder + "' /usr/share/cups/drv/sample.drv >/dev/null 2>&1").c_str());
}

void filterBench(benchmark::State& state, const std::string& program, const std::string& ppd,
                 const std::string& options, const char* raster, int dpi) {
    prepare();
    double pixels = PAGE_WIDTH * dpi * PAGE_LENGTH * dpi;
    for (auto _ : state)
        if (!runFilter(program, ppd, options, folder + "/" + raster)) state.SkipWithError("the filter failed");
    state.counters["Mpx/s"] = benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void ours(benchmark::State& state, const char* options, const char* raster, int dpi) {
    filterBench(state, TAVIX_CUPS_FILTER, std::string(TAVIX_PPD_DIR) + "/tavix-tx90.ppd",
                std::string("PageSize=ARCHE ") + options, raster, dpi);
}

void theirs(benchmark::State& state, const char* raster) {
    filterBench(state, "/usr/lib/cups/filter/rastertohp", folder.empty() ? "" : folder + "/deskjet.ppd", "", raster,
                HP_DPI);
}


}  // namespace

BENCHMARK_CAPTURE(ours, ColourDithered, "ColorModel=RGB TavixToneMode=Dithered", "rgb300.ras", COLOUR_DPI)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(ours, ColourContone, "ColorModel=RGB TavixToneMode=ContinuousTone", "rgb300.ras", COLOUR_DPI)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(ours, MonoDithered, "ColorModel=Gray TavixToneMode=Dithered", "gray400.ras", MONO_DPI)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(ours, MonoContone, "ColorModel=Gray TavixToneMode=ContinuousTone", "gray400.ras", MONO_DPI)
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(theirs, Colour, "cmy300.ras")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK_CAPTURE(theirs, Mono, "k300.ras")->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The ratios of the rates measured above, in this run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            auto found = run.counters.find("Mpx/s");
            if (found != run.counters.end()) rates[run.benchmark_name()] = found->second;
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto rate = [](const std::string& name) {
            for (const auto& [key, value] : rates)
                if (key.find(name) != std::string::npos) return static_cast<double>(value);
            return 0.0;
        };
        double hpColour = rate("theirs/Colour"), hpMono = rate("theirs/Mono");
        std::printf("\nPixels per second against rastertohp on the same page (36 x 48 in):\n");
        for (const char* mode : {"ColourDithered", "ColourContone"})
            std::printf("  %-15s %6.1f Mpx/s, %.2f x rastertohp colour (%.1f Mpx/s)\n", mode,
                        rate(std::string("ours/") + mode), hpColour > 0 ? rate(std::string("ours/") + mode) / hpColour : 0,
                        hpColour);
        for (const char* mode : {"MonoDithered", "MonoContone"})
            std::printf("  %-15s %6.1f Mpx/s, %.2f x rastertohp monochrome (%.1f Mpx/s)\n", mode,
                        rate(std::string("ours/") + mode), hpMono > 0 ? rate(std::string("ours/") + mode) / hpMono : 0,
                        hpMono);
    }
};

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    prepare();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}
