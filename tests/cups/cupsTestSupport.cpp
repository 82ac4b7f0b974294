#include "cupsTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tavix::cups::testing {

const ModelNames MODELS[5] = {
    {"tx90", "tx90", "TX-90-TAVIX E"},          {"tx70", "tx70", "TX-70-TAVIX E"},
    {"tx30", "tx30", "TX-30-TAVIX E"},          {"lumenq1", "lumen-q1", "Lumen Q1-TAVIX E"},
    {"txseries", "tx-series", "TX Series TAVIX E"},
};

std::string filterPath() { return TAVIX_CUPS_FILTER; }
std::string pdfFilterPath() { return TAVIX_PDF_FILTER; }
std::string ppdDirectory() { return TAVIX_PPD_DIR; }
std::string ppdPath(const std::string& shortName) { return ppdDirectory() + "/tavix-" + shortName + ".ppd"; }
std::string hostProgramPath() { return TAVIX_BINARY; }
std::string sourcePath(const std::string& relative) { return std::string(TAVIX_SOURCE_DIR) + "/" + relative; }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {
// The folders made by this process, removed at its end.
struct MadeFolders {
    std::vector<std::string> paths;
    ~MadeFolders() {
        if (std::getenv("TAVIX_KEEP_TEST_FILES")) return;
        std::error_code ignored;
        for (const std::string& path : paths) fs::remove_all(path, ignored);
    }
};
MadeFolders madeFolders;
}  // namespace

std::string freshFolder(const std::string& name) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tavix-" + name + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp " + pattern);
    // Readable by CUPS's own users when the tests run as root.
    chmod(buffer.data(), 0755);
    madeFolders.paths.push_back(buffer.data());
    return buffer.data();
}

namespace {

void drain(int fd, std::string& into, bool& open) {
    char chunk[65536];
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n > 0)
        into.append(chunk, static_cast<size_t>(n));
    else if (n == 0 || (errno != EINTR && errno != EAGAIN))
        open = false;
}

}  // namespace

RunResult run(const std::vector<std::string>& argv, const RunOptions& options) {
    RunResult result;
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) return result;
    pid_t pid = fork();
    if (pid < 0) return result;
    if (pid == 0) {
        int in = open(options.stdinPath.empty() ? "/dev/null" : options.stdinPath.c_str(), O_RDONLY);
        dup2(in, 0);
        if (options.stdoutPath.empty()) {
            dup2(outPipe[1], 1);
        } else {
            int out = open(options.stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(out, 1);
        }
        dup2(errPipe[1], 2);
        for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]}) close(fd);
        for (const std::string& variable : options.env) putenv(strdup(variable.c_str()));
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    auto start = std::chrono::steady_clock::now();
    bool outOpen = true, errOpen = true, signalled = false;
    while (outOpen || errOpen) {
        pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
        poll(fds, 2, 50);
        if (outOpen && (fds[0].revents & (POLLIN | POLLHUP))) drain(outPipe[0], result.out, outOpen);
        if (errOpen && (fds[1].revents & (POLLIN | POLLHUP))) drain(errPipe[0], result.err, errOpen);
        auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (!signalled && !options.signalWhenErrHas.empty() &&
            result.err.find(options.signalWhenErrHas) != std::string::npos) {
            kill(pid, SIGTERM);
            signalled = true;
        }
        if (elapsed.count() > options.timeoutSeconds * 1000L) {
            result.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
    }
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.maxResidentKb = usage.ru_maxrss;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

RunResult runFilter(const std::string& ppd, const std::string& options, const std::string& input,
                    const std::string& copies, RunOptions extra) {
    extra.env.push_back("PPD=" + ppd);
    return run({filterPath(), "1", "tester", "test job", copies, options, input}, extra);
}

RunResult runPdfFilter(const std::string& ppd, const std::string& options, const std::string& input,
                       const std::string& copies, RunOptions extra) {
    extra.env.push_back("PPD=" + ppd);
    std::vector<std::string> argv = {pdfFilterPath(), "1", "tester", "test job", copies, options};
    if (!input.empty()) argv.push_back(input);
    return run(argv, extra);
}

std::string makeServerBin(const std::string& root) {
    fs::path serverBin = fs::path(root) / "serverbin";
    fs::create_directories(serverBin / "filter");
    const fs::path cupsBin = "/usr/lib/cups";
    for (const auto& entry : fs::directory_iterator(cupsBin))
        if (entry.path().filename() != "filter") fs::create_symlink(entry.path(), serverBin / entry.path().filename());
    for (const auto& entry : fs::directory_iterator(cupsBin / "filter"))
        fs::create_symlink(entry.path(), serverBin / "filter" / entry.path().filename());
    fs::copy_file(filterPath(), serverBin / "filter" / "rastertotavix");
    fs::copy_file(pdfFilterPath(), serverBin / "filter" / "pdftotavix");
    return serverBin.string();
}

std::string cupsFilesConf() {
    static std::string conf = [] {
        std::string root = freshFolder("cupsfilter");
        std::string serverBin = makeServerBin(root);
        std::string path = root + "/cups-files.conf";
        writeFile(path, "ServerBin " + serverBin + "\nDataDir /usr/share/cups\n");
        return path;
    }();
    return conf;
}

RunResult cupsfilter(const std::string& ppd, const std::vector<std::string>& options, const std::string& input,
                     const std::string& destination, const std::string& outputPath, int copies) {
    std::vector<std::string> argv = {"cupsfilter", "-c", cupsFilesConf(), "-p", ppd, "-m", destination,
                                     "-n", std::to_string(copies)};
    if (destination.rfind("printer/", 0) == 0) argv.push_back("-e");
    for (const std::string& o : options) {
        argv.push_back("-o");
        argv.push_back(o);
    }
    argv.push_back(input);
    RunOptions runOptions;
    runOptions.stdoutPath = outputPath;
    // cupsfilter lives in /usr/sbin, which a normal user's PATH may lack.
    runOptions.env.push_back("PATH=/usr/sbin:/usr/bin:/sbin:/bin");
    return run(argv, runOptions);
}

std::vector<RasterPage> readRaster(const std::string& path) {
    std::vector<RasterPage> pages;
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return pages;
    cups_raster_t* raster = cupsRasterOpen(fd, CUPS_RASTER_READ);
    RasterPage page;
    while (raster && cupsRasterReadHeader2(raster, &page.header)) {
        page.pixels.resize(size_t{page.header.cupsBytesPerLine} * page.header.cupsHeight);
        for (uint32_t y = 0; y < page.header.cupsHeight; ++y)
            if (cupsRasterReadPixels(raster, page.pixels.data() + size_t{y} * page.header.cupsBytesPerLine,
                                     page.header.cupsBytesPerLine) != page.header.cupsBytesPerLine)
                break;
        pages.push_back(std::move(page));
        page = RasterPage{};
    }
    if (raster) cupsRasterClose(raster);
    close(fd);
    return pages;
}

std::string makePdf(const std::vector<PdfPage>& pages) {
    auto number = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.4f", v);
        return std::string(text);
    };
    // Objects 1 (catalog) and 2 (page tree), then a content stream and a
    // page object for each page.
    std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>", ""};
    std::string kids;
    for (const PdfPage& page : pages) {
        std::string content;
        for (const PdfBox& box : page.boxes) {
            if (box.r == box.g && box.g == box.b) content += number(box.r) + " g ";
            else content += number(box.r) + " " + number(box.g) + " " + number(box.b) + " rg ";
            content += number(box.x) + " " + number(box.y) + " " + number(box.width) + " " + number(box.height) +
                       " re f\n";
        }
        objects.push_back("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content +
                          "endstream");
        size_t contentId = objects.size();
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + number(page.width) + " " +
                          number(page.height) + "] /Contents " + std::to_string(contentId) + " 0 R >>");
        kids += std::to_string(objects.size()) + " 0 R ";
    }
    objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>";
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

