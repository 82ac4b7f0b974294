#include "textFonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>

#include "fontFiles.h"
#include "outlineFace.h"

namespace tavix::fonts {
namespace {

std::string lowerCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The file name without folders and extension, in lower case.
std::string stemOf(const std::string& file) {
    std::string name = file.substr(file.find_last_of("/\\") + 1);
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    return lowerCase(name);
}

// A shape font's name (txt, simplex.shx), as some styles give in place of a family.
bool isShapeFontName(const std::string& name) {
    const std::string lower = lowerCase(name);
    return lower == "txt" || (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".shx") == 0);
}

bool isOutlineFile(const std::string& file) {
    const auto dot = file.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string extension = lowerCase(file.substr(dot + 1));
    return extension == "ttf" || extension == "ttc" || extension == "otf";
}

struct KnownFile {
    const char* stem;
    const char* family;
    bool bold, italic;
};

// The families of the font files drawings name most, by the files' names
// (a style without extended data names only the file).
constexpr KnownFile KNOWN_FILES[] = {
    {"arial", "Arial", false, false},          {"arialbd", "Arial", true, false},
    {"ariali", "Arial", false, true},          {"arialbi", "Arial", true, true},
    {"arialn", "Arial Narrow", false, false},  {"times", "Times New Roman", false, false},
    {"timesbd", "Times New Roman", true, false}, {"timesi", "Times New Roman", false, true},
    {"timesbi", "Times New Roman", true, true}, {"cour", "Courier New", false, false},
    {"courbd", "Courier New", true, false},    {"couri", "Courier New", false, true},
    {"calibri", "Calibri", false, false},      {"calibrib", "Calibri", true, false},
    {"cambria", "Cambria", false, false},      {"tahoma", "Tahoma", false, false},
    {"tahomabd", "Tahoma", true, false},       {"verdana", "Verdana", false, false},
    {"verdanab", "Verdana", true, false},      {"segoeui", "Segoe UI", false, false},
    {"msgothic", "MS Gothic", false, false},   {"msmincho", "MS Mincho", false, false},
    {"simsun", "SimSun", false, false},        {"gulim", "Gulim", false, false},
};

// Families whose installed stand-in has the same metrics (or is the same
// font renamed): drawn by it without a warning.
constexpr std::pair<const char*, const char*> METRIC_STAND_INS[] = {
    {"arial", "liberation sans"},          {"helvetica", "liberation sans"},
    {"times new roman", "liberation serif"}, {"courier new", "liberation mono"},
    {"arial narrow", "liberation sans narrow"}, {"calibri", "carlito"},
    {"cambria", "caladea"},
    // The URW fonts of Ghostscript under their names before and after 2017.
    {"urw chancery l", "z003"}, {"urw palladio l", "p052"}, {"century schoolbook l", "c059"},
    {"nimbus sans l", "nimbus sans"}, {"nimbus roman no9 l", "nimbus roman"}, {"nimbus mono l", "nimbus mono ps"},
    {"urw gothic l", "urw gothic"}, {"urw bookman l", "urw bookman"},
};

bool sameMetrics(const std::string& asked, const std::string& found) {
    const std::string a = lowerCase(asked), f = lowerCase(found);
    if (a == f) return true;
    return std::any_of(std::begin(METRIC_STAND_INS), std::end(METRIC_STAND_INS),
                       [&](const auto& pair) { return a == pair.first && f == pair.second; });
}

// Glyphs from the style's own face, else from the first installed font
// that has the character.
class FallbackGlyphs : public geometry::GlyphSource {
public:
    FallbackGlyphs(TextFonts& fonts, const OutlineFace* primary) : fonts(fonts), primary(primary) {}

    std::optional<geometry::Glyph> glyph(char32_t code, double capHeight) override {
        if (primary != nullptr && primary->has(code)) return primary->glyph(code, capHeight);
        const std::optional<FontFile> file = fonts.fallbacks().with(code);
        if (!file) return std::nullopt;
        const OutlineFace* face = fonts.face(*file);
        return face != nullptr ? face->glyph(code, capHeight) : std::nullopt;
    }
    double kerning(char32_t left, char32_t right, double capHeight) override {
        return primary != nullptr && primary->has(left) && primary->has(right)
                   ? primary->kerning(left, right, capHeight)
                   : 0;
    }

private:
    TextFonts& fonts;
    const OutlineFace* primary;
};

}  // namespace

