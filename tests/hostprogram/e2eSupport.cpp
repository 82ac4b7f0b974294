#include "e2eSupport.h"

#include <CLI/CLI.hpp>
#include <fcntl.h>
#include <png.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "configureCommand.h"
#include "drawingFile.h"
#include "hostSession.h"

extern char** environ;

namespace tavix::host::testing {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Standard error of this process, caught in a file while it lives.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        file_ = std::tmpfile();
        saved_ = dup(2);
        if (file_ != nullptr) dup2(fileno(file_), 2);
    }
    std::string finish() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            dup2(saved_, 2);
            close(saved_);
            saved_ = -1;
        }
        std::string text;
        if (file_ != nullptr) {
            std::rewind(file_);
            char buffer[4096];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0) text.append(buffer, n);
            std::fclose(file_);
            file_ = nullptr;
        }
        return text;
    }
    ~StderrCapture() { finish(); }

private:
    std::FILE* file_ = nullptr;
    int saved_ = -1;
};

// A FILE that collects what is written to it in memory.
class MemoryFile {
public:
    MemoryFile() { file_ = open_memstream(&data_, &size_); }
    std::FILE* get() const { return file_; }
    std::string take() {
        if (file_ != nullptr) std::fclose(file_);
        file_ = nullptr;
        std::string text(data_ != nullptr ? data_ : "", size_);
        std::free(data_);
        data_ = nullptr;
        size_ = 0;
        return text;
    }
    ~MemoryFile() { take(); }

private:
    std::FILE* file_ = nullptr;
    char* data_ = nullptr;
    size_t size_ = 0;
};

Ran spawn(const std::string& program, const std::vector<std::string>& args, bool searchPath) {
    Ran ran;
    char outName[] = "/tmp/tavix-e2e-out-XXXXXX";
    char errName[] = "/tmp/tavix-e2e-err-XXXXXX";
    int outFd = mkstemp(outName), errFd = mkstemp(errName);
    if (outFd < 0 || errFd < 0) return ran;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    // The environment as it is, except that a LeakSanitizer build keeps the
    // list of its suppressions off the standard error the tests read.
    std::vector<std::string> env;
    std::string lsan = "LSAN_OPTIONS=print_suppressions=0";
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "LSAN_OPTIONS=", 13) == 0)
            lsan = std::string(*e) + ":print_suppressions=0";
        else
            env.emplace_back(*e);
    }
    env.push_back(lsan);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    int started = searchPath ? posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data())
                             : posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(outFd);
    close(errFd);
    if (started == 0) {
        int status = 0;
        struct rusage usage {};
        while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
        }
        ran.maxRssKb = usage.ru_maxrss;
        if (WIFEXITED(status)) ran.status = WEXITSTATUS(status);
        else if (WIFSIGNALED(status)) ran.status = 128 + WTERMSIG(status);
    } else {
        ran.err = "cannot start " + program + ": " + std::strerror(started);
        ran.status = 127;
    }
    ran.out = readAll(outName);
    ran.err += readAll(errName);
    std::remove(outName);
    std::remove(errName);
    return ran;
}

uint64_t fnv1a(uint64_t hash, const char* data, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(data[i]);
        hash *= 1099511628211ull;
    }
    return hash;
}

// One escape sequence of an HP RTL section: where it begins and ends (data
// bytes included), its group ("*b", "*r", "%" ...), its last letter and
// its parameter before that letter.
struct Escape {
    size_t begin = 0, end = 0;
    std::string group;
    char final = 0;
    long value = 0;
};

bool isParameterChar(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.'; }

// Reads the escape sequence at `at` (stream[at] is ESC). Data that follows
// a W or V parameter is part of the sequence.
Escape readEscape(const std::string& s, size_t at) {
    Escape e;
    e.begin = at;
    size_t i = at + 1;
    if (i >= s.size()) {
        e.end = s.size();
        return e;
    }
    if (s[i] == '%') {
        e.group = "%";
        ++i;
    } else {
        e.group = s.substr(i, 2);
        i += 2;
    }
    while (i < s.size()) {
        size_t start = i;
        while (i < s.size() && isParameterChar(s[i])) ++i;
        long value = std::strtol(s.substr(start, i - start).c_str(), nullptr, 10);
        if (i >= s.size()) break;
        char letter = s[i++];
        if (letter == 'W' || letter == 'V' || letter == 'w' || letter == 'v') {
            size_t count = value > 0 ? static_cast<size_t>(value) : 0;
            i = std::min(s.size(), i + count);
        }
        e.final = letter;
        e.value = value;
        if (!(letter >= 'a' && letter <= 'z')) break;
    }
    e.end = i;
    return e;
}

bool isRowSequence(const Escape& e) {
    return e.group == "*b" && (e.final == 'W' || e.final == 'V' || e.final == 'Y');
}

// Walks the stream: text outside HP RTL goes to `text`, every escape
// sequence of an HP RTL section (from ESC%1A to ESC%0B) to `escape`.
template <typename Text, typename Esc>
void walk(const std::string& s, Text text, Esc escape) {
    size_t pos = 0;
    while (pos < s.size()) {
        size_t start = s.find("\x1b%1A", pos);
        if (start == std::string::npos) start = s.size();
        text(pos, start);
        pos = start;
        while (pos < s.size()) {
            if (s[pos] != '\x1b') {  // a stray byte inside the section
                text(pos, pos + 1);
                ++pos;
                continue;
            }
            Escape e = readEscape(s, pos);
            escape(e);
            pos = e.end;
            if (e.group == "%" && e.final == 'B') break;
        }
    }
}

std::string hex64(uint64_t v) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(v));
    return buffer;
}

