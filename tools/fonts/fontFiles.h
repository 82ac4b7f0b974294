// The installed fonts, as fontconfig knows them: the file of a family, and
// the fonts that have a character the text's own font lacks.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavix::fonts {

struct FontFile {
    std::string path;
    int index = 0;       // the face within a collection (.ttc)
    std::string family;  // as the font names itself
};

// The font fontconfig chooses for `family` in the weight and slant asked:
// the family itself, a metric-compatible stand-in its rules name (Arial:
// Liberation Sans), or failing both its default face. nullopt when no font
// is installed at all.
std::optional<FontFile> matchFamily(const std::string& family, bool bold, bool italic);

// The installed font whose file has the name `fileName` (without folders,
// any case: "LiberationSans-Regular.ttf"); nullopt when none has.
std::optional<FontFile> installedFile(const std::string& fileName);

// The installed fonts in the order a character is looked for when the
// text's font lacks it: the family asked for, DejaVu Sans, then the CJK
// families (Noto Sans CJK, IPAGothic), then whatever else fontconfig sorts
// after them.
class FallbackFonts {
public:
    explicit FallbackFonts(const std::string& family);
    ~FallbackFonts();
    FallbackFonts(const FallbackFonts&) = delete;
    FallbackFonts& operator=(const FallbackFonts&) = delete;

    // The first font that has `code`; nullopt when none has.
    std::optional<FontFile> with(char32_t code) const;

private:
    struct Candidate;
    std::vector<Candidate> candidates;
};

}  // namespace tavix::fonts
