#include "glyphOutlines.h"

#include <GfxFont.h>
#include <GfxState.h>
#include <SplashOutputDev.h>
#include <splash/SplashFont.h>
#include <splash/SplashPath.h>

#include <array>
#include <cstring>

namespace tavix::pdf {

// Poppler's rasterising output device, used only for its font engine: it
// loads each font once and gives the outline of a glyph at the size and
// transformation of the text. It draws nothing.
class GlyphOutlines::Source : public SplashOutputDev {
public:
    Source() : SplashOutputDev(splashModeMono1, 1, false, paper.data()) {}

    SplashFont* fontFor(GfxState* state) {
        // The engine keys the scaled font on the text and current
        // transformations; both are taken from the state as it stands.
        const double* ctm = state->getCTM();
        const double* text = state->getTextMat();
        std::array<double, 6 + 6 + 3> key{};
        std::memcpy(key.data(), ctm, 6 * sizeof(double));
        std::memcpy(key.data() + 6, text, 6 * sizeof(double));
        key[12] = state->getFontSize();
        key[13] = state->getHorizScaling();
        std::shared_ptr<GfxFont> gfxFont = state->getFont();
        if (gfxFont.get() != lastFont || key != lastKey) {
            lastFont = gfxFont.get();
            lastKey = key;
            updateCTM(state, 0, 0, 0, 0, 0, 0);
            doUpdateFont(state);
        }
        return getCurrentFont();
    }

private:
    std::array<unsigned char, 4> paper{};
    const GfxFont* lastFont = nullptr;
    std::array<double, 15> lastKey{};
};

GlyphOutlines::GlyphOutlines() : source(std::make_unique<Source>()) {}
GlyphOutlines::~GlyphOutlines() = default;

void GlyphOutlines::startDoc(PDFDoc* doc) { source->startDoc(doc); }
void GlyphOutlines::startPage(int pageNumber, GfxState* state, XRef* xref) {
    source->startPage(pageNumber, state, xref);
}

bool GlyphOutlines::fontFound(GfxState* state) { return source->fontFor(state) != nullptr; }

std::vector<GlyphContour> GlyphOutlines::outline(GfxState* state, CharCode code) {
    std::vector<GlyphContour> contours;
    SplashFont* font = source->fontFor(state);
    if (font == nullptr) return contours;
    std::unique_ptr<SplashPath> path(font->getGlyphPath(static_cast<int>(code)));
    if (!path) return contours;
    for (int i = 0; i < path->getLength(); ++i) {
        double x, y;
        unsigned char flags;
        path->getPoint(i, &x, &y, &flags);
        if ((flags & splashPathFirst) || contours.empty()) contours.emplace_back();
        // The engine turns the font's y axis over for a device that runs
        // downwards, and the outline back: in the walker's device, whose y
        // runs up, the outline comes out the right way up as it is.
        contours.back().points.push_back({x, y});
        contours.back().curve.push_back((flags & splashPathCurve) != 0);
    }
    return contours;
}

}  // namespace tavix::pdf

// Fontconfig, through which poppler finds the fonts a PDF names without
// embedding them, keeps its configuration for the life of the process;
// LeakSanitizer would report it at exit. Weak, as the preview's is, so that
// a program with suppressions of its own keeps them.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
