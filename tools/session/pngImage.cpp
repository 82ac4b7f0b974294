#include "pngImage.h"

#include <png.h>

#include <cstring>
#include <new>

namespace tavix::host {

std::string tooLargeMessage(int64_t width, int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels is too large; an image may have at most " +
           std::to_string(MAX_IMAGE_PIXELS) + " pixels (16384 x 16384)";
}

bool loadPng(const std::string& path, RgbImage& image, std::string& error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        error = path + ": " + png.message;
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    if (png.width == 0 || png.height == 0 ||
        static_cast<int64_t>(png.width) * png.height > MAX_IMAGE_PIXELS) {
        png_image_free(&png);
        error = path + ": " + tooLargeMessage(png.width, png.height);
        return false;
    }
    try {
        image.rgb.assign(PNG_IMAGE_SIZE(png), 0);
    } catch (const std::bad_alloc&) {
        png_image_free(&png);
        error = path + ": not enough memory for " + std::to_string(png.width) + " x " + std::to_string(png.height) +
                " pixels (" + std::to_string(PNG_IMAGE_SIZE(png) >> 20) + " MB)";
        return false;
    }
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    // Transparent pixels lie on white paper: libpng composites an image
    // with alpha onto this background (onto black without one).
    png_color paper{255, 255, 255};
    if (!png_image_finish_read(&png, &paper, image.rgb.data(), 0, nullptr)) {
        // libpng's own words ("Read Error") do not tell the user what is wrong.
        error = path + ": the PNG file is damaged or cut short";
        png_image_free(&png);
        return false;
    }
    return true;
}

}  // namespace tavix::host
