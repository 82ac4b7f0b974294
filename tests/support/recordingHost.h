// A host for tests: implements the six host services in memory, records
// every call, and can fail any service at any call index.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavix::testing {

struct RecordingHost {
    // What the driver sent.
    std::string output;                 // every accepted hostWriteOutput byte
    std::vector<int> pieceSizes;        // byte count of every hostWriteOutput call
    std::vector<std::string> messages;  // hostShowMessage texts
    std::vector<std::string> deviceControls;
    std::vector<std::pair<int, int>> exchangeCalls;

    // What the host answers.
    int exchangeResult = 42;
    uint8_t stored[40] = {};
    bool hasStored = false;  // hostLoadSettings fails when false
    int failWriteAtCall = -1;  // hostWriteOutput returns 0 at this call index (0-based)
    bool failAllWritesFrom = false;  // ...and at every later call
    int failSaveAtCall = -1;
    int failLoadAtCall = -1;

    int writeCalls = 0;
    int saveCalls = 0;
    int loadCalls = 0;

    uint8_t table[196] = {};

    // Builds the service table, makes this the active host, calls DERIZ and
    // resets the driver state to its load-time values.
    void install();
};

// The host the static service functions report to.
RecordingHost* activeHost();

// A hex dump of `bytes` around `offset`, for failing byte comparisons.
std::string hexAround(const std::string& bytes, size_t offset);

// Compares two byte strings; on a difference, names the first offset and
// shows both sides around it.
::std::string firstDifference(const std::string& expected, const std::string& actual);

}  // namespace tavix::testing

// EXPECT_BYTES(expected, actual): byte-exact comparison with an offset and a
// hex dump around the first difference.
#define EXPECT_BYTES(expected, actual) \
    EXPECT_EQ("", ::tavix::testing::firstDifference((expected), (actual)))
