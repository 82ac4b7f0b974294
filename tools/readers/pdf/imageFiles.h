// The PDF's images as PNG files for the driver's image requests: written
// to a private temporary folder, each under its own name (the plot run
// keeps the last image it read by name), and removed once sent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavix::pdf {

class ImageFiles {
public:
    ImageFiles() = default;
    ImageFiles(const ImageFiles&) = delete;
    ImageFiles& operator=(const ImageFiles&) = delete;
    ~ImageFiles();  // removes the folder and anything left in it

    // `rgb`: width * height * 3 bytes, top row first. The new file's path,
    // or empty with `error` set.
    std::string write(int width, int height, const std::vector<uint8_t>& rgb, std::string& error);
    void remove(const std::string& path);

private:
    std::string folder;
    long long written = 0;
};

}  // namespace tavix::pdf
