// The line scan converter against geometry: the ink it lays down adds up
// to the stroke's exact area, half-covered pixels get half the colour,
// plain drawing takes the pixels whose centres are inside, and nothing
// lands outside the clip.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "strokeRaster.h"
#include "wideColumns.h"

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
        // Two end triangles of base w and height w / 2 add w * w / 2.
        {{30, 40}, {150, 90}, 4.0, PixelCap::Triangular, l * 4.0 + 8.0},
        {{100.5, 100.5}, {100.5, 100.5}, 6.0, PixelCap::Triangular, 18.0},  // a dot: a diamond
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
        raster.dot({75, 75}, 30, PixelCap::Square);
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

namespace tavix::preview {
namespace {

// A tall narrow picture, so that a stroke runs through several of the
// bands the raster draws in turn.
constexpr int TALL_WIDTH = 64, TALL_HEIGHT = 6000;

struct Quad {
    Px corner[4];
    bool near(int x, int y) const {
        double x0 = corner[0].x, x1 = x0, y0 = corner[0].y, y1 = y0;
        for (const Px& c : corner) {
            x0 = std::min(x0, c.x), x1 = std::max(x1, c.x), y0 = std::min(y0, c.y), y1 = std::max(y1, c.y);
        }
        return x + 1 > x0 && x < x1 && y + 1 > y0 && y < y1;
    }
    // Inside by the sign of each side's cross product (either winding).
    bool contains(double x, double y) const {
        int positive = 0, negative = 0;
        for (int i = 0; i < 4; ++i) {
            const Px& a = corner[i];
            const Px& b = corner[(i + 1) % 4];
            double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
            positive += cross > 0;
            negative += cross < 0;
        }
        return positive == 0 || negative == 0;
    }
};

// The stroke a-b `width` wide with butt ends, as geometry.
Quad strokeQuad(Px a, Px b, double width) {
    double length = std::hypot(b.x - a.x, b.y - a.y);
    double nx = -(b.y - a.y) / length * width / 2, ny = (b.x - a.x) / length * width / 2;
    return {{{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}};
}

class TallPicture {
public:
    TallPicture() : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, TALL_WIDTH, TALL_HEIGHT)) {
        cairo_t* cr = cairo_create(surface_);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    ~TallPicture() { cairo_surface_destroy(surface_); }
    cairo_surface_t* surface() { return surface_; }
    uint32_t pixel(int x, int y) {
        cairo_surface_flush(surface_);
        return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(surface_) +
                                                 y * cairo_image_surface_get_stride(surface_))[x] & 0xFFFFFFu;
    }
    // Red over white keeps red whole and green equal to blue; any other
    // pixel is far from every expected ink.
    double redInk(int x, int y) {
        uint32_t p = pixel(x, y);
        if ((p >> 16) != 0xFF || (p >> 8 & 255) != (p & 255)) return 99;
        return (255 - (p >> 8 & 255)) / 255.0;
    }

private:
    cairo_surface_t* surface_;
};

struct Stroke {
    Px a, b;
    double width;
};

// Steep, shallow, wide and hair-thin strokes, from top to bottom of the
// picture or partly off its sides.
const Stroke STROKES[] = {
    {{10.3, 3.7}, {50.9, 5990.2}, 1.0},
    {{-20.6, 100.2}, {90.1, 160.9}, 2.3},
    {{31.7, 5.1}, {32.2, 5995.6}, 7.9},
    {{55.4, 2000.3}, {3.1, 4100.8}, 0.4},
    {{2.2, 2500.5}, {61.8, 2503.1}, 12.6},
    // Short ones, whose bodies are a row or two.
    {{10.3, 20.2}, {13.1, 22.9}, 1.0},
    {{20.5, 30.5}, {40.2, 31.9}, 0.7},
    {{5.2, 50.3}, {58.7, 52.1}, 1.4},
    {{30.6, 70.1}, {29.2, 73.8}, 2.2},
    {{1.0, 100.3}, {63.0, 100.9}, 3.0},
    {{1.0, 110.2}, {63.0, 112.7}, 2.95},
    {{63.0, 120.1}, {1.0, 124.6}, 2.95},
    // Rows of nine to sixteen columns, eight rows at a time.
    {{2.5, 400.3}, {61.5, 409.9}, 1.2},
    {{61.0, 500.2}, {3.0, 514.7}, 1.0},
};

TEST(PreviewStrokeRaster, PlainStrokesTakeExactlyThePixelsWhoseCentresAreInside) {
    for (const Stroke& s : STROKES) {
        SCOPED_TRACE(s.a.y);
        TallPicture picture;
        {
            StrokeRaster raster(picture.surface(), false);
            raster.use(RED, PixelBox{0, 0, TALL_WIDTH, TALL_HEIGHT});
            raster.segment(s.a, s.b, s.width, PixelCap::Butt);
        }
        Quad q = strokeQuad(s.a, s.b, s.width);
        for (int y = 0; y < TALL_HEIGHT; ++y)
            for (int x = 0; x < TALL_WIDTH; ++x)
                ASSERT_EQ(picture.pixel(x, y), q.contains(x + 0.5, y + 0.5) ? 0xFF0000u : 0xFFFFFFu) << x << "," << y;
    }
}

TEST(PreviewStrokeRaster, AntialiasedCoverageIsEachPixelsCoveredArea) {
    constexpr int SAMPLES = 16;  // per side of a pixel, for the expected area
    const PixelBox clip{4, 0, 60, TALL_HEIGHT};
    for (const Stroke& s : STROKES) {
        Quad q = strokeQuad(s.a, s.b, s.width);
        std::vector<double> expected(size_t{TALL_WIDTH} * TALL_HEIGHT, 0.0);
        for (int y = 0; y < TALL_HEIGHT; ++y)
            for (int x = static_cast<int>(clip.x0); x < clip.x1; ++x) {
                if (!q.near(x, y)) continue;
                int inside = 0;
                for (int i = 0; i < SAMPLES; ++i)
                    for (int j = 0; j < SAMPLES; ++j)
                        inside += q.contains(x + (i + 0.5) / SAMPLES, y + (j + 0.5) / SAMPLES);
                expected[size_t(y) * TALL_WIDTH + x] = inside / double(SAMPLES * SAMPLES);
            }
        // Both forms of a stroke's body: eight columns at a time where the
        // processor has it, four elsewhere.
        for (bool wide : {true, false}) {
            SCOPED_TRACE(testing::Message() << s.a.y << (wide ? " wide" : " narrow"));
            allowWideColumns(wide);
            TallPicture picture;
            {
                StrokeRaster raster(picture.surface(), true);
                raster.use(RED, clip);
                raster.segment(s.a, s.b, s.width, PixelCap::Butt);
            }
            double worst = 0;
            for (int y = 0; y < TALL_HEIGHT; ++y)
                for (int x = 0; x < TALL_WIDTH; ++x)
                    worst = std::max(worst, std::fabs(picture.redInk(x, y) - expected[size_t(y) * TALL_WIDTH + x]));
            // Sampling errs by up to a sixteenth of a pixel's side on each edge.
            EXPECT_LT(worst, 0.06);
        }
        allowWideColumns(true);
    }
}

// A long, nearly level, thick stroke: between its long sides' corners its
// slab is bounded by its short ends, as wide as the stroke is long and
// leaning a little each row. Its coverage must stay exact along the whole
// row.
TEST(PreviewStrokeRaster, AntialiasedWideSlabsKeepTheirPrecision) {
    constexpr int WIDTH = 2400, HEIGHT = 40, SAMPLES = 16;
    const Stroke strokes[] = {{{10.2, 18.1}, {2390.7, 21.6}, 8.0}, {{2390.3, 12.4}, {12.5, 16.9}, 6.5}};
    for (const Stroke& s : strokes) {
        Quad q = strokeQuad(s.a, s.b, s.width);
        for (bool wide : {true, false}) {
            SCOPED_TRACE(testing::Message() << s.a.x << (wide ? " wide" : " narrow"));
            allowWideColumns(wide);
            cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, WIDTH, HEIGHT);
            uint32_t* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
            int stride = cairo_image_surface_get_stride(surface) / 4;
            for (int y = 0; y < HEIGHT; ++y) std::fill_n(pixels + y * stride, WIDTH, 0xFFFFFFFFu);
            cairo_surface_mark_dirty(surface);
            {
                StrokeRaster raster(surface, true);
                raster.use(RED, PixelBox{0, 0, WIDTH, HEIGHT});
                raster.segment(s.a, s.b, s.width, PixelCap::Butt);
            }
            cairo_surface_flush(surface);
            double worst = 0;
            for (int y = 0; y < HEIGHT; ++y)
                for (int x = 0; x < WIDTH; ++x) {
                    int inside = 0;
                    if (q.near(x, y))
                        for (int i = 0; i < SAMPLES; ++i)
                            for (int j = 0; j < SAMPLES; ++j)
                                inside += q.contains(x + (i + 0.5) / SAMPLES, y + (j + 0.5) / SAMPLES);
                    double ink = (255 - (pixels[y * stride + x] >> 8 & 255)) / 255.0;
                    worst = std::max(worst, std::fabs(ink - inside / double(SAMPLES * SAMPLES)));
                }
            EXPECT_LT(worst, 0.06);
            cairo_surface_destroy(surface);
        }
    }
    allowWideColumns(true);
}

