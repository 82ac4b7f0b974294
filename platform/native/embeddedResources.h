// The resource files embedded into the native build (see nativeDialogs.cmake):
// the resource script, the resource header and the pictures, each under its
// path relative to resources/ ("tavixdrv.rc", "bitmaps/badge.bmp").
#pragma once

#include <cstddef>
#include <string_view>

namespace tavix::native {

struct EmbeddedFile {
    const char* path;
    const unsigned char* bytes;  // followed by a NUL that is not counted
    size_t size;
};

extern const EmbeddedFile embeddedFiles[];
extern const int embeddedFileCount;
extern const char embeddedSourceRoot[];  // the source tree the files came from

// The file's bytes, or an empty view when no such file is embedded.
std::string_view embeddedFile(std::string_view path);

}  // namespace tavix::native
