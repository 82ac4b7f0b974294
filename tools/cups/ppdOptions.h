// The printer options a PPD offers and how each choice sets the driver's
// settings block. One table serves both sides: the PPD writer lists it, and
// the filter applies the choices marked for a job, so the two cannot drift.
#pragma once

#include <string>
#include <vector>

#include "modelProfile.h"
#include "tavix/plotSettings.h"

namespace tavix::cups {

// The settings block field an option sets.
enum class Setting {
    ColorMode,      // colorMode
    RasterContone,  // rasterContone
    FillStyle,      // fillStyle
    PlotMargin,     // plotMargin
    OutputOption,   // outputOption
    MediaType,      // mediaType
    Tray,           // tray
    FormatCut,      // formatCut
    Mirror,         // mirror
    Invert,         // invert
    Centering,      // centering
    Density,        // density
    Orientation,    // orientation
    StampOn,        // stampOn
    StampMode,      // stampMode
    DateStamp,      // dateStamp
    StampPosition,  // stampPosition
    StampFontSize,  // stampFontSize
};

struct OptionChoice {
    std::string keyword;
    std::string text;
    int value;  // the field's value (0/1 for a flag, else the index or number)
};

struct PrinterOption {
    std::string keyword;  // PPD main keyword
    std::string text;
    std::string group;    // "General" or "Job ticket"
    Setting setting;
    std::vector<OptionChoice> choices;
};

// The options model `profile` offers, in the order the PPD lists them. The
// job ticket's options come only with models that take the Option output.
std::vector<PrinterOption> printerOptions(const ModelProfile& profile);

// The field's value in a settings block, and setting it.
int settingValue(const PlotSettings& settings, Setting setting);
void applySetting(PlotSettings& settings, Setting setting, int value);

// The choice whose value the block holds (the PPD's default), or null.
const OptionChoice* choiceFor(const PrinterOption& option, const PlotSettings& settings);

// The invariant the device dialog keeps: colour output fills polygons black.
void keepDialogInvariants(PlotSettings& settings);

// The defaults a queue starts from (the PPD's): the driver's, but in colour.
// Every model prints colour, and a queue prints what the page shows unless
// the job asks for monochrome; the driver's own default (monochrome, as its
// device dialog opens) would print every job gray.
PlotSettings queueDefaults(const ModelProfile& profile);

}  // namespace tavix::cups
