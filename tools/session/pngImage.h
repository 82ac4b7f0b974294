// PNG files for image requests, read through libpng into 8-bit RGB.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavix::host {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3, top row first

    const uint8_t* pixel(int x, int y) const {
        return rgb.data() + (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    }
};

// Images above this many pixels are refused rather than held in memory.
constexpr int64_t MAX_IMAGE_PIXELS = int64_t{1} << 28;

// "W x H pixels is too large; ..." with the limit.
std::string tooLargeMessage(int64_t width, int64_t height);

// Reads a PNG file as 8-bit RGB, transparent pixels laid on white; false
// with an error that begins with the path.
bool loadPng(const std::string& path, RgbImage& image, std::string& error);

}  // namespace tavix::host
