// The files a plot run writes: the printer file is written beside its final
// name and moved into place when complete, and nothing half-written stays
// behind, not even when the user interrupts the run.
#pragma once

#include <string>

namespace tavix::host {

// Where the printer stream goes. A file is written to path + ".part" and
// renamed when complete; a symbolic link to a file is followed, so the link
// stays. A device or a pipe (a printer port) is written directly.
struct OutputTarget {
    std::string path;     // the file that ends up with the stream
    std::string writing;  // the file written: path + ".part", or path itself
    bool direct = false;
};

OutputTarget outputTarget(const std::string& name);

// True when both names reach one file (the same path, a link or a hard
// link), also when neither exists yet.
bool sameFile(const std::string& a, const std::string& b);

// The part file of a run (none for an empty path): removed when the guard
// ends unless released, and by a handler of SIGINT, SIGTERM and SIGHUP,
// which then ends the program by the same signal.
class PartFileGuard {
public:
    explicit PartFileGuard(const std::string& path);
    ~PartFileGuard();
    PartFileGuard(const PartFileGuard&) = delete;
    PartFileGuard& operator=(const PartFileGuard&) = delete;
    // The file has been moved into place (or was never a part file).
    void release();

private:
    bool active_;
};

// An absolute form of a path given by the user, usable after the program
// changes its directory; "-" and "" stay as they are.
std::string absolutePath(const std::string& path);

}  // namespace tavix::host
