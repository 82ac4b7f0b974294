// What the CUPS side needs to know of one printer model, read from the
// driver's own tables so that the PPDs and the filter cannot drift from the
// driver: its name, its default settings block, its papers with their
// printable areas, its trays and whether it takes the Option output.
#pragma once

#include <string>
#include <vector>

#include "tavix/plotSettings.h"
#include "tavix/tableTypes.h"

namespace tavix::cups {

constexpr double POINTS_PER_INCH = 72.0;

// One paper of the model's list as CUPS sees it: a portrait page whose
// width runs across the roll (the paper's short side H) and whose length
// runs along the feed (the long side W, the driver's X axis).
struct PaperChoice {
    int paperSize = 0;       // 1-based row of the model's paper list
    std::string keyword;     // PPD keyword, from the row's inch label
    std::string text;        // what the user reads, from the metric label
    double widthInches = 0;  // across the roll
    double lengthInches = 0; // along the feed
};

struct ModelProfile {
    int index = 0;            // model row, 0..4
    std::string name;         // "TX-90-TAVIX E"
    bool optionOutput = false;
    PlotSettings defaults{};  // the driver's defaults for this model
    std::vector<PaperChoice> papers;  // fixed sizes
    std::vector<PaperChoice> rolls;   // long plots and MAX, shortest first
    double margins[4] = {};   // inches with the plot margin on: 0, 1 along W; 2, 3 along H
    std::vector<std::string> trays;   // tray keywords in table order ("Auto", "Tray1", ...)
};

// The profile of model row `index` (0..4).
ModelProfile modelProfile(int index);

// The value of a ticket line "Key=Value\r\n": "Value".
std::string ticketValue(const char* ticketLine);

// The paper a page of width x length inches prints on: the fixed size of
// those dimensions (within half a point), else the shortest roll paper that
// holds it. Null when no paper of the model holds the page.
const PaperChoice* paperForPage(const ModelProfile& profile, double widthInches,
                                double lengthInches, bool& isRoll);

// The resolution divisor of a paper: the driver's steps per inch are
// 1016 / divisor.
int divisorForPaper(const ModelProfile& profile, const PaperChoice& paper, bool plotMargin);

}  // namespace tavix::cups
