#include "pageMarks.h"

#include <algorithm>

namespace tavix::cups::testing {

const char* const CORNER_NAMES[5] = {"top left", "top right", "bottom right", "bottom left", "nowhere"};
const Mark MARKS[3] = {{TOP_LEFT, {255, 0, 0}}, {TOP_RIGHT, {0, 0, 255}}, {BOTTOM_LEFT, {0, 255, 0}}};

PdfPage markedPage(double width, double height) {
    double side = std::min(width, height) * 0.15;
    PdfPage page{width, height, {}};
    page.boxes.push_back({0, height - side, side, side, 1, 0, 0});          // top left, red
    page.boxes.push_back({width - side, height - side, side, side, 0, 0, 1});  // top right, blue
    page.boxes.push_back({0, 0, side, side, 0, 1, 0});                      // bottom left, green
    return page;
}

namespace {
bool near(const preview::Rgb& a, const preview::Rgb& b) {
    auto close = [](int x, int y) { return x - y < 40 && y - x < 40; };
    return close(a.r, b.r) && close(a.g, b.g) && close(a.b, b.b);
}

}  // namespace

std::array<Corner, 3> placesOnPlot(const preview::RasterImage& image) {
    std::array<double, 3> sumX{}, sumY{};
    std::array<long, 3> count{};
    double minX = 1e18, maxX = -1e18, minY = 1e18, maxY = -1e18;
    constexpr int STEP = 4;
    for (int r = 0; r < image.storedHeight; r += STEP)
        for (int i = 0; i < image.storedWidth; i += STEP) {
            // A stored pixel stands for `factor` printer pixels each way.
            double pixel = double(i) * image.factor, row = double(r) * image.factor;
            double x = image.origin.x + pixel * image.pixelStep.x + row * image.rowStep.x;
            double y = image.origin.y + pixel * image.pixelStep.y + row * image.rowStep.y;
            minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
            const uint8_t* p = &image.rgba[(static_cast<size_t>(r) * image.storedWidth + i) * 4];
            if (p[3] == 0) continue;
            preview::Rgb c{p[0], p[1], p[2]};
            for (size_t m = 0; m < 3; ++m)
                if (near(c, MARKS[m].colour)) {
                    sumX[m] += x;
                    sumY[m] += y;
                    ++count[m];
                }
        }
    std::array<Corner, 3> places{NONE, NONE, NONE};
    double midX = (minX + maxX) / 2, midY = (minY + maxY) / 2;
    for (size_t m = 0; m < 3; ++m) {
        if (count[m] == 0) continue;
        bool right = sumX[m] / count[m] > midX, top = sumY[m] / count[m] > midY;
        places[m] = top ? (right ? TOP_RIGHT : TOP_LEFT) : (right ? BOTTOM_RIGHT : BOTTOM_LEFT);
    }
    return places;
}

}  // namespace tavix::cups::testing
