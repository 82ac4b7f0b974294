// A real CUPS scheduler, started by the test in a folder of its own: it
// listens on 127.0.0.1 only, at a free port, has a file: device, and is
// stopped at the end (or killed when the test process dies). The printer
// is added with our PPD, a two-page PDF is printed with lp and options, and
// the file the device received is checked: the same stream cupsfilter makes
// for the same options, read back by the preview as two pages of vectors. A
// queue added with no colour option prints colour, and bad options end as
// the user should see them, with the job's state saying why.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "cupsTestSupport.h"
#include "pageMarks.h"
#include "streamParser.h"

namespace fs = std::filesystem;

namespace tavix::cups::testing {
namespace {

constexpr int START_SECONDS = 20, JOB_SECONDS = 90, STOP_SECONDS = 10;

int freePort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = -1;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(s);
    return port;
}

bool accepting(int port) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(s);
    return ok;
}

// The scheduler with its configuration, spool, logs and device file in one
// folder.
class Scheduler {
public:
    Scheduler() : root_(freshFolder("cupsd")), port_(freePort()) {
        std::string serverBin = makeServerBin(root_);
        for (const char* sub : {"spool/tmp", "cache", "state", "log", "out"}) fs::create_directories(fs::path(root_) / sub);
        // The device file is written by the job's user (lp when root runs cupsd).
        chmod((root_ + "/out").c_str(), 0777);
        writeFile(root_ + "/cups-files.conf",
                  "ServerRoot " + root_ + "\nServerBin " + serverBin + "\nDataDir /usr/share/cups\n" +
                      "RequestRoot " + root_ + "/spool\nTempDir " + root_ + "/spool/tmp\nCacheDir " + root_ +
                      "/cache\nStateDir " + root_ + "/state\nErrorLog " + root_ + "/log/error_log\nAccessLog " +
                      root_ + "/log/access_log\nPageLog " + root_ + "/log/page_log\nFileDevice Yes\n");
        writeFile(root_ + "/cupsd.conf", "Listen 127.0.0.1:" + std::to_string(port_) +
                                             "\nLogLevel debug\nMaxLogSize 0\nBrowsing Off\nWebInterface No\n"
                                             "ErrorPolicy retry-job\n"
                                             "DefaultAuthType None\n<Location />\nOrder allow,deny\nAllow all\n"
                                             "</Location>\n<Policy default>\n<Limit All>\nOrder deny,allow\n"
                                             "</Limit>\n</Policy>\n");
    }

    ~Scheduler() { stop(); }

