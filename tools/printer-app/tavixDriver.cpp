#include "tavixDriver.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "modelProfile.h"
#include "pagePlotter.h"
#include "jobSettings.h"
#include "ppdOptions.h"
#include "privateFolder.h"
#include "pushedPages.h"
#include "rasterGeometry.h"
#include "stampText.h"
#include "tavix/driverState.h"
#include "tavix/penSettingsFile.h"
#include "tavix/plotSettings.h"
#include "tavix/settingsDefaults.h"

namespace tavix::printerapp {

const char* const VENDOR_DENSITY = "tavix-density";
const char* const VENDOR_STAMP = "tavix-stamp";
const char* const VENDOR_CUT = "tavix-cut-mode";
const char* const VENDOR_MIRROR = "tavix-mirror";
const char* const VENDOR_INVERT = "tavix-invert";
const char* const VENDOR_MEDIA_TYPE = "tavix-media-type";

namespace {

constexpr char NATIVE_FORMAT[] = "application/vnd.hp-hpgl";
constexpr double MAX_ROLL_LENGTH_INCHES = 600;
constexpr int HUNDREDTHS_MM_PER_INCH = 2540;

pappl_pr_driver_t DRIVERS[] = {
    {"tavix-tx90", "TAVIX TX-90", "MFG:TAVIX;MDL:TX-90;CMD:PJL,HPGL2,RTL;", nullptr},
    {"tavix-tx70", "TAVIX TX-70", "MFG:TAVIX;MDL:TX-70;CMD:PJL,HPGL2,RTL;", nullptr},
    {"tavix-tx30", "TAVIX TX-30", "MFG:TAVIX;MDL:TX-30;CMD:PJL,HPGL2,RTL;", nullptr},
    {"tavix-lumenq1", "TAVIX Lumen Q1", "MFG:TAVIX;MDL:Lumen Q1;CMD:PJL,HPGL2,RTL;", nullptr},
    {"tavix-txseries", "TAVIX TX Series", "MFG:TAVIX;MDL:TX Series;CMD:PJL,HPGL2,RTL;", nullptr},
};

std::string& folderRoot() {
    static std::string root = "/tmp";
    return root;
}

int toHundredths(double inches) { return static_cast<int>(std::lround(inches * HUNDREDTHS_MM_PER_INCH)); }

// Strings the driver data points at live as long as the process.
const char* keep(const std::string& s) {
    static std::mutex m;
    static std::vector<std::unique_ptr<std::string>> kept;
    std::lock_guard<std::mutex> lock(m);
    for (const auto& k : kept)
        if (*k == s) return k->c_str();
    kept.push_back(std::make_unique<std::string>(s));
    return kept.back()->c_str();
}

// The paper's PWG name: the standard one when PWG knows a size within a
// sixth of a millimetre (the driver's tables give inches to two places;
// the page size a client sends back then still picks this paper), else a
// "custom_" name of our own.
constexpr int SAME_SIZE_HUNDREDTHS = 17;

std::string pwgSizeName(const cups::PaperChoice& paper) {
    int w = toHundredths(paper.widthInches), l = toHundredths(paper.lengthInches);
    if (pwg_media_t* m = pwgMediaForSize(w, l);
        m && std::abs(m->width - w) <= SAME_SIZE_HUNDREDTHS && std::abs(m->length - l) <= SAME_SIZE_HUNDREDTHS)
        return m->pwg;
    char name[128];
    std::string label;
    for (char c : paper.keyword)
        if (std::isalnum(static_cast<unsigned char>(c))) label += static_cast<char>(std::tolower(c));
    pwgFormatSizeName(name, sizeof name, "custom", label.empty() ? "paper" : label.c_str(), w, l, nullptr);
    return name;
}

std::string sourceKeyword(const std::string& tray) {
    if (tray == "Auto") return "auto";
    if (tray == "SheetPaper") return "manual";
    if (tray.rfind("Tray", 0) == 0) return "tray-" + tray.substr(4);
    std::string k = tray;
    for (char& c : k) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return k;
}

const char* const MEDIA_TYPES[] = {"auto", "stationery", "tracing-paper", "film"};
const char* const CUT_MODES[] = {"format-cut", "synchronous-cut"};

const cups::PaperChoice* defaultPaper(const cups::ModelProfile& profile) {
    for (const cups::PaperChoice& p : profile.papers)
        if (p.paperSize == profile.defaults.paperSize()) return &p;
    return profile.papers.empty() ? nullptr : &profile.papers.front();
}

// ---- the job ----------------------------------------------------------

ssize_t writeToDevice(void* cookie, const char* buffer, size_t bytes) {
    ssize_t written = papplDeviceWrite(static_cast<pappl_device_t*>(cookie), buffer, bytes);
    return written < 0 ? -1 : written;
}

struct JobLog {
    pappl_job_t* job;
    std::string line;
};

ssize_t writeToLog(void* cookie, const char* buffer, size_t bytes) {
    auto* log = static_cast<JobLog*>(cookie);
    for (size_t i = 0; i < bytes; ++i) {
        if (buffer[i] != '\n') {
            log->line += buffer[i];
            continue;
        }
        papplLogJob(log->job, PAPPL_LOGLEVEL_DEBUG, "%s", log->line.c_str());
        log->line.clear();
    }
    return static_cast<ssize_t>(bytes);
}

struct JobContext {
    int model = 0;
    cups::ModelProfile profile;
    PlotSettings settings{};
    std::string title;
    std::string pens;  // the printer's pen file
    PushedPages pages;
    std::atomic<bool> cancel{false};
    std::thread plotter;
    cups::JobOutcome outcome;
    bool finished = false;
    std::FILE* stream = nullptr;
    std::FILE* messages = nullptr;
    JobLog log{};
    // PAPPL prints an image (JPEG, PNG) once per copy; the printer makes
    // the copies from the job ticket, as with the filter: only the first
    // is plotted.
    bool imageJob = false;
    int pagesStarted = 0;
    bool skipping = false;
};

// The printer's pens, the job's title as the stamp's drawing name, in the
// job's own folder (the driver reads its pen file in the working folder).
bool preparePenFile(const JobContext& ctx) {
    std::error_code ec;
    if (!ctx.pens.empty() && std::filesystem::exists(ctx.pens, ec))
        std::filesystem::copy_file(ctx.pens, PEN_SETTINGS_FILE, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec || readPenSettingsFile() != 0) applyPenDefaults();
    host::StampText name = host::stampTextOf(ctx.title, host::DRAW_NAME_BYTES, "the job's title");
    std::memcpy(state.drawName, name.cp932.c_str(), name.cp932.size() + 1);
    return writePenSettingsFile() == 0;
}

void plotJob(JobContext* ctx) {
    std::lock_guard<std::mutex> lock(coreMutex());
    cups::PrivateFolder folder;
    if (!folder.entered()) {
        ctx->outcome.error = "Unable to make a working folder: " + folder.error();
    } else if (!preparePenFile(*ctx)) {
        ctx->outcome.error = "Unable to write the pen settings in the job's working folder.";
    } else {
        cups::PagePlotter plotter(ctx->profile, ctx->settings, ctx->stream, ctx->messages, &ctx->cancel);
        ctx->outcome = plotter.run(ctx->pages);
        if (std::fflush(ctx->stream) != 0 && ctx->outcome.ok && !ctx->outcome.cancelled) {
            ctx->outcome.ok = false;
            ctx->outcome.error = "The printer stream could not be written.";
        }
    }
    ctx->pages.stopConsuming();
}

const char* vendorValue(pappl_job_t* job, ipp_t* driverAttrs, const char* name, char* buffer, size_t size) {
    ipp_attribute_t* attr = papplJobGetAttribute(job, name);
    if (!attr && driverAttrs) {
        std::string def = std::string(name) + "-default";
        attr = ippFindAttribute(driverAttrs, def.c_str(), IPP_TAG_ZERO);
    }
    if (!attr) return nullptr;
    ippAttributeString(attr, buffer, size);
    return buffer;
}

int indexOf(const char* const* list, size_t count, const char* value) {
    for (size_t i = 0; i < count; ++i)
        if (value && strcasecmp(list[i], value) == 0) return static_cast<int>(i);
    return -1;
}

// The settings block of a job: the queue's defaults (as the PPD's), the
// IPP job's colour mode and copies, the printer's own settings (vendor
// attributes of the job, else the printer's defaults).
PlotSettings jobSettings(pappl_job_t* job, const pappl_pr_options_t* options, const cups::ModelProfile& profile) {
    PlotSettings s = cups::queueDefaults(profile);
    s.set(flags::colorMode, options->print_color_mode == PAPPL_COLOR_MODE_COLOR);
    if (profile.optionOutput) {
        ipp_t* attrs = papplPrinterGetDriverAttributes(papplJobGetPrinter(job));
        char value[256];
        if (const char* v = vendorValue(job, attrs, VENDOR_DENSITY, value, sizeof value)) {
            int d = std::atoi(v);
            if (d >= 1 && d <= 64) cups::applySetting(s, cups::Setting::Density, d);
        }
        if (const char* v = vendorValue(job, attrs, VENDOR_STAMP, value, sizeof value))
            cups::applySetting(s, cups::Setting::StampOn, std::strcmp(v, "true") == 0);
        if (const char* v = vendorValue(job, attrs, VENDOR_MIRROR, value, sizeof value))
            cups::applySetting(s, cups::Setting::Mirror, std::strcmp(v, "true") == 0);
        if (const char* v = vendorValue(job, attrs, VENDOR_INVERT, value, sizeof value))
            cups::applySetting(s, cups::Setting::Invert, std::strcmp(v, "true") == 0);
        if (const char* v = vendorValue(job, attrs, VENDOR_CUT, value, sizeof value)) {
            int i = indexOf(CUT_MODES, 2, v);
            if (i >= 0) cups::applySetting(s, cups::Setting::FormatCut, i);
        }
        int type = indexOf(MEDIA_TYPES, 4, options->media.type);
        if (const char* v = vendorValue(job, attrs, VENDOR_MEDIA_TYPE, value, sizeof value); indexOf(MEDIA_TYPES, 4, v) > 0)
            type = indexOf(MEDIA_TYPES, 4, v);
        if (type >= 0) cups::applySetting(s, cups::Setting::MediaType, type);
        for (size_t i = 0; i < profile.trays.size(); ++i)
            if (sourceKeyword(profile.trays[i]) == options->media.source)
                cups::applySetting(s, cups::Setting::Tray, static_cast<int>(i));
        ippDelete(attrs);
    }
    cups::keepDialogInvariants(s);
    s.setCopies(std::clamp(options->copies, 1, cups::MAX_COPIES));
    return s;
}

// The job being printed by this thread. PAPPL calls a job's raster
// callbacks from the one thread that processes it; PAPPL 1.3 has been seen
// to process one job in two threads at once when many jobs arrive
// together, and a context kept in the job (papplJobSetData) was then
// replaced under the first thread's feet, which left its plot waiting
// forever with the driver held.
thread_local JobContext* currentJob = nullptr;
thread_local pappl_job_t* currentJobHandle = nullptr;

JobContext* contextOf(pappl_job_t* job) { return job == currentJobHandle ? currentJob : nullptr; }

// Ends the plot thread and says how the job went.
bool finishJob(pappl_job_t* job, JobContext* ctx) {
    if (!ctx->finished) {
        ctx->pages.endJob();
        if (ctx->plotter.joinable()) ctx->plotter.join();
        ctx->finished = true;
        if (!ctx->outcome.ok && !ctx->outcome.cancelled) {
            papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", ctx->outcome.error.c_str());
            papplJobSetMessage(job, "%s", ctx->outcome.error.c_str());
            papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_UNPRINTABLE_ERROR, PAPPL_JREASON_NONE);
        }
    }
    return ctx->outcome.ok || ctx->outcome.cancelled;
}

// The size a job asked for (media-col's media-size or media), in
// hundredths of millimetres; false when it named none.
bool requestedSize(pappl_job_t* job, int& width, int& length) {
    if (ipp_attribute_t* col = papplJobGetAttribute(job, "media-col")) {
        ipp_t* size = ippGetCollection(ippFindAttribute(ippGetCollection(col, 0), "media-size", IPP_TAG_BEGIN_COLLECTION), 0);
        if (size) {
            width = ippGetInteger(ippFindAttribute(size, "x-dimension", IPP_TAG_INTEGER), 0);
            length = ippGetInteger(ippFindAttribute(size, "y-dimension", IPP_TAG_INTEGER), 0);
            return true;
        }
    }
    if (ipp_attribute_t* media = papplJobGetAttribute(job, "media")) {
        if (pwg_media_t* m = pwgMediaForPWG(ippGetString(media, 0, nullptr))) {
            width = m->width;
            length = m->length;
            return true;
        }
    }
    return false;
}

// With ipp-attribute-fidelity a size the printer cannot print is refused
// rather than replaced by the default paper (PAPPL 1.3 replaces it and
// accepts the job): the job ends without printing, saying why.
bool sizeRefused(pappl_job_t* job, const cups::ModelProfile& profile, std::string& why) {
    ipp_attribute_t* fidelity = papplJobGetAttribute(job, "ipp-attribute-fidelity");
    int width = 0, length = 0;
    if (!fidelity || !ippGetBoolean(fidelity, 0) || !requestedSize(job, width, length)) return false;
    double w = width / double(HUNDREDTHS_MM_PER_INCH), l = length / double(HUNDREDTHS_MM_PER_INCH);
    bool roll = false;
    double widest = 0;
    for (const cups::PaperChoice& r : profile.rolls) widest = std::max(widest, r.widthInches);
    for (const cups::PaperChoice& p : profile.papers) widest = std::max(widest, p.widthInches);
    bool fits = w >= cups::MIN_CUSTOM_INCHES - 0.01 && l >= cups::MIN_CUSTOM_INCHES - 0.01 && w <= widest + 0.01 &&
                l <= MAX_ROLL_LENGTH_INCHES + 0.01 && cups::paperForPage(profile, w, l, roll);
    if (fits) return false;
    char text[256];
    std::snprintf(text, sizeof text,
                  "The size %.2f x %.2f in is outside this printer's range (up to %.0f x %.0f in); with "
                  "ipp-attribute-fidelity the job is not printed on another size.",
                  w, l, widest, MAX_ROLL_LENGTH_INCHES);
    why = text;
    return true;
}

bool startJob(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device) {
    pappl_printer_t* printer = papplJobGetPrinter(job);
    int model = modelOfDriver(papplPrinterGetDriverName(printer));
    if (model < 0) return false;
    if (std::string why; sizeRefused(job, cups::modelProfile(model), why)) {
        papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", why.c_str());
        papplJobSetMessage(job, "%s", why.c_str());
        papplJobSetReasons(job, PAPPL_JREASON_DOCUMENT_UNPRINTABLE_ERROR, PAPPL_JREASON_NONE);
        return false;
    }
    auto* ctx = new JobContext;
    ctx->model = model;
    ctx->profile = cups::modelProfile(model);
    ctx->settings = jobSettings(job, options, ctx->profile);
    ctx->title = papplJobGetName(job) ? papplJobGetName(job) : "";
    const char* format = papplJobGetFormat(job);
    ctx->imageJob = format && (!std::strcmp(format, "image/jpeg") || !std::strcmp(format, "image/png"));
    ctx->pens = printerFolder(printer) + "/" + PEN_SETTINGS_FILE;
    cookie_io_functions_t deviceIo{nullptr, writeToDevice, nullptr, nullptr};
    ctx->stream = fopencookie(device, "w", deviceIo);
    ctx->log.job = job;
    cookie_io_functions_t logIo{nullptr, writeToLog, nullptr, nullptr};
    ctx->messages = fopencookie(&ctx->log, "w", logIo);
    if (!ctx->stream || !ctx->messages) {
        if (ctx->stream) std::fclose(ctx->stream);
        if (ctx->messages) std::fclose(ctx->messages);
        delete ctx;
        return false;
    }
    std::setvbuf(ctx->stream, nullptr, _IOFBF, 1 << 20);
    std::setvbuf(ctx->messages, nullptr, _IOLBF, 0);
    currentJob = ctx;
    currentJobHandle = job;
    ctx->plotter = std::thread(plotJob, ctx);
    return true;
}

bool startPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t*, unsigned) {
    JobContext* ctx = contextOf(job);
    if (!ctx) return false;
    if (papplJobIsCanceled(job)) ctx->cancel = true;
    ctx->skipping = ctx->imageJob && ctx->pagesStarted++ > 0;
    if (ctx->skipping) return true;
    if (!ctx->pages.startPage(options->header)) return finishJob(job, ctx) && ctx->outcome.cancelled;
    return true;
}

