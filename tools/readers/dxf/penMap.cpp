#include "penMap.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "tavix/colorIndexPalette.h"

namespace tavix::dxf {
namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool wholeNumber(std::string_view w, int lo, int hi, int& out) {
    auto r = std::from_chars(w.data(), w.data() + w.size(), out);
    return r.ec == std::errc() && r.ptr == w.data() + w.size() && out >= lo && out <= hi;
}

// Millimetres: digits with an optional fraction.
bool millimetres(std::string_view w, double& out) {
    auto r = std::from_chars(w.data(), w.data() + w.size(), out);
    return r.ec == std::errc() && r.ptr == w.data() + w.size() && out >= 0 && out <= 25.4;
}

}  // namespace

// "R,G,B" or "R,G,B:LOW-HIGH".
bool PenMap::rgbColour(std::string_view w, RgbRule& rule, std::string& why) {
    std::string_view colour = w, range;
    if (size_t colon = w.find(':'); colon != std::string_view::npos) {
        colour = w.substr(0, colon);
        range = w.substr(colon + 1);
    }
    int parts[3] = {};
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        size_t comma = i < 2 ? colour.find(',', start) : colour.size();
        if (comma == std::string_view::npos || !wholeNumber(colour.substr(start, comma - start), 0, 255, parts[i])) {
            why = "the colour " + std::string(colour) + " is not R,G,B with each a number from 0 to 255";
            return false;
        }
        start = comma + 1;
    }
    rule.rgb = parts[0] << 16 | parts[1] << 8 | parts[2];
    if (range.empty()) return true;
    size_t dash = range.find('-');
    std::string_view low = range.substr(0, dash), high = dash == std::string_view::npos ? "" : range.substr(dash + 1);
    if (high.size() > 2 && high.substr(high.size() - 2) == "mm") high.remove_suffix(2);
    if (dash == std::string_view::npos || !millimetres(low, rule.lowMm) || !millimetres(high, rule.highMm) ||
        rule.lowMm > rule.highMm) {
        why = "the width range " + std::string(range) + " is not LOW-HIGH in millimetres (such as 0.3-0.6)";
        return false;
    }
    return true;
}

const PenChoice* PenMap::forRgb(int rgb, double widthMm) const {
    for (const RgbRule& rule : rgbRules)
        if (rule.rgb == rgb && widthMm >= rule.lowMm - 1e-9 && widthMm <= rule.highMm + 1e-9) return &rule.choice;
    return nullptr;
}

PenMap::PenMap() {
    for (int i = 0; i < 256; ++i) pens[i].pen = i == 0 ? 7 : i;
}

PenChoice PenMap::forColour(int aci) const { return pens[aci >= 1 && aci <= 255 ? aci : 7]; }

void PenMap::assign(int aci, const PenChoice& choice) {
    if (aci < 1 || aci > 255) return;
    pens[aci] = choice;
    anyWidth = anyWidth || choice.widthMm >= 0;
}

bool PenMap::parse(std::string_view text, std::string& error) {
    int lineNumber = 0;
    size_t pos = 0;
    std::array<int, 256> givenOn{};  // the line that gave each colour its pen

    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        auto w = words(line);
        if (w.empty()) continue;
        auto fail = [&](const std::string& what) {
            error = "line " + std::to_string(lineNumber) + ": " + what;
            return false;
        };
        int colour = 0, pen = 0;
        if (w.size() < 2 || w.size() > 3) return fail("expected COLOUR PEN [WIDTH in mm]");
        RgbRule rule;
        bool rgb = w[0].find(',') != std::string_view::npos;
        if (rgb) {
            std::string why;
            if (!rgbColour(w[0], rule, why)) return fail(why);
        } else if (!wholeNumber(w[0], 1, 255, colour)) {
            return fail("the colour must be a number from 1 to 255, or R,G,B");
        }
        if (!wholeNumber(w[1], 1, 255, pen)) return fail("the pen must be a number from 1 to 255");
        PenChoice choice{pen, -1};
        if (w.size() == 3) {
            std::string_view width = w[2];
            if (width.size() > 2 && width.substr(width.size() - 2) == "mm") width.remove_suffix(2);
            double mm = 0;
            auto r = std::from_chars(width.data(), width.data() + width.size(), mm);
            if (r.ec != std::errc() || r.ptr != width.data() + width.size() || !(mm >= 0 && mm <= 25.4))
                return fail("the width must be a number of millimetres from 0 to 25.4");
            choice.widthMm = mm;
            anyWidth = true;
        }
        if (rgb) {
            rule.choice = choice;
            rgbRules.push_back(rule);
            continue;
        }
        // A colour given twice is a slip in the file: which line was meant?
        if (givenOn[colour] != 0)
            return fail("colour " + std::to_string(colour) + " has its pen on line " +
                        std::to_string(givenOn[colour]) + " already");
        givenOn[colour] = lineNumber;
        pens[colour] = choice;
    }
    return true;
}

int nearestColourNumber(int rgb) {
    int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    int best = 7;
    long bestDistance = -1;
    for (int i = 1; i <= 255; ++i) {
        long dr = r - colorIndexPalette[i][0], dg = g - colorIndexPalette[i][1], db = b - colorIndexPalette[i][2];
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

}  // namespace tavix::dxf