double length(const Segment& s) { return std::hypot(s.x1 - s.x0, s.y1 - s.y0); }

std::string describe(const Segment& s) {
    std::ostringstream o;
    o << "pen " << s.pen << " (" << s.x0 << "," << s.y0 << ")-(" << s.x1 << "," << s.y1 << ")"
      << (s.patterned ? " patterned" : "");
    return o.str();
}

}  // namespace

double distanceToSegment(double px, double py, const Segment& s) {
    double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((px - s.x0) * dx + (py - s.y0) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (s.x0 + t * dx), py - (s.y0 + t * dy));
}

std::string sourcePath(const std::string& relative) { return std::string(TAVIX_SOURCE_DIR) + "/" + relative; }

std::string dataPath(const std::string& name) { return sourcePath("tests/hostprogram/data/" + name); }

bool updatingGoldens() {
    const char* v = std::getenv("TAVIX_UPDATE_GOLDEN");
    return v != nullptr && std::string(v) == "1";
}

int configure(const std::string& configPath, const std::vector<std::string>& args, std::string* messages) {
    CLI::App app{"configure"};
    ConfigureOptions options;
    addConfigureOptions(app, options);
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        if (messages) *messages = e.what();
        return 2;
    }
    options.configPath = configPath;
    StderrCapture capture;
    int status = runConfigureCommand(options);
    std::string text = capture.finish();
    if (messages) *messages = text;
    return status;
}

void editConfig(const std::string& configPath, const std::function<void(HostConfig&)>& edit) {
    HostConfig config;
    bool exists = false;
    std::string error;
    if (!loadHostConfig(configPath, config, exists, error) || !exists) {
        std::fprintf(stderr, "editConfig: cannot read %s: %s\n", configPath.c_str(), error.c_str());
        std::abort();
    }
    edit(config);
    if (!saveHostConfig(configPath, config, error)) {
        std::fprintf(stderr, "editConfig: %s\n", error.c_str());
        std::abort();
    }
}

void setFlag(HostConfig& config, int byte, uint8_t mask, bool on) {
    uint8_t& b = config.block[static_cast<size_t>(byte)];
    b = on ? static_cast<uint8_t>(b | mask) : static_cast<uint8_t>(b & ~mask);
}

Plotted plot(const std::string& configPath, const std::string& drawingText, const std::string& baseDir,
             PlotOptions options) {
    Plotted result;
    Drawing drawing;
    std::string error;
    if (!parseDrawing(drawingText, drawing, error)) {
        result.error = "drawing: " + error;
        return result;
    }
    HostConfig config;
    bool exists = false;
    if (!loadHostConfig(configPath, config, exists, error) || !exists) {
        result.error = "configuration: " + (exists ? error : configPath + " missing");
        return result;
    }
    MemoryFile output, log;
    PlotOutcome outcome;
    {
        HostSession session(output.get(), log.get());
        session.connect();
        options.baseDir = baseDir;
        outcome = runPlot(session, config, drawing, options);
    }
    result.ok = outcome.ok;
    result.error = outcome.error;
    result.requests = outcome.requests;
    result.stream = output.take();
    result.log = log.take();
    return result;
}

Ran runTavix(const std::vector<std::string>& args) { return spawn(TAVIX_BINARY, args, false); }

Ran runProgram(const std::string& program, const std::vector<std::string>& args) {
    return spawn(program, args, true);
}

