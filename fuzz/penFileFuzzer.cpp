// The pen settings file reader on any bytes: it accepts only what it can
// hold, and whatever it accepts is within range.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tavix/penSettingsFile.h"
#include "tavix/driverState.h"
#include "settings/settingsDefaults.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The reader opens the file by its name in the current directory.
    char dir[] = "/tmp/tavix-penfuzz-XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tavix;
    std::FILE* f = std::fopen("tavixdrv.def", "wb");
    if (f == nullptr) std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    state.penDataValid = false;
    if (readPenSettingsFile() == 0) {
        if (!state.penDataValid) std::abort();
        for (int i = 0; i < PEN_COUNT; ++i) {
            if (state.penGrayList[i] > 100 || state.penTable[i].penGray > 100) std::abort();
            double w = state.penTable[i].penWidth;
            if (!(w > 0 && w <= 25.4)) std::abort();
        }
        if (std::memchr(state.comment, 0, sizeof state.comment) == nullptr) std::abort();
        if (std::memchr(state.drawName, 0, sizeof state.drawName) == nullptr) std::abort();
        // What was accepted writes back and reads back the same.
        if (writePenSettingsFile() != 0) std::abort();
        uint8_t grays[PEN_COUNT];
        std::memcpy(grays, state.penGrayList, sizeof grays);
        if (readPenSettingsFile() != 0) std::abort();
        if (std::memcmp(grays, state.penGrayList, sizeof grays) != 0) std::abort();
    }
    return 0;
}
