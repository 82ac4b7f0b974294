// Faults of the original settings code that are mended, held in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "support/recordingHost.h"
#include "support/scratchDirectory.h"
#include "tavix/driverState.h"
#include "tavix/settingsStore.h"

namespace tavix {
namespace {

// The line of the pen settings file that begins with `key`.
std::string lineOf(const std::string& file, const std::string& key) {
    size_t at = file.find("\r\n" + key);
    if (at == std::string::npos) return "<none>";
    at += 2;
    return file.substr(at, file.find("\r\n", at) - at);
}

// The stamp texts are fixed fields that a dialog or a reader fills; one
// that has lost its terminating NUL is written up to its field's end, not
// on into the fields after it.
TEST(MendedSettingsFaults, stampTextsWithoutTheirNulAreWrittenUpToTheField) {
    testing::ScratchDirectory scratch;
    testing::RecordingHost host;
    host.install();
    applyPenDefaults();
    std::memset(state.comment, 'c', sizeof state.comment);
    std::memset(state.drawName, 'n', sizeof state.drawName);
    ASSERT_EQ(0, writePenSettingsFile());
    const std::string file = testing::readWholeFile(PEN_SETTINGS_FILE);
    EXPECT_EQ("Comment=" + std::string(COMMENT_SIZE - 1, 'c'), lineOf(file, "Comment="));
    EXPECT_EQ("DrawName=" + std::string(DRAW_NAME_SIZE - 1, 'n'), lineOf(file, "DrawName="));
    EXPECT_EQ(767u * 2, static_cast<size_t>(std::count(file.begin(), file.end(), '\r')) +
                            static_cast<size_t>(std::count(file.begin(), file.end(), '\n')));

    // And it reads back as the texts cut to their fields.
    applyPenDefaults();
    ASSERT_EQ(0, readPenSettingsFile());
    EXPECT_EQ(std::string(COMMENT_SIZE - 1, 'c'), std::string(state.comment));
    EXPECT_EQ(std::string(DRAW_NAME_SIZE - 1, 'n'), std::string(state.drawName));
}

}  // namespace
}  // namespace tavix
