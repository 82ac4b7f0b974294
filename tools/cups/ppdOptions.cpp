#include "ppdOptions.h"

#include "tavix/tables.h"

namespace tavix::cups {
namespace {

std::vector<OptionChoice> onOff(const char* offText, const char* onText) {
    return {{"Off", offText, 0}, {"On", onText, 1}};
}

// Choices from an option table of the driver: the keyword is the value of
// the row's ticket line, the text ours (the table's labels are Japanese).
std::vector<OptionChoice> tableChoices(const OptionRow* table, const std::vector<std::string>& texts) {
    std::vector<OptionChoice> choices;
    for (int i = 0; table[i].label[0] != '\0'; ++i) {
        std::string keyword = ticketValue(table[i].ticketLine);
        std::string text = i < static_cast<int>(texts.size()) ? texts[static_cast<size_t>(i)] : keyword;
        choices.push_back({keyword, text, i});
    }
    return choices;
}

const std::vector<std::string> MEDIA_TEXTS = {"Not specified", "Plain paper", "Tracing paper", "Film"};
const std::vector<std::string> PLACEMENT_TEXTS = {"Top left",    "Top centre",   "Top right",
                                                  "Middle left", "Centre",       "Middle right",
                                                  "Bottom left", "Bottom centre", "Bottom right"};

std::string trayText(const std::string& keyword) {
    if (keyword == "Auto") return "Automatic";
    if (keyword == "SheetPaper") return "Manual feed";
    if (keyword.rfind("Tray", 0) == 0) return "Feeder " + keyword.substr(4);
    return keyword;
}

}  // namespace

std::vector<PrinterOption> printerOptions(const ModelProfile& profile) {
    std::vector<PrinterOption> options;
    options.push_back({"ColorModel", "Output colour", "General", Setting::ColorMode,
                       {{"Gray", "Monochrome (400 dpi)", 0}, {"RGB", "Colour (300 dpi)", 1}}});
    options.push_back({"TavixToneMode", "Raster tones", "General", Setting::RasterContone,
                       {{"Dithered", "Dithered by the driver", 0}, {"ContinuousTone", "Continuous tone", 1}}});
    options.push_back({"TavixFill", "Polygon fill", "General", Setting::FillStyle,
                       {{"Black", "Black", 0}, {"HalfTone", "Half-tone", 1}}});
    options.push_back({"TavixPlotMargin", "Plot margin", "General", Setting::PlotMargin,
                       onOff("Off (whole paper)", "On")});
    if (!profile.optionOutput) return options;

    options.push_back({"TavixOutput", "Output mode", "General", Setting::OutputOption,
                       {{"Standard", "Standard", 0}, {"Option", "Option (job ticket)", 1}}});
    const std::string ticket = "Job ticket";
    options.push_back({"MediaType", "Media type", ticket, Setting::MediaType,
                       tableChoices(mediaTypeTable, MEDIA_TEXTS)});
    PrinterOption trays{"InputSlot", "Tray", ticket, Setting::Tray, {}};
    for (size_t i = 0; i < profile.trays.size(); ++i)
        trays.choices.push_back({profile.trays[i], trayText(profile.trays[i]), static_cast<int>(i)});
    options.push_back(trays);
    options.push_back({"TavixCut", "Cut mode", ticket, Setting::FormatCut,
                       {{"FormatCut", "Format cut", 0}, {"SynchronousCut", "Synchronous cut", 1}}});
    options.push_back({"TavixMirror", "Mirror image", ticket, Setting::Mirror, onOff("Off", "On")});
    options.push_back({"TavixInvert", "Black and white inverted", ticket, Setting::Invert, onOff("Off", "On")});
    options.push_back({"TavixCentering", "Centering", ticket, Setting::Centering, onOff("Off", "On")});
    PrinterOption density{"TavixDensity", "Density", ticket, Setting::Density, {}};
    for (int d = 1; d <= 64; ++d) density.choices.push_back({std::to_string(d), std::to_string(d), d});
    options.push_back(density);
    options.push_back({"TavixOrientation", "Drawing orientation", ticket, Setting::Orientation,
                       {{"Landscape", "Landscape", 0}, {"Portrait", "Portrait", 1}}});
    options.push_back({"TavixTextStamp", "Stamp", ticket, Setting::StampOn, onOff("Off", "On")});
    options.push_back({"TavixStampMode", "Stamp mode", ticket, Setting::StampMode,
                       {{"Opaque", "Opaque", 0}, {"Transparent", "Transparent", 1}}});
    options.push_back({"TavixDateStamp", "Date and time in the stamp", ticket, Setting::DateStamp,
                       onOff("Off", "On")});
    options.push_back({"TavixStampPosition", "Stamp position", ticket, Setting::StampPosition,
                       tableChoices(stampPlacementTable, PLACEMENT_TEXTS)});
    PrinterOption sizes{"TavixStampFontSize", "Stamp font size", ticket, Setting::StampFontSize,
                        tableChoices(stampFontSizeTable, {})};
    for (OptionChoice& c : sizes.choices) c.text += " points";
    options.push_back(sizes);
    return options;
}

namespace {
const SettingsFlag* flagOf(Setting setting) {
    switch (setting) {
        case Setting::ColorMode: return &flags::colorMode;
        case Setting::RasterContone: return &flags::rasterContone;
        case Setting::FillStyle: return &flags::fillStyle;
        case Setting::PlotMargin: return &flags::plotMargin;
        case Setting::OutputOption: return &flags::outputOption;
        case Setting::FormatCut: return &flags::formatCut;
        case Setting::Mirror: return &flags::mirror;
        case Setting::Invert: return &flags::invert;
        case Setting::Centering: return &flags::centering;
        case Setting::Orientation: return &flags::orientation;
        case Setting::StampOn: return &flags::stampOn;
        case Setting::StampMode: return &flags::stampMode;
        case Setting::DateStamp: return &flags::dateStamp;
        default: return nullptr;
    }
}
}  // namespace

int settingValue(const PlotSettings& s, Setting setting) {
    if (const SettingsFlag* flag = flagOf(setting)) return s.get(*flag) ? 1 : 0;
    switch (setting) {
        case Setting::MediaType: return s.mediaType();
        case Setting::Tray: return s.tray();
        case Setting::Density: return s.density();
        case Setting::StampPosition: return s.stampPosition();
        case Setting::StampFontSize: return s.stampFontSize();
        default: return 0;
    }
}

void applySetting(PlotSettings& s, Setting setting, int value) {
    if (const SettingsFlag* flag = flagOf(setting)) {
        s.set(*flag, value != 0);
        return;
    }
    auto v16 = static_cast<int16_t>(value);
    switch (setting) {
        case Setting::MediaType: s.setMediaType(v16); break;
        case Setting::Tray: s.setTray(v16); break;
        case Setting::Density: s.setDensity(v16); break;
        case Setting::StampPosition: s.setStampPosition(v16); break;
        case Setting::StampFontSize: s.setStampFontSize(v16); break;
        default: break;
    }
}

const OptionChoice* choiceFor(const PrinterOption& option, const PlotSettings& settings) {
    int value = settingValue(settings, option.setting);
    for (const OptionChoice& choice : option.choices)
        if (choice.value == value) return &choice;
    return nullptr;
}

void keepDialogInvariants(PlotSettings& settings) {
    if (settings.get(flags::colorMode)) settings.set(flags::fillStyle, false);
}

PlotSettings queueDefaults(const ModelProfile& profile) {
    PlotSettings settings = profile.defaults;
    settings.set(flags::colorMode, true);
    keepDialogInvariants(settings);
    return settings;
}

}  // namespace tavix::cups