TextFonts::TextFonts(const geometry::StrokeFont* strokeFont) : stroke(strokeFont) {
    if (FT_Init_FreeType(&library) != 0) library = nullptr;
}

TextFonts::~TextFonts() {
    // The fonts' glyph sources and the faces go before the library.
    outlineFonts.clear();
    strokeWithFallback.reset();
    faces.clear();
    if (library != nullptr) FT_Done_FreeType(library);
}

const OutlineFace* TextFonts::face(const FontFile& file) {
    if (library == nullptr) return nullptr;
    const std::string key = file.path + "#" + std::to_string(file.index);
    auto known = faces.find(key);
    if (known == faces.end()) known = faces.emplace(key, OutlineFace::open(library, file)).first;
    return known->second.get();
}

const FallbackFonts& TextFonts::fallbacks() {
    if (!fallbackFonts) fallbackFonts = std::make_unique<FallbackFonts>("");
    return *fallbackFonts;
}

const geometry::StrokeFont* TextFonts::shapeFont() {
    if (stroke == nullptr) return nullptr;
    if (!strokeWithFallback) {
        strokeWithFallback = std::make_unique<geometry::StrokeFont>(*stroke);
        strokeWithFallback->fetched.clear();
        strokeWithFallback->more = std::make_shared<FallbackGlyphs>(*this, nullptr);
    }
    return strokeWithFallback.get();
}

const geometry::StrokeFont* TextFonts::fontFor(const FontRequest& request) {
    const bool byFamily = request.file.empty() && !request.family.empty() && !isShapeFontName(request.family);
    if (!isOutlineFile(request.file) && !byFamily) return shapeFont();
    std::string family = request.family;
    bool bold = request.bold, italic = request.italic;
    const std::string stem = stemOf(request.file);
    for (const KnownFile& known : KNOWN_FILES)
        if (stem == known.stem) {
            if (family.empty()) family = known.family;
            bold = bold || known.bold;
            italic = italic || known.italic;
        }
    if (family.empty()) family = stem;
    const std::string key = lowerCase(request.file) + "|" + lowerCase(family) + "|" + (bold ? "b" : "") + (italic ? "i" : "");
    if (auto known = outlineFonts.find(key); known != outlineFonts.end())
        return known->second ? known->second.get() : shapeFont();

    if (outlineFonts.size() >= MAX_TEXT_FONTS) {
        if (!tooManyFonts)
            notes.push_back("the text styles name more than " + std::to_string(MAX_TEXT_FONTS) +
                            " fonts: the text of the others is drawn with the stroke font");
        tooManyFonts = true;
        return shapeFont();
    }
    const std::string named = request.file.empty() ? family : request.file + " (" + family + ")";
    // A file of that name installed here is the font itself; otherwise its family.
    std::optional<FontFile> file = request.family.empty() ? installedFile(request.file.substr(
                                                                request.file.find_last_of("/\\") + 1))
                                                          : std::nullopt;
    const bool byFile = file.has_value();
    if (!file) file = matchFamily(family, bold, italic);
    const OutlineFace* primary = file ? face(*file) : nullptr;
    std::unique_ptr<geometry::StrokeFont>& font = outlineFonts[key];
    if (primary == nullptr) {
        notes.push_back(file ? "the font " + named + " of a text style (" + file->path +
                                   ") can not be read: its text is drawn with the stroke font"
                             : "the font " + named + " of a text style is not installed, nor any outline font: " +
                                   "its text is drawn with the stroke font");
        return shapeFont();
    }
    if (!byFile && !sameMetrics(family, primary->file().family))
        notes.push_back("the font " + named + " of a text style is not installed: its text is drawn with " +
                        primary->file().family);
    font = std::make_unique<geometry::StrokeFont>();
    font->capHeight = primary->capHeight();
    font->descent = primary->descent();
    font->more = std::make_shared<FallbackGlyphs>(*this, primary);
    return font.get();
}

}  // namespace tavix::fonts
