// The text shown beside the picture: the job ticket, the PJL lines, the
// paper, copies (PG/RP), pens, images and warnings. Plain UTF-8 lines; the
// ticket's own texts (drawing name, comment) are Shift-JIS and converted.
#pragma once

#include <string>
#include <vector>

#include "streamModel.h"

namespace tavix::preview {

struct PanelFacts {
    const ParsedStream* stream = nullptr;
    int pageIndex = 0;  // into stream->pages; may be past the end when nothing was drawn
    double dpi = 0;
    std::vector<Warning> notes;  // rendering notes (resolution lowered, ...)
};

std::vector<std::string> sidePanelLines(const PanelFacts& facts, size_t width = 56);

// Shift-JIS (code page 932) bytes as UTF-8; bytes that do not convert
// become '?'. ASCII is unchanged.
std::string shiftJisToUtf8(const std::string& text);

// Splits a line into pieces of at most `width` characters, preferring to
// break after a comma or a space; continuation lines are indented.
std::vector<std::string> wrapLine(const std::string& line, size_t width);

}  // namespace tavix::preview
