#include "sidePanel.h"

#include <iconv.h>

#include <algorithm>

#include "streamContext.h"

namespace tavix::preview {
namespace {

constexpr size_t MAX_WARNINGS_SHOWN = 12;

std::string imageForm(const RasterImage& image) {
    switch (image.pixelEncoding) {
    case 0:
        if (image.bitsPerIndex == 1) return "dithered monochrome";
        return "dithered colour planes";
    case 1: return "continuous-tone gray";
    case 2: return "colour planes";
    default: return "continuous-tone RGB";
    }
}

std::string inches(double units) { return fixedText(units / UNITS_PER_INCH, 2); }

size_t utf8Length(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

// "Width=25,25,...,25" with 255 values reads as "Width=25 x255": long
// value lists are shown as runs.
std::string compactList(const std::string& line) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) return line;
    std::vector<std::string> values;
    size_t start = eq + 1;
    while (true) {
        size_t comma = line.find(',', start);
        values.push_back(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (values.size() <= 16) return line;
    std::string out = line.substr(0, eq + 1);
    for (size_t i = 0; i < values.size();) {
        size_t j = i;
        while (j < values.size() && values[j] == values[i]) ++j;
        if (i > 0) out += ", ";
        out += values[i];
        if (j - i > 1) out += " x" + numberText(static_cast<long long>(j - i));
        i = j;
    }
    return out + " (" + numberText(static_cast<long long>(values.size())) + " values)";
}

}  // namespace

std::string shiftJisToUtf8(const std::string& text) {
    bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    std::string out;
    if (!ascii) {
        iconv_t cd = iconv_open("UTF-8", "CP932");
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            std::string input = text;
            char* in = input.data();
            size_t inLeft = input.size();
            std::string buffer(input.size() * 4 + 4, '\0');
            while (inLeft > 0) {
                char* outPtr = buffer.data();
                size_t outLeft = buffer.size();
                size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
                out.append(buffer.data(), buffer.size() - outLeft);
                if (r == static_cast<size_t>(-1) && inLeft > 0) {
                    out += '?';  // a byte that is not Shift-JIS
                    ++in;
                    --inLeft;
                    iconv(cd, nullptr, nullptr, nullptr, nullptr);
                }
            }
            iconv_close(cd);
        } else {
            out = text;
        }
    } else {
        out = text;
    }
    // Control characters and anything that is not well-formed UTF-8 become '?'.
    std::string clean;
    for (size_t i = 0; i < out.size();) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (c < 0x80) {
            clean += (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
            ++i;
            continue;
        }
        size_t n = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        bool ok = n > 0 && i + n <= out.size();
        for (size_t k = 1; ok && k < n; ++k) ok = (static_cast<unsigned char>(out[i + k]) & 0xC0) == 0x80;
        if (ok) {
            clean.append(out, i, n);
            i += n;
        } else {
            clean += '?';
            ++i;
        }
    }
    return clean;
}

std::vector<std::string> wrapLine(const std::string& line, size_t width) {
    std::vector<std::string> pieces;
    if (width < 8) width = 8;
    std::string rest = line;
    std::string indent;
    while (utf8Length(indent + rest) > width) {
        size_t room = width - indent.size();
        // Byte position of the character `room`.
        size_t cut = 0, chars = 0;
        while (cut < rest.size() && chars < room) {
            ++cut;
            while (cut < rest.size() && (static_cast<unsigned char>(rest[cut]) & 0xC0) == 0x80) ++cut;
            ++chars;
        }
        size_t brk = rest.find_last_of(", ", cut - 1);
        if (brk != std::string::npos && brk > room / 2 && brk + 1 <= cut) cut = brk + 1;
        pieces.push_back(indent + rest.substr(0, cut));
        rest = rest.substr(cut);
        indent = "    ";
    }
    pieces.push_back(indent + rest);
    return pieces;
}

std::vector<std::string> sidePanelLines(const PanelFacts& facts, size_t width) {
    std::vector<std::string> lines;
    auto add = [&](const std::string& text) {
        for (auto& piece : wrapLine(text, width)) lines.push_back(piece);
    };
    const ParsedStream& s = *facts.stream;
    add("Printer stream: " + numberText(static_cast<long long>(s.byteCount)) + " bytes, " +
        numberText(static_cast<long long>(s.instructionCount)) + " HP-GL/2 instructions");
    lines.emplace_back();
    if (s.ticketPresent) {
        add("Job ticket:");
        for (const auto& t : s.ticket) add("  " + shiftJisToUtf8(compactList(t)));
    } else {
        add("Job ticket: none");
    }
    lines.emplace_back();
    for (const auto& p : s.pjl) add(shiftJisToUtf8(p));
    int pageCount = static_cast<int>(s.pages.size());
    if (facts.pageIndex < pageCount) {
        const Page& page = s.pages[static_cast<size_t>(facts.pageIndex)];
        add("Page " + numberText(facts.pageIndex + 1) + " of " + numberText(pageCount) +
            (page.ended ? "" : " (not ended by PG)"));
        if (page.hasPaper) {
            add("Paper: PS" + fixedText(page.paperLength, 0) + "," + fixedText(page.paperWidth, 0) + " = " +
                inches(page.extent.x1 - page.extent.x0) + " x " + inches(page.extent.y1 - page.extent.y0) +
                " in");
        } else {
            add("Paper: not given (PS); the drawing's extent is shown");
        }
        if (page.replots > 0)
            add("Copies: " + numberText(1 + page.replots) + " (PG, then RP" + numberText(page.replots) + ")");
        else
            add(std::string("Copies: 1") + (page.ended ? "" : " (no PG)"));
        std::string pens = "Pens used:";
        for (size_t i = 0; i < page.pensUsed.size(); ++i)
            pens += (i ? ", " : " ") + numberText(page.pensUsed[i]);
        if (page.pensUsed.empty()) pens += " none";
        add(pens);
        add("Vectors: " + numberText(static_cast<long long>(page.strokes.size())) + " polylines, " +
            numberText(static_cast<long long>(page.fills.size())) + " filled polygons");
        for (size_t i = 0; i < page.rasters.size(); ++i) {
            const RasterImage& r = page.rasters[i];
            add("Image " + numberText(static_cast<long long>(i + 1)) + ": " + numberText(r.width) + " x " +
                numberText(r.rows) + " px at " + numberText(r.dpi) + " dpi, " + imageForm(r) + "; rows printed " +
                numberText(r.printedRows) + ", skipped " + numberText(r.skippedRows));
        }
    } else {
        add("Nothing drawn");
    }
    add("Shown at " + fixedText(facts.dpi, facts.dpi < 10 ? 2 : 0) + " dpi");
    lines.emplace_back();
    size_t total = s.warnings.size() + s.warningsDropped + facts.notes.size();
    add("Warnings: " + numberText(static_cast<long long>(total)));
    size_t shown = 0;
    auto show = [&](const Warning& w) {
        if (shown++ >= MAX_WARNINGS_SHOWN) return;
        std::string where = w.offset == NO_OFFSET ? "" : "@" + numberText(static_cast<long long>(w.offset)) + ": ";
        add("  " + where + shiftJisToUtf8(w.text));
    };
    for (const auto& w : facts.notes) show(w);
    for (const auto& w : s.warnings) show(w);
    if (total > MAX_WARNINGS_SHOWN) add("  ... and " + numberText(static_cast<long long>(total - MAX_WARNINGS_SHOWN)) + " more");
    return lines;
}

}  // namespace tavix::preview
