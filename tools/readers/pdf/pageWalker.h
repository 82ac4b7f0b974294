// Walks one page's drawing operations as poppler's interpreter hands them
// out: strokes, fills and clip paths become strokes and filled areas on the
// paper, in the pen of their colour; what it cannot draw as vectors is
// counted for the warnings.
#pragma once

#include <OutputDev.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "geometry/affine.h"
#include "pathFlattening.h"
#include "clipRegion.h"
#include "glyphOutlines.h"
#include "imageFiles.h"
#include "penMap.h"
#include "paperSink.h"

namespace tavix::pdf {

struct WalkCounts {
    long long textCharacters = 0;  // visible text drawn from glyph outlines
    long long missingGlyphs = 0;   // visible text whose font gave no outlines
    long long images = 0;          // images drawn
    long long imagesLeftOut = 0;   // image masks, masked, turned or sheared images, images off the area
    long long imagesUnclipped = 0; // drawn whole although a clip path cuts them
};

class PageWalker : public OutputDev {
public:
    // `toPaper` maps poppler's device space (points from the shown page's
    // lower left corner) to host units; curves keep within `tolerance` host
    // units. Strokes and fills go to `sink` in host units.
    // Images go straight to `send` as image requests, which must lie inside
    // the plot area (`width` x `height` host units).
    PageWalker(const geometry::Affine& toPaper, double tolerance, dxf::PaperSink& sink, const dxf::RequestSink& send,
               double width, double height);

    // False once the sink refused something; `error` says why.
    bool ok() const { return error.empty(); }
    const std::string& failure() const { return error; }
    const WalkCounts& counts() const { return counted; }
    // The PDF's colours (0xRRGGBB) by the colour number that draws them.
    const std::map<int, std::set<int>>& coloursByNumber() const { return colours; }

    // A pen file's RGB colours choose pens before the nearest colour number
    // does; `mmPerUnit` turns a line's width into millimetres on paper.
    void usePens(const dxf::PenMap* pens, double mmPerUnit) {
        penFile = pens;
        paperMmPerUnit = mmPerUnit;
    }

    // Before the page: the document whose fonts the text uses.
    void startDoc(PDFDoc* doc) { glyphs.startDoc(doc); }
    void startPage(int pageNumber, GfxState* state, XRef* xref) override;

    bool upsideDown() override { return false; }
    bool useDrawChar() override { return true; }
    bool interpretType3Chars() override { return true; }
    bool useShadedFills(int) override { return false; }

    void saveState(GfxState*) override;
    void restoreState(GfxState*) override;
    void stroke(GfxState* state) override;
    void fill(GfxState* state) override;
    void eoFill(GfxState* state) override;
    void clip(GfxState* state) override;
    void eoClip(GfxState* state) override;
    void clipToStrokePath(GfxState* state) override;
    void drawChar(GfxState* state, double x, double y, double dx, double dy, double originX, double originY,
                  CharCode code, int nBytes, const Unicode* u, int uLen) override;
    void drawImageMask(GfxState*, Object*, Stream*, int, int, bool, bool, bool) override;
    void drawImage(GfxState*, Object*, Stream*, int, int, GfxImageColorMap*, bool, const int*, bool) override;
    void drawMaskedImage(GfxState*, Object*, Stream*, int, int, GfxImageColorMap*, bool, Stream*, int, int, bool,
                         bool) override;
    void drawSoftMaskedImage(GfxState*, Object*, Stream*, int, int, GfxImageColorMap*, bool, Stream*, int, int,
                             GfxImageColorMap*, bool) override;

private:
    void fillWith(GfxState* state, FillRule rule);
    bool drawUprightImage(GfxState* state, Stream* str, int width, int height, GfxImageColorMap* colorMap);
    bool strokeLoops(const std::vector<FlatSubpath>& subpaths, const dxf::LineLook& look,
                     const std::vector<double>& dashes, double phase);
    void clipWith(GfxState* state, FillRule rule);
    dxf::LineLook lookOf(int rgb, double widthUnits);
    // User space of the current state to host units on the paper.
    geometry::Affine userToPaper(const GfxState& state) const;

    geometry::Affine toPaper;
    double tolerance;
    dxf::PaperSink& sink;
    const dxf::RequestSink& send;
    double areaWidth, areaHeight;
    ImageFiles imageFiles;
    GlyphOutlines glyphs;
    ClipRegion clipRegion;
    std::vector<ClipRegion> saved;
    WalkCounts counted;
    std::map<int, std::set<int>> colours;
    std::string error;
    const dxf::PenMap* penFile = nullptr;
    double paperMmPerUnit = 0;
};

}  // namespace tavix::pdf
