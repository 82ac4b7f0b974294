#include "stampName.h"

#include <cstdio>
#include <cstring>

#include "stampText.h"
#include "tavix/driverState.h"
#include "tavix/penSettingsFile.h"
#include "tavix/settingsDefaults.h"

namespace tavix::cups {

std::string stampNameOf(const std::string& titleUtf8) {
    static_assert(host::DRAW_NAME_BYTES == DRAW_NAME_SIZE - 1);
    return host::stampTextOf(titleUtf8, host::DRAW_NAME_BYTES, "the job's title").cp932;
}

bool writeStampName(const std::string& titleUtf8) {
    applyPenDefaults();
    host::StampText name = host::stampTextOf(titleUtf8, host::DRAW_NAME_BYTES, "the job's title");
    // What the stamp lost reaches the job's log as CUPS warnings.
    for (const std::string& w : name.warnings) std::fprintf(stderr, "WARNING: %s\n", w.c_str());
    std::memcpy(state.drawName, name.cp932.c_str(), name.cp932.size() + 1);
    return writePenSettingsFile() == 0;
}

}  // namespace tavix::cups
