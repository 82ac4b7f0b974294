#include "drawingFile.h"

#include <charconv>
#include <cmath>

namespace tavix::host {
namespace {

constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";
constexpr size_t QUOTED_WORD_LIMIT = 24;

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

void splitWords(std::string_view line, std::vector<std::string_view>& words) {
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && blank(line[i])) ++i;
        size_t start = i;
        while (i < line.size() && !blank(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
}

bool parseNumber(std::string_view word, double& out) {
    if (word.empty()) return false;
    // Most coordinates are whole numbers: read up to nine digits directly.
    if (word.size() <= 9) {
        uint32_t whole = 0;
        size_t i = 0;
        while (i < word.size() && word[i] >= '0' && word[i] <= '9') whole = whole * 10 + static_cast<uint32_t>(word[i++] - '0');
        if (i == word.size()) {
            out = whole;
            return true;
        }
    }
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

}  // namespace

std::string quotedWord(std::string_view word) {
    if (word.size() <= QUOTED_WORD_LIMIT) return "'" + std::string(word) + "'";
    return "'" + std::string(word.substr(0, QUOTED_WORD_LIMIT)) + "...'";
}

bool DrawingLineParser::fail(const std::string& what) {
    *error_ = "line " + std::to_string(line_) + ": " + what;
    return false;
}

DrawingLineParser::Result DrawingLineParser::parse(std::string_view line, int lineNumber, DrawingRequest& out,
                                                   std::string& error) {
    line_ = lineNumber;
    error_ = &error;
    if (lineNumber == 1 && line.substr(0, BYTE_ORDER_MARK.size()) == BYTE_ORDER_MARK)
        line.remove_prefix(BYTE_ORDER_MARK.size());
    if (size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    splitWords(line, words_);
    if (words_.empty()) return Result::Nothing;
    std::string_view verb = words_[0];
    if (verb == "units") {
        if (words_.size() != 2) {
            fail("units takes one of host, mm, in");
            return Result::Bad;
        }
        if (words_[1] == "host") unit_ = Unit::Host;
        else if (words_[1] == "mm") unit_ = Unit::Millimetre;
        else if (words_[1] == "in") unit_ = Unit::Inch;
        else {
            fail("unknown unit " + quotedWord(words_[1]) + " (host, mm or in)");
            return Result::Bad;
        }
        return Result::Nothing;
    }
    out.line = lineNumber;
    out.unit = unit_;
    out.coords.clear();
    out.file.clear();
    out.value = 0;
    out.widthInches = 0;
    out.image = ImageOptions{};
    return request(verb, out) ? Result::Request : Result::Bad;
}

bool DrawingLineParser::coordinates(size_t first, size_t count, DrawingRequest& r) {
    for (size_t i = first; i < first + count; ++i) {
        double v;
        if (!parseNumber(words_[i], v)) return fail(quotedWord(words_[i]) + " is not a number");
        if (v < 0) return fail("coordinates cannot be negative");
        r.coords.push_back(v);
    }
    return true;
}

bool DrawingLineParser::request(std::string_view verb, DrawingRequest& r) {
    const size_t argc = words_.size() - 1;
    // The verb for a message; built only when one is needed.
    auto name = [verb] { return std::string(verb.substr(0, QUOTED_WORD_LIMIT)); };
    if (verb == "move" || verb == "draw") {
        if (argc != 2) return fail(name() + " takes X and Y");
        r.op = verb == "move" ? DrawingOp::Move : DrawingOp::Draw;
        return coordinates(1, 2, r);
    }
    if (verb == "lift" || verb == "abort") {
        if (argc != 0) return fail(name() + " takes nothing");
        r.op = verb == "lift" ? DrawingOp::Lift : DrawingOp::Abort;
        return true;
    }
    if (verb == "pen") {
        r.op = DrawingOp::Pen;
        // Pen 0 would select no pen at all (the lines vanish), and the
        // palette ends at 255.
        if (argc != 1 || !parseInteger(words_[1], FIRST_PEN, LAST_PEN, r.value))
            return fail("pen takes a pen number 1..255");
        return true;
    }
    if (verb == "linetype" || verb == "linetypes") {
        bool one = verb == "linetype";
        r.op = one ? DrawingOp::LineType : DrawingOp::LineTypes;
        if (argc != 1 || !parseInteger(words_[1], 0, one ? 65535 : 32767, r.value))
            return fail(one ? "linetype takes a number 0..65535" : "linetypes takes a count 0..32767");
        return true;
    }
    if (verb == "width") {
        r.op = DrawingOp::Width;
        if (argc != 1 || !parseWidth(words_[1], r.widthInches))
            return fail("width takes a width in inches, or with mm / in");
        if (r.widthInches < 0) return fail("a width cannot be negative");
        return true;
    }
    if (verb == "fill" || verb == "fillarray") {
        r.op = verb == "fill" ? DrawingOp::Fill : DrawingOp::FillArray;
        if (argc < 1 || !parseInteger(words_[1], -32768, 32767, r.value))
            return fail(name() + " takes a colour and vertex pairs");
        if ((argc - 1) % 2 != 0) return fail("vertices come in X Y pairs");
        if ((argc - 1) / 2 > 32767) return fail("too many vertices");
        return coordinates(2, argc - 1, r);
    }
    if (verb == "image") return imageRequest(r);
    return fail("unknown request " + quotedWord(verb));
}

bool DrawingLineParser::imageRequest(DrawingRequest& r) {
    if (words_.size() < 6) return fail("image takes FILE X0 Y0 X1 Y1 [options]");
    r.op = DrawingOp::Image;
    r.file = std::string(words_[1]);
    if (!coordinates(2, 4, r)) return false;
    // A reversed or empty rectangle prints nothing.
    if (!(r.coords[0] < r.coords[2] && r.coords[1] < r.coords[3]))
        return fail("the image rectangle X0 Y0 X1 Y1 needs X0 < X1 and Y0 < Y1");
    for (size_t i = 6; i < words_.size(); ++i) {
        std::string_view o = words_[i];
        if (o == "rgb") r.image.bitonal = false;
        else if (o == "bitonal") r.image.bitonal = true;
        else if (o == "transparent") r.image.transparency = 2;
        else if (o == "outline") r.image.transparency = 1;
        else if (o == "colour" || o == "color") {
            if (i + 1 >= words_.size() || !parseInteger(words_[i + 1], 0, 7, r.image.colourIndex))
                return fail("colour takes an index 0..7");
            ++i;
        } else {
            return fail("unknown image option " + quotedWord(o));
        }
    }
    return true;
}

bool parseDrawing(std::string_view text, Drawing& drawing, std::string& error) {
    drawing.requests.clear();
    DrawingLineParser parser;
    DrawingRequest r;
    int lineNumber = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        switch (parser.parse(text.substr(pos, end - pos), ++lineNumber, r, error)) {
            case DrawingLineParser::Result::Request: drawing.requests.push_back(r); break;
            case DrawingLineParser::Result::Nothing: break;
            case DrawingLineParser::Result::Bad: return false;
        }
        pos = end + 1;
    }
    return true;
}

}  // namespace tavix::host
