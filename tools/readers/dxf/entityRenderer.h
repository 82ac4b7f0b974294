// Turns entities into strokes and fills in drawing coordinates: resolves
// layers, BYLAYER and BYBLOCK, expands blocks (nested, arrays, mirrored),
// flattens curves, dashes linetypes in software and strokes text.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "dxfModel.h"
#include "geometry/affine.h"
#include "geometry/strokeFont.h"
#include "primitives.h"
#include "textFonts.h"

namespace tavix::dxf {

using geometry::Affine;

// Blocks nested deeper than this are refused rather than followed.
constexpr int MAX_BLOCK_DEPTH = 32;
// Entities drawn through blocks, at most, in one plot (a few nested arrays
// can multiply into more than any plot could hold).
constexpr long long MAX_EXPANDED_ENTITIES = 50000000;

struct RenderSettings {
    // Chord tolerance in drawing units; 0 or less: a tolerance of each
    // curve's own size, for measuring the extents before the scale is known.
    double tolerance = 0;
    bool softwareLinetypes = true;
    long long maxExpandedEntities = MAX_EXPANDED_ENTITIES;
    // Where the plot shows the drawing: rays and xlines are cut to it. Not
    // known while measuring (no area): they take no part in the extents.
    Affine toPaper{};
    double paperX0 = 0, paperY0 = 0, paperX1 = 0, paperY1 = 0;
    // Millimetres of paper per drawing unit; 0 while measuring.
    double mmPerUnit = 0;
    // Layers frozen in the viewport being drawn, by index, besides those frozen everywhere.
    std::set<int> frozenInViewport{};
};

// Outline-font text whose capitals are lower than this on paper is drawn
// as its outlines: a pen's fill of so small a glyph would blur it.
constexpr double OUTLINED_TEXT_MM = 1.8;

class EntityRenderer {
public:
    // `fonts`: the fonts of the text styles; without it all text is drawn
    // with `font`.
    EntityRenderer(const DxfTables& tables, const geometry::StrokeFont* font, PrimitiveSink& sink,
                   const RenderSettings& settings, fonts::TextFonts* fonts = nullptr);

    // Draws a model-space entity; false with the reason ("line N: ...").
    bool draw(const Entity& entity, std::string& error);

    // Text characters the font lacks, and what could not be drawn.
    int missingGlyphs = 0;
    int firstMissingGlyphLine = 0;
    std::map<std::string, int> undrawable;  // a description, with its count

private:
    // What a block reference passes to the entities of its block.
    struct Context {
        Affine transform;
        int layer = -1;               // the insert's layer for entities on layer 0; -1 at the top
        int colour = 7, lineweight = -3, linetype = -3;  // for BYBLOCK
        int depth = 0;
    };

    bool drawIn(const Entity& e, const Context& context, std::string& error);
    bool drawBlock(const Entity& e, const Block& block, const Affine& placement, const Context& context,
                   const LineLook& look, int layer, std::string& error);
    bool visible(int layer, const Context& context) const;
    LineLook lookOf(const Entity& e, int layer, const Context& context) const;
    double localTolerance(const Affine& t, double size) const;
    // `curve`: chords of a curve, dashed in software even when the printer
    // draws line types, whose adaptive patterns start again on every chord.
    bool emit(const LineLook& look, const geometry::Polyline& local, const Affine& t, double tolerance,
              const EntityStyle& style, std::string& error, bool curve = false);
    std::optional<geometry::Polyline> flattenEdge(const Entity& e, double tolerance);
    std::optional<geometry::Polyline> flattenOutline(const Entity& e, double tolerance, bool& curve);
    bool drawHatch(const Entity& e, const LineLook& look, const Affine& t, std::string& error);
    bool drawTapered(const Entity& e, const LineLook& look, const Affine& t, double tolerance, std::string& error);
    bool drawText(const Entity& e, const LineLook& look, const Affine& t, std::string& error);
    // The font of a text's style, and the style's entry (nullptr: none).
    const geometry::StrokeFont* fontOf(const Entity& e, const TextStyleFont*& style) const;
    bool drawRay(const Entity& e, const LineLook& look, const Affine& t, std::string& error);

    const DxfTables& tables;
    const geometry::StrokeFont* font;
    fonts::TextFonts* textFonts;
    PrimitiveSink& sink;
    RenderSettings settings;
    std::vector<const Block*> chain;  // the blocks being drawn, outermost first
    std::vector<int> printerLineTypes;  // per linetype: 1..8 in table order, 0 continuous
    long long expanded = 0;
};

}  // namespace tavix::dxf
