#include "namedPlotStyles.h"

#include "dxfModel.h"
#include "groupStream.h"

namespace tavix::dxf {

void NamedStyleScanner::finishRecord() {
    switch (kind) {
        case Kind::Layer:
            if (!style.empty()) layerStyles[upperCase(name)] = style;
            break;
        case Kind::Entity:
            if (named) lineStyles[recordLine] = {upperCase(layer), style};
            break;
        case Kind::Dictionary:
            if (!handle.empty()) dictionaries[handle] = std::move(entries);
            break;
        default: break;
    }
    kind = Kind::Other;
}

void NamedStyleScanner::onGroup(const Group& g, const std::string& section) {
    if (g.code == 0) {
        finishRecord();
        handle.clear(), name.clear(), style.clear(), entryName.clear(), entries.clear();
        layer.clear(), layer.push_back('0');  // (GCC 12 warns wrongly of an overlap on = "0")
        recordLine = g.line - 1;
        std::string_view what = g.value;
        if (section == "TABLES" && what == "LAYER") kind = Kind::Layer;
        else if (section == "OBJECTS" && (what == "DICTIONARY" || what == "ACDBDICTIONARYWDFLT")) kind = Kind::Dictionary;
        else if ((section == "ENTITIES" || section == "BLOCKS") && what != "SECTION" && what != "ENDSEC")
            kind = Kind::Entity;
        return;
    }
    if (section == "HEADER") {
        if (g.code == 9) headerVariable = std::string(g.value);
        else if (headerVariable == "$PSTYLEMODE") named = g.number == 0;
        return;
    }
    if (g.code >= 1000) return;
    switch (g.code) {
        case 5: handle = upperCase(g.value); break;
        case 2: name = std::string(g.value); break;
        case 8: layer = std::string(g.value); break;
        case 390: style = upperCase(g.value); break;
        case 3: entryName = std::string(g.value); break;
        case 350:
        case 360:
            if (kind == Kind::Dictionary && !entryName.empty() && entries.size() < 100000)
                entries[upperCase(g.value)] = entryName;
            break;
        default: break;
    }
}

std::string NamedStyleScanner::styleOfLine(int line) const {
    auto entity = lineStyles.find(line);
    std::string handle;
    if (entity != lineStyles.end()) {
        handle = entity->second.second;
        if (handle.empty()) {
            auto layerStyle = layerStyles.find(entity->second.first);
            if (layerStyle != layerStyles.end()) handle = layerStyle->second;
        }
    }
    // The names of the placeholders are entries of a dictionary of the objects.
    if (!handle.empty())
        for (const auto& [dictionary, names] : dictionaries) {
            auto found = names.find(handle);
            if (found != names.end()) return found->second;
        }
    return "Normal";
}

NamedStyleSink::NamedStyleSink(const NamedStyleScanner& styles, const PlotStyleTable& table, PenMap& pens,
                               PrimitiveSink& target)
    : styles(styles), pens(pens), target(target) {
    for (const PlotStyle& s : table.styles) byName.emplace(upperCase(s.name), &s);
}

void NamedStyleSink::choose(const LineLook& look) {
    auto found = byName.find(upperCase(styles.styleOfLine(look.line)));
    if (found == byName.end()) {
        ++unknownStyles;
        found = byName.find("NORMAL");
    }
    PenChoice choice{look.colour >= 1 && look.colour <= 255 ? look.colour : 7, -1};
    if (found != byName.end()) choice = penOfStyle(*found->second, look.colour);
    pens.assign(look.colour, choice);
}

bool NamedStyleSink::stroke(const LineLook& look, const geometry::Polyline& points, double slack, std::string& why) {
    choose(look);
    return target.stroke(look, points, slack, why);
}

bool NamedStyleSink::fill(const LineLook& look, const std::vector<geometry::Polyline>& loops, std::string& why) {
    choose(look);
    return target.fill(look, loops, why);
}

bool NamedStyleSink::image(const LineLook& look, const std::string& file, const geometry::Polyline& corners,
                           std::string& why) {
    choose(look);
    return target.image(look, file, corners, why);
}

bool usesLineweights(const PlotStyleTable& table) {
    for (const PlotStyle& s : table.styles)
        if (s.lineweightMm > 0) return true;
    return false;
}

void reportNamedStyles(const NamedStyleScanner& styles, int unknown, std::vector<std::string>& warnings) {
    if (!styles.namedMode())
        warnings.push_back("the drawing gives its colours their plot styles ($PSTYLEMODE is not 0): every entity "
                           "takes the named table's Normal style");
    if (unknown > 0)
        warnings.push_back(std::to_string(unknown) + " lines and fills have a plot style the table does not have: "
                           "drawn in its Normal style");
}

}  // namespace tavix::dxf
