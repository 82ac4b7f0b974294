#include "imageFiles.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace tavix::pdf {

ImageFiles::~ImageFiles() {
    if (folder.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

void ImageFiles::remove(const std::string& path) { std::remove(path.c_str()); }

std::string ImageFiles::write(int width, int height, const std::vector<uint8_t>& rgb, std::string& error) {
    if (folder.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tavix-pdf-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            error = std::string("cannot make a temporary folder for the PDF's images: ") + std::strerror(errno);
            return "";
        }
        folder = pattern;
    }
    std::string path = folder + "/image" + std::to_string(++written) + ".png";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return "";
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info && setjmp(png_jmpbuf(png)) == 0;
    if (ok) {
        png_init_io(png, f);
        // Fast rather than small: the file lives only until the driver reads it.
        png_set_compression_level(png, 1);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y)
            png_write_row(png, const_cast<png_bytep>(rgb.data() + static_cast<size_t>(y) * width * 3));
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    if (std::fclose(f) != 0) ok = false;
    if (!ok) {
        std::remove(path.c_str());
        error = "cannot write " + path;
        return "";
    }
    return path;
}

}  // namespace tavix::pdf