cups_page_header2_t pageHeader(double widthInches, double lengthInches, int dpi, cups_cspace_t space,
                               int bitsPerColor) {
    cups_page_header2_t h{};
    int colours = space == CUPS_CSPACE_RGB || space == CUPS_CSPACE_SRGB ? 3 : space == CUPS_CSPACE_CMYK ? 4 : 1;
    h.HWResolution[0] = h.HWResolution[1] = static_cast<unsigned>(dpi);
    h.PageSize[0] = static_cast<unsigned>(widthInches * 72 + 0.5);
    h.PageSize[1] = static_cast<unsigned>(lengthInches * 72 + 0.5);
    h.cupsPageSize[0] = static_cast<float>(widthInches * 72);
    h.cupsPageSize[1] = static_cast<float>(lengthInches * 72);
    h.cupsWidth = static_cast<unsigned>(widthInches * dpi + 0.5);
    h.cupsHeight = static_cast<unsigned>(lengthInches * dpi + 0.5);
    h.cupsColorSpace = space;
    h.cupsColorOrder = CUPS_ORDER_CHUNKED;
    h.cupsBitsPerColor = static_cast<unsigned>(bitsPerColor);
    h.cupsBitsPerPixel = static_cast<unsigned>(bitsPerColor * colours);
    h.cupsBytesPerLine = (h.cupsWidth * h.cupsBitsPerPixel + 7) / 8;
    h.NumCopies = 1;
    return h;
}

void writeRaster(const std::string& path, const std::vector<PageToWrite>& pages, long truncateAt) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    cups_raster_t* raster = cupsRasterOpen(fd, CUPS_RASTER_WRITE);
    for (const PageToWrite& page : pages) {
        cups_page_header2_t h = page.header;
        cupsRasterWriteHeader2(raster, &h);
        std::vector<uint8_t> row(h.cupsBytesPerLine, page.fill);
        long rows = page.rows < 0 ? long{h.cupsHeight} : page.rows;
        for (long y = 0; y < rows; ++y) cupsRasterWritePixels(raster, row.data(), h.cupsBytesPerLine);
    }
    cupsRasterClose(raster);
    close(fd);
    if (truncateAt > 0) fs::resize_file(path, static_cast<uintmax_t>(truncateAt));
}

}  // namespace tavix::cups::testing
