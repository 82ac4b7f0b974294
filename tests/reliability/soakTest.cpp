// The soak test: many plots in one process through the request interface,
// as a long CAD session makes them. Every plot is the same input (set-up,
// a few thousand vector, pen and fill requests, two images, end plot) and
// must give the same stream, byte for byte, and the heap must not grow
// between the first plots and the last.
//
// TAVIX_SOAK_PLOTS sets the number of plots (200 by default; `make
// test-soak` runs 10,000).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tests/reliability/referenceRuns.h"
#include "support/recordingHost.h"
#include "support/scratchDirectory.h"
#include "tavix/driverState.h"
#include "tavix/outputBuffer.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's count of the bytes its heap hands out.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace tavix::reliability {
namespace {

// Heap bytes in use: the allocator's own count (ASan keeps its own heap).
// glibc serves large blocks such as the 2 MiB OutputBuffer by mmap until
// one is freed, and counts those apart (hblkhd).
size_t heapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

// Resident set size in bytes.
size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096;
}

int soakPlots() {
    const char* text = std::getenv("TAVIX_SOAK_PLOTS");
    int n = text != nullptr ? std::atoi(text) : 200;
    return n >= 8 ? n : 8;
}

struct Window {
    size_t heapMax = 0, heapMin = SIZE_MAX;
    size_t residentMax = 0;
    void add(size_t heap, size_t resident) {
        heapMax = heap > heapMax ? heap : heapMax;
        heapMin = heap < heapMin ? heap : heapMin;
        residentMax = resident > residentMax ? resident : residentMax;
    }
};

TEST(Soak, plotsKeepMemoryConstantAndStreamsIdentical) {
    testing::ScratchDirectory scratch;
    testing::writeWholeFile("tavixdrv.def", referencePenFile());
    PlotShape shape;
    shape.vectors = 3000;
    const ReferencePlot plot(shape);
    const PlotSettings stored = referencePlotSettings();

    testing::RecordingHost host;
    std::memcpy(host.stored, stored.bytes, sizeof host.stored);
    host.hasStored = true;
    host.install();

    const int plots = soakPlots();
    const int window = plots / 4 < 1000 ? plots / 4 : 1000;
    Window first, last;
    uint64_t expectedHash = 0;
    size_t streamBytes = 0;
    std::vector<int16_t> expectedAnswers;
    const auto started = std::chrono::steady_clock::now();

    for (int n = 0; n < plots; ++n) {
        resetRows({});
        host.output.clear();
        host.pieceSizes.clear();
        host.exchangeCalls.clear();
        std::vector<RequestRecord> records = plot.play(host);

        std::vector<int16_t> answers;
        answers.reserve(records.size());
        for (const RequestRecord& r : records) answers.push_back(r.answer);
        const uint64_t hash = streamHash(host.output);
        if (n == 0) {
            expectedHash = hash;
            streamBytes = host.output.size();
            expectedAnswers = answers;
            ASSERT_LT(20000u, streamBytes);
            for (const RequestRecord& r : records) ASSERT_NE(-1, r.answer) << "code " << r.code;
        }
        ASSERT_EQ(expectedHash, hash) << "plot " << n;
        ASSERT_EQ(expectedAnswers, answers) << "plot " << n;
        ASSERT_TRUE(host.messages.empty()) << "plot " << n;
        ASSERT_EQ(nullptr, state.outputBuffer) << "plot " << n;
        ASSERT_EQ(2u, host.exchangeCalls.size()) << "plot " << n;
        ASSERT_EQ(rowCalls().queries, rowCalls().releases) << "plot " << n;

        // Measured between plots, with this plot's records gone.
        records = {};
        answers = {};
        if (n < window) first.add(heapInUse(), residentBytes());
        if (n >= plots - window) last.add(heapInUse(), residentBytes());
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::printf("[   SOAK   ] %d plots of %zu requests and %zu stream bytes in %.1f s (%.2f ms a plot)\n",
                plots, plot.requestCount(), streamBytes, seconds, 1000 * seconds / plots);
    std::printf("[   SOAK   ] heap in use, first %d plots: %zu..%zu bytes; last %d: %zu..%zu bytes\n",
                window, first.heapMin, first.heapMax, window, last.heapMin, last.heapMax);
    std::printf("[   SOAK   ] resident, first %d plots: at most %zu KiB; last %d: at most %zu KiB\n",
                window, first.residentMax / 1024, window, last.residentMax / 1024);
    RecordProperty("plots", plots);
    RecordProperty("heapFirst", static_cast<int>(first.heapMax));
    RecordProperty("heapLast", static_cast<int>(last.heapMax));

    // Under valgrind the heap is valgrind's, which glibc does not count,
    // and freed blocks are held back; its own leak check is in charge there.
    if (first.heapMax == 0) {
        std::printf("[   SOAK   ] the heap is not glibc's: memory left to the leak checker\n");
    } else {
        // No growth: the last plots hold no more heap than the first ones did.
        EXPECT_LE(last.heapMax, first.heapMax);
#if !defined(__SANITIZE_ADDRESS__)
        // Resident memory may move by a few pages as the allocator reuses
        // them; a leak of one buffer per plot would add megabytes.
        // (AddressSanitizer holds freed blocks back, so there it grows.)
        EXPECT_LE(last.residentMax, first.residentMax + 1024 * 1024);
#endif
    }
    releaseOutputBuffer();
}

}  // namespace
}  // namespace tavix::reliability
