#include "modelProfile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "tavix/deviceSetup.h"
#include "tavix/driverState.h"
#include "tavix/penSettingsFile.h"
#include "tavix/settingsDefaults.h"
#include "tavix/tables.h"

namespace tavix::cups {
namespace {

constexpr double HALF_POINT = 0.5 / POINTS_PER_INCH;

// "ARCH E      48\" x 36\"        " -> "ARCH E": the name ends at the first
// run of two blanks.
std::string labelName(const char* label) {
    std::string text(label);
    size_t end = text.find("  ");
    text = text.substr(0, end);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// Blanks removed: a PPD keyword ("ARCH E" -> "ARCHE", "42 x 30" -> "42x30").
std::string keywordOf(const std::string& name) {
    std::string keyword;
    for (char c : name)
        if (c != ' ') keyword += c;
    return keyword;
}

// Runs of blanks folded into one, ends trimmed.
std::string folded(const char* label) {
    std::string text;
    for (const char* p = label; *p; ++p) {
        if (*p == ' ' && (text.empty() || text.back() == ' ')) continue;
        text += *p;
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// Papers whose size has a name of its own in PPDs: that name is the keyword.
struct StandardSize {
    int widthPoints, lengthPoints;
    const char* keyword;
};
constexpr StandardSize STANDARD_SIZES[] = {
    {612, 792, "Letter"},   {612, 1008, "Legal"},   {792, 1224, "Tabloid"}, {1224, 1584, "AnsiC"},
    {1584, 2448, "AnsiD"},  {2448, 3168, "AnsiE"},  {2160, 3024, "30x42"},
};

std::string standardKeyword(double widthInches, double lengthInches, const std::string& own) {
    for (const StandardSize& size : STANDARD_SIZES)
        if (std::lround(widthInches * POINTS_PER_INCH) == size.widthPoints &&
            std::lround(lengthInches * POINTS_PER_INCH) == size.lengthPoints)
            return size.keyword;
    return own;
}

bool isRollPaper(const PaperSize& row) {
    std::string name = labelName(row.inchLabel);
    return name.rfind("Long plot", 0) == 0 || name == "MAX";
}

// The driver's state is global: whatever is borrowed to read the tables is
// put back afterwards.
struct BorrowedState {
    DriverState saved = state;
    ~BorrowedState() { state = saved; }
};

}  // namespace

std::string ticketValue(const char* ticketLine) {
    std::string line(ticketLine);
    size_t eq = line.find('=');
    std::string value = eq == std::string::npos ? line : line.substr(eq + 1);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.pop_back();
    return value;
}

ModelProfile modelProfile(int index) {
    BorrowedState borrowed;
    ModelProfile profile;
    profile.index = index;
    const ModelEntry& model = modelEntry(index);
    profile.name = model.name;
    profile.optionOutput = model.optionOutput == 1;

    // The defaults as device initialisation applies them for this model.
    state.selectedModel = index;
    state.currentModel = index;
    applySettingsDefaults();
    profile.defaults = state.settings;
    profile.defaults.setModelIndex(index);

    // The margins of the plot margin in force by default (on).
    state.settings.set(flags::plotMargin, true);
    selectMargins();
    std::memcpy(profile.margins, state.hostMargins, sizeof profile.margins);

    const PaperSize* list = shippedPaperList(model);
    std::memcpy(state.languageCode, "en", 3);  // inch labels carry the names
    int count = paperCount(list);
    for (int i = 0; i < count; ++i) {
        const PaperSize& row = list[i];
        PaperChoice choice;
        choice.paperSize = i + 1;
        std::string name = labelName(row.inchLabel);
        choice.text = folded(row.metricLabel);
        // The page is portrait: its width is the paper's shorter side.
        choice.widthInches = std::min(row.width, row.height);
        choice.lengthInches = std::max(row.width, row.height);
        choice.keyword = standardKeyword(choice.widthInches, choice.lengthInches, keywordOf(name));
        (isRollPaper(row) ? profile.rolls : profile.papers).push_back(choice);
    }
    for (const OptionRow* row = trayTableFor(model); row->label[0] != '\0'; ++row)
        profile.trays.push_back(ticketValue(row->ticketLine));
    return profile;
}

const PaperChoice* paperForPage(const ModelProfile& profile, double widthInches,
                                double lengthInches, bool& isRoll) {
    isRoll = false;
    for (const PaperChoice& paper : profile.papers)
        if (std::fabs(paper.widthInches - widthInches) <= HALF_POINT &&
            std::fabs(paper.lengthInches - lengthInches) <= HALF_POINT)
            return &paper;
    const PaperChoice* best = nullptr;
    for (const PaperChoice& roll : profile.rolls) {
        if (widthInches > roll.widthInches + HALF_POINT || lengthInches > roll.lengthInches + HALF_POINT)
            continue;
        if (!best || roll.lengthInches < best->lengthInches) best = &roll;
    }
    isRoll = best != nullptr;
    return best;
}

int divisorForPaper(const ModelProfile& profile, const PaperChoice& paper, bool plotMargin) {
    const double* m = profile.margins;
    double x = paper.lengthInches, y = paper.widthInches;
    if (plotMargin) {
        x = x - m[1] - m[0];
        y = y - m[3] - m[2];
    }
    return resolutionDivisor(x, y);
}

}  // namespace tavix::cups
