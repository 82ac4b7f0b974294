#include "outputFiles.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace tavix::host {
namespace {

namespace fs = std::filesystem;

// The part file's name where a signal handler can reach it: a fixed
// buffer, since the handler may not allocate.
char partFileName[4096];
volatile sig_atomic_t partFileArmed = 0;
constexpr int GUARDED_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removePartFileAndEnd(int signal) {
    if (partFileArmed) unlink(partFileName);
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

}  // namespace

OutputTarget outputTarget(const std::string& name) {
    OutputTarget t{name, name + ".part", false};
    std::error_code error;
    fs::file_status linkStatus = fs::symlink_status(name, error);
    fs::file_status status = fs::status(name, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        t.direct = true;
    } else if (fs::is_symlink(linkStatus)) {
        fs::path resolved = fs::exists(status) ? fs::canonical(name, error) : fs::path();
        if (resolved.empty() || error) t.direct = true;
        else t.path = resolved.string();
    }
    t.writing = t.direct ? t.path : t.path + ".part";
    return t;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
    fs::path ca = fs::weakly_canonical(a, error), cb = fs::weakly_canonical(b, error);
    return !ca.empty() && ca == cb;
}

std::string absolutePath(const std::string& path) {
    if (path.empty() || path == "-" || path[0] == '/') return path;
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.string();
}

PartFileGuard::PartFileGuard(const std::string& path) : active_(!path.empty() && path.size() < sizeof partFileName) {
    if (!active_) return;
    std::memcpy(partFileName, path.c_str(), path.size() + 1);
    partFileArmed = 1;
    struct sigaction action {};
    action.sa_handler = removePartFileAndEnd;
    sigemptyset(&action.sa_mask);
    for (int s : GUARDED_SIGNALS) sigaction(s, &action, nullptr);
}

PartFileGuard::~PartFileGuard() {
    if (!active_) return;
    if (partFileArmed) unlink(partFileName);
    release();
}

void PartFileGuard::release() {
    if (!active_) return;
    partFileArmed = 0;
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    for (int s : GUARDED_SIGNALS) sigaction(s, &fallback, nullptr);
    active_ = false;
}

}  // namespace tavix::host
