#include "drawingInput.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavix::host {
namespace {

// Copies the rest of `from` to a temporary file, which the system removes
// when it is closed.
std::FILE* copyToTemporary(std::FILE* from, std::string& error) {
    std::FILE* copy = std::tmpfile();
    if (copy == nullptr) {
        error = std::string("cannot make a temporary copy: ") + std::strerror(errno);
        return nullptr;
    }
    char chunk[1 << 16];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, from)) > 0) {
        if (std::fwrite(chunk, 1, n, copy) != n) {
            error = std::string("cannot make a temporary copy: ") + std::strerror(errno);
            std::fclose(copy);
            return nullptr;
        }
    }
    if (std::ferror(from)) {
        error = std::strerror(errno);
        std::fclose(copy);
        return nullptr;
    }
    if (std::fflush(copy) != 0 || std::fseek(copy, 0, SEEK_SET) != 0) {
        error = std::string("cannot make a temporary copy: ") + std::strerror(errno);
        std::fclose(copy);
        return nullptr;
    }
    return copy;
}

bool startsWith(std::string_view s, std::string_view head) { return s.substr(0, head.size()) == head; }

}  // namespace

bool openDrawingInput(const std::string& path, const std::string& shown, DrawingInput& input, std::string& error) {
    input = {};
    std::FILE* file = nullptr;
    bool standardInput = path == "-";
    if (standardInput) {
        // Typing a drawing at the terminal is not what anyone means.
        if (isatty(fileno(stdin))) {
            error = "standard input is a terminal: name a drawing file, or pipe one in (cat FILE | tavix plot - ...)";
            return false;
        }
        file = stdin;
    } else {
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            error = "cannot read " + shown + ": it is a directory";
            return false;
        }
        file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            error = "cannot read " + shown + ": " + std::strerror(errno);
            return false;
        }
    }
    struct stat info {};
    bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    // A regular file given as standard input (tavix plot - < x.dxf) may
    // stand anywhere: the readers start where it stands, as a copy would.
    if (regular && !standardInput) {
        input.file = file;
        return true;
    }
    std::string why;
    std::FILE* copy = copyToTemporary(file, why);
    if (!standardInput) std::fclose(file);
    if (copy == nullptr) {
        error = "cannot read " + shown + ": " + why;
        return false;
    }
    input.file = copy;
    input.copied = true;
    return true;
}

std::string foreignFileAdvice(std::string_view head) {
    struct Kind {
        std::string_view magic;
        const char* what;
    } kinds[] = {
        {"\x89PNG\r\n\x1a\n", "a PNG image"},
        {"\xFF\xD8\xFF", "a JPEG image"},
        {"GIF8", "a GIF image"},
        {"%!PS", "a PostScript document"},
        {"PK\x03\x04", "a ZIP archive"},
        {"\x1F\x8B", "a gzip-compressed file"},
        {"\x1B%-12345X", "a printer stream"},
        {"\x1B" "E", "a printer stream"},
    };
    for (const Kind& k : kinds) {
        if (!startsWith(head, k.magic)) continue;
        std::string advice = std::string("this is ") + k.what + ", not a drawing: ";
        if (k.magic[0] == '\x89')
            return advice + "place it with an 'image' request in a drawing file (docs/drawing-format.md)";
        if (k.magic[0] == '\x1B')
            return advice + "'tavix preview' draws printer streams";
        return advice + "tavix plots drawing files (docs/drawing-format.md), ASCII DXF drawings (docs/dxf.md) "
                        "and PDF files (docs/pdf.md)";
    }
    return "";
}

}  // namespace tavix::host
