#include "filterProcess.h"

#include <csignal>
#include <cstdio>

namespace tavix::cups {
namespace {

std::atomic<bool> cancelRequested{false};

// The page in progress ends at its next row or request, and the stream is
// closed as the driver closes a plot.
void onTerminate(int) { cancelRequested.store(true); }

}  // namespace

const std::atomic<bool>* startFilter(int argc, char* argv[]) {
    if (argc < 6 || argc > 7) {
        std::fprintf(stderr, "Usage: %s job-id user title copies options [file]\n", argv[0]);
        return nullptr;
    }
    std::setvbuf(stderr, nullptr, _IOLBF, 0);
    static char streamBuffer[1 << 20];
    std::setvbuf(stdout, streamBuffer, _IOFBF, sizeof streamBuffer);

    struct sigaction action = {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    return &cancelRequested;
}

int failJob(const std::string& message) {
    std::fprintf(stderr, "ERROR: %s\n", message.c_str());
    return 1;
}

}  // namespace tavix::cups
