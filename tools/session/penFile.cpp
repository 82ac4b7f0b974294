#include "penFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "drawingFile.h"
#include "tavix/penSettingsFile.h"
#include "tavix/settingsDefaults.h"

namespace tavix::host {
namespace {

namespace fs = std::filesystem;

constexpr int PENS = 255;

// The key the driver expects on line `index` (0-based) of its file.
std::string expectedKey(int index) {
    if (index < PENS) return "PenGray" + std::to_string(index + 1) + "=";
    if (index == PENS) return "Comment=";
    if (index == PENS + 1) return "DrawName=";
    int pen = (index - PENS - 2) / 2 + 1;
    return ((index - PENS - 2) % 2 == 0 ? "LumenWide" : "LumenGray") + std::to_string(pen) + "=";
}

bool valueAccepted(const std::string& key, const char* value) {
    if (key.rfind("Comment=", 0) == 0 || key.rfind("DrawName=", 0) == 0) return true;
    if (key.rfind("LumenWide", 0) == 0) {
        double width = static_cast<float>(std::strtod(value, nullptr));
        return width > 0 && width <= 25.4;
    }
    long gray = std::strtol(value, nullptr, 10);
    return gray >= 0 && gray <= 100;
}

// The first line that breaks the file's rules, for the user; empty when
// none is found (the driver's reader has the last word).
std::string locateProblem() {
    std::ifstream in(PEN_SETTINGS_FILE, std::ios::binary);
    std::string line;
    const int lines = PENS + 2 + 2 * PENS;
    for (int index = 0; index < lines; ++index) {
        if (!std::getline(in, line)) return "line " + std::to_string(index + 1) + ": the file ends early";
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string key = expectedKey(index);
        if (line.rfind(key, 0) != 0 || !valueAccepted(key, line.c_str() + key.size()))
            return "line " + std::to_string(index + 1) + ": " + (line.size() > 40 ? line.substr(0, 40) + "..." : line);
    }
    return "";
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

}  // namespace

bool penFilePlace(const std::string& option, PenFilePlace& place, std::string& error) {
    place = PenFilePlace{"", std::string("./") + PEN_SETTINGS_FILE};
    if (option.empty()) return true;
    std::error_code ec;
    if (fs::is_directory(option, ec)) {
        place.folder = option;
        place.shown = (option.back() == '/' ? option : option + "/") + PEN_SETTINGS_FILE;
        return true;
    }
    if (fs::path(option).filename() != PEN_SETTINGS_FILE) {
        error = std::string("--pen-file: the driver's pen file is always named ") + PEN_SETTINGS_FILE + "; give " +
                folderOf(option) + "/" + PEN_SETTINGS_FILE + " or its folder";
        return false;
    }
    place.folder = folderOf(option);
    place.shown = option;
    return true;
}

bool enterPenFileFolder(const PenFilePlace& place, std::string& error) {
    if (place.folder.empty() || chdir(place.folder.c_str()) == 0) return true;
    error = "--pen-file: cannot use the folder " + place.folder + ": " + std::strerror(errno);
    return false;
}

PenFileCheck checkPenFile() {
    PenFileCheck check;
    struct stat info {};
    if (stat(PEN_SETTINGS_FILE, &info) != 0) return check;
    check.device = info.st_dev;
    check.inode = info.st_ino;
    check.modified = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    // The driver's own reader decides; the line is looked for only to tell
    // the user where.
    if (readPenSettingsFile() == 0) {
        check.state = PenFileState::Readable;
        return check;
    }
    check.state = PenFileState::Unreadable;
    check.problem = locateProblem();
    return check;
}

bool penFileRewritten(const PenFileCheck& before) {
    PenFileCheck now;
    struct stat info {};
    if (stat(PEN_SETTINGS_FILE, &info) != 0) return false;
    int64_t modified = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return before.state == PenFileState::Missing || info.st_ino != before.inode || info.st_dev != before.device ||
           modified != before.modified;
}

bool backUpPenFile(std::string& error) {
    std::string backup = std::string(PEN_SETTINGS_FILE) + ".bak";
    std::error_code ec;
    fs::copy_file(PEN_SETTINGS_FILE, backup, fs::copy_options::overwrite_existing, ec);
    if (ec) error = "cannot keep the pen settings file as " + backup + ": " + ec.message();
    return !ec;
}

void warnAboutPenFile(const PenFilePlace& place, const PenFileCheck& check, const std::string& configGiven,
                      const std::string& configAbsolute, bool configuring) {
    if (check.state == PenFileState::Unreadable) {
        std::string where = check.problem.empty() ? "" : " (" + check.problem + ")";
        std::fprintf(stderr, "tavix: warning: %s cannot be read%s: the driver uses the default pens%s\n",
                     place.shown.c_str(), where.c_str(),
                     configuring ? ("; this configuration writes them, and the old file is kept as " + place.shown +
                                    ".bak")
                                       .c_str()
                                 : "");
    }
    // A pen file beside a configuration kept elsewhere is not the driver's.
    auto beside = [](const std::string& config) {
        std::string folder = folderOf(config);
        return (folder == "/" ? "" : folder) + "/" + PEN_SETTINGS_FILE;
    };
    std::string besideConfig = beside(configGiven), besideAbsolute = beside(configAbsolute);
    std::error_code ec;
    if (!fs::exists(besideAbsolute, ec) || fs::equivalent(besideAbsolute, PEN_SETTINGS_FILE, ec)) return;
    const char* state = check.state == PenFileState::Missing      ? " (missing: default pens)"
                        : check.state == PenFileState::Unreadable ? " (unreadable: default pens)"
                                                                  : "";
    std::fprintf(stderr,
                 "tavix: warning: the driver reads its pens from %s%s, not from %s beside the configuration; "
                 "--pen-file %s uses that one\n",
                 place.shown.c_str(), state, besideConfig.c_str(), besideConfig.c_str());
}

}  // namespace tavix::host
