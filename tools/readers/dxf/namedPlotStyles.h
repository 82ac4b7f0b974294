// Named plot styles (.stb tables): in a drawing that uses them
// ($PSTYLEMODE 0), each entity or its layer names its style through a
// handle (group 390) into the dictionary ACAD_PLOTSTYLENAME. The groups are
// gathered as the reader passes them; the sink then draws each primitive in
// the pen its entity's style gives its colour.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "plotStyleTable.h"
#include "primitives.h"

namespace tavix::dxf {

struct Group;

class NamedStyleScanner {
public:
    void onGroup(const Group& g, const std::string& section);
    bool namedMode() const { return named; }
    // The style name of the entity that begins on `line` (its own, else
    // its layer's); "Normal" when neither names one.
    std::string styleOfLine(int line) const;

private:
    void finishRecord();
    enum class Kind { Other, Layer, Entity, Dictionary } kind = Kind::Other;
    bool named = false;
    std::string headerVariable;
    int recordLine = 0;
    std::string handle, name, layer = "0", style, entryName;
    std::map<std::string, std::string> entries;                       // of the dictionary being read
    std::map<std::string, std::map<std::string, std::string>> dictionaries;  // handle to name to handle
    std::map<std::string, std::string> layerStyles;                   // upper-case layer name to style handle
    std::map<int, std::pair<std::string, std::string>> lineStyles;    // entity line to layer and style handle
};

// Sets the pen of each primitive's colour from its entity's named style,
// then hands it on; `pens` is the map the target draws with.
class NamedStyleSink : public PrimitiveSink {
public:
    NamedStyleSink(const NamedStyleScanner& styles, const PlotStyleTable& table, PenMap& pens, PrimitiveSink& target);
    bool stroke(const LineLook& look, const geometry::Polyline& points, double slack, std::string& why) override;
    bool fill(const LineLook& look, const std::vector<geometry::Polyline>& loops, std::string& why) override;
    bool wipe(const geometry::Polyline& boundary, std::string& why) override { return target.wipe(boundary, why); }
    bool image(const LineLook& look, const std::string& file, const geometry::Polyline& corners,
               std::string& why) override;
    int unknownStyles = 0;   // primitives whose style the table lacks (drawn as Normal)

private:
    void choose(const LineLook& look);
    const NamedStyleScanner& styles;
    std::map<std::string, const PlotStyle*> byName;  // upper case
    PenMap& pens;
    PrimitiveSink& target;
};

// Whether any style of the table sets a lineweight: the plot then sends widths throughout.
bool usesLineweights(const PlotStyleTable& table);

// The warnings of a plot with a named table: a drawing that does not use
// named styles, styles the table lacks.
void reportNamedStyles(const NamedStyleScanner& styles, int unknown, std::vector<std::string>& warnings);

}  // namespace tavix::dxf
