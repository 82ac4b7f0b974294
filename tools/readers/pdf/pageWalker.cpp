#include "pageWalker.h"

#include <GfxState.h>

#include <cmath>

#include "penMap.h"

namespace tavix::pdf {

using dxf::geometry::Polyline;

namespace {

int rgbOf(const GfxRGB& rgb) {
    auto byte = [](GfxColorComp c) { return static_cast<int>(colToByte(c)); };
    return byte(rgb.r) << 16 | byte(rgb.g) << 8 | byte(rgb.b);
}

Loops loopsOf(const std::vector<FlatSubpath>& subpaths) {
    Loops loops;
    for (const FlatSubpath& s : subpaths)
        if (s.points.size() >= 3) loops.push_back(s.points);
    return loops;
}

}  // namespace

PageWalker::PageWalker(const dxf::Affine& map, double chordTolerance, dxf::PrimitiveSink& target)
    : toPaper(map), tolerance(chordTolerance), sink(target) {}

dxf::LineLook PageWalker::lookOf(int rgb, double widthUnits) const {
    dxf::LineLook look;
    look.colour = dxf::nearestColourNumber(rgb);
    // The width travels as a band width in host units, so the paper sink
    // turns it into millimetres without rounding it to a lineweight.
    look.lineweight = 0;
    look.bandWidth = widthUnits;
    return look;
}

dxf::Affine PageWalker::userToPaper(const GfxState& state) const {
    const double* m = state.getCTM();
    return toPaper.after(dxf::Affine{m[0], m[1], m[2], m[3], m[4], m[5]});
}

void PageWalker::saveState(GfxState*) { saved.push_back(clipRegion); }

void PageWalker::restoreState(GfxState*) {
    if (saved.empty()) return;
    clipRegion = std::move(saved.back());
    saved.pop_back();
}

void PageWalker::startPage(int pageNumber, GfxState* state, XRef* xref) {
    glyphs.startPage(pageNumber, state, xref);
}

bool PageWalker::strokeLoops(const std::vector<FlatSubpath>& subpaths, const dxf::LineLook& look,
                             const std::vector<double>& dashes, double phase) {
    for (const FlatSubpath& sub : subpaths)
        for (const Polyline& piece : dashPolyline(sub.points, dashes, phase))
            for (const Polyline& shown : clipRegion.clipLine(piece))
                if (!sink.stroke(look, shown, 0, error)) return false;
    return true;
}

void PageWalker::stroke(GfxState* state) {
    if (!ok()) return;
    dxf::Affine map = userToPaper(*state);
    double stretch = map.stretch();
    GfxRGB rgb;
    state->getStrokeRGB(&rgb);
    double phase = 0;
    std::vector<double> dashes = state->getLineDash(&phase);
    for (double& d : dashes) d *= stretch;
    strokeLoops(flattenPath(*state->getPath(), map, tolerance), lookOf(rgbOf(rgb), state->getLineWidth() * stretch),
                dashes, phase * stretch);
}

void PageWalker::fillWith(GfxState* state, FillRule rule) {
    if (!ok()) return;
    dxf::Affine map = userToPaper(*state);
    Loops area = clipRegion.fillArea(loopsOf(flattenPath(*state->getPath(), map, tolerance)), rule);
    if (area.empty()) return;
    GfxRGB rgb;
    state->getFillRGB(&rgb);
    if (!sink.fill(lookOf(rgbOf(rgb), 0), area, error)) return;
}

void PageWalker::fill(GfxState* state) { fillWith(state, FillRule::NonZero); }
void PageWalker::eoFill(GfxState* state) { fillWith(state, FillRule::EvenOdd); }

void PageWalker::clipWith(GfxState* state, FillRule rule) {
    dxf::Affine map = userToPaper(*state);
    clipRegion.intersect(loopsOf(flattenPath(*state->getPath(), map, tolerance)), rule);
}

void PageWalker::clip(GfxState* state) { clipWith(state, FillRule::NonZero); }
void PageWalker::eoClip(GfxState* state) { clipWith(state, FillRule::EvenOdd); }
// A stroke's outline as the clip: rare in drawings; its path's own area is
// the nearest the walk can give without outlining the stroke.
void PageWalker::clipToStrokePath(GfxState* state) { clipWith(state, FillRule::NonZero); }

void PageWalker::drawChar(GfxState* state, double x, double y, double, double, double originX, double originY,
                          CharCode code, int, const Unicode*, int) {
    // Render mode 3 is invisible text (the searchable layer of scans);
    // modes 4 to 7 add the glyphs to the clip as well, which is left out.
    int render = state->getRender() & 3;
    if (render == 3 || !ok()) return;
    ++counted.textCharacters;
    std::vector<GlyphContour> contours = glyphs.outline(state, code);
    if (contours.empty()) {
        if (!glyphs.fontFound(state)) ++counted.missingGlyphs;
        return;  // a space, or a font without outlines
    }
    dxf::Affine map = toPaper.after(dxf::Affine::translation(x - originX, y - originY));
    std::vector<FlatSubpath> subpaths;
    for (const GlyphContour& c : contours)
        subpaths.push_back(flattenPoints(c.points, c.curve, true, map, tolerance));
    if (render == 0 || render == 2) {
        Loops loops;
        for (const FlatSubpath& s : subpaths)
            if (s.points.size() >= 3) loops.push_back(s.points);
        Loops area = clipRegion.fillArea(loops, FillRule::NonZero);
        GfxRGB rgb;
        state->getFillRGB(&rgb);
        if (!area.empty() && !sink.fill(lookOf(rgbOf(rgb), 0), area, error)) return;
    }
    if (render == 1 || render == 2) {
        GfxRGB rgb;
        state->getStrokeRGB(&rgb);
        double stretch = userToPaper(*state).stretch();
        strokeLoops(subpaths, lookOf(rgbOf(rgb), state->getLineWidth() * stretch), {}, 0);
    }
}

void PageWalker::drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                               bool interpolate, bool inlineImg) {
    ++counted.images;
    OutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate, inlineImg);
}
void PageWalker::drawImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                           GfxImageColorMap* colorMap, bool interpolate, const int* maskColors, bool inlineImg) {
    ++counted.images;
    OutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
}
void PageWalker::drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                 GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                                 int maskHeight, bool maskInvert, bool maskInterpolate) {
    ++counted.images;
    OutputDev::drawMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr, maskWidth,
                               maskHeight, maskInvert, maskInterpolate);
}
void PageWalker::drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                     GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                                     int maskHeight, GfxImageColorMap* maskColorMap, bool maskInterpolate) {
    ++counted.images;
    OutputDev::drawSoftMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr, maskWidth,
                                   maskHeight, maskColorMap, maskInterpolate);
}

}  // namespace tavix::pdf