// A round dot is drawn as a sixteen-sided polygon: small ones put many
// slabs of it in one pixel row, and those across the clip's edges are cut
// again there.
TEST(PreviewStrokeRaster, AntialiasedDotsCoverTheirPolygonsArea) {
    constexpr int SAMPLES = 16;
    const PixelBox clip{4, 0, 60, TALL_HEIGHT};
    struct Dot {
        Px centre;
        double width;
    };
    const Dot dots[] = {{{20.4, 30.6}, 0.5}, {{4.1, 60.2}, 0.7}, {{59.8, 90.9}, 1.3},
                        {{30.5, 120.5}, 5.2}, {{5.5, 200.3}, 21.0}, {{58.2, 260.7}, 9.9},
                        {{4.0, 280.5}, 0.9},  {{3.8, 285.2}, 1.1},  {{60.1, 290.7}, 0.8}};
    std::vector<double> expected(size_t{TALL_WIDTH} * 300, 0.0);
    for (const Dot& d : dots) {
        std::vector<Px> corner;
        for (int k = 0; k < 16; ++k)
            corner.push_back({d.centre.x + d.width / 2 * std::cos(2 * M_PI * k / 16),
                              d.centre.y + d.width / 2 * std::sin(2 * M_PI * k / 16)});
        auto inside = [&](double x, double y) {
            for (int k = 0; k < 16; ++k) {
                const Px &a = corner[k], &b = corner[(k + 1) % 16];
                if ((b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x) < 0) return false;
            }
            return true;
        };
        int y0 = static_cast<int>(d.centre.y - d.width), y1 = static_cast<int>(d.centre.y + d.width) + 1;
        for (int y = y0; y <= y1; ++y)
            for (int x = static_cast<int>(clip.x0); x < clip.x1; ++x) {
                int count = 0;
                for (int i = 0; i < SAMPLES; ++i)
                    for (int j = 0; j < SAMPLES; ++j) count += inside(x + (i + 0.5) / SAMPLES, y + (j + 0.5) / SAMPLES);
                expected[size_t(y) * TALL_WIDTH + x] = count / double(SAMPLES * SAMPLES);
            }
    }
    for (bool wide : {true, false}) {
        SCOPED_TRACE(wide ? "wide" : "narrow");
        allowWideColumns(wide);
        TallPicture picture;
        {
            StrokeRaster raster(picture.surface(), true);
            raster.use(RED, clip);
            for (const Dot& d : dots) raster.dot(d.centre, d.width, PixelCap::Round);
        }
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < TALL_WIDTH; ++x)
                ASSERT_NEAR(picture.redInk(x, y), expected[size_t(y) * TALL_WIDTH + x], 0.06) << x << "," << y;
    }
    allowWideColumns(true);
}

