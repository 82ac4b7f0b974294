// A stream drawn into memory for pixel checks: the picture, the result,
// and the colour at a point given in plotter units.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "preview.h"
#include "previewStreams.h"

namespace tavix::preview::testing {

struct Picture {
    PreviewImage image;
    PreviewResult result;
    Rgb at(double x, double y) const {
        return image.pixel(static_cast<int>(std::floor(result.geometry.pixelX(x))),
                           static_cast<int>(std::floor(result.geometry.pixelY(y))));
    }
};

inline Picture render(const std::string& stream, double dpi, bool panel = false, bool antialias = false,
                      uint64_t maxPixels = 40'000'000) {
    PreviewOptions options;
    options.dpi = dpi;
    options.maxPixels = maxPixels;
    options.sidePanel = panel;
    options.antialias = antialias;
    Picture p;
    p.result = renderStreamToImage(stream, options, p.image);
    EXPECT_TRUE(p.result.ok) << p.result.error;
    return p;
}

}  // namespace tavix::preview::testing
