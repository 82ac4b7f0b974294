// The fonts a drawing's text styles name, as drawn here: a TrueType style
// with the outlines of its font (or of the installed stand-in), a shape-font
// style (.shx) with the stroke font; a character the style's font lacks from
// an installed font that has it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "geometry/strokeFont.h"

typedef struct FT_LibraryRec_* FT_Library;

namespace tavix::fonts {

class OutlineFace;
class FallbackFonts;
struct FontFile;

// What a text style asks for.
struct FontRequest {
    std::string file;    // its font file: arial.ttf, ARIALBD.TTF, simplex.shx; empty: txt
    std::string family;  // the TrueType family its extended data names, when any
    bool bold = false, italic = false;
};

// Distinct fonts one drawing may ask for; beyond them (a drawing made to
// exhaust the machine, not a real one) text is drawn with the stroke font.
constexpr std::size_t MAX_TEXT_FONTS = 64;

class TextFonts {
public:
    // `strokeFont`: what shape-font styles draw with; nullptr when there is none.
    explicit TextFonts(const geometry::StrokeFont* strokeFont);
    ~TextFonts();
    TextFonts(const TextFonts&) = delete;
    TextFonts& operator=(const TextFonts&) = delete;

    // The font to draw a style's text with, valid while this lives; nullptr
    // only when a shape-font style has no stroke font to draw with.
    const geometry::StrokeFont* fontFor(const FontRequest& request);

    // One line for each font a style names that is not installed, saying
    // what draws its text instead.
    const std::vector<std::string>& warnings() const { return notes; }

    // Faces and fallbacks, shared by the fonts' glyph sources.
    const OutlineFace* face(const FontFile& file);
    const FallbackFonts& fallbacks();

private:
    const geometry::StrokeFont* shapeFont();

    const geometry::StrokeFont* stroke;
    FT_Library library = nullptr;
    std::map<std::string, std::unique_ptr<OutlineFace>> faces;  // by path and index; null: unreadable
    std::unique_ptr<FallbackFonts> fallbackFonts;
    std::unique_ptr<geometry::StrokeFont> strokeWithFallback;
    std::map<std::string, std::unique_ptr<geometry::StrokeFont>> outlineFonts;  // by request; null: not found
    std::vector<std::string> notes;
    bool tooManyFonts = false;  // and said so
};

}  // namespace tavix::fonts
