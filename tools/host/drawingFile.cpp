#include "drawingFile.h"

#include <charconv>
#include <cmath>

namespace tavix::host {
namespace {

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool parseNumber(std::string_view word, double& out) {
    if (word.empty()) return false;
    // from_chars accepts neither a leading '+' nor hex without a prefix: a
    // plain decimal grammar, independent of the locale.
    auto r = std::from_chars(word.data(), word.data() + word.size(), out);
    return r.ec == std::errc() && r.ptr == word.data() + word.size() && std::isfinite(out);
}

bool parseInteger(std::string_view word, long lo, long hi, int& out) {
    long v = 0;
    auto r = std::from_chars(word.data(), word.data() + word.size(), v);
    if (r.ec != std::errc() || r.ptr != word.data() + word.size() || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

// A width: inches, or a number with the suffix "mm" or "in".
bool parseWidth(std::string_view word, double& inches) {
    double scale = 1.0;
    if (word.size() > 2 && word.substr(word.size() - 2) == "mm") {
        scale = 1.0 / 25.4;
        word.remove_suffix(2);
    } else if (word.size() > 2 && word.substr(word.size() - 2) == "in") {
        word.remove_suffix(2);
    }
    double v;
    if (!parseNumber(word, v)) return false;
    inches = v * scale;
    return true;
}

struct LineParser {
    int line;
    std::string& error;

    bool fail(const std::string& what) {
        error = "line " + std::to_string(line) + ": " + what;
        return false;
    }
};

}  // namespace

bool toHostUnits(double value, Unit unit, double hostUnitsPerInch, uint16_t& out) {
    double units = value;
    if (unit == Unit::Millimetre) units = value / 25.4 * hostUnitsPerInch;
    if (unit == Unit::Inch) units = value * hostUnitsPerInch;
    double rounded = std::floor(units + 0.5);
    if (!(rounded >= 0 && rounded <= 65535)) return false;
    out = static_cast<uint16_t>(rounded);
    return true;
}

bool parseDrawing(std::string_view text, Drawing& drawing, std::string& error) {
    drawing.requests.clear();
    Unit unit = Unit::Host;
    int lineNumber = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        auto words = splitWords(line);
        if (words.empty()) {
            if (end == text.size()) break;
            continue;
        }
        LineParser p{lineNumber, error};
        std::string_view verb = words[0];
        size_t argc = words.size() - 1;
        DrawingRequest r;
        r.op = DrawingOp::Lift;
        r.line = lineNumber;
        r.unit = unit;

        auto coordsFrom = [&](size_t first, size_t count) -> bool {
            for (size_t i = first; i < first + count; ++i) {
                double v;
                if (!parseNumber(words[i], v))
                    return p.fail("'" + std::string(words[i]) + "' is not a number");
                if (v < 0) return p.fail("coordinates cannot be negative");
                r.coords.push_back(v);
            }
            return true;
        };

        if (verb == "units") {
            if (argc != 1) return p.fail("units takes one of host, mm, in");
            if (words[1] == "host") unit = Unit::Host;
            else if (words[1] == "mm") unit = Unit::Millimetre;
            else if (words[1] == "in") unit = Unit::Inch;
            else return p.fail("unknown unit '" + std::string(words[1]) + "' (host, mm or in)");
            continue;
        } else if (verb == "move" || verb == "draw") {
            if (argc != 2) return p.fail(std::string(verb) + " takes X and Y");
            r.op = verb == "move" ? DrawingOp::Move : DrawingOp::Draw;
            if (!coordsFrom(1, 2)) return false;
        } else if (verb == "lift" || verb == "abort") {
            if (argc != 0) return p.fail(std::string(verb) + " takes nothing");
            r.op = verb == "lift" ? DrawingOp::Lift : DrawingOp::Abort;
        } else if (verb == "pen") {
            if (argc != 1 || !parseInteger(words[1], 0, 32767, r.value))
                return p.fail("pen takes a pen number 0..32767");
            r.op = DrawingOp::Pen;
        } else if (verb == "linetype") {
            if (argc != 1 || !parseInteger(words[1], 0, 65535, r.value))
                return p.fail("linetype takes a number 0..65535");
            r.op = DrawingOp::LineType;
        } else if (verb == "linetypes") {
            if (argc != 1 || !parseInteger(words[1], 0, 32767, r.value))
                return p.fail("linetypes takes a count 0..32767");
            r.op = DrawingOp::LineTypes;
        } else if (verb == "width") {
            if (argc != 1 || !parseWidth(words[1], r.widthInches))
                return p.fail("width takes a width in inches, or with mm / in");
            r.op = DrawingOp::Width;
        } else if (verb == "fill" || verb == "fillarray") {
            r.op = verb == "fill" ? DrawingOp::Fill : DrawingOp::FillArray;
            if (argc < 1 || !parseInteger(words[1], -32768, 32767, r.value))
                return p.fail(std::string(verb) + " takes a colour and vertex pairs");
            if ((argc - 1) % 2 != 0) return p.fail("vertices come in X Y pairs");
            if ((argc - 1) / 2 > 32767) return p.fail("too many vertices");
            if (!coordsFrom(2, argc - 1)) return false;
        } else if (verb == "image") {
            if (argc < 5) return p.fail("image takes FILE X0 Y0 X1 Y1 [options]");
            r.op = DrawingOp::Image;
            r.file = std::string(words[1]);
            if (!coordsFrom(2, 4)) return false;
            for (size_t i = 6; i < words.size(); ++i) {
                std::string_view o = words[i];
                if (o == "rgb") r.image.bitonal = false;
                else if (o == "bitonal") r.image.bitonal = true;
                else if (o == "transparent") r.image.transparency = 2;
                else if (o == "outline") r.image.transparency = 1;
                else if (o == "colour" || o == "color") {
                    if (i + 1 >= words.size() || !parseInteger(words[i + 1], 0, 7, r.image.colourIndex))
                        return p.fail("colour takes an index 0..7");
                    ++i;
                } else {
                    return p.fail("unknown image option '" + std::string(o) + "'");
                }
            }
        } else {
            return p.fail("unknown request '" + std::string(verb) + "'");
        }
        drawing.requests.push_back(std::move(r));
        if (end == text.size()) break;
    }
    return true;
}

}  // namespace tavix::host