std::string withRowsSummarised(const std::string& s) {
    std::string out;
    size_t transfers = 0, offsets = 0, bytes = 0;
    uint64_t hash = 14695981039346656037ull;
    auto summary = [&]() {
        if (transfers + offsets == 0) return;
        out += "<<HP RTL rows: " + std::to_string(transfers) + " transfers, " + std::to_string(offsets) +
               " offsets, " + std::to_string(bytes) + " bytes, fnv1a64 " + hex64(hash) + ">>";
        transfers = offsets = bytes = 0;
        hash = 14695981039346656037ull;
    };
    walk(
        s,
        [&](size_t b, size_t e) {
            summary();
            out.append(s, b, e - b);
        },
        [&](const Escape& e) {
            if (isRowSequence(e)) {
                (e.final == 'Y' ? offsets : transfers) += 1;
                bytes += e.end - e.begin;
                hash = fnv1a(hash, s.data() + e.begin, e.end - e.begin);
                return;
            }
            summary();
            out.append(s, e.begin, e.end - e.begin);
        });
    summary();
    return out;
}

std::string hpglOnly(const std::string& stream) {
    size_t enter = stream.find("\x1b%-1B");
    std::string s = enter == std::string::npos ? stream : stream.substr(enter + 5);
    std::string out;
    walk(
        s, [&](size_t b, size_t e) { out.append(s, b, e - b); }, [](const Escape&) {});
    return out;
}

std::vector<Segment> drawingSegments(const std::string& drawingText, double hostUnitsPerInch,
                                     int scaleDivisor, bool colour, bool halftoneFill) {
    std::vector<Segment> segments;
    Drawing drawing;
    std::string error;
    if (!parseDrawing(drawingText, drawing, error)) return segments;
    int pen = 7;
    int lineTypeCount = 0;
    bool patterned = false;
    double x = 0, y = 0;
    auto point = [&](const DrawingRequest& r, size_t i, double& px, double& py) {
        uint16_t hx = 0, hy = 0;
        toHostUnits(r.coords[i], r.unit, hostUnitsPerInch, hx);
        toHostUnits(r.coords[i + 1], r.unit, hostUnitsPerInch, hy);
        px = double(hx) * scaleDivisor;
        py = double(hy) * scaleDivisor;
    };
    auto add = [&](int p, double ax, double ay, double bx, double by) {
        if (ax == bx && ay == by) return;
        segments.push_back({p, ax, ay, bx, by, patterned});
    };
    for (const DrawingRequest& r : drawing.requests) {
        switch (r.op) {
            case DrawingOp::Pen: pen = colour ? r.value : 7; break;
            case DrawingOp::LineTypes: lineTypeCount = r.value; break;
            case DrawingOp::LineType: patterned = r.value != 0 && r.value <= lineTypeCount; break;
            case DrawingOp::Move: point(r, 0, x, y); break;
            case DrawingOp::Draw: {
                double nx, ny;
                point(r, 0, nx, ny);
                add(pen, x, y, nx, ny);
                x = nx;
                y = ny;
                break;
            }
            case DrawingOp::Fill:
            case DrawingOp::FillArray: {
                size_t n = r.coords.size() / 2;
                if (n < 2) break;
                int fillPen = colour || halftoneFill ? r.value : 7;
                std::vector<double> xs(n), ys(n);
                for (size_t i = 0; i < n; ++i) point(r, 2 * i, xs[i], ys[i]);
                for (size_t i = 0; i < n; ++i) add(fillPen, xs[i], ys[i], xs[(i + 1) % n], ys[(i + 1) % n]);
                // The pen ends on the first vertex, where the polygon closes.
                x = xs[0];
                y = ys[0];
                break;
            }
            case DrawingOp::Abort: return segments;
            default: break;
        }
    }
    return segments;
}

bool hp2xxSegments(const std::string& hpgl, std::vector<Segment>& segments, std::string& error) {
    segments.clear();
    {
        std::ofstream in("hp2xx-input.hpgl", std::ios::binary | std::ios::trunc);
        in << hpgl;
    }
    std::remove("hp2xx-output.hpgl");
    Ran ran = runProgram("hp2xx", {"-q", "-t", "-n", "-m", "hpgl", "-f", "hp2xx-output.hpgl", "hp2xx-input.hpgl"});
    if (ran.status != 0) {
        error = "hp2xx exited with " + std::to_string(ran.status) + " (install it: scripts/install-deps.sh): " +
                ran.err.substr(0, 400);
        return false;
    }
    std::string text = readAll("hp2xx-output.hpgl");
    if (text.empty()) {
        error = "hp2xx wrote nothing";
        return false;
    }
    int pen = 0;
    double x = 0, y = 0;
    std::stringstream tokens(text);
    std::string token;
    while (std::getline(tokens, token, ';')) {
        while (!token.empty() && (token.back() == '\n' || token.back() == '\r')) token.pop_back();
        while (!token.empty() && (token.front() == '\n' || token.front() == '\r')) token.erase(0, 1);
        if (token.size() < 2) continue;
        std::string op = token.substr(0, 2);
        std::vector<double> numbers;
        std::stringstream args(token.substr(2));
        std::string number;
        while (std::getline(args, number, ',')) numbers.push_back(std::strtod(number.c_str(), nullptr));
        if (op == "SP") {
            pen = numbers.empty() ? 0 : static_cast<int>(numbers[0]);
        } else if (op == "PU" || op == "PD") {
            for (size_t i = 0; i + 1 < numbers.size(); i += 2) {
                if (op == "PD" && !(numbers[i] == x && numbers[i + 1] == y))
                    segments.push_back({pen, x, y, numbers[i], numbers[i + 1], false});
                x = numbers[i];
                y = numbers[i + 1];
            }
        }
    }
    return true;
}

