// Images as the plot run sends them: each image prints its own pixels, also
// when several images follow one another (the driver prints an image only
// when the next request arrives), and transparent PNG pixels print as the
// paper they lie on. Checked on the preview of the printer stream, which
// reads the stream independently of the driver. A4 paper: 40 host units to
// the millimetre.
#include <gtest/gtest.h>

#include <png.h>

#include <cmath>
#include <cstring>

#include "e2eSupport.h"
#include "preview.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using preview::Rgb;
using tavix::testing::ScratchDirectory;

constexpr double UNITS_PER_MM = 40.0;

std::string describe(const Rgb& c) {
    return "rgb(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

class ImageRequests : public ::testing::Test {
protected:
    // Colour output with continuous tone: every RGB value prints as it is.
    void SetUp() override {
        std::string messages;
        ASSERT_EQ(0, testing::configure("images.cfg",
                                        {"--defaults", "--model", "tx90", "--paper", "A4", "--colour", "colour"},
                                        &messages))
            << messages;
        testing::editConfig("images.cfg", [](HostConfig& c) {
            testing::setFlag(c, testing::FLAGS_D, testing::RASTER_CONTONE, true);
        });
    }

    // Plots and draws the stream at 100 dpi without antialiasing.
    void show(const std::string& drawing) {
        testing::Plotted p = testing::plot("images.cfg", drawing);
        ASSERT_TRUE(p.ok) << p.error;
        preview::PreviewOptions options;
        options.dpi = 100;
        options.sidePanel = false;
        options.antialias = false;
        result = preview::renderStreamToImage(p.stream, options, image);
        ASSERT_TRUE(result.ok) << result.error;
    }

    Rgb at(double xMm, double yMm) const {
        int x = static_cast<int>(std::floor(result.geometry.pixelX(xMm * UNITS_PER_MM)));
        int y = static_cast<int>(std::floor(result.geometry.pixelY(yMm * UNITS_PER_MM)));
        return image.pixel(x, y);
    }

    ScratchDirectory scratch;
    preview::PreviewImage image;
    preview::PreviewResult result;
};

// A distinct colour for image k (no two alike, none white).
Rgb colourOf(int k) {
    return Rgb{static_cast<uint8_t>(20 + 23 * k), static_cast<uint8_t>(230 - 19 * k), static_cast<uint8_t>(60 + 11 * k)};
}

TEST_F(ImageRequests, imagesBackToBackEachPrintTheirOwnPixels) {
    for (int count : {2, 3, 10}) {
        SCOPED_TRACE(std::to_string(count) + " images");
        std::string drawing = "units mm\n";
        for (int k = 0; k < count; ++k) {
            Rgb c = colourOf(k);
            std::string name = "solid" + std::to_string(k) + ".png";
            ASSERT_TRUE(testing::writePng(name, 4, 4, [c](int, int, uint8_t rgb[3]) {
                rgb[0] = c.r;
                rgb[1] = c.g;
                rgb[2] = c.b;
            }));
            // Squares of 15 mm in two rows of five.
            int x = 10 + 20 * (k % 5), y = 20 + 20 * (k / 5);
            drawing += "image " + name + " " + std::to_string(x) + " " + std::to_string(y) + " " +
                       std::to_string(x + 15) + " " + std::to_string(y + 15) + "\n";
        }
        show(drawing);
        for (int k = 0; k < count; ++k) {
            double x = 10 + 20 * (k % 5) + 7.5, y = 20 + 20 * (k / 5) + 7.5;
            EXPECT_EQ(describe(colourOf(k)), describe(at(x, y))) << "image " << k;
        }
    }
}

TEST_F(ImageRequests, anImageBetweenOtherRequestsKeepsItsPixels) {
    // An image followed by lines, then another image, then the end of the plot.
    for (int k = 0; k < 2; ++k) {
        Rgb c = colourOf(k);
        ASSERT_TRUE(testing::writePng("solid" + std::to_string(k) + ".png", 2, 2, [c](int, int, uint8_t rgb[3]) {
            rgb[0] = c.r;
            rgb[1] = c.g;
            rgb[2] = c.b;
        }));
    }
    show("units mm\nimage solid0.png 10 10 30 30\npen 1\nmove 10 50\ndraw 100 50\n"
         "image solid1.png 40 10 60 30\nimage solid0.png 70 10 90 30\n");
    EXPECT_EQ(describe(colourOf(0)), describe(at(20, 20)));
    EXPECT_EQ(describe(colourOf(1)), describe(at(50, 20)));
    EXPECT_EQ(describe(colourOf(0)), describe(at(80, 20)));
}

// An RGBA PNG through libpng's own writer.
bool writeRgba(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&png, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

TEST_F(ImageRequests, transparentPixelsPrintAsThePaper) {
    // Left half fully transparent black, right half half-transparent black.
    std::vector<uint8_t> rgba;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) rgba.insert(rgba.end(), {0, 0, 0, static_cast<uint8_t>(x < 2 ? 0 : 128)});
    ASSERT_TRUE(writeRgba("alpha.png", 4, 4, rgba));
    show("units mm\nimage alpha.png 10 10 50 50\n");
    EXPECT_EQ("rgb(255,255,255)", describe(at(20, 30)));
    Rgb half = at(40, 30);
    // Black at half cover over white paper: mid gray, whatever libpng's
    // gamma handling, and never black.
    EXPECT_GT(half.r, 100);
    EXPECT_LT(half.r, 200);
    EXPECT_EQ(half.r, half.g);
    EXPECT_EQ(half.r, half.b);
}

}  // namespace
}  // namespace tavix::host
