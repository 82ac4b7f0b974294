#include "rasterSubchain.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace tavix::cups {
namespace {

std::string filterFolder() {
    const char* serverBin = std::getenv("CUPS_SERVERBIN");
    return std::string(serverBin && *serverBin ? serverBin : "/usr/lib/cups") + "/filter";
}

}  // namespace

RasterSubchain::RasterSubchain(char* argv[], int input) {
    int first[2], second[2];
    if (pipe2(first, O_CLOEXEC) != 0) {
        error_ = std::string("Unable to make a pipe: ") + std::strerror(errno);
        return;
    }
    if (pipe2(second, O_CLOEXEC) != 0) {
        error_ = std::string("Unable to make a pipe: ") + std::strerror(errno);
        close(first[0]);
        close(first[1]);
        return;
    }
    lseek(input, 0, SEEK_SET);
    // pdftopdf applies the page ranges, the orientation and the scaling;
    // gstoraster renders its PDF to the PPD's raster.
    bool started = start("pdftopdf", argv, input, first[1]) > 0;
    close(first[1]);
    started = started && start("gstoraster", argv, first[0], second[1]) > 0;
    close(first[0]);
    close(second[1]);
    if (!started) {
        close(second[0]);
        terminate();
        finish();
        return;
    }
    raster_ = second[0];
}

RasterSubchain::~RasterSubchain() {
    if (raster_ >= 0) close(raster_);
    terminate();
    finish();
}

pid_t RasterSubchain::start(const std::string& program, char* argv[], int in, int out) {
    std::string path = filterFolder() + "/" + program;
    if (access(path.c_str(), X_OK) != 0) {
        error_ = "CUPS's filter " + path + " is not installed; print the PDF as vectors.";
        return -1;
    }
    pid_t pid = fork();
    if (pid < 0) {
        error_ = std::string("Unable to start ") + program + ": " + std::strerror(errno);
        return -1;
    }
    if (pid == 0) {
        dup2(in, 0);
        dup2(out, 1);
        signal(SIGTERM, SIG_DFL);
        signal(SIGPIPE, SIG_DFL);
        char* args[] = {const_cast<char*>(program.c_str()), argv[1], argv[2], argv[3], argv[4], argv[5], nullptr};
        execv(path.c_str(), args);
        _exit(127);
    }
    children_.push_back(pid);
    names_.push_back(program);
    return pid;
}

void RasterSubchain::terminate() {
    for (pid_t pid : children_) kill(pid, SIGTERM);
}

bool RasterSubchain::finish() {
    if (raster_ >= 0) {
        close(raster_);
        raster_ = -1;
    }
    bool ok = true;
    for (size_t i = 0; i < children_.size(); ++i) {
        int status = 0;
        while (waitpid(children_[i], &status, 0) < 0 && errno == EINTR) {
        }
        if (!(WIFEXITED(status) && WEXITSTATUS(status) == 0) && ok && error_.empty()) {
            error_ = "CUPS's filter " + names_[i] + " failed" +
                     (WIFEXITED(status) ? " (exit status " + std::to_string(WEXITSTATUS(status)) + ")"
                                        : " (signal " + std::to_string(WTERMSIG(status)) + ")") +
                     "; its messages are in the job's log.";
            ok = false;
        }
    }
    children_.clear();
    names_.clear();
    return ok && error_.empty();
}

}  // namespace tavix::cups
