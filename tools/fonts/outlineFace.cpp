#include "outlineFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

#include "geometry/spline.h"

namespace tavix::fonts {

using geometry::Point;
using geometry::Polyline;

namespace {

// Chords of a glyph's curves stay this close to the curve, in capitals.
constexpr double CURVE_TOLERANCE = 1.0 / 4000;

// Collects the contours of an outline, flattening its Bézier pieces.
struct OutlineWalk {
    std::vector<Polyline> contours;
    double tolerance = 1;

    static Point at(const FT_Vector* v) { return {static_cast<double>(v->x), static_cast<double>(v->y)}; }

    void close() {
        if (!contours.empty() && contours.back().size() > 1) {
            const Point first = contours.back().front(), last = contours.back().back();
            if (first.x != last.x || first.y != last.y) contours.back().push_back(first);
        }
    }
    // A Bézier of `degree` as the clamped spline of its control points, by
    // the geometry library's sagitta rule (the PDF reader's curves too).
    void bezier(std::vector<Point> controls) {
        geometry::Spline curve;
        curve.degree = static_cast<int>(controls.size()) - 1;
        curve.controlPoints = std::move(controls);
        curve.knots.assign(curve.degree + 1, 0.0);
        curve.knots.insert(curve.knots.end(), curve.degree + 1, 1.0);
        auto chords = geometry::flattenSpline(curve, tolerance);
        if (!chords || chords->size() < 2) {
            contours.back().push_back(curve.controlPoints.back());
            return;
        }
        contours.back().insert(contours.back().end(), chords->begin() + 1, chords->end());
    }

    static int moveTo(const FT_Vector* to, void* user) {
        auto* walk = static_cast<OutlineWalk*>(user);
        walk->close();
        walk->contours.push_back({at(to)});
        return 0;
    }
    static int lineTo(const FT_Vector* to, void* user) {
        static_cast<OutlineWalk*>(user)->contours.back().push_back(at(to));
        return 0;
    }
    static int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
        auto* walk = static_cast<OutlineWalk*>(user);
        walk->bezier({walk->contours.back().back(), at(control), at(to)});
        return 0;
    }
    static int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
        auto* walk = static_cast<OutlineWalk*>(user);
        walk->bezier({walk->contours.back().back(), at(c1), at(c2), at(to)});
        return 0;
    }
};

constexpr FT_Int32 LOAD_FLAGS = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

// The exact outline box of a character's glyph in font units; false when
// the face lacks it or it has no outline.
bool boxOf(FT_Face face, char32_t code, FT_BBox& box) {
    const FT_UInt index = FT_Get_Char_Index(face, code);
    if (index == 0 || FT_Load_Glyph(face, index, LOAD_FLAGS) != 0) return false;
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE || face->glyph->outline.n_points == 0) return false;
    return FT_Outline_Get_BBox(&face->glyph->outline, &box) == 0;
}

}  // namespace

OutlineFace::OutlineFace(FT_Face f, FontFile file) : face(f), source(std::move(file)) {
    FT_BBox box;
    if (boxOf(face, U'X', box) && box.yMax > 0) {
        cap = static_cast<double>(box.yMax);
    } else {
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        cap = os2 != nullptr && os2->version >= 2 && os2->sCapHeight > 0 ? os2->sCapHeight
                                                                         : 0.7 * face->units_per_EM;
    }
    for (char32_t c : std::u32string(U"gjpqy"))
        if (boxOf(face, c, box)) down = std::max(down, -static_cast<double>(box.yMin));
    if (down == 0) down = std::fabs(static_cast<double>(face->descender));
}

OutlineFace::~OutlineFace() { FT_Done_Face(face); }

std::unique_ptr<OutlineFace> OutlineFace::open(FT_Library library, const FontFile& file) {
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.path.c_str(), file.index, &face) != 0) return nullptr;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0 || FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    std::unique_ptr<OutlineFace> out(new OutlineFace(face, file));
    if (!(out->cap > 0)) return nullptr;
    return out;
}

bool OutlineFace::has(char32_t code) const { return FT_Get_Char_Index(face, code) != 0; }

std::optional<geometry::Glyph> OutlineFace::unscaled(char32_t code) const {
    const FT_UInt index = FT_Get_Char_Index(face, code);
    if (index == 0 || FT_Load_Glyph(face, index, LOAD_FLAGS) != 0) return std::nullopt;
    geometry::Glyph glyph;
    glyph.filled = true;
    glyph.advance = static_cast<double>(face->glyph->metrics.horiAdvance);
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return glyph;  // a space
    FT_Outline_Funcs funcs{};
    funcs.move_to = OutlineWalk::moveTo;
    funcs.line_to = OutlineWalk::lineTo;
    funcs.conic_to = OutlineWalk::conicTo;
    funcs.cubic_to = OutlineWalk::cubicTo;
    OutlineWalk walk;
    walk.tolerance = cap * CURVE_TOLERANCE;
    if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &walk) != 0) return std::nullopt;
    walk.close();
    for (Polyline& contour : walk.contours)
        if (contour.size() >= 4) glyph.strokes.push_back(std::move(contour));
    return glyph;
}

double OutlineFace::kerning(char32_t left, char32_t right, double capHeight) const {
    if (!FT_HAS_KERNING(face)) return 0;
    const FT_UInt l = FT_Get_Char_Index(face, left), r = FT_Get_Char_Index(face, right);
    FT_Vector delta{};
    if (l == 0 || r == 0 || FT_Get_Kerning(face, l, r, FT_KERNING_UNSCALED, &delta) != 0) return 0;
    return static_cast<double>(delta.x) * capHeight / cap;
}

std::optional<geometry::Glyph> OutlineFace::glyph(char32_t code, double capHeight) const {
    std::optional<geometry::Glyph> glyph = unscaled(code);
    if (!glyph) return std::nullopt;
    const double scale = capHeight / cap;
    glyph->advance *= scale;
    for (Polyline& contour : glyph->strokes)
        for (Point& p : contour) p = {p.x * scale, p.y * scale};
    return glyph;
}

}  // namespace tavix::fonts
