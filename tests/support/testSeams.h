// The driver's test seams (the tables it reads, the output allocation, the
// warning box) put back to their shipped state when a test starts and again
// when it ends, whatever the test changed. A fixture holds one as a member.
#pragma once

#include "platform/messageBox.h"
#include "tavix/outputBuffer.h"
#include "tavix/tables.h"

namespace tavix::testing {

class TestSeams {
public:
    TestSeams() { restore(); }
    ~TestSeams() { restore(); }
    TestSeams(const TestSeams&) = delete;
    TestSeams& operator=(const TestSeams&) = delete;

private:
    static void restore() {
        restoreShippedTables();
        outputAllocationAllowed = nullptr;
        warningBoxHook = nullptr;
    }
};

}  // namespace tavix::testing
