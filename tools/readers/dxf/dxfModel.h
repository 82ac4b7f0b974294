// A DXF drawing as the plot needs it: the tables (layers, linetypes), the
// header values that change the plot, the blocks with their entities, and
// the entity record shared by model space and blocks. Model-space entities
// are not kept: the reader hands each one on as it is read.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "dimensionStyle.h"

namespace tavix::dxf {

struct Point2 {
    double x = 0, y = 0;
};

// Colour numbers as the CAD host stores them (group 62).
constexpr int COLOUR_BYBLOCK = 0;
constexpr int COLOUR_BYLAYER = 256;
// Lineweights (group 370) in hundredths of a millimetre, or these.
constexpr int LINEWEIGHT_BYLAYER = -1;
constexpr int LINEWEIGHT_BYBLOCK = -2;
constexpr int LINEWEIGHT_DEFAULT = -3;
// Linetype references of an entity.
constexpr int LINETYPE_BYLAYER = -1;
constexpr int LINETYPE_BYBLOCK = -2;
constexpr int LINETYPE_CONTINUOUS = -3;

struct Layer {
    std::string name;
    int colour = 7;          // positive; the layer is off when the file gives it negative
    int trueColour = -1;     // 0xRRGGBB, or -1
    bool off = false;
    bool frozen = false;
    bool plots = true;       // group 290
    int linetype = LINETYPE_CONTINUOUS;
    int lineweight = LINEWEIGHT_DEFAULT;
};

struct Linetype {
    std::string name;
    std::vector<double> pattern;  // dashes positive, gaps negative, dots zero
    bool continuous() const { return pattern.empty(); }
};

// How an entity looks, as stored: BYLAYER and BYBLOCK still unresolved.
struct EntityStyle {
    int layer = 0;                 // index into the layer table
    int colour = COLOUR_BYLAYER;
    int trueColour = -1;
    int linetype = LINETYPE_BYLAYER;
    int lineweight = LINEWEIGHT_BYLAYER;
    double linetypeScale = 1;
};

enum class EntityKind {
    Line, Point, Circle, Arc, Ellipse, Polyline, Spline, Solid, Insert, Dimension, Text, MText, Hatch,
    Ray,  // RAY and XLINE: cut to what the plot shows
    Wipeout,  // its boundary (vertices) hides what was drawn before under it
    Image     // a raster file (text) over the parallelogram of its corners (vertices)
};

struct Vertex {
    double x = 0, y = 0, bulge = 0;
};

// A polyline segment's widths, at its start and end vertex.
struct SegmentWidths {
    double start = 0, end = 0;
};

struct HatchPatternLine {
    double angle = 0;               // degrees
    Point2 base, offset;
    std::vector<double> dashes;
};

struct Entity;

// One boundary path of a hatch: edges (lines, arcs, ellipses, splines) or a
// polyline, each an entity of its own.
struct HatchLoop {
    std::vector<Entity> edges;
};

struct Entity {
    EntityKind kind = EntityKind::Line;
    EntityStyle style;
    int line = 0;                   // line of the file where the entity begins
    bool mirrored = false;          // extrusion (0, 0, -1): x runs the other way

    // Line (2), point (1), solid, trace and 3D face corners (3 or 4, in
    // drawing order), polyline vertices with their bulges. A ray: its base
    // point and the base plus its direction; `closed` when it runs both
    // ways (XLINE).
    std::vector<Vertex> vertices;
    bool closed = false;
    double width = 0;               // constant width of a polyline
    int hiddenEdges = -1;           // 3D face: edges left out (bits 1, 2, 4, 8); -1 a filled solid
    std::vector<SegmentWidths> vertexWidths;  // polyline widths per vertex, when any is given

    // Circle, arc (degrees), ellipse (centre, major axis end relative to the
    // centre, ratio, start and end parameters in radians).
    Point2 centre;
    double radius = 0;
    double startAngle = 0, endAngle = 360;
    Point2 majorAxis;
    double ratio = 1;
    bool clockwise = false;         // hatch arc and ellipse edges

    // Spline.
    int degree = 3;
    std::vector<double> knots, weights;
    std::vector<Point2> controlPoints, fitPoints;
    Point2 startTangent, endTangent;  // of a curve through fit points; (0, 0) when not given
    bool periodic = false;

    // Insert and dimension (the block drawn), with the insert's placement.
    std::string blockName;
    Point2 insertion;
    double scaleX = 1, scaleY = 1, rotation = 0;  // degrees
    int columns = 1, rows = 1;
    double columnSpacing = 0, rowSpacing = 0;
    // A dimension's block rebuilt from its definition (its name in the
    // blocks), drawn when the drawing gives none of its own.
    std::string rebuiltBlock;

    // Text and MText.
    std::string text;               // UTF-8, control codes still in
    std::string textStyle;          // group 7: the STYLE entry; empty: STANDARD
    double height = 0, widthFactor = 1, oblique = 0;
    int alignH = 0, alignV = 0;     // TEXT groups 72 and 73
    Point2 alignPoint;              // TEXT group 11
    bool useAlignPoint = false;
    int attachment = 1;             // MTEXT group 71
    double boxWidth = 0;            // MTEXT group 41
    double lineSpacing = 1;         // MTEXT group 44

    // Hatch.
    bool solidFill = false;
    std::vector<HatchLoop> loops;
    std::vector<HatchPatternLine> pattern;
};

// A STYLE table entry: the font its text is drawn with.
struct TextStyleFont {
    std::string file;        // group 3: arial.ttf, simplex.shx, ...; empty: txt
    std::string bigFont;     // group 4: the shape font of CJK characters
    std::string family;      // a TrueType family (extended data of ACAD, 1000)
    bool bold = false, italic = false;  // its flags (ACAD 1071)
    double widthFactor = 1;  // group 41
    double oblique = 0;      // group 50, degrees
};

struct Block {
    std::string name;
    Point2 base;
    std::vector<Entity> entities;
};

struct DxfTables {
    std::vector<Layer> layers;                // layer 0 always exists
    std::map<std::string, int> layerIndex;    // upper-case name to index
    std::vector<Linetype> linetypes;
    std::map<std::string, int> linetypeIndex; // upper-case name to index
    std::map<std::string, Block> blocks;      // upper-case name
    double ltscale = 1;                       // $LTSCALE
    int insunits = 0;                         // $INSUNITS
    int lwdefault = 25;                       // $LWDEFAULT
    std::string codepage = "ANSI_1252";       // $DWGCODEPAGE
    std::map<std::string, DimensionStyle> dimensionStyles;  // upper-case name
    DimensionStyle headerDimensionStyle;      // the header's $DIM values
    std::map<std::string, TextStyleFont> textStyles;  // upper-case name
    int wipeouts = 0;                         // WIPEOUT entities read
    // Wipeout frames ($WIPEOUTFRAME, or the wipeout variables object): 0 none,
    // 1 shown and plotted, 2 shown only; -1 not given (the host plots them).
    int wipeoutFrame = -1;
};

std::string upperCase(std::string_view name);

}  // namespace tavix::dxf
