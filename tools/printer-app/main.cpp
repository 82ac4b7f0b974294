// tavix-printer-app: the TAVIX E printers as an IPP Everywhere printer
// application over PAPPL. papplMainloop gives the usual commands (server,
// drivers, add, printers, submit, status, shutdown, ...); see
// docs/printer-app.md.
#include <pappl/pappl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fileDevice.h"
#include "penPage.h"
#include "tavixDriver.h"
#include "tavix/version.h"

namespace {

using namespace tavix::printerapp;

constexpr char APP_NAME[] = "tavix-printer-app";
constexpr int DEFAULT_PORT = 8631;
constexpr size_t MAX_IMAGE_BYTES = size_t{1} << 30;  // decoded pixels
constexpr int MAX_IMAGE_PIXELS = 20000;                 // per side

std::string& stateFile() {
    static std::string path;
    return path;
}

const char* option(int count, cups_option_t* options, const char* name, const char* fallback) {
    const char* value = cupsGetOption(name, count, options);
    return value && *value ? value : fallback;
}

pappl_loglevel_t logLevel(const char* name) {
    if (!strcmp(name, "fatal")) return PAPPL_LOGLEVEL_FATAL;
    if (!strcmp(name, "error")) return PAPPL_LOGLEVEL_ERROR;
    if (!strcmp(name, "warn")) return PAPPL_LOGLEVEL_WARN;
    if (!strcmp(name, "debug")) return PAPPL_LOGLEVEL_DEBUG;
    return PAPPL_LOGLEVEL_INFO;
}

bool saveState(pappl_system_t* system, void*) { return papplSystemSaveState(system, stateFile().c_str()); }

std::string defaultSpool() {
    if (getuid() == 0) return std::string("/var/spool/") + APP_NAME;
    const char* tmp = getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/" + APP_NAME + "-" + std::to_string(getuid());
}

// Every printer, new or loaded from the state, gets its pen table page.
// PAPPL holds the system's lock while it loads the state and while it
// iterates over the printers, and adding a page takes that lock: the
// loaded printers get theirs once the state is read.
bool loadingState = false;
void printerCreated(pappl_printer_t* printer, void*) {
    if (!loadingState) addPenPage(printer);
}
void collectPrinter(pappl_printer_t* printer, void* list) {
    static_cast<std::vector<pappl_printer_t*>*>(list)->push_back(printer);
}

pappl_system_t* makeSystem(int count, cups_option_t* options, void*) {
    std::string spool = option(count, options, "spool-directory", defaultSpool().c_str());
    mkdir(spool.c_str(), 0700);
    const char* logFile = option(count, options, "log-file", "-");
    pappl_loglevel_t level = logLevel(option(count, options, "log-level", "info"));
    const char* listen = option(count, options, "listen-hostname", "localhost");
    int port = std::atoi(option(count, options, "server-port", std::to_string(DEFAULT_PORT).c_str()));
    const char* auth = option(count, options, "auth-service", nullptr);
    stateFile() = option(count, options, "state-file", (spool + "/" + APP_NAME + ".state").c_str());

    // Jobs work in folders of their own under the spool directory.
    setenv("TMPDIR", spool.c_str(), 1);
    setPrinterFolderRoot(spool);
    registerFileDevice(option(count, options, "file-device-root", spool.c_str()));

    bool local = !strcmp(listen, "localhost") || !strcmp(listen, "127.0.0.1") || !strcmp(listen, "::1");
    auto soptions = static_cast<pappl_soptions_t>(PAPPL_SOPTIONS_MULTI_QUEUE | PAPPL_SOPTIONS_WEB_INTERFACE |
                                                  PAPPL_SOPTIONS_WEB_LOG | PAPPL_SOPTIONS_WEB_SECURITY |
                                                  (local ? PAPPL_SOPTIONS_NONE : PAPPL_SOPTIONS_WEB_REMOTE) |
                                                  // On this machine only, no TLS: its URIs would be
                                                  // offered without a certificate for the name.
                                                  (local ? PAPPL_SOPTIONS_NO_TLS : PAPPL_SOPTIONS_NONE));
    pappl_system_t* system = papplSystemCreate(soptions, "TAVIX Printer Application", port, "_print,_universal",
                                               spool.c_str(), logFile, level, auth, false);
    if (!system) return nullptr;
    if (!papplSystemAddListeners(system, listen)) {
        std::fprintf(stderr, "%s: unable to listen on %s:%d.\n", APP_NAME, listen, port);
        papplSystemDelete(system);
        return nullptr;
    }
    // Images larger than this are refused with a clear job state rather
    // than decoded (a JPEG may claim any size in its header).
    papplSystemSetMaxImageSize(system, MAX_IMAGE_BYTES, MAX_IMAGE_PIXELS, MAX_IMAGE_PIXELS);
    papplSystemSetPrinterDrivers(system, driverCount(), drivers(), nullptr, printerCreated, driverCallback, nullptr);
    papplSystemSetFooterHTML(system, "TAVIX E printers &middot; tavix-printer-app");
    pappl_version_t version{};
    std::snprintf(version.name, sizeof version.name, "%s", APP_NAME);
    std::snprintf(version.sversion, sizeof version.sversion, "%s", TAVIX_VERSION);
    papplSystemSetVersions(system, 1, &version);
    loadingState = true;
    if (access(stateFile().c_str(), R_OK) == 0) papplSystemLoadState(system, stateFile().c_str());
    loadingState = false;
    std::vector<pappl_printer_t*> loaded;
    papplSystemIteratePrinters(system, collectPrinter, &loaded);
    for (pappl_printer_t* printer : loaded) addPenPage(printer);
    papplSystemSetSaveCallback(system, saveState, nullptr);
    return system;
}

}  // namespace

int main(int argc, char* argv[]) {
    return papplMainloop(argc, argv, TAVIX_VERSION, nullptr, driverCount(), drivers(), nullptr, driverCallback,
                         nullptr, nullptr, makeSystem, nullptr, nullptr);
}
