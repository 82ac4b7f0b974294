#include "fontFiles.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>

namespace tavix::fonts {
namespace {

// Fontconfig's configuration, loaded once for the process.
bool ready() {
    static const bool loaded = FcInit() == FcTrue;
    return loaded;
}

std::string stringOf(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    return FcPatternGetString(pattern, object, 0, &value) == FcResultMatch ? reinterpret_cast<const char*>(value)
                                                                           : std::string();
}

FontFile fileOf(FcPattern* pattern) {
    FontFile file;
    file.path = stringOf(pattern, FC_FILE);
    file.family = stringOf(pattern, FC_FAMILY);
    int index = 0;
    if (FcPatternGetInteger(pattern, FC_INDEX, 0, &index) == FcResultMatch) file.index = index;
    return file;
}

// A pattern for `families` (most wanted first) as fontconfig completes it.
FcPattern* patternFor(const std::vector<std::string>& families, bool bold, bool italic) {
    FcPattern* pattern = FcPatternCreate();
    for (const std::string& family : families)
        if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    // Outlines only: bitmap fonts have nothing to fill.
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

}  // namespace

std::optional<FontFile> matchFamily(const std::string& family, bool bold, bool italic) {
    if (!ready()) return std::nullopt;
    FcPattern* pattern = patternFor({family}, bold, italic);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return std::nullopt;
    FontFile file = fileOf(match);
    FcPatternDestroy(match);
    if (file.path.empty()) return std::nullopt;
    return file;
}

std::optional<FontFile> installedFile(const std::string& fileName) {
    if (!ready() || fileName.empty()) return std::nullopt;
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    };
    const std::string wanted = lower(fileName);
    FcPattern* any = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, FC_OUTLINE, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, any, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(any);
    std::optional<FontFile> found;
    for (int i = 0; fonts != nullptr && i < fonts->nfont && !found; ++i) {
        FontFile file = fileOf(fonts->fonts[i]);
        const std::string name = file.path.substr(file.path.find_last_of('/') + 1);
        // The first face of a collection stands for the file.
        if (lower(name) == wanted && file.index == 0) found = file;
    }
    if (fonts != nullptr) FcFontSetDestroy(fonts);
    return found;
}

struct FallbackFonts::Candidate {
    FontFile file;
    FcCharSet* characters = nullptr;  // owned
};

FallbackFonts::FallbackFonts(const std::string& family) {
    if (!ready()) return;
    FcPattern* pattern =
        patternFor({family, "DejaVu Sans", "Noto Sans CJK JP", "IPAGothic", "sans-serif"}, false, false);
    FcResult result = FcResultNoMatch;
    FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    if (sorted == nullptr) return;
    for (int i = 0; i < sorted->nfont; ++i) {
        FcCharSet* characters = nullptr;
        FcBool outline = FcFalse;
        if (FcPatternGetCharSet(sorted->fonts[i], FC_CHARSET, 0, &characters) != FcResultMatch) continue;
        if (FcPatternGetBool(sorted->fonts[i], FC_OUTLINE, 0, &outline) == FcResultMatch && !outline) continue;
        Candidate candidate{fileOf(sorted->fonts[i]), FcCharSetCopy(characters)};
        if (candidate.file.path.empty()) {
            FcCharSetDestroy(candidate.characters);
            continue;
        }
        candidates.push_back(std::move(candidate));
    }
    FcFontSetDestroy(sorted);
}

FallbackFonts::~FallbackFonts() {
    for (Candidate& c : candidates) FcCharSetDestroy(c.characters);
}

std::optional<FontFile> FallbackFonts::with(char32_t code) const {
    for (const Candidate& c : candidates)
        if (FcCharSetHasChar(c.characters, code)) return c.file;
    return std::nullopt;
}

}  // namespace tavix::fonts

// Fontconfig keeps its configuration for the life of the process;
// LeakSanitizer would report it at exit. Weak, as the preview's is, so that
// a program with suppressions of its own keeps them.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
