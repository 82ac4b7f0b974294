#include "fileDevice.h"

#include <fcntl.h>
#include <pappl/pappl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// PAPPL 1.3's own (exported, not in its public headers).
extern "C" void _papplDeviceAddNetworkSchemes(void);
extern "C" void _papplDeviceAddUSBScheme(void);

namespace tavix::printerapp {
namespace {

std::string& allowedRoot() {
    static std::string root;
    return root;
}

// The path of a file: URI, when it lies under the allowed root.
bool pathOf(const char* uri, std::string& path, std::string& error) {
    char scheme[32], user[256], host[256], resource[1024];
    int port = 0;
    if (httpSeparateURI(HTTP_URI_CODING_ALL, uri, scheme, sizeof scheme, user, sizeof user, host, sizeof host, &port,
                        resource, sizeof resource) < HTTP_URI_STATUS_OK ||
        std::strcmp(scheme, "file") != 0 || resource[0] != '/') {
        error = "not a file URI with an absolute path";
        return false;
    }
    path = resource;
    // The folder must exist and resolve inside the allowed root.
    std::string folder = path.back() == '/' ? path : path.substr(0, path.rfind('/') + 1);
    char real[PATH_MAX];
    if (!realpath(folder.c_str(), real)) {
        error = "folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    char root[PATH_MAX];
    if (allowedRoot().empty() || !realpath(allowedRoot().c_str(), root)) {
        error = "no folder is allowed for file devices";
        return false;
    }
    std::string r = root, f = real;
    if (f != r && f.rfind(r + "/", 0) != 0) {
        error = "folder " + f + " is outside " + r;
        return false;
    }
    path = f + "/" + (path.back() == '/' ? "" : path.substr(path.rfind('/') + 1));
    return true;
}

bool openFile(pappl_device_t* device, const char* uri, const char*) {
    std::string path, error;
    if (!pathOf(uri, path, error)) {
        papplDeviceError(device, "Unable to open %s: %s", uri, error.c_str());
        return false;
    }
    int fd = -1;
    if (path.back() == '/') {
        for (int n = 1; n < 100000 && fd < 0; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "job-%04d.plt", n);
            fd = open((path + name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
            if (fd < 0 && errno != EEXIST) break;
        }
    } else {
        fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    }
    if (fd < 0) {
        papplDeviceError(device, "Unable to create a file in %s: %s", path.c_str(), std::strerror(errno));
        return false;
    }
    papplDeviceSetData(device, reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1));
    return true;
}

int fdOf(pappl_device_t* device) { return static_cast<int>(reinterpret_cast<intptr_t>(papplDeviceGetData(device))) - 1; }

void closeFile(pappl_device_t* device) {
    int fd = fdOf(device);
    if (fd >= 0) close(fd);
}

ssize_t readFile(pappl_device_t*, void*, size_t) { return 0; }

ssize_t writeFile(pappl_device_t* device, const void* buffer, size_t bytes) {
    const char* p = static_cast<const char*>(buffer);
    size_t left = bytes;
    while (left > 0) {
        ssize_t n = write(fdOf(device), p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(bytes);
}

pappl_preason_t statusFile(pappl_device_t*) { return PAPPL_PREASON_NONE; }

}  // namespace

void registerFileDevice(const std::string& root) {
    allowedRoot() = root;
    // PAPPL 1.3 adds its own schemes when its list is first used, unless a
    // scheme was added before; its own file scheme writes wherever a URI
    // points. So ours comes first, and then PAPPL's network (socket, dnssd,
    // snmp) and USB schemes, through the functions PAPPL itself calls.
    papplDeviceAddScheme("file", PAPPL_DEVTYPE_FILE, nullptr, openFile, closeFile, readFile, writeFile, statusFile,
                         nullptr);
    _papplDeviceAddNetworkSchemes();
    _papplDeviceAddUSBScheme();
}

}  // namespace tavix::printerapp
