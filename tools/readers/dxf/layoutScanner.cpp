#include "layoutScanner.h"

#include <algorithm>
#include <cmath>

#include "groupStream.h"

namespace tavix::dxf {
namespace {

bool isPaperBlock(const std::string& upperName) { return upperName.rfind("*PAPER_SPACE", 0) == 0; }

// A count or choice group; anything outside a 32-bit integer is 0.
long long whole(double v) { return std::isfinite(v) && std::fabs(v) < 2147483648.0 ? static_cast<long long>(v) : 0; }

}  // namespace

void LayoutScanner::finishRecord() {
    switch (kind) {
        case Kind::Layout:
            if (!layout.name.empty()) layoutList.push_back(layout);
            break;
        case Kind::BlockRecord:
            if (!handle.empty()) blockRecordNames[handle] = upperCase(name);
            break;
        case Kind::Layer:
            if (!handle.empty()) layerNames[handle] = name;
            break;
        case Kind::Viewport:
        case Kind::Entity: {
            // Entities of the active layout are in ENTITIES, marked by group 67;
            // those of the other layouts in their own blocks.
            std::string space = currentBlock.empty() ? (paperFlag ? "*PAPER_SPACE" : "") : currentBlock;
            if (!isPaperBlock(space)) break;
            if (!handle.empty()) handleLines[handle] = recordLine;
            lineSpaces[recordLine] = space;
            if (kind == Kind::Viewport) {
                viewport.space = space;
                viewport.line = recordLine;
                viewportList.push_back(viewport);
            }
            break;
        }
        default: break;
    }
    kind = Kind::Other;
}

void LayoutScanner::onGroup(const Group& g, const std::string& section) {
    if (g.code == 0) {
        finishRecord();
        std::string_view what = g.value;
        subclass.clear(), handle.clear(), name.clear();
        paperFlag = false;
        recordLine = g.line - 1;
        if (section == "OBJECTS" && what == "LAYOUT") {
            kind = Kind::Layout;
            layout = Layout{};
            layout.line = recordLine;
        } else if (section == "TABLES" && what == "BLOCK_RECORD") {
            kind = Kind::BlockRecord;
        } else if (section == "TABLES" && what == "LAYER") {
            kind = Kind::Layer;
        } else if (section == "BLOCKS" && what == "BLOCK") {
            kind = Kind::Block;
        } else if (section == "BLOCKS" && what == "ENDBLK") {
            currentBlock.clear();
        } else if ((section == "ENTITIES" || section == "BLOCKS") && what == "VIEWPORT") {
            kind = Kind::Viewport;
            viewport = Viewport{};
        } else if ((section == "ENTITIES" || section == "BLOCKS") && what != "SECTION" && what != "ENDSEC" &&
                   what != "EOF") {
            kind = Kind::Entity;
        }
        return;
    }
    if (g.code == 100) subclass = std::string(g.value);
    if (g.code >= 1000) return;  // extended data belongs to applications
    std::string value(g.value);
    switch (kind) {
        case Kind::Other: return;
        case Kind::Block:
            if (g.code == 2) currentBlock = upperCase(value);
            return;
        case Kind::BlockRecord:
        case Kind::Layer:
        case Kind::Entity:
            if (g.code == 5) handle = upperCase(value);
            if (g.code == 2) name = value;
            if (g.code == 67) paperFlag = g.number != 0;
            return;
        case Kind::Viewport: {
            Viewport& v = viewport;
            switch (g.code) {
                case 5: handle = upperCase(value); break;
                case 8: v.layer = value; break;
                case 62: v.colour = g.number >= 0 && g.number <= 256 ? static_cast<int>(g.number) : COLOUR_BYLAYER; break;
                case 67: paperFlag = g.number != 0; break;
                case 10: v.centre.x = g.number; break;
                case 20: v.centre.y = g.number; break;
                case 40: v.width = g.number; break;
                case 41: v.height = g.number; break;
                case 12: v.viewCentre.x = g.number; break;
                case 22: v.viewCentre.y = g.number; break;
                case 16: v.viewDirectionX = g.number; break;
                case 26: v.viewDirectionY = g.number; break;
                case 36: v.viewDirectionZ = g.number; break;
                case 17: v.target.x = g.number; break;
                case 27: v.target.y = g.number; break;
                case 45: v.viewHeight = g.number; break;
                case 51: v.twist = g.number; break;
                case 68: v.status = static_cast<int>(whole(g.number)); break;
                case 69: v.id = static_cast<int>(whole(g.number)); break;
                case 90: v.flags = whole(g.number); break;
                case 340: v.clipHandle = upperCase(value); break;
                case 331:
                    if (v.frozenLayerHandles.size() < 100000) v.frozenLayerHandles.push_back(upperCase(value));
                    break;
                default: break;
            }
            return;
        }
        case Kind::Layout: {
            Layout& l = layout;
            bool inLayout = subclass == "AcDbLayout";
            if (inLayout) {
                switch (g.code) {
                    case 1: l.name = value; break;
                    case 71: l.tabOrder = static_cast<int>(whole(g.number)); break;
                    case 10: l.limitsMin.x = g.number; break;
                    case 20: l.limitsMin.y = g.number; break;
                    case 11: l.limitsMax.x = g.number; break;
                    case 21: l.limitsMax.y = g.number; break;
                    case 330: l.blockRecord = upperCase(value); break;
                    default: break;
                }
                return;
            }
            if (subclass != "AcDbPlotSettings") return;
            switch (g.code) {
                case 4: l.paperName = value; break;
                case 7: l.plotStyleTable = value; break;
                case 40: l.marginLeft = g.number; break;
                case 41: l.marginBottom = g.number; break;
                case 42: l.marginRight = g.number; break;
                case 43: l.marginTop = g.number; break;
                case 44: l.paperWidth = g.number; break;
                case 45: l.paperHeight = g.number; break;
                case 46: l.origin.x = g.number; break;
                case 47: l.origin.y = g.number; break;
                case 48: l.windowMin.x = g.number; break;
                case 49: l.windowMin.y = g.number; break;
                case 140: l.windowMax.x = g.number; break;
                case 141: l.windowMax.y = g.number; break;
                case 142: l.numerator = g.number; break;
                case 143: l.denominator = g.number; break;
                case 147: l.standardFactor = g.number; break;
                case 70: l.plotFlags = static_cast<int>(whole(g.number)); break;
                case 72: l.paperUnits = static_cast<int>(whole(g.number)); break;
                case 73: l.plotRotation = static_cast<int>(whole(g.number)); break;
                case 74: l.plotType = static_cast<int>(whole(g.number)); break;
                case 75: l.standardScale = static_cast<int>(whole(g.number)); break;
                default: break;
            }
            return;
        }
    }
}

std::vector<Layout> LayoutScanner::layouts() const {
    std::vector<Layout> out = layoutList;
    for (Layout& l : out) {
        auto block = blockRecordNames.find(l.blockRecord);
        if (block != blockRecordNames.end()) l.space = block->second;
    }
    std::stable_sort(out.begin(), out.end(), [](const Layout& a, const Layout& b) { return a.tabOrder < b.tabOrder; });
    return out;
}

int LayoutScanner::lineOfHandle(const std::string& h) const {
    auto found = handleLines.find(upperCase(h));
    return found != handleLines.end() ? found->second : 0;
}

std::string LayoutScanner::spaceOfLine(int line) const {
    auto found = lineSpaces.find(line);
    return found != lineSpaces.end() ? found->second : std::string();
}

std::string LayoutScanner::layerOfHandle(const std::string& h) const {
    auto found = layerNames.find(upperCase(h));
    return found != layerNames.end() ? found->second : std::string();
}

}  // namespace tavix::dxf
