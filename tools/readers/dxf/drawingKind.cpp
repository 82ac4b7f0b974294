#include "drawingKind.h"

namespace tavix::dxf {
namespace {

constexpr std::string_view BINARY_DXF_SENTINEL = "AutoCAD Binary DXF\r\n\x1a";

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The next line of `text` from `pos`, trimmed; pos moves past it.
std::string_view nextLine(std::string_view text, size_t& pos) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    return trimmed(line);
}

}  // namespace

DrawingKind sniffDrawing(std::string_view head) {
    if (head.substr(0, BINARY_DXF_SENTINEL.size()) == BINARY_DXF_SENTINEL) return DrawingKind::BinaryDxf;
    // DWG files begin with their version: "AC1009" (R12) to "AC1032" (2018), "AC2.10" and older.
    if (head.size() >= 6 && head.substr(0, 2) == "AC" && (head[2] == '1' || head[2] == '2') &&
        head.find('\0') != std::string_view::npos)
        return DrawingKind::Dwg;
    if (head.substr(0, 3) == "\xEF\xBB\xBF") head.remove_prefix(3);
    // ASCII DXF: group pairs, optionally led by 999 comments, then "0" "SECTION".
    size_t pos = 0;
    while (pos < head.size()) {
        std::string_view code = nextLine(head, pos);
        if (pos > head.size()) break;
        std::string_view value = nextLine(head, pos);
        if (code == "999") continue;
        if (code == "0" && value == "SECTION") return DrawingKind::AsciiDxf;
        break;
    }
    return DrawingKind::RequestScript;
}

std::string unreadableDrawingAdvice(DrawingKind kind) {
    switch (kind) {
        case DrawingKind::Dwg:
            return "this is a DWG drawing, which tavix does not read: save it as ASCII DXF in the CAD program "
                   "(Save As, DXF) or convert it with a DWG to DXF converter, and plot the DXF file";
        default: return "";
    }
}

}  // namespace tavix::dxf
