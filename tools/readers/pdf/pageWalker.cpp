#include "pageWalker.h"

#include <GfxState.h>
#include <Stream.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "penMap.h"

namespace tavix::pdf {

using geometry::Polyline;

namespace {

// As for the image requests of drawing files: larger images are not held.
constexpr int64_t MAX_IMAGE_PIXELS = int64_t{1} << 28;

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

PageWalker::PageWalker(const geometry::Affine& map, double chordTolerance, dxf::PaperSink& target,
                       const dxf::RequestSink& requests, double width, double height)
    : toPaper(map), tolerance(chordTolerance), sink(target), send(requests), areaWidth(width), areaHeight(height) {}

dxf::LineLook PageWalker::lookOf(int rgb, double widthUnits) {
    dxf::LineLook look;
    look.colour = dxf::nearestColourNumber(rgb);
    const dxf::PenChoice* chosen = penFile ? penFile->forRgb(rgb, widthUnits * paperMmPerUnit) : nullptr;
    if (chosen) {
        look.pen = chosen->pen;
        look.penWidthMm = chosen->widthMm;
    } else {
        std::set<int>& shared = colours[look.colour];
        if (shared.size() < 16) shared.insert(rgb);  // enough to tell the user
    }
    // The width travels as a band width in host units, so the paper sink
    // turns it into millimetres without rounding it to a lineweight.
    look.lineweight = 0;
    look.bandWidth = widthUnits;
    return look;
}

geometry::Affine PageWalker::userToPaper(const GfxState& state) const {
    const double* m = state.getCTM();
    return toPaper.after(geometry::Affine{m[0], m[1], m[2], m[3], m[4], m[5]});
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
    geometry::Affine map = userToPaper(*state);
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
    geometry::Affine map = userToPaper(*state);
    Loops area = clipRegion.fillArea(loopsOf(flattenPath(*state->getPath(), map, tolerance)), rule);
    if (area.empty()) return;
    GfxRGB rgb;
    state->getFillRGB(&rgb);
    if (!sink.fill(lookOf(rgbOf(rgb), 0), area, error)) return;
}

void PageWalker::fill(GfxState* state) { fillWith(state, FillRule::NonZero); }
void PageWalker::eoFill(GfxState* state) { fillWith(state, FillRule::EvenOdd); }

void PageWalker::clipWith(GfxState* state, FillRule rule) {
    geometry::Affine map = userToPaper(*state);
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
    geometry::Affine map = toPaper.after(geometry::Affine::translation(x - originX, y - originY));
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
    ++counted.imagesLeftOut;
    OutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate, inlineImg);
}
void PageWalker::drawImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                           GfxImageColorMap* colorMap, bool interpolate, const int* maskColors, bool inlineImg) {
    if (ok() && drawUprightImage(state, str, width, height, colorMap)) return;
    ++counted.imagesLeftOut;
    OutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
}

// An image fills the unit square of its user space, its first row at the
// top. The driver's image request takes an upright rectangle: an image
// mirrored or turned by quarters (the page turned with --rotate 90) is
// resampled pixel for pixel into it; one sheared or turned otherwise is
// left out.
bool PageWalker::drawUprightImage(GfxState* state, Stream* str, int width, int height, GfxImageColorMap* colorMap) {
    geometry::Affine map = userToPaper(*state);
    bool upright = map.b == 0 && map.c == 0, quarter = map.a == 0 && map.d == 0;
    if (!(upright || quarter) || map.determinant() == 0 || width <= 0 || height <= 0 ||
        static_cast<int64_t>(width) * height > MAX_IMAGE_PIXELS)
        return false;
    double xs[] = {map.e, map.e + map.a + map.c}, ys[] = {map.f, map.f + map.b + map.d};
    double x0 = std::min(xs[0], xs[1]), x1 = std::max(xs[0], xs[1]);
    double y0 = std::min(ys[0], ys[1]), y1 = std::max(ys[0], ys[1]);
    // Inside the plot area and at least a unit each way after rounding.
    if (x0 < 0 || y0 < 0 || x1 > areaWidth || y1 > areaHeight || std::round(x1) <= std::round(x0) ||
        std::round(y1) <= std::round(y0))
        return false;

    std::vector<uint8_t> source(static_cast<size_t>(width) * height * 3);
    ImageStream pixels(str, width, colorMap->getNumPixelComps(), colorMap->getBits());
    pixels.reset();
    for (int row = 0; row < height; ++row) {
        unsigned char* line = pixels.getLine();
        for (int col = 0; col < width; ++col) {
            GfxRGB colour{};
            if (line != nullptr) colorMap->getRGB(line + static_cast<size_t>(col) * colorMap->getNumPixelComps(), &colour);
            uint8_t* p = source.data() + (static_cast<size_t>(row) * width + col) * 3;
            p[0] = colToByte(colour.r), p[1] = colToByte(colour.g), p[2] = colToByte(colour.b);
        }
    }
    pixels.close();

    // Each pixel of the upright picture takes the source pixel under its
    // centre: paper back to the unit square (u along a row, v up the image).
    int outWidth = upright ? width : height, outHeight = upright ? height : width;
    std::vector<uint8_t> rgb(source.size());
    double det = map.determinant();
    for (int y = 0; y < outHeight; ++y) {
        for (int x = 0; x < outWidth; ++x) {
            double px = x0 + (x + 0.5) / outWidth * (x1 - x0) - map.e;
            double py = y1 - (y + 0.5) / outHeight * (y1 - y0) - map.f;
            double u = (map.d * px - map.c * py) / det, v = (map.a * py - map.b * px) / det;
            int col = std::clamp(static_cast<int>(std::floor(u * width)), 0, width - 1);
            int row = std::clamp(static_cast<int>(std::floor((1 - v) * height)), 0, height - 1);
            std::copy_n(source.data() + (static_cast<size_t>(row) * width + col) * 3, 3,
                        rgb.data() + (static_cast<size_t>(y) * outWidth + x) * 3);
        }
    }
    std::string path = imageFiles.write(outWidth, outHeight, rgb, error);
    if (path.empty()) return true;  // the plot stops with the reason
    host::DrawingRequest r;
    r.op = host::DrawingOp::Image;
    r.unit = host::Unit::Host;
    r.coords = {x0, y0, x1, y1};
    r.file = path;
    bool sent = send(r, error);
    imageFiles.remove(path);
    sink.forgetPenPosition();
    if (sent) {
        ++counted.images;
        if (!clipRegion.unlimited() && !clipRegion.holds(x0, y0, x1, y1)) ++counted.imagesUnclipped;
    }
    return true;
}

void PageWalker::drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                 GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                                 int maskHeight, bool maskInvert, bool maskInterpolate) {
    ++counted.imagesLeftOut;
    OutputDev::drawMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr, maskWidth,
                               maskHeight, maskInvert, maskInterpolate);
}
void PageWalker::drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                     GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                                     int maskHeight, GfxImageColorMap* maskColorMap, bool maskInterpolate) {
    ++counted.imagesLeftOut;
    OutputDev::drawSoftMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr, maskWidth,
                                   maskHeight, maskColorMap, maskInterpolate);
}

}  // namespace tavix::pdf
