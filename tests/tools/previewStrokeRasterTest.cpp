// The line scan converter against geometry: the ink it lays down adds up
// to the stroke's exact area, half-covered pixels get half the colour,
// plain drawing takes the pixels whose centres are inside, and nothing
// lands outside the clip.
#include <gtest/gtest.h>

#include <cmath>

#include "strokeRaster.h"

namespace tavix::preview {
namespace {

constexpr int SIDE = 200;

class Canvas {
public:
    Canvas() : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, SIDE, SIDE)) {
        cairo_t* cr = cairo_create(surface_);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    ~Canvas() { cairo_surface_destroy(surface_); }
    cairo_surface_t* surface() { return surface_; }
    // Red ink in pixel (x, y): 0 white .. 1 red.
    double ink(int x, int y) {
        cairo_surface_flush(surface_);
        const uint32_t* row = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(surface_) +
                                                                y * cairo_image_surface_get_stride(surface_));
        return (255 - (row[x] >> 8 & 255)) / 255.0;
    }
    double totalInk() {
        double sum = 0;
        for (int y = 0; y < SIDE; ++y)
            for (int x = 0; x < SIDE; ++x) sum += ink(x, y);
        return sum;
    }

private:
    cairo_surface_t* surface_;
};

const PixelBox WHOLE{0, 0, SIDE, SIDE};
const Rgb RED{255, 0, 0};

TEST(PreviewStrokeRaster, AntialiasedInkAddsUpToTheStrokeArea) {
    struct Case {
        Px a, b;
        double width;
        PixelCap cap;
        double area;
    };
    const double l = std::hypot(120.0, 50.0);  // 130
    const Case cases[] = {
        {{30, 40}, {150, 90}, 1.0, PixelCap::Butt, l * 1.0},
        {{30, 40}, {150, 90}, 3.5, PixelCap::Butt, l * 3.5},
        {{30, 40}, {150, 90}, 2.0, PixelCap::Square, (l + 2.0) * 2.0},
        {{20.3, 100.7}, {180.1, 100.7}, 0.6, PixelCap::Butt, 159.8 * 0.6},
        {{77.25, 10.5}, {77.25, 190.5}, 1.5, PixelCap::Butt, 180 * 1.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.area);
        Canvas canvas;
        {
            StrokeRaster raster(canvas.surface(), true);
            raster.use(RED, WHOLE);
            raster.segment(c.a, c.b, c.width, c.cap);
        }
        // 8-bit colours round each pixel by at most half a step.
        EXPECT_NEAR(canvas.totalInk(), c.area, 0.005 * c.area + 1.0);
    }
}

TEST(PreviewStrokeRaster, HalfCoveredPixelsTakeHalfTheColour) {
    // A 1-pixel line along the boundary between rows 19 and 20.
    Canvas canvas;
    {
        StrokeRaster raster(canvas.surface(), true);
        raster.use(RED, WHOLE);
        raster.segment({10, 20}, {60, 20}, 1.0, PixelCap::Butt);
    }
    EXPECT_NEAR(canvas.ink(30, 19), 0.5, 0.01);
    EXPECT_NEAR(canvas.ink(30, 20), 0.5, 0.01);
    EXPECT_EQ(canvas.ink(30, 18), 0);
    EXPECT_EQ(canvas.ink(30, 21), 0);
    EXPECT_NEAR(canvas.ink(10, 19), 0.5, 0.01);  // the butt end on a pixel edge
    EXPECT_EQ(canvas.ink(9, 19), 0);
}

TEST(PreviewStrokeRaster, PlainDrawingTakesThePixelsWhoseCentresAreInside) {
    struct Case {
        double y, width;
        int firstRow, rows;
    };
    // Centres at row + 0.5: [19.6, 20.6) holds the centre of row 20 only;
    // [19.4, 21.6) those of rows 19, 20 and 21; [19.7, 20.3) none.
    const Case cases[] = {{20.1, 1.0, 20, 1}, {20.5, 2.2, 19, 3}, {20.0, 0.6, 19, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        Canvas canvas;
        {
            StrokeRaster raster(canvas.surface(), false);
            raster.use(RED, WHOLE);
            raster.segment({10, c.y}, {60, c.y}, c.width, PixelCap::Butt);
        }
        for (int y = 10; y < 30; ++y) {
            bool inside = y >= c.firstRow && y < c.firstRow + c.rows;
            EXPECT_EQ(canvas.ink(30, y), inside ? 1.0 : 0.0) << y;
        }
    }
}

TEST(PreviewStrokeRaster, NothingLandsOutsideTheClipOrThePicture) {
    Canvas canvas;
    {
        StrokeRaster raster(canvas.surface(), true);
        raster.use(RED, PixelBox{50, 50, 100, 100});
        raster.segment({0, 0}, {SIDE, SIDE}, 5, PixelCap::Round);
        raster.dot({75, 75}, 30, false);
        raster.use(RED, WHOLE);
        raster.segment({-500, 190}, {900, 195}, 3, PixelCap::Square);  // far past both sides
    }
    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x) {
            bool inClip = x >= 50 && x < 100 && y >= 50 && y < 100;
            if (!inClip && y < 185) {
                ASSERT_EQ(canvas.ink(x, y), 0) << x << "," << y;
            }
        }
    EXPECT_EQ(canvas.ink(75, 75), 1.0);   // the square dot
    EXPECT_EQ(canvas.ink(0, 192), 1.0);   // the long line, clipped to the picture
    EXPECT_EQ(canvas.ink(199, 192), 1.0);
}

}  // namespace
}  // namespace tavix::preview