std::string compareSegments(const std::vector<Segment>& expected, const std::vector<Segment>& decoded) {
    constexpr double NEAR = 1.0;  // plotter units
    size_t j = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        const Segment& e = expected[i];
        if (!e.patterned) {
            if (j >= decoded.size())
                return "vector " + std::to_string(i) + " " + describe(e) + ": hp2xx has no more vectors";
            const Segment& d = decoded[j];
            bool same = d.pen == e.pen && std::abs(d.x0 - e.x0) <= NEAR && std::abs(d.y0 - e.y0) <= NEAR &&
                        std::abs(d.x1 - e.x1) <= NEAR && std::abs(d.y1 - e.y1) <= NEAR;
            if (!same)
                return "vector " + std::to_string(i) + ": expected " + describe(e) + ", hp2xx has " +
                       describe(d) + " (its vector " + std::to_string(j) + ")";
            ++j;
            continue;
        }
        // Dashes: consecutive pieces on the vector, the first at its start.
        size_t first = j;
        double covered = 0;
        while (j < decoded.size() && decoded[j].pen == e.pen && distanceToSegment(decoded[j].x0, decoded[j].y0, e) <= NEAR &&
               distanceToSegment(decoded[j].x1, decoded[j].y1, e) <= NEAR) {
            covered += length(decoded[j]);
            ++j;
        }
        if (j == first)
            return "patterned vector " + std::to_string(i) + " " + describe(e) + ": hp2xx has no dash on it" +
                   (j < decoded.size() ? ", but " + describe(decoded[j]) : std::string());
        if (std::hypot(decoded[first].x0 - e.x0, decoded[first].y0 - e.y0) > NEAR)
            return "patterned vector " + std::to_string(i) + " " + describe(e) + ": the first dash starts at (" +
                   std::to_string(decoded[first].x0) + "," + std::to_string(decoded[first].y0) + ")";
        if (covered > length(e) + NEAR)
            return "patterned vector " + std::to_string(i) + " " + describe(e) + ": dashes longer than the vector";
    }
    if (j < decoded.size())
        return "hp2xx has " + std::to_string(decoded.size() - j) + " vectors more than the drawing, the first " +
               describe(decoded[j]);
    return "";
}

bool readPicture(const std::string& path, Picture& picture, std::string& error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        error = path + ": " + png.message;
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int>(png.width);
    picture.height = static_cast<int>(png.height);
    picture.rgb.assign(PNG_IMAGE_SIZE(png), 0);
    if (!png_image_finish_read(&png, nullptr, picture.rgb.data(), 0, nullptr)) {
        error = path + ": " + png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

bool writePicture(const std::string& path, const Picture& picture) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(picture.width);
    png.height = static_cast<png_uint_32>(picture.height);
    png.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&png, path.c_str(), 0, picture.rgb.data(), 0, nullptr) != 0;
}

std::string comparePictures(const Picture& expected, const Picture& actual, int tolerance,
                            size_t allowedDiffering) {
    if (expected.width != actual.width || expected.height != actual.height)
        return "size " + std::to_string(actual.width) + " x " + std::to_string(actual.height) + ", expected " +
               std::to_string(expected.width) + " x " + std::to_string(expected.height);
    size_t differing = 0;
    int largest = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            const uint8_t* a = expected.at(x, y);
            const uint8_t* b = actual.at(x, y);
            int d = 0;
            for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(int(a[c]) - int(b[c])));
            largest = std::max(largest, d);
            if (d > tolerance) {
                if (differing++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
        }
    }
    if (differing <= allowedDiffering) return "";
    return std::to_string(differing) + " pixels differ by more than " + std::to_string(tolerance) +
           " (allowed " + std::to_string(allowedDiffering) + "), the largest difference " +
           std::to_string(largest) + ", the first at (" + std::to_string(firstX) + "," + std::to_string(firstY) +
           ")";
}

bool writePng(const std::string& path, int width, int height,
              const std::function<void(int x, int y, uint8_t rgb[3])>& pixel) {
    Picture p;
    p.width = width;
    p.height = height;
    p.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixel(x, y, p.rgb.data() + (static_cast<size_t>(y) * width + x) * 3);
    return writePicture(path, p);
}

}  // namespace tavix::host::testing
