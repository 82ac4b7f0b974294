#include "pngImage.h"

#include <png.h>

#include <cstring>

namespace tavix::host {

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
        error = path + ": image size " + std::to_string(png.width) + " x " +
                std::to_string(png.height) + " is not supported";
        return false;
    }
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgb.assign(PNG_IMAGE_SIZE(png), 0);
    if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
        error = path + ": " + png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

}  // namespace tavix::host
