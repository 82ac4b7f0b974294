#include "jobSettings.h"

#include <cups/cups.h>
#include <strings.h>

#include <cstdlib>

#include "pdfPrintOption.h"
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

// The PPD's default choice of `keyword`, for the message.
std::string defaultChoice(ppd_file_t* ppd, const std::string& keyword) {
    ppd_option_t* option = ppdFindOption(ppd, keyword.c_str());
    return option && option->defchoice[0] ? option->defchoice : "the default";
}

// A paper the PPD lists, or a custom size (which the page's own size then
// checks against the rolls).
bool offeredPaper(ppd_file_t* ppd, const char* name, const char* value) {
    if (strncasecmp(value, "Custom.", 7) == 0) return true;
    ppd_option_t* option = ppdFindOption(ppd, name);
    return option && ppdFindChoice(option, value);
}

// Checks every job option that names one of ours. A value the PPD does not
// offer, or an option of ours that does not exist, changes nothing the
// printer does with the media: it is left out with a warning, and the PPD's
// default prints. A paper the PPD does not offer is refused: CUPS would
// render the page on the default paper instead.
bool checkJobOptions(ppd_file_t* ppd, const std::vector<PrinterOption>& ours, int count, cups_option_t* options,
                     std::vector<std::string>& warnings, std::string& error) {
    for (int i = 0; i < count; ++i) {
        const char* name = options[i].name;
        const char* value = options[i].value;
        if ((strcasecmp(name, "PageSize") == 0 || strcasecmp(name, "PageRegion") == 0) &&
            !offeredPaper(ppd, name, value)) {
            error = std::string("This printer has no paper \"") + value +
                    "\" (lpoptions -l lists its papers); nothing was printed.";
            return false;
        }
        const PrinterOption* option = findOption(ours, name);
        if (!option && strcasecmp(name, PDF_PRINT_OPTION) == 0) {
            if (strcasecmp(value, PDF_AS_VECTORS) != 0 && strcasecmp(value, PDF_AS_RASTER) != 0)
                warnings.push_back(std::string("Unknown value \"") + value + "\" for option " + PDF_PRINT_OPTION +
                                   "; printed with " + defaultChoice(ppd, PDF_PRINT_OPTION) + ".");
            continue;  // the PDF filter's own choice
        }
        if (!option) {
            if (strncasecmp(name, OWN_PREFIX, sizeof OWN_PREFIX - 1) == 0)
                warnings.push_back(std::string("Unknown option \"") + name + "\" for this printer ignored.");
            continue;  // another filter's option, or CUPS's own
        }
        if (!findChoice(*option, value))
            warnings.push_back(std::string("Unknown value \"") + value + "\" for option " + option->keyword +
                               "; printed with " + defaultChoice(ppd, option->keyword) + ".");
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
                 PlotSettings& settings, std::vector<std::string>& warnings, std::string& error) {
    std::vector<PrinterOption> ours = printerOptions(profile);
    cups_option_t* parsed = nullptr;
    int count = cupsParseOptions(options ? options : "", 0, &parsed);
    bool ok = checkJobOptions(ppd, ours, count, parsed, warnings, error);
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
        error = std::string("The printer makes 1 to 999 copies, not \"") + (copies ? copies : "") +
                "\"; nothing was printed.";
        return false;
    }
    settings.setCopies(static_cast<int32_t>(n));
    return true;
}

}  // namespace tavix::cups
