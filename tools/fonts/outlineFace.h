// One face of an outline font (TrueType, OpenType) read by FreeType: the
// glyphs' outlines and advances in font units, unhinted.
#pragma once

#include <memory>
#include <optional>

#include "fontFiles.h"
#include "geometry/strokeFont.h"

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace tavix::fonts {

class OutlineFace {
public:
    // nullptr when FreeType can not read the face.
    static std::unique_ptr<OutlineFace> open(FT_Library library, const FontFile& file);
    ~OutlineFace();
    OutlineFace(const OutlineFace&) = delete;
    OutlineFace& operator=(const OutlineFace&) = delete;

    bool has(char32_t code) const;
    // The glyph of `code` scaled so that this face's capitals are
    // `capHeight` high: closed outlines to fill, each curve cut into chords
    // within 1/4000 of the capital height. nullopt when the face lacks it.
    std::optional<geometry::Glyph> glyph(char32_t code, double capHeight) const;
    // The kerning of a pair (its legacy 'kern' table, as FreeType reads
    // it), scaled likewise; 0 without.
    double kerning(char32_t left, char32_t right, double capHeight) const;
    // Height of the capitals in font units: the top of "X" (where the CAD
    // host and ezdxf take a TrueType text height from).
    double capHeight() const { return cap; }
    // Depth of the descenders (g j p q y) in font units, positive.
    double descent() const { return down; }
    const FontFile& file() const { return source; }

private:
    OutlineFace(FT_Face face, FontFile file);
    // The outline of a glyph in font units; nullopt when it can not be loaded.
    std::optional<geometry::Glyph> unscaled(char32_t code) const;

    FT_Face face;
    FontFile source;
    double cap = 0, down = 0;
};

}  // namespace tavix::fonts