// The two forms work the areas out differently (the narrow one sums each
// side's share along an accumulation row, the wide one takes closed forms
// per column), so on a dense plot of every kind of stroke they must agree
// to rounding.
TEST(PreviewStrokeRaster, BothAntialiasedFormsAgreeOnADensePlot) {
    std::vector<uint32_t> pictures[2];
    for (bool wide : {false, true}) {
        allowWideColumns(wide);
        TallPicture picture;
        {
            StrokeRaster raster(picture.surface(), true);
            std::mt19937 random(7);
            std::uniform_real_distribution<double> x(-10, TALL_WIDTH + 10), y(-10, 1200), width(0.05, 9);
            const PixelCap caps[] = {PixelCap::Butt, PixelCap::Square, PixelCap::Round, PixelCap::Triangular};
            for (int i = 0; i < 3000; ++i) {
                raster.use(Rgb{static_cast<uint8_t>(i * 37), static_cast<uint8_t>(i * 91), static_cast<uint8_t>(i * 13)},
                           i % 3 ? PixelBox{0, 0, TALL_WIDTH, TALL_HEIGHT} : PixelBox{4.4, 20, 59.6, 1100});
                Px a{x(random), y(random)};
                Px b = i % 2 ? Px{x(random), y(random)} : Px{a.x + x(random) / 20, a.y + y(random) / 200};
                raster.segment(a, b, width(random), caps[i % 4]);
            }
        }
        for (int row = 0; row < 1200; ++row)
            for (int column = 0; column < TALL_WIDTH; ++column) pictures[wide].push_back(picture.pixel(column, row));
    }
    allowWideColumns(true);
    int worst = 0;
    for (size_t i = 0; i < pictures[0].size(); ++i)
        for (int shift : {0, 8, 16})
            worst = std::max(worst, std::abs(int(pictures[0][i] >> shift & 255) - int(pictures[1][i] >> shift & 255)));
    EXPECT_LE(worst, 2);
}