bool writeLine(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned, const unsigned char* line) {
    JobContext* ctx = contextOf(job);
    if (!ctx) return false;
    if (papplJobIsCanceled(job)) ctx->cancel = true;
    return ctx->skipping || ctx->pages.writeLine(line);
}

bool endPage(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned) {
    JobContext* ctx = contextOf(job);
    if (!ctx) return false;
    if (papplJobIsCanceled(job)) ctx->cancel = true;
    if (ctx->skipping) return true;
    if (!ctx->pages.endPage()) return finishJob(job, ctx);
    return true;
}

bool endJob(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t* device) {
    JobContext* ctx = contextOf(job);
    if (!ctx) return false;
    if (papplJobIsCanceled(job)) ctx->cancel = true;
    bool ok = finishJob(job, ctx);
    std::fclose(ctx->stream);
    std::fclose(ctx->messages);
    papplDeviceFlush(device);
    currentJob = nullptr;
    currentJobHandle = nullptr;
    delete ctx;
    return ok;
}

// The printers have no display, light or sound the driver can reach: the
// request is logged.
void identify(pappl_printer_t* printer, pappl_identify_actions_t, const char* message) {
    papplLogPrinter(printer, PAPPL_LOGLEVEL_INFO, "Identify-Printer%s%s", message ? ": " : "", message ? message : "");
}