    bool start() {
        if (port_ <= 0) return false;
        pid_ = fork();
        if (pid_ == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            int null = open("/dev/null", O_RDWR);
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            execlp("/usr/sbin/cupsd", "cupsd", "-f", "-c", (root_ + "/cupsd.conf").c_str(), "-s",
                   (root_ + "/cups-files.conf").c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < START_SECONDS * 10; ++i) {
            if (accepting(port_)) return true;
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        for (int i = 0; i < STOP_SECONDS * 10; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    // A CUPS client command against this scheduler.
    RunResult client(const std::vector<std::string>& argv) const {
        RunOptions options;
        options.env = {"CUPS_SERVER=127.0.0.1:" + std::to_string(port_), "PATH=/usr/sbin:/usr/bin:/sbin:/bin"};
        options.timeoutSeconds = 30;
        return run(argv, options);
    }

    std::string errorLogTail() const {
        std::string log = readFile(root_ + "/log/error_log");
        return log.size() > 4000 ? log.substr(log.size() - 4000) : log;
    }

    const std::string& root() const { return root_; }
    std::string uri(const std::string& queue) const {
        return "ipp://127.0.0.1:" + std::to_string(port_) + "/printers/" + queue;
    }

private:
    std::string root_;
    int port_;
    pid_t pid_ = -1;
};

// ---- Jobs as the user submits them ----------------------------------------

// A job's state as the scheduler reports it (IPP job-state: 3 pending ...
// 6 processing-stopped, 7 canceled, 8 aborted, 9 completed).
struct JobState {
    int state = 0;
    std::string message;  // job-printer-state-message
};

constexpr int JOB_STOPPED = 6, JOB_COMPLETED = 9;

// A queue named `queue` on a file: device, added as the README says.
std::string addQueue(const Scheduler& cups, const std::string& queue, const std::string& ppd) {
    const std::string device = cups.root() + "/out/" + queue + ".plt";
    RunResult added = cups.client({"lpadmin", "-p", queue, "-E", "-v", "file://" + device, "-P", ppdPath(ppd)});
    EXPECT_EQ(added.status, 0) << added.err;
    return device;
}

// lp with these arguments; the job's id ("queue-N"), empty when refused.
std::string submit(const Scheduler& cups, const std::string& queue, const std::vector<std::string>& arguments,
                   const std::string& file) {
    std::vector<std::string> lp = {"lp", "-d", queue};
    lp.insert(lp.end(), arguments.begin(), arguments.end());
    lp.push_back(file);
    RunResult printed = cups.client(lp);
    std::smatch id;
    if (printed.status != 0 || !std::regex_search(printed.out, id, std::regex("request id is (\\S+-[0-9]+)")))
        return "";
    return id[1].str();
}

// The job's state once it has stopped being pending or processing.
JobState waitForJob(const Scheduler& cups, const std::string& id) {
    const std::string number = id.substr(id.rfind('-') + 1);
    const std::string request = cups.root() + "/get-job.test";
    writeFile(request,
              "{\nOPERATION Get-Job-Attributes\nGROUP operation-attributes-tag\n"
              "ATTR charset attributes-charset utf-8\nATTR naturalLanguage attributes-natural-language en\n"
              "ATTR uri printer-uri $uri\nATTR integer job-id " + number + "\n"
              "ATTR keyword requested-attributes job-state,job-printer-state-message\n}\n");
    JobState job;
    for (int i = 0; i < JOB_SECONDS * 5; ++i) {
        RunResult r = cups.client({"ipptool", "-tv", cups.uri(id.substr(0, id.rfind('-'))), request});
        std::smatch m;
        if (std::regex_search(r.out, m, std::regex("job-state \\(enum\\) = ([a-z-]+)"))) {
            const std::string name = m[1].str();
            job.state = name == "completed" ? 9 : name == "aborted" ? 8 : name == "canceled" ? 7
                      : name == "processing-stopped" ? 6 : 0;
        }
        if (std::regex_search(r.out, m, std::regex("job-printer-state-message \\([a-zA-Z]+\\) = ([^\\n]*)")))
            job.message = std::regex_replace(m[1].str(), std::regex("\\\\\""), "\"");  // ipptool writes \"
        if (job.state >= JOB_STOPPED) return job;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return job;
}

// Whether the stream holds a raster pixel of about this colour, and the
// resolution of its first raster.
struct Printed {
    bool hasColour = false;
    int dpi = 0;
    size_t pages = 0;
};
Printed readPrinted(const std::string& stream, const preview::Rgb& colour) {
    preview::ParseLimits limits;
    limits.maxRasterPixels = 8'000'000;
    limits.maxTotalRasterPixels = 64'000'000;
    preview::ParsedStream parsed = preview::parseStream(stream, limits);
    Printed printed;
    printed.pages = parsed.pages.size();
    for (const preview::Page& page : parsed.pages)
        for (const preview::RasterImage& image : page.rasters) {
            if (printed.dpi == 0) printed.dpi = image.dpi;
            for (size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
                auto close = [](int a, int b) { return a - b < 48 && b - a < 48; };
                if (image.rgba[i + 3] && close(image.rgba[i], colour.r) && close(image.rgba[i + 1], colour.g) &&
                    close(image.rgba[i + 2], colour.b))
                    printed.hasColour = true;
            }
        }
    return printed;
}

// A letter page with a red square.
std::string redSquarePdf(const std::string& folder) {
    const std::string path = folder + "/red.pdf";
    writeFile(path, makePdf({{612, 792, {{100, 400, 200, 200, 1, 0, 0}}}}));
    chmod(path.c_str(), 0644);
    return path;
}

TEST(Scheduler, printsATwoPagePdfThroughAFileDevice) {
    Scheduler cups;
    ASSERT_TRUE(cups.start()) << "cupsd did not start: " << cups.errorLogTail();
    const std::string device = cups.root() + "/out/device.plt";
    RunResult added = cups.client({"lpadmin", "-p", "tavix", "-E", "-v", "file://" + device, "-P", ppdPath("tx90"),
                                   "-o", "print-color-mode-default=color"});
    ASSERT_EQ(added.status, 0) << added.err;

    const std::vector<std::string> options = {"PageSize=Letter", "ColorModel=RGB", "TavixToneMode=ContinuousTone",
                                              "MediaType=Film", "TavixDensity=20"};
    std::vector<std::string> lp = {"lp", "-d", "tavix", "-n", "2", "-t", "two pages"};
    for (const std::string& o : options) {
        lp.push_back("-o");
        lp.push_back(o);
    }
    lp.push_back(sourcePath("examples/plot-pages.pdf"));
    RunResult printed = cups.client(lp);
    ASSERT_EQ(printed.status, 0) << printed.err;
    std::smatch id;
    ASSERT_TRUE(std::regex_search(printed.out, id, std::regex("request id is (tavix-[0-9]+)"))) << printed.out;

    // Wait for the job to complete (or the queue to stop on an error).
    bool done = false;
    for (int i = 0; i < JOB_SECONDS * 5 && !done; ++i) {
        RunResult completed = cups.client({"lpstat", "-W", "completed", "-o", "tavix"});
        done = completed.out.find(id[1].str() + " ") != std::string::npos;
        if (!done) {
            RunResult state = cups.client({"lpstat", "-p", "tavix"});
            ASSERT_EQ(state.out.find("disabled"), std::string::npos) << state.out << cups.errorLogTail();
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
    ASSERT_TRUE(done) << "the job did not complete in " << JOB_SECONDS << " s\n" << cups.errorLogTail();
    std::string received = readFile(device);

    // What cupsfilter makes of the same PDF and options (the queue adds its
    // colour default) is what the device received.
    std::vector<std::string> same = options;
    same.push_back("print-color-mode=color");
    const std::string expected = cups.root() + "/expected.plt";
    RunResult reference = cupsfilter(ppdPath("tx90"), same, sourcePath("examples/plot-pages.pdf"), "printer/foo",
                                     expected, 2);
    ASSERT_EQ(reference.status, 0) << reference.err;
    EXPECT_TRUE(received == readFile(expected)) << "the device received " << received.size() << " bytes";

    preview::ParseLimits limits;
    limits.maxRasterPixels = 64'000'000;
    limits.maxTotalRasterPixels = 256'000'000;
    preview::ParsedStream parsed = preview::parseStream(received, limits);
    ASSERT_EQ(parsed.pages.size(), 2u);
    // The PDF printed as vectors: its lines and fills, no picture (the
    // first page's colour bars and gray steps are 23 fills).
    EXPECT_GE(parsed.pages[0].fills.size(), 23u);
    for (const preview::Page& page : parsed.pages) {
        EXPECT_TRUE(page.rasters.empty());
        EXPECT_GT(page.strokes.size() + page.fills.size(), 0u);
        EXPECT_EQ(page.replots, 1) << "two copies: one replot";
        EXPECT_TRUE(page.ended);
    }
    ASSERT_TRUE(parsed.ticketPresent);
    auto has = [&](const std::string& line) {
        return std::find(parsed.ticket.begin(), parsed.ticket.end(), line) != parsed.ticket.end();
    };
    EXPECT_TRUE(has("Copies=2"));
    EXPECT_TRUE(has("MediaType=Film"));
    EXPECT_TRUE(has("Density=20"));
    cups.stop();
}

// A colour model's queue, added without any colour option, prints colour;
// a job that asks for monochrome, either way, prints gray at 400 dpi.
TEST(Scheduler, colourQueuePrintsColourUnlessTheJobAsksForMonochrome) {
    Scheduler cups;
    ASSERT_TRUE(cups.start()) << "cupsd did not start: " << cups.errorLogTail();
    const std::string device = addQueue(cups, "colour", "tx90");
    const std::string pdf = redSquarePdf(cups.root());
    const preview::Rgb red{255, 0, 0};
    struct Case {
        std::vector<std::string> options;
        bool colour;
    };
    const Case cases[] = {{{"-o", AS_RASTER, "-o", "PageSize=Letter"}, true},
                          {{"-o", AS_RASTER, "-o", "PageSize=Letter", "-o", "print-color-mode=monochrome"}, false},
                          {{"-o", AS_RASTER, "-o", "PageSize=Letter", "-o", "ColorModel=Gray"}, false},
                          {{"-o", AS_RASTER, "-o", "PageSize=Letter", "-o", "print-color-mode=color"}, true}};
    for (const Case& c : cases) {
        std::string id = submit(cups, "colour", c.options, pdf);
        ASSERT_FALSE(id.empty());
        JobState job = waitForJob(cups, id);
        ASSERT_EQ(job.state, JOB_COMPLETED) << job.message << cups.errorLogTail();
        Printed printed = readPrinted(readFile(device), red);
        EXPECT_EQ(printed.pages, 1u);
        EXPECT_EQ(printed.hasColour, c.colour) << c.options.back();
        EXPECT_EQ(printed.dpi, c.colour ? 300 : 400) << c.options.back();
    }
    cups.stop();
}

// With Debian's error policy (retry-job): an option value the printer does
// not offer prints with the default and says so in the job's state; a job
// that would waste media is not printed, says why in its state, and the
// queue goes on with the next job.
TEST(Scheduler, badOptionsNeitherStallTheQueueNorPrintSilently) {
    Scheduler cups;
    ASSERT_TRUE(cups.start()) << "cupsd did not start: " << cups.errorLogTail();
    const std::string device = addQueue(cups, "tavix", "tx90");
    const std::string pdf = redSquarePdf(cups.root());
    struct Case {
        std::vector<std::string> options;
        bool printed;
        const char* message;
    };
    const Case cases[] = {
        {{"-o", "TavixDensity=99"}, true, "Unknown value \"99\" for option TavixDensity; printed with 15."},
        {{"-o", "TavixSpeed=Fast"}, true, "Unknown option \"TavixSpeed\" for this printer ignored."},
        {{"-o", "MediaType=Vinyl"}, true, "Unknown value \"Vinyl\" for option MediaType; printed with Any."},
        {{"-o", "ColorModel=CMYK"}, true, "Unknown value \"CMYK\" for option ColorModel; printed with RGB."},
        {{"-n", "1000"}, false, "The printer makes 1 to 999 copies, not \"1000\"; nothing was printed."},
        {{"-o", "PageSize=A9"}, false, "This printer has no paper \"A9\""},
        {{"-o", "PageSize=Custom.100x100in"}, false, "is larger than any paper of the TX-90-TAVIX E."},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(device);
        std::string id = submit(cups, "tavix", c.options, pdf);
        ASSERT_FALSE(id.empty()) << c.options.back();
        JobState job = waitForJob(cups, id);
        EXPECT_EQ(job.state, c.printed ? JOB_COMPLETED : JOB_STOPPED) << c.options.back() << ": " << job.message;
        EXPECT_NE(job.message.find(c.message), std::string::npos) << c.options.back() << ": " << job.message;
        if (c.printed) EXPECT_EQ(readPrinted(readFile(device), {255, 0, 0}).pages, 1u) << c.options.back();
        else EXPECT_EQ(readFile(device).find("PG;"), std::string::npos) << c.options.back();
    }
    // The queue is still printing.
    RunResult state = cups.client({"lpstat", "-p", "tavix"});
    EXPECT_EQ(state.out.find("disabled"), std::string::npos) << state.out;
    std::string id = submit(cups, "tavix", {"-o", "PageSize=Letter"}, pdf);
    EXPECT_EQ(waitForJob(cups, id).state, JOB_COMPLETED);
    cups.stop();
}

// The user's landscape A1 PDF, printed with lp as it comes and with
// -o landscape, reads upright on the plot.
TEST(Scheduler, landscapePdfPrintsUpright) {
    Scheduler cups;
    ASSERT_TRUE(cups.start()) << "cupsd did not start: " << cups.errorLogTail();
    const std::string device = addQueue(cups, "tavix", "tx90");
    const std::string pdf = cups.root() + "/landscape.pdf";
    writeFile(pdf, makePdf({markedPage(2384, 1684)}));
    chmod(pdf.c_str(), 0644);
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"-o", AS_RASTER, "-o", "PageSize=A1"},
          std::vector<std::string>{"-o", AS_RASTER, "-o", "PageSize=A1", "-o", "landscape"}}) {
        std::string id = submit(cups, "tavix", options, pdf);
        ASSERT_FALSE(id.empty());
        JobState job = waitForJob(cups, id);
        ASSERT_EQ(job.state, JOB_COMPLETED) << job.message;
        preview::ParseLimits limits;
        limits.maxRasterPixels = 4'000'000;
        limits.maxTotalRasterPixels = 4'000'000;
        preview::ParsedStream parsed = preview::parseStream(readFile(device), limits);
        ASSERT_EQ(parsed.pages.size(), 1u);
        ASSERT_EQ(parsed.pages[0].rasters.size(), 1u);
        std::array<Corner, 3> upright{TOP_LEFT, TOP_RIGHT, BOTTOM_LEFT};
        EXPECT_EQ(placesOnPlot(parsed.pages[0].rasters[0]), upright) << options.back();
    }
    cups.stop();
}

}  // namespace
}  // namespace tavix::cups::testing
