#include "jobSettings.h"

#include <cups/cups.h>
#include <strings.h>

#include <cstdlib>

#include "ppdOptions.h"

// The PPD functions are the filter interface's own, deprecated or not.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace tavix::cups {
namespace {

constexpr char OWN_PREFIX[] = "Tavix";

const PrinterOption* findOption(const std::vector<PrinterOption>& options, const char* name) {
    for (const PrinterOption& option : options)
        if (strcasecmp(option.keyword.c_str(), name) == 0) return &option;
    return nullptr;
}

const OptionChoice* findChoice(const PrinterOption& option, const char* keyword) {
    for (const OptionChoice& choice : option.choices)
        if (strcasecmp(choice.keyword.c_str(), keyword) == 0) return &choice;
    return nullptr;
}

// Checks every job option that names one of ours.
bool checkJobOptions(const std::vector<PrinterOption>& ours, int count, cups_option_t* options,
                     std::string& error) {
    for (int i = 0; i < count; ++i) {
        const char* name = options[i].name;
        const char* value = options[i].value;
        const PrinterOption* option = findOption(ours, name);
        if (!option) {
            if (strncasecmp(name, OWN_PREFIX, sizeof OWN_PREFIX - 1) == 0) {
                error = std::string("Unknown option \"") + name + "\" for this printer.";
                return false;
            }
            continue;  // another filter's option, or CUPS's own
        }
        if (!findChoice(*option, value)) {
            error = std::string("Unknown value \"") + value + "\" for option " + option->keyword + ".";
            return false;
        }
    }
    return true;
}

}  // namespace

bool modelOfPpd(ppd_file_t* ppd, int& model, std::string& error) {
    model = ppd->model_number;
    if (model < 0 || model > 4 || !ppd->modelname || modelProfile(model).name != ppd->modelname) {
        error = "The PPD file is not one of this driver's (model number " + std::to_string(ppd->model_number) + ").";
        return false;
    }
    return true;
}

bool jobSettings(ppd_file_t* ppd, const ModelProfile& profile, const char* options, const char* copies,
                 PlotSettings& settings, std::string& error) {
    std::vector<PrinterOption> ours = printerOptions(profile);
    cups_option_t* parsed = nullptr;
    int count = cupsParseOptions(options ? options : "", 0, &parsed);
    bool ok = checkJobOptions(ours, count, parsed, error);
    if (ok) {
        ppdMarkDefaults(ppd);
        cupsMarkOptions(ppd, count, parsed);
    }
    cupsFreeOptions(count, parsed);
    if (!ok) return false;

    settings = profile.defaults;
    for (const PrinterOption& option : ours) {
        ppd_choice_t* marked = ppdFindMarkedChoice(ppd, option.keyword.c_str());
        if (!marked) continue;
        const OptionChoice* choice = findChoice(option, marked->choice);
        if (!choice) {
            error = std::string("The PPD's choice \"") + marked->choice + "\" for option " + option.keyword +
                    " is not one this driver knows.";
            return false;
        }
        applySetting(settings, option.setting, choice->value);
    }
    keepDialogInvariants(settings);

    char* end = nullptr;
    long n = std::strtol(copies ? copies : "", &end, 10);
    if (!copies || end == copies || *end != '\0' || n < 1 || n > MAX_COPIES) {
        error = std::string("The printer makes 1 to 999 copies, not \"") + (copies ? copies : "") + "\".";
        return false;
    }
    settings.setCopies(static_cast<int32_t>(n));
    return true;
}

}  // namespace tavix::cups
