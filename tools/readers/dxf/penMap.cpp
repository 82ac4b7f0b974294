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

}  // namespace

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
        if (!wholeNumber(w[0], 1, 255, colour)) return fail("the colour must be a number from 1 to 255");
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
