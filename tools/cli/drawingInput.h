// Opening the drawing to plot: a file, standard input ("-") or a pipe
// (/dev/stdin, <(...)). The readers look at the first bytes to choose the
// format and then read from the start, so what cannot be read twice (a
// pipe, a terminal) is first copied to a temporary file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tavix::host {

struct DrawingInput {
    std::FILE* file = nullptr;  // at its start; seekable
    bool copied = false;        // standard input or a pipe, copied to a temporary file
};

// Opens `path` ("-": standard input). False with the reason, which names
// the drawing as `shown`.
bool openDrawingInput(const std::string& path, const std::string& shown, DrawingInput& input, std::string& error);

// What a file that is no drawing at all holds, told by its first bytes (a
// PNG or JPEG image, a PostScript document, a printer stream): empty when it may
// be a drawing.
std::string foreignFileAdvice(std::string_view head);

}  // namespace tavix::host