TEST(PreviewStrokeRaster, LaterStrokesCoverEarlierOnesInEveryBand) {
    const Rgb BLUE{0, 0, 255};
    for (bool antialias : {false, true}) {
        TallPicture picture;
        {
            StrokeRaster raster(picture.surface(), antialias);
            raster.use(RED, PixelBox{0, 0, TALL_WIDTH, TALL_HEIGHT});
            raster.segment({32, 0}, {32, TALL_HEIGHT}, 8, PixelCap::Butt);  // every band
            raster.use(BLUE, PixelBox{0, 0, TALL_WIDTH, TALL_HEIGHT});
            raster.segment({32, 3000}, {32, TALL_HEIGHT}, 4, PixelCap::Butt);  // from a later band
            raster.use(RED, PixelBox{0, 0, TALL_WIDTH, TALL_HEIGHT});
            raster.dot({32, 5000}, 2, PixelCap::Square);
        }
        EXPECT_EQ(picture.pixel(32, 1000), 0xFF0000u);
        EXPECT_EQ(picture.pixel(32, 4000), 0x0000FFu);
        EXPECT_EQ(picture.pixel(32, 5000), 0xFF0000u);
        EXPECT_EQ(picture.pixel(29, 4000), 0xFF0000u);
    }
}

TEST(PreviewStrokeRaster, OrderHoldsAcrossTheRecordsDrawnOnTheWay) {
    // More strokes than one record holds: the last one drawn is on top.
    TallPicture picture;
    {
        StrokeRaster raster(picture.surface(), false);
        for (int i = 0; i < 300'000; ++i) {
            raster.use(i % 2 ? RED : Rgb{0, 128, 0}, PixelBox{0, 0, TALL_WIDTH, TALL_HEIGHT});
            raster.segment({10, 10.5 + i % 7}, {50, 10.5 + i % 7}, 1, PixelCap::Butt);
        }
    }
    // Stroke i lies on row 10 + i % 7; the last on each row decides its colour.
    for (int k = 0; k < 7; ++k) {
        int last = 299'999 - ((299'999 - k) % 7);
        EXPECT_EQ(picture.pixel(30, 10 + k), last % 2 ? 0xFF0000u : 0x008000u) << k;
    }
}

}  // namespace
}  // namespace tavix::preview
