#include "dxfReader.h"

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include <cmath>
#include <istream>
#include <memory>
#include <optional>
#include <set>

#include "dimensionGeometry.h"
#include "drawingText.h"
#include "groupStream.h"
#include "leaderGeometry.h"
#include "imageGeometry.h"
#include "mlineGeometry.h"
#include "multileaderGeometry.h"
#include "wipeoutGeometry.h"
#include "rawEntity.h"
#include "meshEdges.h"

namespace tavix::dxf {

std::string upperCase(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

namespace {

const std::set<std::string, std::less<>> DRAWN_KINDS = {
    "LINE", "POINT", "CIRCLE", "ARC", "ELLIPSE", "LWPOLYLINE", "POLYLINE", "SPLINE", "SOLID", "TRACE",
    "3DFACE", "HATCH", "INSERT", "DIMENSION", "TEXT", "MTEXT", "ATTRIB", "ATTDEF", "RAY", "XLINE", "LEADER", "MLINE", "WIPEOUT",
    "ARC_DIMENSION", "LARGE_RADIAL_DIMENSION", "ACAD_TABLE", "MULTILEADER", "MLEADER", "IMAGE"};
// Kinds dxflib does not read, kept as their groups and drawn from them.
const std::set<std::string, std::less<>> RAW_KINDS = {"LEADER", "MLINE", "WIPEOUT", "ARC_DIMENSION",
                                                      "LARGE_RADIAL_DIMENSION", "ACAD_TABLE", "MULTILEADER", "MLEADER", "IMAGE"};
// Kinds drawn through the block they name (group 2), as the CAD host draws them.
const std::set<std::string, std::less<>> BLOCK_DRAWN_KINDS = {"ARC_DIMENSION", "LARGE_RADIAL_DIMENSION", "ACAD_TABLE"};
constexpr size_t MAX_RAW_GROUPS = 4000000;
// Parts of other entities, or definitions that are not drawn themselves.
const std::set<std::string, std::less<>> STRUCTURE = {"VERTEX", "SEQEND", "BLOCK", "ENDBLK", "ENDSEC",
                                                      "SECTION", "EOF"};

// A flag or choice group's value; anything outside a 16-bit integer is 0.
int smallInt(double v) { return v >= -32768 && v <= 32767 ? static_cast<int>(v) : 0; }

// An attribute definition, which dxflib does not read: in model space the
// CAD host shows its tag as text.
struct AttributeDefinition {
    std::string layer = "0", tag, textStyle;
    int colour = COLOUR_BYLAYER, flags = 0, alignH = 0, alignV = 0;
    double x = 0, y = 0, alignX = 0, alignY = 0, height = 0, widthFactor = 1, rotation = 0, oblique = 0;
    bool aligned = false;  // group 11 given
};

// A DIMENSION's groups as they pass: the definition, the style's name and
// the overrides in its extended data (application ACAD, "DSTYLE" { code value ... }).
struct DimensionReading {
    DimensionDefinition definition;
    std::string styleName = "Standard", rawText;
    DimensionStyle overrides;
    enum class Xdata { Outside, Acad, Named, Open } xdata = Xdata::Outside;
    int overrideCode = -1;  // the variable whose value comes next
};

struct DimensionStyleEntry {
    std::string name;
    DimensionStyle style;
};

// Values dxflib does not hand on, kept per entity from the groups as they pass.
// A STYLE table entry as its groups pass: its name and font.
struct TextStyleEntry {
    std::string name;
    TextStyleFont font;
    bool inAcadData = false;  // extended data of the application ACAD
};

struct EntityExtras {
    std::string kind;
    int line = 0;
    std::string styleName;          // TEXT, ATTRIB, ATTDEF, MTEXT group 7
    std::unique_ptr<TextStyleEntry> textStyle;  // a STYLE table entry
    std::string blockName;          // DIMENSION group 2
    double oblique = 0;             // TEXT group 51
    double constantWidth = 0;       // LWPOLYLINE group 43
    double startWidth = 0, endWidth = 0;  // POLYLINE and VERTEX groups 40, 41
    bool startGiven = false, endGiven = false;  // VERTEX groups 40, 41 present
    std::vector<SegmentWidths> vertexWidths;    // LWPOLYLINE groups 40, 41 per vertex
    bool paperSpace = false;        // group 67
    bool plots = true;              // LAYER group 290
    int attributeFlags = 0;         // ATTRIB group 70
    int faceFlags = 0;              // 3DFACE group 70: invisible edges
    std::string section;            // the section the entity is in
    double extrusionZ = 1;          // group 230
    std::vector<HatchPatternLine> pattern;
    std::unique_ptr<AttributeDefinition> definition;  // ATTDEF
    bool patternStarted = false;    // HATCH group 78 seen
    // HATCH boundary paths given as polylines, which dxflib does not hand on.
    std::vector<Entity> polylinePaths;
    bool inPolylinePath = false;
    long long pathVerticesLeft = 0;
    // Group 1 as written (dxflib gets long lines shortened).
    std::string text;
    // MTEXT's own groups: files of AutoCAD 2018 repeat position, direction
    // and size after group 101 for an embedded object, which are not the text's.
    bool isMText = false;
    bool embeddedObject = false;
    std::string mtextChunks;        // groups 3
    Point2 at;                      // groups 10, 20
    double height = 2.5, boxWidth = 0, rotation = 0, lineSpacing = 1;  // 40, 41, 50, 44
    Point2 direction;               // groups 11, 21
    bool hasDirection = false;
    int attachment = 1;             // 71
    // VERTEX: its flags (70) and, for a polyface face, its vertex indices (71 to 74).
    int vertexFlags = 0;
    std::array<int, 4> faceIndices{};
    // DIMENSION: its definition, to rebuild it when it comes without a block.
    std::unique_ptr<DimensionReading> dimension;
    // A DIMSTYLE table entry.
    std::unique_ptr<DimensionStyleEntry> dimensionStyle;
    // The groups of an entity of RAW_KINDS.
    std::unique_ptr<RawGroups> raw;
};

class Reader : public DL_CreationAdapter {
public:
    Reader(GroupStream& g, DxfTables& t, const EntityHandler& h, DxfReadReport& r, const ReadHooks& k)
        : groups(g), tables(t), handler(h), report(r), hooks(k) {
        groups.onGroup = [this](const Group& group) { onGroup(group); };
        if (tables.layers.empty()) {
            tables.layers.push_back(Layer{"0"});
            tables.layerIndex["0"] = 0;
        }
    }

    void finish() {
        flushPending();
        // Multiline styles are objects, after the entities: the multilines get theirs now.
        for (const auto& [blockName, shape] : multilines) {
            auto style = multilineStyles.find(upperCase(shape.styleName));
            if (style != multilineStyles.end()) tables.blocks[blockName] = mlineBlock(shape, &style->second);
        }
        // And the images their files, which name themselves in objects too.
        for (const auto& [blockName, image] : images) {
            auto file = imageFiles.find(upperCase(image.definition));
            tables.blocks[blockName] = imageBlock(image, file != imageFiles.end() ? file->second : std::string());
        }
        // So do the wipeouts their frames, which the objects may switch.
        if (tables.wipeoutFrame == 1 || tables.wipeoutFrame == -1)
            for (const auto& [blockName, boundary] : wipeouts) tables.blocks[blockName] = wipeoutBlock(boundary, true);
        if (groups.failed()) return;
        if (badEscapes > 0)
            report.warnings.push_back(firstBadEscape + ": drawn as a box" +
                                      (badEscapes > 1 ? " (and in " + std::to_string(badEscapes - 1) +
                                                            " more texts escapes of no character)"
                                                      : std::string()));
        if (!blockStack.empty()) groups.fail("the block " + blockStack.back() + " has no end (ENDBLK)");
    }

    // Tables and header.
    void addLayer(const DL_LayerData& d) override {
        flushPending();
        const DL_Attributes a = getAttributes();
        Layer layer;
        layer.name = d.name;
        layer.colour = a.getColor() == 0 ? 7 : std::abs(a.getColor());
        layer.trueColour = a.getColor24();
        layer.off = d.off || a.getColor() < 0;
        layer.frozen = (d.flags & 1) != 0;
        layer.plots = completed.plots;
        layer.linetype = linetypeOf(a.getLinetype(), LINETYPE_CONTINUOUS);
        layer.lineweight = a.getWidth() >= 0 ? a.getWidth() : LINEWEIGHT_DEFAULT;
        std::string key = upperCase(d.name);
        auto found = tables.layerIndex.find(key);
        if (found != tables.layerIndex.end()) {
            tables.layers[found->second] = layer;
        } else {
            tables.layerIndex[key] = static_cast<int>(tables.layers.size());
            tables.layers.push_back(layer);
        }
    }

    void addLinetype(const DL_LinetypeData& d) override {
        flushPending();
        // dxflib hands the dashes of an entry over before the entry itself.
        std::vector<double> dashes = std::move(pendingDashes);
        pendingDashes.clear();
        std::string key = upperCase(d.name);
        if (key == "BYLAYER" || key == "BYBLOCK") return;
        auto found = tables.linetypeIndex.find(key);
        if (found == tables.linetypeIndex.end()) {
            found = tables.linetypeIndex.emplace(key, static_cast<int>(tables.linetypes.size())).first;
            tables.linetypes.push_back(Linetype{d.name, {}});
        }
        tables.linetypes[found->second].pattern = key == "CONTINUOUS" ? std::vector<double>{} : std::move(dashes);
    }

    void addLinetypeDash(double length) override {
        if (pendingDashes.size() < 64) pendingDashes.push_back(length);
    }

    void setVariableString(const std::string& key, const std::string& value, int) override {
        if (key == "$DWGCODEPAGE") tables.codepage = value;
        if (key == "$ACADVER") utf8Text = value >= "AC1021";
        if (int code = dimensionVariableCode(key)) tables.headerDimensionStyle.texts[code] = value;
    }
    void setVariableInt(const std::string& key, int value, int) override {
        if (key == "$INSUNITS") tables.insunits = value;
        if (key == "$LWDEFAULT" && value >= 0 && value <= 211) tables.lwdefault = value;
        if (key == "$WIPEOUTFRAME" && value >= 0 && value <= 2) tables.wipeoutFrame = value;
        if (int code = dimensionVariableCode(key)) tables.headerDimensionStyle.numbers[code] = value;
    }
    void setVariableDouble(const std::string& key, double value, int) override {
        if (key == "$LTSCALE" && value > 0) tables.ltscale = value;
        if (int code = dimensionVariableCode(key)) tables.headerDimensionStyle.numbers[code] = value;
    }

    // Blocks.
    void addBlock(const DL_BlockData& d) override {
        flushPending();
        std::string key = upperCase(d.name);
        blockStack.push_back(d.name);
        // Paper-space layouts are not part of the model-space plot.
        if (key.rfind("*PAPER_SPACE", 0) == 0 || key.rfind("*MODEL_SPACE", 0) == 0) {
            currentBlock = nullptr;
            skippingLayout = true;
            return;
        }
        Block& b = tables.blocks[key];
        b.name = d.name;
        b.base = {d.bpx, d.bpy};
        b.entities.clear();
        currentBlock = &b;
    }

    void endBlock() override {
        flushPending();
        if (!blockStack.empty()) blockStack.pop_back();
        currentBlock = nullptr;
        skippingLayout = false;
    }

    // Entities.
    void addPoint(const DL_PointData& d) override {
        Entity& e = begin(EntityKind::Point);
        e.vertices = {{d.x, d.y, 0}};
        flushPending();
    }
    void addLine(const DL_LineData& d) override {
        Entity& e = begin(EntityKind::Line);
        e.vertices = {{d.x1, d.y1, 0}, {d.x2, d.y2, 0}};
        flushPending();
    }
    void addRay(const DL_RayData& d) override { ray(d, false); }
    void addXLine(const DL_XLineData& d) override { ray(d, true); }
    template <typename Data>
    void ray(const Data& d, bool bothWays) {
        Entity& e = begin(EntityKind::Ray);
        e.vertices = {{d.bx, d.by, 0}, {d.bx + d.dx, d.by + d.dy, 0}};
        e.closed = bothWays;
        flushPending();
    }
    void addCircle(const DL_CircleData& d) override {
        Entity& e = begin(EntityKind::Circle);
        e.centre = {d.cx, d.cy};
        e.radius = d.radius;
        flushPending();
    }
    void addArc(const DL_ArcData& d) override {
        Entity& e = begin(EntityKind::Arc);
        e.centre = {d.cx, d.cy};
        e.radius = d.radius;
        e.startAngle = d.angle1;
        e.endAngle = d.angle2;
        flushPending();
    }
    void addEllipse(const DL_EllipseData& d) override {
        Entity& e = begin(EntityKind::Ellipse);
        e.centre = {d.cx, d.cy};
        e.majorAxis = {d.mx, d.my};
        e.ratio = d.ratio;
        e.startAngle = d.angle1;
        e.endAngle = d.angle2;
        flushPending();
    }
    void addPolyline(const DL_PolylineData& d) override {
        Entity& e = begin(EntityKind::Polyline);
        // Polyface and polygon meshes (flags 64, 16) plot their edges.
        if ((d.flags & (16 | 64)) != 0) {
            mesh = std::make_unique<Mesh>();
            mesh->polyface = (d.flags & 64) != 0;
            mesh->m = static_cast<int>(d.m);
            mesh->n = static_cast<int>(d.n);
            mesh->closedM = (d.flags & 1) != 0;
            mesh->closedN = (d.flags & 32) != 0;
            return;
        }
        e.closed = (d.flags & 1) != 0;
        e.width = completed.kind == "LWPOLYLINE" ? completed.constantWidth
                  : completed.startWidth == completed.endWidth ? completed.startWidth : 0;
        e.width = std::fabs(e.width);
        polylineWidths = {completed.startWidth, completed.endWidth};
    }
    void addVertex(const DL_VertexData& d) override {
        if (!pending || pending->kind != EntityKind::Polyline) return;
        if (mesh) return meshVertex(d);
        if (pending->vertices.size() >= MAX_POINTS) return tooMany("vertices");
        // Widths: a lightweight polyline's per vertex, an old-style vertex's
        // own or else its polyline's defaults.
        SegmentWidths w = polylineWidths;
        if (completed.kind == "LWPOLYLINE") {
            size_t i = pending->vertices.size();
            w = i < completed.vertexWidths.size() ? completed.vertexWidths[i] : SegmentWidths{};
        } else if (completed.kind == "VERTEX") {
            if (completed.startGiven) w.start = completed.startWidth;
            if (completed.endGiven) w.end = completed.endWidth;
        }
        w = {std::fabs(w.start), std::fabs(w.end)};
        bool widths = w.start != 0 || w.end != 0 || !pending->vertexWidths.empty();
        if (widths) pending->vertexWidths.resize(pending->vertices.size());
        pending->vertices.push_back({d.x, d.y, d.bulge});
        if (widths) pending->vertexWidths.push_back(w);
    }
    void addSpline(const DL_SplineData& d) override {
        Entity& e = begin(EntityKind::Spline);
        e.degree = static_cast<int>(d.degree);
        e.closed = (d.flags & 1) != 0;
        e.periodic = (d.flags & 2) != 0;
        auto finite = [](double v) { return std::isfinite(v) ? v : 0.0; };
        e.startTangent = {finite(d.tangentStartX), finite(d.tangentStartY)};
        e.endTangent = {finite(d.tangentEndX), finite(d.tangentEndY)};
    }
    void addControlPoint(const DL_ControlPointData& d) override {
        if (!pending || pending->kind != EntityKind::Spline) return;
        if (pending->controlPoints.size() >= MAX_POINTS) return tooMany("control points");
        pending->controlPoints.push_back({d.x, d.y});
        pending->weights.push_back(d.w);
    }
    void addFitPoint(const DL_FitPointData& d) override {
        if (!pending || pending->kind != EntityKind::Spline) return;
        if (pending->fitPoints.size() >= MAX_POINTS) return tooMany("fit points");
        pending->fitPoints.push_back({d.x, d.y});
    }
    void addKnot(const DL_KnotData& d) override {
        if (!pending || pending->kind != EntityKind::Spline) return;
        if (pending->knots.size() >= MAX_POINTS) return tooMany("knots");
        pending->knots.push_back(d.k);
    }
    void addSolid(const DL_SolidData& d) override { corners(d, true); }
    void addTrace(const DL_TraceData& d) override { corners(d, true); }
    void add3dFace(const DL_3dFaceData& d) override { corners(d, false); }

    void addInsert(const DL_InsertData& d) override {
        Entity& e = begin(EntityKind::Insert);
        e.blockName = d.name;
        e.insertion = {d.ipx, d.ipy};
        e.scaleX = d.sx;
        e.scaleY = d.sy;
        e.rotation = d.angle;
        e.columns = std::max(1, d.cols);
        e.rows = std::max(1, d.rows);
        e.columnSpacing = d.colSp;
        e.rowSpacing = d.rowSp;
        if (static_cast<long long>(e.columns) * e.rows > MAX_ARRAY) {
            groups.fail("the INSERT array of " + std::to_string(e.columns) + " x " + std::to_string(e.rows) +
                            " copies is too large (at most " + std::to_string(MAX_ARRAY) + ")",
                        e.line);
            pending.reset();
            return;
        }
        flushPending();
    }

    void dimension() {
        Entity& e = begin(EntityKind::Dimension);
        e.blockName = completed.blockName;
        if (completed.dimension && !tables.blocks.count(upperCase(e.blockName))) {
            DimensionReading& r = *completed.dimension;
            if (!decodeText(r.rawText, r.definition.text, false)) return;
            r.definition.style = styleOf(r);
            Block rebuilt = blocklessDimension(r.definition);
            if (!rebuilt.entities.empty()) {
                // A name no drawing's block can have.
                e.rebuiltBlock = "<dimension of line " + std::to_string(e.line) + ">";
                rebuilt.name = e.rebuiltBlock;
                tables.blocks[e.rebuiltBlock] = std::move(rebuilt);
            }
        }
        flushPending();
    }
    void addDimAlign(const DL_DimensionData&, const DL_DimAlignedData&) override { dimension(); }
    void addDimLinear(const DL_DimensionData&, const DL_DimLinearData&) override { dimension(); }
    void addDimRadial(const DL_DimensionData&, const DL_DimRadialData&) override { dimension(); }
    void addDimDiametric(const DL_DimensionData&, const DL_DimDiametricData&) override { dimension(); }
    void addDimAngular(const DL_DimensionData&, const DL_DimAngular2LData&) override { dimension(); }
    void addDimAngular3P(const DL_DimensionData&, const DL_DimAngular3PData&) override { dimension(); }
    void addDimOrdinate(const DL_DimensionData&, const DL_DimOrdinateData&) override { dimension(); }

    void addText(const DL_TextData& d) override { text(d); }
    void addAttribute(const DL_AttributeData& d) override {
        // Invisible attributes (flag 1) are not plotted.
        if ((completed.attributeFlags & 1) != 0) return;
        text(d);
    }

    // From the groups kept, not dxflib's values, which take the embedded
    // object's and read group 50 as radians.
    void addMText(const DL_MTextData&) override {
        Entity& e = begin(EntityKind::MText);
        const EntityExtras& m = completed;
        e.textStyle = m.styleName;
        if (!decodeText(m.mtextChunks + m.text, e.text, false)) return;
        e.insertion = m.at;
        e.height = m.height;
        e.boxWidth = m.boxWidth;
        e.attachment = m.attachment;
        // The direction, when given, wins over the rotation (degrees).
        e.rotation = m.hasDirection && (m.direction.x != 0 || m.direction.y != 0)
                         ? std::atan2(m.direction.y, m.direction.x) * 180.0 / M_PI
                         : m.rotation;
        e.lineSpacing = m.lineSpacing > 0 ? m.lineSpacing : 1;
        flushPending();
    }

    void addHatch(const DL_HatchData& d) override {
        Entity& e = begin(EntityKind::Hatch);
        e.solidFill = d.solid;
        e.pattern = completed.pattern;
        for (Entity& path : completed.polylinePaths) {
            if (path.vertices.size() < 2) continue;
            e.loops.emplace_back();
            e.loops.back().edges.push_back(std::move(path));
        }
        pathLoops = e.loops.size();
    }
    void addHatchLoop(const DL_HatchLoopData&) override {
        if (!pending || pending->kind != EntityKind::Hatch) return;
        if (pending->loops.size() >= MAX_POINTS) return tooMany("boundary paths");
        pending->loops.emplace_back();
    }
    void addHatchEdge(const DL_HatchEdgeData& d) override {
        if (!pending || pending->kind != EntityKind::Hatch || pending->loops.size() <= pathLoops) return;
        std::vector<Entity>& edges = pending->loops.back().edges;
        if (edges.size() >= MAX_POINTS) return tooMany("boundary edges");
        Entity edge;
        switch (d.type) {
            case 1:
                edge.kind = EntityKind::Line;
                edge.vertices = {{d.x1, d.y1, 0}, {d.x2, d.y2, 0}};
                break;
            case 2:
                edge.kind = EntityKind::Arc;
                edge.centre = {d.cx, d.cy};
                edge.radius = d.radius;
                edge.startAngle = d.angle1 * 180.0 / M_PI;
                edge.endAngle = d.angle2 * 180.0 / M_PI;
                edge.clockwise = !d.ccw;
                break;
            case 3:
                edge.kind = EntityKind::Ellipse;
                edge.centre = {d.cx, d.cy};
                edge.majorAxis = {d.mx, d.my};
                edge.ratio = d.ratio;
                // Boundary ellipses give angles from the major axis, not parameters.
                edge.startAngle = std::atan2(std::sin(d.angle1) / d.ratio, std::cos(d.angle1));
                edge.endAngle = std::atan2(std::sin(d.angle2) / d.ratio, std::cos(d.angle2));
                if (std::fabs(d.angle2 - d.angle1) >= 2 * M_PI) edge.endAngle = edge.startAngle;
                edge.clockwise = !d.ccw;
                break;
            case 4:
                edge.kind = EntityKind::Spline;
                edge.degree = static_cast<int>(d.degree);
                edge.periodic = d.periodic;
                edge.knots = d.knots;
                edge.weights = d.weights;
                for (const auto& p : d.controlPoints)
                    if (p.size() >= 2) edge.controlPoints.push_back({p[0], p[1]});
                for (const auto& p : d.fitPoints)
                    if (p.size() >= 2) edge.fitPoints.push_back({p[0], p[1]});
                break;
            default: return;
        }
        edges.push_back(std::move(edge));
    }

private:
    static constexpr size_t MAX_POINTS = 1000000;
    static constexpr long long MAX_ARRAY = 1000000;

    void tooMany(const char* what) {
        groups.fail(std::string("the ") + (pending ? kindName : "entity") + " has more than " +
                        std::to_string(MAX_POINTS) + " " + what,
                    pending ? pending->line : 0);
        pending.reset();
    }

    void onGroup(const Group& g) {
        if (hooks.group) hooks.group(g, groups.section());
        if (g.code == 0) {
            countIfSkipped(current);
            if (isFaceRecord(current) && mesh->points.size() + mesh->faces.size() < MAX_POINTS)
                mesh->faces.push_back(current.faceIndices);
            if (current.definition) attributeDefinition(current);
            if (current.raw) rawEntity(current);
            if (current.textStyle && !current.textStyle->name.empty())
                tables.textStyles[upperCase(current.textStyle->name)] = current.textStyle->font;
            if (current.dimensionStyle && !current.dimensionStyle->name.empty())
                tables.dimensionStyles[upperCase(current.dimensionStyle->name)] = current.dimensionStyle->style;
            completed = std::move(current);
            current = EntityExtras{};
            current.kind = std::string(g.value);
            current.isMText = current.kind == "MTEXT";
            current.line = g.line - 1;
            current.section = groups.section();
            if (current.kind == "ATTDEF") current.definition = std::make_unique<AttributeDefinition>();
            if (current.kind == "DIMENSION" || current.kind == "LEADER")
                current.dimension = std::make_unique<DimensionReading>();
            if ((RAW_KINDS.count(current.kind) && (current.section == "ENTITIES" || current.section == "BLOCKS")) ||
                current.kind == "MLINESTYLE" || current.kind == "IMAGEDEF")
                current.raw = std::make_unique<RawGroups>();
            if (current.kind == "DIMSTYLE" && current.section == "TABLES")
                current.dimensionStyle = std::make_unique<DimensionStyleEntry>();
            if (current.kind == "STYLE" && current.section == "TABLES")
                current.textStyle = std::make_unique<TextStyleEntry>();
            return;
        }
        EntityExtras& e = current;
        if (e.definition) definitionGroup(*e.definition, g);
        if (e.isMText && mtextGroup(g)) return;
        if (e.raw && e.raw->size() < MAX_RAW_GROUPS) e.raw->push_back({g.code, std::string(g.value), g.number});
        if (e.dimension && dimensionGroup(*e.dimension, g)) return;
        if (e.dimensionStyle) dimensionStyleGroup(*e.dimensionStyle, g);
        if (e.textStyle) textStyleGroup(*e.textStyle, g);
        if (g.code == 7 && (e.kind == "TEXT" || e.kind == "ATTRIB" || e.kind == "MTEXT")) e.styleName = std::string(g.value);
        if (g.code >= 70 && g.code <= 74 && e.kind == "VERTEX") {
            if (g.code == 70) e.vertexFlags = static_cast<int>(g.number);
            else e.faceIndices[g.code - 71] = static_cast<int>(g.number);
            return;
        }
        switch (g.code) {
            case 1:
                if (e.kind == "TEXT" || e.kind == "ATTRIB" || e.kind == "ATTDEF") e.text = std::string(g.text);
                break;
            case 2: if (e.kind == "DIMENSION") e.blockName = std::string(g.value); break;
            case 51: if (e.kind == "TEXT" || e.kind == "ATTRIB") e.oblique = g.number; break;
            case 43:
                if (e.kind == "LWPOLYLINE") e.constantWidth = g.number;
                else if (e.kind == "HATCH" && !e.pattern.empty()) e.pattern.back().base.x = g.number;
                break;
            case 40:
                if (e.kind == "POLYLINE" || e.kind == "VERTEX") e.startWidth = g.number, e.startGiven = true;
                if (e.kind == "LWPOLYLINE" && !e.vertexWidths.empty()) e.vertexWidths.back().start = g.number;
                break;
            case 41:
                if (e.kind == "POLYLINE" || e.kind == "VERTEX") e.endWidth = g.number, e.endGiven = true;
                if (e.kind == "LWPOLYLINE" && !e.vertexWidths.empty()) e.vertexWidths.back().end = g.number;
                break;
            case 70:
                if (e.kind == "ATTRIB") e.attributeFlags = static_cast<int>(g.number);
                if (e.kind == "3DFACE") e.faceFlags = smallInt(g.number) & 15;
                if (e.kind == "WIPEOUTVARIABLES") tables.wipeoutFrame = g.number != 0 ? 1 : 0;
                break;
            case 67: e.paperSpace = g.number != 0; break;
            case 290: if (e.kind == "LAYER") e.plots = g.number != 0; break;
            case 230: e.extrusionZ = g.number; break;
            case 78: if (e.kind == "HATCH") e.patternStarted = true; break;
            case 92:
                if (e.kind == "HATCH" && !e.patternStarted) {
                    e.inPolylinePath = (static_cast<long long>(g.number) & 2) != 0;
                    e.pathVerticesLeft = 0;
                    if (e.inPolylinePath && e.polylinePaths.size() < MAX_POINTS) {
                        e.polylinePaths.emplace_back();
                        e.polylinePaths.back().kind = EntityKind::Polyline;
                        e.polylinePaths.back().closed = true;
                    } else {
                        e.inPolylinePath = false;
                    }
                }
                break;
            case 93:
                if (e.kind == "HATCH" && e.inPolylinePath && e.polylinePaths.back().vertices.empty())
                    e.pathVerticesLeft = static_cast<long long>(std::min<double>(g.number, MAX_POINTS));
                break;
            case 10:
                if (e.kind == "LWPOLYLINE" && e.vertexWidths.size() < MAX_POINTS) e.vertexWidths.emplace_back();
                if (e.kind == "HATCH" && e.inPolylinePath && e.pathVerticesLeft > 0)
                    e.polylinePaths.back().vertices.push_back({g.number, 0, 0});
                break;
            case 20:
                if (e.kind == "HATCH" && e.inPolylinePath && e.pathVerticesLeft > 0) {
                    e.polylinePaths.back().vertices.back().y = g.number;
                    --e.pathVerticesLeft;
                }
                break;
            case 42:
                if (e.kind == "HATCH" && e.inPolylinePath && !e.polylinePaths.back().vertices.empty())
                    e.polylinePaths.back().vertices.back().bulge = g.number;
                break;
            case 97: if (e.kind == "HATCH") e.inPolylinePath = false; break;
            case 53:
                if (e.kind == "HATCH" && e.patternStarted && e.pattern.size() < 1000) {
                    e.pattern.emplace_back();
                    e.pattern.back().angle = g.number;
                }
                break;
            case 44: if (e.kind == "HATCH" && !e.pattern.empty()) e.pattern.back().base.y = g.number; break;
            case 45: if (e.kind == "HATCH" && !e.pattern.empty()) e.pattern.back().offset.x = g.number; break;
            case 46: if (e.kind == "HATCH" && !e.pattern.empty()) e.pattern.back().offset.y = g.number; break;
            case 49:
                if (e.kind == "HATCH" && !e.pattern.empty() && e.pattern.back().dashes.size() < 64)
                    e.pattern.back().dashes.push_back(g.number);
                break;
            default: break;
        }
    }

    // True when the group is MTEXT's own (or the embedded object's, ignored).
    bool mtextGroup(const Group& g) {
        EntityExtras& e = current;
        if (g.code == 101) e.embeddedObject = true;
        if (e.embeddedObject) return true;
        switch (g.code) {
            case 1: e.text = std::string(g.text); break;
            case 3: e.mtextChunks += g.text; break;
            case 10: e.at.x = g.number; break;
            case 20: e.at.y = g.number; break;
            case 11: e.direction.x = g.number; e.hasDirection = true; break;
            case 21: e.direction.y = g.number; e.hasDirection = true; break;
            case 40: e.height = g.number; break;
            case 41: e.boxWidth = g.number; break;
            case 44: e.lineSpacing = g.number; break;
            case 50: e.rotation = g.number; break;
            case 71: e.attachment = static_cast<int>(g.number); break;
            default: return false;
        }
        return true;
    }

    static bool dimensionGroup(DimensionReading& r, const Group& g) {
        DimensionDefinition& d = r.definition;
        if (g.code >= 1000) {
            dimensionOverride(r, g);
            return true;
        }
        switch (g.code) {
            case 1: r.rawText = std::string(g.text); return true;
            case 3: r.styleName = std::string(g.value); return true;
            case 10: d.definition.x = g.number; return true;
            case 20: d.definition.y = g.number; return true;
            case 11: d.textMiddle.x = g.number, d.textPlaced = true; return true;
            case 21: d.textMiddle.y = g.number; return true;
            case 13: d.first.x = g.number; return true;
            case 23: d.first.y = g.number; return true;
            case 14: d.second.x = g.number; return true;
            case 24: d.second.y = g.number; return true;
            case 15: d.third.x = g.number; return true;
            case 25: d.third.y = g.number; return true;
            case 16: d.arc.x = g.number; return true;
            case 26: d.arc.y = g.number; return true;
            case 50: d.rotation = g.number; return true;
            case 70: d.type = smallInt(g.number) & 7; return false;
            default: return false;
        }
    }

    // The dimension variables a dimension overrides, in its extended data.
    static void dimensionOverride(DimensionReading& r, const Group& g) {
        using X = DimensionReading::Xdata;
        if (g.code == 1001) {
            r.xdata = g.value == "ACAD" ? X::Acad : X::Outside;
            return;
        }
        switch (r.xdata) {
            case X::Outside: return;
            case X::Acad:
                if (g.code == 1000 && g.value == "DSTYLE") r.xdata = X::Named;
                return;
            case X::Named:
                r.xdata = g.code == 1002 && g.value == "{" ? X::Open : X::Acad;
                return;
            case X::Open:
                if (g.code == 1002) {
                    r.xdata = X::Acad;
                } else if (r.overrideCode < 0) {
                    if (g.code == 1070) r.overrideCode = smallInt(g.number);
                } else {
                    if (g.code == 1000) r.overrides.texts[r.overrideCode] = std::string(g.text);
                    else if (g.code == 1040 || g.code == 1070 || g.code == 1071)
                        r.overrides.numbers[r.overrideCode] = g.number;
                    r.overrideCode = -1;
                }
                return;
        }
    }

    static void dimensionStyleGroup(DimensionStyleEntry& entry, const Group& g) {
        int c = g.code;
        if (c == 2) entry.name = std::string(g.value);
        else if (c == dim::POST || c == dim::ARROW_BLOCK) entry.style.texts[c] = std::string(g.text);
        else if ((c >= 40 && c <= 49) || (c >= 71 && c <= 79) || (c >= 140 && c <= 149) || (c >= 170 && c <= 179) ||
                 (c >= 270 && c <= 289))
            entry.style.numbers[c] = g.number;
    }

    static void textStyleGroup(TextStyleEntry& s, const Group& g) {
        switch (g.code) {
            case 2: s.name = std::string(g.value); break;
            case 3: s.font.file = std::string(g.value); break;
            case 4: s.font.bigFont = std::string(g.value); break;
            case 41: if (std::isfinite(g.number) && g.number > 0) s.font.widthFactor = g.number; break;
            case 50: if (std::isfinite(g.number)) s.font.oblique = g.number; break;
            case 1001: s.inAcadData = g.value == "ACAD"; break;
            case 1000: if (s.inAcadData && s.font.family.empty()) s.font.family = std::string(g.value); break;
            case 1071:
                if (s.inAcadData) {
                    // The font flags of a TrueType style: italic 0x1000000, bold 0x2000000.
                    const long long flags = static_cast<long long>(g.number);
                    s.font.italic = (flags & 0x1000000) != 0;
                    s.font.bold = (flags & 0x2000000) != 0;
                }
                break;
            default: break;
        }
    }

    static void definitionGroup(AttributeDefinition& d, const Group& g) {
        switch (g.code) {
            case 2: d.tag = std::string(g.value); break;
            case 7: d.textStyle = std::string(g.value); break;
            case 8: d.layer = std::string(g.value); break;
            case 62: d.colour = g.number >= 0 && g.number <= 256 ? static_cast<int>(g.number) : COLOUR_BYLAYER; break;
            case 10: d.x = g.number; break;
            case 20: d.y = g.number; break;
            case 11: d.alignX = g.number, d.aligned = true; break;
            case 21: d.alignY = g.number; break;
            case 40: d.height = g.number; break;
            case 41: d.widthFactor = g.number; break;
            case 50: d.rotation = g.number; break;
            case 51: d.oblique = g.number; break;
            case 71: d.flags = smallInt(g.number); break;
            case 72: d.alignH = smallInt(g.number); break;
            case 74: d.alignV = smallInt(g.number); break;
            default: break;
        }
    }

    // An ATTDEF of model space, drawn as TEXT of its tag; those of blocks are
    // the templates of their INSERTs' attributes and draw nothing.
    void attributeDefinition(const EntityExtras& x) {
        const AttributeDefinition& d = *x.definition;
        if (x.section != "ENTITIES" || x.paperSpace || skippingLayout || !blockStack.empty() || groups.failed())
            return;
        flushPending();
        pending = std::make_unique<Entity>();
        Entity& e = *pending;
        e.kind = EntityKind::Text;
        kindName = "ATTDEF";
        e.line = x.line;
        e.mirrored = x.extrusionZ < 0;
        e.style.layer = layerOf(d.layer);
        e.style.colour = d.colour;
        e.textStyle = d.textStyle;
        if (!decodeText(d.tag, e.text, true)) return;
        e.insertion = {d.x, d.y};
        e.alignPoint = d.aligned ? Point2{d.alignX, d.alignY} : e.insertion;
        e.height = d.height;
        e.widthFactor = d.widthFactor;
        e.rotation = d.rotation;
        e.oblique = d.oblique;
        e.alignH = d.alignH;
        e.alignV = d.alignV;
        if ((d.flags & 2) != 0) e.scaleX = -1;  // drawn backwards
        if ((d.flags & 4) != 0) e.scaleY = -1;  // upside down
        pendingInPaperSpace = false;
        pendingBlock = nullptr;
        flushPending();
    }

    DimensionStyle styleOf(const DimensionReading& r) const {
        auto style = tables.dimensionStyles.find(upperCase(r.styleName));
        const DimensionStyle& base = style != tables.dimensionStyles.end() ? style->second : tables.headerDimensionStyle;
        return base.overriddenBy(r.overrides);
    }

    // An entity of RAW_KINDS, drawn as the block of what it shows, as a
    // dimension is (its own layer, colour and line for the BYBLOCK parts).
    void rawEntity(const EntityExtras& x) {
        if (groups.failed()) return;
        if (x.kind == "IMAGEDEF") {
            std::string handle, file;
            for (const RawGroup& g : *x.raw) {
                if (g.code == 5) handle = g.value;
                if (g.code == 1) file = g.value;
            }
            std::string path;
            if (!handle.empty() && decodeText(file, path, true)) imageFiles[upperCase(handle)] = path;
            return;
        }
        if (x.kind == "MLINESTYLE") {
            std::string name;
            std::vector<std::string> linetypes;
            MlineStyle style = readMlineStyle(*x.raw, name, linetypes);
            for (size_t i = 0; i < style.elements.size(); ++i)
                style.elements[i].linetype = linetypeOf(linetypes[i], LINETYPE_BYLAYER);
            multilineStyles[upperCase(name)] = std::move(style);
            return;
        }
        Block shown;
        if (x.kind == "LEADER" && x.dimension) shown = leaderBlock(*x.raw, styleOf(*x.dimension));
        std::optional<MlineShape> multiline;
        if (x.kind == "MLINE") {
            multiline = readMline(*x.raw);
            shown = mlineBlock(*multiline, nullptr);
        }
        if (x.kind == "MULTILEADER" || x.kind == "MLEADER") shown = multileaderBlock(*x.raw);
        std::optional<ImagePlacement> image;
        if (x.kind == "IMAGE") {
            image = readImage(*x.raw);
            shown = imageBlock(*image, std::string());
        }
        std::vector<Point2> wiped;
        if (x.kind == "WIPEOUT") {
            wiped = wipeoutBoundary(*x.raw);
            shown = wipeoutBlock(wiped, false);
        }
        kindName = x.kind;
        for (Entity& part : shown.entities)
            if (part.kind == EntityKind::MText) {
                std::string raw = std::move(part.text);
                if (!decodeText(raw, part.text, false)) return;
            }
        bool throughBlock = BLOCK_DRAWN_KINDS.count(x.kind) != 0;
        if (shown.entities.empty() && !throughBlock) return;
        flushPending();
        pending = std::make_unique<Entity>();
        Entity& e = *pending;
        e.kind = EntityKind::Dimension;
        kindName = x.kind;
        e.line = x.line;
        std::string layer = "0", linetype;
        for (const RawGroup& g : *x.raw) {
            if (g.code >= 1000) break;
            switch (g.code) {
                case 8: layer = g.value; break;
                case 6: linetype = g.value; break;
                case 62: e.style.colour = g.number >= 0 && g.number <= 256 ? static_cast<int>(g.number) : COLOUR_BYLAYER; break;
                case 370: e.style.lineweight = g.number >= -3 && g.number <= 211 ? static_cast<int>(g.number) : LINEWEIGHT_BYLAYER; break;
                case 420: e.style.trueColour = g.number >= 0 && g.number <= 0xFFFFFF ? static_cast<int>(g.number) : -1; break;
                case 48: if (g.number > 0 && std::isfinite(g.number)) e.style.linetypeScale = g.number; break;
                default: break;
            }
        }
        e.style.layer = layerOf(layer);
        e.style.linetype = linetypeOf(linetype, LINETYPE_BYLAYER);
        if (throughBlock) {
            placedBlock(x, e);
            return;
        }
        e.rebuiltBlock = "<" + x.kind + " of line " + std::to_string(x.line) + ">";
        shown.name = e.rebuiltBlock;
        tables.blocks[e.rebuiltBlock] = std::move(shown);
        if (multiline) multilines.emplace_back(e.rebuiltBlock, std::move(*multiline));
        if (image) images.emplace_back(e.rebuiltBlock, std::move(*image));
        if (!wiped.empty()) {
            wipeouts.emplace_back(e.rebuiltBlock, std::move(wiped));
            ++tables.wipeouts;
        }
        pendingInPaperSpace = x.paperSpace || skippingLayout;
        pendingBlock = currentBlock;
        flushPending();
    }

    // ARC_DIMENSION and LARGE_RADIAL_DIMENSION: their block as a dimension's,
    // in drawing coordinates; ACAD_TABLE: its block at its insertion point.
    void placedBlock(const EntityExtras& x, Entity& e) {
        for (const RawGroup& g : *x.raw) {
            if (g.code >= 1000) break;
            if (g.code == 2 && e.blockName.empty()) e.blockName = g.value;
            if (g.code == 10) e.insertion.x = g.number;
            if (g.code == 20) e.insertion.y = g.number;
        }
        if (x.kind == "ACAD_TABLE") e.kind = EntityKind::Insert;
        else e.insertion = {};
        pendingInPaperSpace = x.paperSpace || skippingLayout;
        pendingBlock = currentBlock;
        flushPending();
    }

    void countIfSkipped(const EntityExtras& e) {
        if (e.kind.empty() || e.paperSpace || skippingLayout) return;
        if (e.section != "ENTITIES" && e.section != "BLOCKS") return;
        if (DRAWN_KINDS.count(e.kind) || STRUCTURE.count(e.kind)) return;
        ++report.skipped[e.kind];
    }

    int linetypeOf(const std::string& name, int fallback) {
        std::string key = upperCase(name);
        if (key.empty()) return fallback;
        if (key == "BYLAYER") return LINETYPE_BYLAYER;
        if (key == "BYBLOCK") return LINETYPE_BYBLOCK;
        if (key == "CONTINUOUS") return LINETYPE_CONTINUOUS;
        auto found = tables.linetypeIndex.find(key);
        if (found != tables.linetypeIndex.end()) return found->second;
        return LINETYPE_CONTINUOUS;
    }

    int layerOf(const std::string& name) {
        std::string key = upperCase(name);
        auto found = tables.layerIndex.find(key);
        if (found != tables.layerIndex.end()) return found->second;
        // A layer without a table entry: on, colour 7, continuous.
        int index = static_cast<int>(tables.layers.size());
        tables.layers.push_back(Layer{name.empty() ? "0" : name});
        tables.layerIndex[key] = index;
        return index;
    }

    // Starts an entity of `kind` with the style and the values kept for it.
    Entity& begin(EntityKind kind) {
        flushPending();
        mesh.reset();  // one left by a mesh that failed is not this entity's
        pending = std::make_unique<Entity>();
        Entity& e = *pending;
        e.kind = kind;
        kindName = completed.kind.empty() ? "entity" : completed.kind;
        e.line = completed.line;
        e.mirrored = completed.extrusionZ < 0;
        const DL_Attributes a = getAttributes();
        e.style.layer = layerOf(a.getLayer());
        int colour = a.getColor();
        e.style.colour = colour < 0 || colour > 256 ? COLOUR_BYLAYER : colour;
        e.style.trueColour = a.getColor24();
        e.style.linetype = linetypeOf(a.getLinetype(), LINETYPE_BYLAYER);
        int weight = a.getWidth();
        e.style.lineweight = weight < -3 || weight > 211 ? LINEWEIGHT_BYLAYER : weight;
        double ltscale = a.getLinetypeScale();
        e.style.linetypeScale = ltscale > 0 && std::isfinite(ltscale) ? ltscale : 1;
        pendingInPaperSpace = completed.paperSpace || skippingLayout;
        pendingBlock = currentBlock;
        return e;
    }

    void corners(const DL_TraceData& d, bool solidOrder) {
        Entity& e = begin(EntityKind::Solid);
        // SOLID and TRACE store their corners in "Z" order (1, 2, 4, 3).
        int order[4] = {0, 1, 3, 2};
        if (!solidOrder) order[2] = 2, order[3] = 3;
        for (int i : order) e.vertices.push_back({d.x[i], d.y[i], 0});
        if (!solidOrder) e.hiddenEdges = completed.faceFlags;
        flushPending();
    }

    void text(const DL_TextData& d) {
        Entity& e = begin(EntityKind::Text);
        e.textStyle = completed.styleName;
        if (!decodeText(completed.text, e.text, true)) return;
        e.insertion = {d.ipx, d.ipy};
        // dxflib gives NaN for an alignment point the file leaves out.
        e.alignPoint = std::isfinite(d.apx) && std::isfinite(d.apy) ? Point2{d.apx, d.apy} : e.insertion;
        e.height = d.height;
        e.widthFactor = d.xScaleFactor;
        e.rotation = d.angle * 180.0 / M_PI;
        e.oblique = completed.oblique;
        e.alignH = d.hJustification;
        e.alignV = d.vJustification;
        if ((d.textGenerationFlags & 2) != 0) e.scaleX = -1;  // drawn backwards
        if ((d.textGenerationFlags & 4) != 0) e.scaleY = -1;  // upside down
        flushPending();
    }

    bool decodeText(const std::string& raw, std::string& out, bool expandEscapes) {
        if (!decoder) decoder = std::make_unique<TextDecoder>(tables.codepage, utf8Text);
        std::string why, decoded;
        bool ok = decoder->decode(raw, decoded, why);
        if (ok && !expandUnicodeEscapes(decoded, out, why)) {
            // One wrong escape does not spoil the drawing: it is drawn as a box.
            if (badEscapes++ == 0)
                firstBadEscape = "line " + std::to_string(pending ? pending->line : groups.line()) + ": the text of " +
                                 kindName + ": " + why;
            why.clear();
        }
        if (ok && !expandEscapes) out = decoded;
        if (!ok) {
            groups.fail("the text of " + kindName + ": " + why, pending ? pending->line : 0);
            pending.reset();
        }
        return ok;
    }

    // A vertex of the mesh; dxflib does not hand on polyface face records
    // (flags 128 without 64), which onGroup keeps.
    void meshVertex(const DL_VertexData& d) {
        if (isFaceRecord(completed)) return;
        if (mesh->points.size() + mesh->faces.size() >= MAX_POINTS) return tooMany("vertices");
        mesh->points.push_back({d.x, d.y});
    }
    bool isFaceRecord(const EntityExtras& e) const {
        return e.kind == "VERTEX" && mesh && mesh->polyface && (e.vertexFlags & 128) != 0 && (e.vertexFlags & 64) == 0;
    }

    // Hands the entity on: into its block, or to the plot; a mesh as its edges.
    void flushPending() {
        if (!pending) return;
        std::unique_ptr<Entity> e = std::move(pending);
        if (mesh) {
            std::unique_ptr<Mesh> m = std::move(mesh);
            for (Entity& edge : meshEdges(*m, *e)) {
                pending = std::make_unique<Entity>(std::move(edge));
                flushPending();
            }
            return;
        }
        if (groups.failed()) return;
        if (pendingInPaperSpace) {
            std::string why;
            if (hooks.paperSpace && !hooks.paperSpace(*e, why)) groups.fail(why, e->line);
            return;
        }
        if (pendingBlock != nullptr) {
            pendingBlock->entities.push_back(std::move(*e));
            return;
        }
        if (!blockStack.empty()) return;  // an entity of a layout block
        ++report.entities;
        std::string why;
        if (!handler(*e, why)) {
            if (why.rfind("line ", 0) == 0) groups.failWith(why);
            else groups.fail(why, e->line);
        }
    }

    GroupStream& groups;
    DxfTables& tables;
    const EntityHandler& handler;
    DxfReadReport& report;
    const ReadHooks& hooks;
    EntityExtras current, completed;
    std::unique_ptr<Entity> pending;
    std::string kindName = "entity";
    bool pendingInPaperSpace = false;
    Block* pendingBlock = nullptr;
    Block* currentBlock = nullptr;
    bool skippingLayout = false;
    std::vector<std::string> blockStack;
    std::vector<double> pendingDashes;
    std::unique_ptr<Mesh> mesh;     // the POLYLINE being read is a mesh
    std::vector<std::pair<std::string, MlineShape>> multilines;  // their blocks, to style at the end
    std::map<std::string, MlineStyle> multilineStyles;           // upper-case name
    std::vector<std::pair<std::string, std::vector<Point2>>> wipeouts;  // their blocks, to frame at the end
    std::vector<std::pair<std::string, ImagePlacement>> images;        // their blocks, to name their files
    std::map<std::string, std::string> imageFiles;                     // IMAGEDEF handle (upper case) to file
    SegmentWidths polylineWidths;  // the POLYLINE's default widths for its vertices
    size_t pathLoops = 0;  // the hatch's polyline loops, which come first
    bool utf8Text = false;
    std::unique_ptr<TextDecoder> decoder;
    int badEscapes = 0;
    std::string firstBadEscape;
};

}  // namespace

bool readDxf(std::FILE* file, DxfTables& tables, const EntityHandler& onEntity, DxfReadReport& report) {
    return readDxf(file, tables, onEntity, report, ReadHooks{});
}

bool readDxf(std::FILE* file, DxfTables& tables, const EntityHandler& onEntity, DxfReadReport& report,
             const ReadHooks& hooks) {
    GroupStream groups(file);
    std::istream in(&groups);
    Reader reader(groups, tables, onEntity, report, hooks);
    DL_Dxf dxf;
    dxf.in(in, &reader);
    reader.finish();
    groups.finish();
    if (groups.failed()) {
        report.error = groups.error();
        return false;
    }
    if (std::ferror(file)) {
        report.error = "the file could not be read";
        return false;
    }
    return true;
}

}  // namespace tavix::dxf
