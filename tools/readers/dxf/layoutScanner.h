// The paper-space layouts of a drawing, gathered from the groups as the
// reader passes them: each LAYOUT object with its plot settings, the
// VIEWPORT entities of every paper space, and the handles that tie them
// together (block records, layers, clipping entities).
#pragma once

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "dxfModel.h"

namespace tavix::dxf {

struct Group;

struct Viewport {
    int line = 0;                    // line of the file where it begins
    std::string space;               // upper-case name of the paper-space block it is in
    std::string layer = "0";
    int colour = COLOUR_BYLAYER;
    Point2 centre;                   // on the sheet (paper-space units)
    double width = 0, height = 0;    // on the sheet
    Point2 viewCentre;               // of model space, in view coordinates
    Point2 target;                   // of model space: the view's origin
    double viewDirectionX = 0, viewDirectionY = 0, viewDirectionZ = 1;
    double viewHeight = 0;           // of model space shown
    double twist = 0;                // degrees
    int id = 0;                      // 1: the sheet's own view, not drawn
    int status = 1;                  // 0 or less: off
    long long flags = 0;             // bit 0x10000: clipped by `clipHandle`
    std::string clipHandle;          // upper case
    std::vector<std::string> frozenLayerHandles;  // upper case
    bool clippedByEntity() const { return (flags & 0x10000) != 0 && !clipHandle.empty(); }
};

struct Layout {
    std::string name;
    std::string blockRecord;         // handle of its paper-space block record, upper case
    std::string space;               // upper-case name of that block ("*PAPER_SPACE", "*PAPER_SPACE0", ...)
    int tabOrder = 0;
    int line = 0;
    // Plot settings.
    std::string paperName, plotStyleTable;  // groups 4 and 7
    double paperWidth = 0, paperHeight = 0; // mm, as the printer sees the sheet (44, 45)
    double marginLeft = 0, marginBottom = 0, marginRight = 0, marginTop = 0;  // 40..43
    Point2 origin;                   // plot origin offset, mm (46, 47)
    Point2 windowMin, windowMax;     // plot window (48, 49, 140, 141)
    double numerator = 1, denominator = 1;  // paper units per drawing unit (142, 143)
    double standardFactor = 0;       // 147: the standard scale's factor, when 70 flag 16 says it is used
    int plotFlags = 0;               // 70: 4 centred, 16 standard scale
    int paperUnits = 1;              // 72: 0 inches, 1 mm
    int plotRotation = 0;            // 73
    int plotType = 5;                // 74: 1 extents, 2 limits, 4 window, 5 layout
    int standardScale = 16;          // 75: 0 fit, 16 1:1
    Point2 limitsMin, limitsMax;     // the sheet (10, 20, 11, 21)
    bool fitted() const { return (plotFlags & 16) != 0 && standardScale == 0; }
    // Paper units per drawing unit, or 0 when the layout gives none that is usable.
    double scale() const {
        double s = (plotFlags & 16) != 0 && standardFactor > 0 ? standardFactor : numerator / denominator;
        return std::isfinite(s) && s > 0 ? s : 0;
    }
    bool isModel() const { return space == "*MODEL_SPACE" || upperCase(name) == "MODEL"; }
};

class LayoutScanner {
public:
    void onGroup(const Group& g, const std::string& section);
    // After the read: layouts tied to their blocks, in tab order.
    std::vector<Layout> layouts() const;
    const std::vector<Viewport>& viewports() const { return viewportList; }
    // The line an entity with `handle` began on; 0 when none has it.
    int lineOfHandle(const std::string& handle) const;
    // The paper-space block the entity beginning on `line` is in; empty when none.
    std::string spaceOfLine(int line) const;
    // The layer whose handle this is (upper case); empty when none.
    std::string layerOfHandle(const std::string& handle) const;

private:
    void finishRecord();

    enum class Kind { Other, Layout, Viewport, BlockRecord, Layer, Block, Entity } kind = Kind::Other;
    std::string subclass;            // the last group 100
    std::string handle, name;        // groups 5 and 2 of the record
    int recordLine = 0;
    bool paperFlag = false;          // group 67
    Layout layout;
    Viewport viewport;
    std::string currentBlock;        // BLOCKS section: the block being read, upper case
    std::vector<Layout> layoutList;
    std::vector<Viewport> viewportList;
    std::map<std::string, std::string> blockRecordNames;  // handle to upper-case name
    std::map<std::string, std::string> layerNames;        // handle to name
    std::map<std::string, int> handleLines;                // paper-space entity handle to its line
    std::map<int, std::string> lineSpaces;                 // paper-space entity line to its block
};

}  // namespace tavix::dxf
