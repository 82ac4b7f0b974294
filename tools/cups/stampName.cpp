#include "stampName.h"

#include <cstring>

#include "platform/native/codePage.h"
#include "tavix/driverState.h"
#include "settings/penSettingsFile.h"
#include "settings/settingsDefaults.h"

namespace tavix::cups {

std::string stampNameOf(const std::string& titleUtf8) {
    std::string name = native::utf8ToCp932(titleUtf8);
    constexpr size_t LIMIT = DRAW_NAME_SIZE - 1;
    size_t end = 0;
    while (end < name.size()) {
        size_t width = native::isCp932LeadByte(static_cast<unsigned char>(name[end])) ? 2 : 1;
        if (end + width > LIMIT || end + width > name.size()) break;
        end += width;
    }
    name.resize(end);
    // Control characters would break the ticket's lines.
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    return name;
}

bool writeStampName(const std::string& titleUtf8) {
    applyPenDefaults();
    std::string name = stampNameOf(titleUtf8);
    std::memcpy(state.drawName, name.c_str(), name.size() + 1);
    return writePenSettingsFile() == 0;
}

}  // namespace tavix::cups
