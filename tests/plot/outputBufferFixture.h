// A recording host and a fresh OutputBuffer for the tests of the staging
// and of the PE encoding.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/recordingHost.h"
#include "tavix/driverState.h"
#include "tavix/outputBuffer.h"

namespace tavix::testing {

class OutputBufferFixture : public ::testing::Test {
protected:
    void SetUp() override {
        host.install();
        std::strcpy(state.messages[77], "Plotting error occured. ");
        ASSERT_TRUE(obtainOutputBuffer());
    }
    void TearDown() override { releaseOutputBuffer(); }

    // The bytes staged and not yet sent.
    std::string staged() const {
        return std::string(reinterpret_cast<const char*>(state.outputBuffer),
                           static_cast<size_t>(state.outputCount));
    }

    RecordingHost host;
};

}  // namespace tavix::testing
