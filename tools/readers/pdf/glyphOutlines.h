// The outlines of a PDF font's glyphs, as poppler's own rasteriser gets
// them: FreeType on the font the PDF embeds, or on the system's stand-in
// for a standard 14 font it does not. Type 3 glyphs are not here: they are
// drawing operations and reach the page walker as such.
#pragma once

#include <CharTypes.h>

#include <memory>
#include <vector>

#include "geometry/point.h"

class GfxState;
class PDFDoc;
class XRef;

namespace tavix::pdf {

// One closed or open contour of a glyph; `curve[i]` marks the control
// points of cubic Béziers (two before each end point), as in a PDF path.
struct GlyphContour {
    std::vector<geometry::Point> points;
    std::vector<bool> curve;
};

class GlyphOutlines {
public:
    GlyphOutlines();
    ~GlyphOutlines();
    void startDoc(PDFDoc* doc);
    void startPage(int pageNumber, GfxState* state, XRef* xref);
    // The glyph of `code` in the state's current font, size and
    // transformation: device coordinates (the page walker's) relative to
    // the glyph's origin. Empty for a font without outlines (none found,
    // Type 3) or a glyph without any (a space).
    std::vector<GlyphContour> outline(GfxState* state, CharCode code);
    // False when the state's font gave no outlines at all.
    bool fontFound(GfxState* state);

private:
    class Source;
    std::unique_ptr<Source> source;
};

}  // namespace tavix::pdf
