// `tavix configure`: a configuration run as the CAD host makes it (49, 50,
// 11, 20, 21, 47). Every choice is carried out as a user's actions in the
// driver's own dialogs, so it passes the dialogs' rules.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tavix::host {

struct ConfigureOptions {
    std::string configPath;
    bool defaults = false;  // start from the model's defaults (request 21 asks for them)

    // Model selection dialog.
    std::optional<std::string> model;
    // Device setting dialog.
    std::optional<std::string> paper, margin, output, fill, colour, lineEnd;
    std::optional<std::string> copies;
    // Option setting dialog.
    std::optional<std::string> media, tray, cut, mirror, centering, invert, stamp, orientation,
        penSetting, density;
    // Stamp setting dialog.
    std::optional<std::string> stampPosition, stampFontSize, stampMode, dateStamp, stampOffsetX,
        stampOffsetY, drawName, comment;
    // Pen setting dialog: "PENS=VALUE", PENS as 5, 1-10 or 1,3,5.
    std::vector<std::string> penGray, penWidth;
    bool defaultPens = false;

    std::string penFile;  // --pen-file: run the driver beside this tavixdrv.def
    bool show = false;    // print the settings, change nothing
};

void addConfigureOptions(CLI::App& command, ConfigureOptions& options);

// Returns the exit status; a refused value is reported with the dialog's
// warning text and nothing is saved.
int runConfigureCommand(const ConfigureOptions& options);

}  // namespace tavix::host