// A document in the printer's own language goes through unchanged.
bool printFile(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t* device) {
    int fd = open(papplJobGetFilename(job), O_RDONLY);
    if (fd < 0) return false;
    char buffer[65536];
    ssize_t got;
    bool ok = true;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        if (papplDeviceWrite(device, buffer, static_cast<size_t>(got)) < 0) {
            ok = false;
            break;
        }
    close(fd);
    return ok && got == 0;
}

}  // namespace

std::mutex& coreMutex() {
    static std::mutex m;
    return m;
}

int driverCount() { return static_cast<int>(sizeof DRIVERS / sizeof DRIVERS[0]); }
pappl_pr_driver_t* drivers() { return DRIVERS; }

int modelOfDriver(const char* driverName) {
    for (int i = 0; i < driverCount(); ++i)
        if (driverName && std::strcmp(DRIVERS[i].name, driverName) == 0) return i;
    return -1;
}

void setPrinterFolderRoot(const std::string& spoolDirectory) { folderRoot() = spoolDirectory; }

std::string printerFolder(pappl_printer_t* printer) {
    std::string folder = folderRoot() + "/tavix-printer-" + std::to_string(papplPrinterGetID(printer));
    mkdir(folder.c_str(), 0700);
    return folder;
}

bool driverCallback(pappl_system_t*, const char* driverName, const char*, const char*, pappl_pr_driver_data_t* data,
                    ipp_t** attrs, void*) {
    int model = modelOfDriver(driverName);
    if (model < 0) return false;
    cups::ModelProfile profile = cups::modelProfile(model);

    data->printfile_cb = printFile;
    data->rstartjob_cb = startJob;
    data->rstartpage_cb = startPage;
    data->rwriteline_cb = writeLine;
    data->rendpage_cb = endPage;
    data->rendjob_cb = endJob;
    data->format = NATIVE_FORMAT;
    std::snprintf(data->make_and_model, sizeof data->make_and_model, "TAVIX %s",
                  DRIVERS[model].description + std::strlen("TAVIX "));
    data->ppm = 1;
    data->ppm_color = 1;
    data->kind = static_cast<pappl_kind_t>(PAPPL_KIND_DOCUMENT | PAPPL_KIND_LARGE_FORMAT | PAPPL_KIND_ROLL);
    data->orient_default = IPP_ORIENT_PORTRAIT;
    data->identify_cb = identify;
    data->identify_supported = PAPPL_IDENTIFY_ACTIONS_DISPLAY;
    data->identify_default = PAPPL_IDENTIFY_ACTIONS_DISPLAY;
    data->color_supported = static_cast<pappl_color_mode_t>(PAPPL_COLOR_MODE_AUTO | PAPPL_COLOR_MODE_COLOR |
                                                            PAPPL_COLOR_MODE_MONOCHROME);
    data->color_default = PAPPL_COLOR_MODE_COLOR;
    data->content_default = PAPPL_CONTENT_AUTO;
    data->quality_default = IPP_QUALITY_NORMAL;
    data->scaling_default = PAPPL_SCALING_AUTO;
    data->raster_types = static_cast<pappl_raster_type_t>(PAPPL_PWG_RASTER_TYPE_SGRAY_8 | PAPPL_PWG_RASTER_TYPE_SRGB_8);
    data->force_raster_type = PAPPL_PWG_RASTER_TYPE_NONE;
    data->duplex = PAPPL_DUPLEX_NONE;
    data->sides_supported = PAPPL_SIDES_ONE_SIDED;
    data->sides_default = PAPPL_SIDES_ONE_SIDED;
    data->finishings = PAPPL_FINISHINGS_NONE;
    // The driver's raster resolutions: 300 dpi (colour), 400 dpi
    // (monochrome); print-quality draft asks for the first.
    data->num_resolution = 2;
    data->x_resolution[0] = data->y_resolution[0] = 300;
    data->x_resolution[1] = data->y_resolution[1] = 400;
    data->x_default = data->y_default = 300;

    // Margins with the plot margin on (hundredths of millimetres): along
    // the feed top and bottom, across the roll left and right.
    data->bottom_top = toHundredths(std::max(profile.margins[0], profile.margins[1]));
    data->left_right = toHundredths(std::max(profile.margins[2], profile.margins[3]));
    data->borderless = false;

    // Every fixed paper, then the roll as a custom size range.
    data->num_media = 0;
    for (const cups::PaperChoice& paper : profile.papers)
        if (data->num_media < PAPPL_MAX_MEDIA - 2) data->media[data->num_media++] = keep(pwgSizeName(paper));
    double widest = 0;
    for (const cups::PaperChoice& roll : profile.rolls) widest = std::max(widest, roll.widthInches);
    for (const cups::PaperChoice& paper : profile.papers) widest = std::max(widest, paper.widthInches);
    char name[128];
    pwgFormatSizeName(name, sizeof name, "custom", "min", toHundredths(cups::MIN_CUSTOM_INCHES),
                      toHundredths(cups::MIN_CUSTOM_INCHES), nullptr);
    data->media[data->num_media++] = keep(name);
    pwgFormatSizeName(name, sizeof name, "custom", "max", toHundredths(widest), toHundredths(MAX_ROLL_LENGTH_INCHES),
                      nullptr);
    data->media[data->num_media++] = keep(name);

    data->num_source = 0;
    for (const std::string& tray : profile.trays)
        if (data->num_source < PAPPL_MAX_SOURCE) data->source[data->num_source++] = keep(sourceKeyword(tray));
    if (data->num_source == 0) data->source[data->num_source++] = "auto";

    data->num_type = 0;
    if (profile.optionOutput)
        for (const char* type : MEDIA_TYPES) data->type[data->num_type++] = type;

    pappl_media_col_t media{};
    if (const cups::PaperChoice* paper = defaultPaper(profile)) {
        std::snprintf(media.size_name, sizeof media.size_name, "%s", pwgSizeName(*paper).c_str());
        media.size_width = toHundredths(paper->widthInches);
        media.size_length = toHundredths(paper->lengthInches);
    }
    media.bottom_margin = media.top_margin = data->bottom_top;
    media.left_margin = media.right_margin = data->left_right;
    std::snprintf(media.source, sizeof media.source, "%s", data->source[0]);
    if (data->num_type > 0) std::snprintf(media.type, sizeof media.type, "%s", data->type[0]);
    data->media_default = media;
    for (int i = 0; i < data->num_source; ++i) {
        data->media_ready[i] = media;
        std::snprintf(data->media_ready[i].source, sizeof media.source, "%s", data->source[i]);
    }

    // The printer's own settings: printer defaults, and job attributes for
    // the clients that can send them.
    // What the IPP Everywhere conformance test expects and PAPPL 1.3 does
    // not say by itself.
    ipp_t* a = ippNew();
    ippAddBoolean(a, IPP_TAG_PRINTER, "preferred-attributes-supported", 0);
    const char* const overrides[] = {"document-number", "pages"};
    ippAddStrings(a, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "overrides-supported", 2, nullptr, overrides);
    ippAddString(a, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "print-rendering-intent-default", nullptr, "auto");
    ippAddString(a, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "print-rendering-intent-supported", nullptr, "auto");
    ippAddString(a, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "pwg-raster-document-sheet-back", nullptr, "normal");
    const char supply[] = "index=1;class=supplyThatIsConsumed;type=ink;unit=percent;maxcapacity=100;level=-2;";
    ippAddOctetString(a, IPP_TAG_PRINTER, "printer-supply", supply, sizeof supply - 1);
    ippAddString(a, IPP_TAG_PRINTER, IPP_TAG_TEXT, "printer-supply-description", nullptr, "Ink");
    *attrs = a;

    data->num_vendor = 0;
    if (profile.optionOutput) {
        const PlotSettings& d = profile.defaults;
        data->vendor[data->num_vendor++] = VENDOR_DENSITY;
        ippAddRange(a, IPP_TAG_PRINTER, "tavix-density-supported", 1, 64);
        ippAddInteger(a, IPP_TAG_PRINTER, IPP_TAG_INTEGER, "tavix-density-default", std::clamp<int>(d.density(), 1, 64));
        auto onOff = [&](const char* name, bool value) {
            data->vendor[data->num_vendor++] = name;
            ippAddBoolean(a, IPP_TAG_PRINTER, (std::string(name) + "-supported").c_str(), 1);
            ippAddBoolean(a, IPP_TAG_PRINTER, (std::string(name) + "-default").c_str(), value);
        };
        onOff(VENDOR_STAMP, d.get(flags::stampOn));
        onOff(VENDOR_MIRROR, d.get(flags::mirror));
        onOff(VENDOR_INVERT, d.get(flags::invert));
        data->vendor[data->num_vendor++] = VENDOR_CUT;
        ippAddStrings(a, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "tavix-cut-mode-supported", 2, nullptr, CUT_MODES);
        ippAddString(a, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "tavix-cut-mode-default", nullptr,
                     CUT_MODES[d.get(flags::formatCut) ? 1 : 0]);
        data->vendor[data->num_vendor++] = VENDOR_MEDIA_TYPE;
        ippAddStrings(a, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "tavix-media-type-supported", 4, nullptr, MEDIA_TYPES);
        ippAddString(a, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "tavix-media-type-default", nullptr,
                     MEDIA_TYPES[std::clamp<int>(d.mediaType(), 0, 3)]);
    }
    return true;
}

}  // namespace tavix::printerapp
