#include "settingsListing.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "paperChoice.h"
#include "platform/native/codePage.h"
#include "tavix/driverState.h"
#include "tavix/penSettingsFile.h"
#include "tavix/plotSettings.h"
#include "tavix/settingsDefaults.h"
#include "tavix/tables.h"

namespace tavix::host {
namespace {

constexpr int MODEL_COUNT = 5;

std::string modelName(int model) {
    const ModelEntry& entry = modelEntry(model);
    return std::string(entry.name, strnlen(entry.name, sizeof entry.name));
}

const char* onOff(bool on) { return on ? "on" : "off"; }

}  // namespace

bool sameWord(const std::string& given, const char* word) {
    if (given.size() != std::strlen(word)) return false;
    for (size_t i = 0; i < given.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(given[i])) != word[i]) return false;
    return true;
}

const std::vector<std::pair<const char*, int>>& modelWords() {
    static const std::vector<std::pair<const char*, int>> words = {
        {"tx90", 0}, {"tx70", 1}, {"tx30", 2}, {"lumen-q1", 3}, {"tx-series", 4},
        {"0", 0},    {"1", 1},    {"2", 2},    {"3", 3},        {"4", 4}};
    return words;
}

void addPapersOptions(CLI::App& c, ListingOptions& o) {
    std::vector<std::string> names;
    for (int i = 0; i < MODEL_COUNT; ++i) names.emplace_back(modelWords()[static_cast<size_t>(i)].first);
    c.add_option("--model", o.model, "Model: tx90, tx70, tx30, lumen-q1 or tx-series")
        ->check(CLI::IsMember(names, CLI::ignore_case))
        ->capture_default_str();
}

int listModels() {
    for (int i = 0; i < MODEL_COUNT; ++i)
        std::printf("%-11s%s\n", modelWords()[static_cast<size_t>(i)].first, modelName(i).c_str());
    return 0;
}

int listPapers(const ListingOptions& options) {
    int model = 0;
    for (const auto& [word, row] : modelWords())
        if (sameWord(options.model, word)) model = row;
    std::vector<std::string> labels = modelPaperLabels(model);
    std::vector<int> rows;
    for (size_t i = 0; i < labels.size(); ++i) rows.push_back(static_cast<int>(i));
    std::printf("Papers of %s (--paper takes the row number or the label):%s\n", modelName(model).c_str(),
                paperList(labels, rows).c_str());
    return 0;
}

void showSettings(const HostConfig& config, const std::string& penFileShown) {
    PlotSettings s;
    std::memcpy(s.bytes, config.block.data(), sizeof s.bytes);
    int model = s.modelIndex() >= 0 && s.modelIndex() < MODEL_COUNT ? s.modelIndex() : 0;
    std::vector<std::string> papers = modelPaperLabels(model);
    int paper = s.paperSize() - 1;
    static const char* const lineEnds[] = {"butt", "square", "triangular", "rounded"};
    std::printf("model:      %s\n", modelName(model).c_str());
    std::printf("paper:      %s\n", paper >= 0 && paper < static_cast<int>(papers.size())
                                        ? paperDescription(papers[static_cast<size_t>(paper)]).c_str()
                                        : "(none of the model's papers)");
    std::printf("plot area:  %.3f x %.3f in (%.1f x %.1f mm), %g steps per inch\n", config.plotWidth,
                config.plotHeight, config.plotWidth * 25.4, config.plotHeight * 25.4, config.stepsPerInch);
    std::printf("copies:     %d\n", s.copies());
    std::printf("margin:     %s\n", onOff(s.get(flags::plotMargin)));
    std::printf("output:     %s\n", s.get(flags::outputOption) ? "option (with a job ticket)" : "standard");
    std::printf("colour:     %s\n", s.get(flags::colorMode) ? "colour" : "monochrome");
    std::printf("fill:       %s\n", s.get(flags::fillStyle) ? "halftone" : "black");
    std::printf("line end:   %s\n", s.lineEnd() >= 0 && s.lineEnd() < 4 ? lineEnds[s.lineEnd()] : "rounded");
    std::printf("density:    %d\n", s.density());
    std::printf("mirror:     %s, invert: %s, centering: %s\n", onOff(s.get(flags::mirror)),
                onOff(s.get(flags::invert)), onOff(s.get(flags::centering)));
    std::printf("stamp:      %s\n", onOff(s.get(flags::stampOn)));
    // The stamp's settings are kept while the stamp is off: shown all the same.
    static const char* const positions[] = {"top-left", "top",         "top-right", "left",        "centre",
                                            "right",    "bottom-left", "bottom",    "bottom-right"};
    static const int fontSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    int position = s.stampPosition(), fontSize = s.stampFontSize();
    std::printf("  position: %s, font size: %s, mode: %s, date and time: %s, orientation: %s\n",
                position >= 0 && position < 9 ? positions[position] : "(unknown)",
                fontSize >= 0 && fontSize < 16 ? (std::to_string(fontSizes[fontSize]) + " pt").c_str() : "(unknown)",
                s.get(flags::stampMode) ? "transparent" : "opaque", onOff(s.get(flags::dateStamp)),
                s.get(flags::orientation) ? "portrait" : "landscape");
    std::printf("  offset:   %.2f mm across, %.2f mm along\n", static_cast<double>(s.stampOffsetX()),
                static_cast<double>(s.stampOffsetY()));
    std::printf("pen table:  %s (sent with the job: %s)\n", penFileShown.c_str(), onOff(s.get(flags::penSettingOn)));
    // The pens as the driver will read them; its defaults when it cannot.
    if (readPenSettingsFile() != 0) {
        applyPenDefaults();
        std::printf("            (cannot be read: the default pens)\n");
    }
    // The stamp texts live in the pen file beside the pens.
    std::printf("  drawing name: \"%s\"\n", native::cp932ToUtf8(state.drawName).c_str());
    std::printf("  comment:      \"%s\"\n", native::cp932ToUtf8(state.comment).c_str());
    // Runs of equal pens on one line: the 255 pens are mostly alike.
    for (int first = 1; first <= PEN_COUNT;) {
        const PenEntry& e = state.penTable[first - 1];
        int last = first;
        while (last < PEN_COUNT && state.penTable[last].penWidth == e.penWidth &&
               state.penTable[last].penGray == e.penGray)
            ++last;
        std::string pens = first == last ? "pen " + std::to_string(first)
                                         : "pens " + std::to_string(first) + "-" + std::to_string(last);
        std::printf("%-12s width %.3f mm, gray %d\n", (pens + ":").c_str(), static_cast<double>(e.penWidth),
                    e.penGray);
        first = last + 1;
    }
}

}  // namespace tavix::host
