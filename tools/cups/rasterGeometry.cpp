#include "rasterGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavix::cups {
namespace {

constexpr int COLOUR_DPI = 300;
constexpr int MONOCHROME_DPI = 400;
constexpr double HOST_STEPS_PER_INCH = 1016.0;

uint32_t pixelsOf(double inches, uint32_t dpi, uint32_t limit) {
    double v = std::floor(inches * dpi + 0.5);
    if (v < 0) v = 0;
    return static_cast<uint32_t>(std::min<double>(v, limit));
}

std::string inchText(double points) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", points / POINTS_PER_INCH);
    return text;
}

}  // namespace

int rasterDpi(const PlotSettings& settings) {
    return settings.get(flags::colorMode) ? COLOUR_DPI : MONOCHROME_DPI;
}

bool layOutPage(const ModelProfile& profile, const PlotSettings& settings, const PageShape& page,
                PageLayout& layout, std::string& error) {
    layout = PageLayout{};
    if (page.pixelsPerRow == 0 || page.rows == 0 || page.dpiAcross == 0 || page.dpiAlong == 0 ||
        !(page.widthPoints > 0) || !(page.lengthPoints > 0)) {
        error = "The page is empty (" + std::to_string(page.pixelsPerRow) + " x " + std::to_string(page.rows) +
                " pixels at " + std::to_string(page.dpiAcross) + " x " + std::to_string(page.dpiAlong) + " dpi).";
        return false;
    }
    double width = page.widthPoints / POINTS_PER_INCH, length = page.lengthPoints / POINTS_PER_INCH;
    layout.paper = paperForPage(profile, width, length, layout.roll);
    if (!layout.paper) {
        error = "The page (" + inchText(page.widthPoints) + " x " + inchText(page.lengthPoints) +
                " in) is larger than any paper of the " + profile.name + ".";
        return false;
    }
    bool margin = settings.get(flags::plotMargin);
    const double* m = profile.margins;
    double m0 = margin ? m[0] : 0, m1 = margin ? m[1] : 0, m2 = margin ? m[2] : 0, m3 = margin ? m[3] : 0;
    layout.divisor = divisorForPaper(profile, *layout.paper, margin);
    layout.stepsPerInch = HOST_STEPS_PER_INCH / layout.divisor;
    layout.pixelInches = double(layout.divisor) / rasterDpi(settings);
    layout.dpiAcross = page.dpiAcross;
    layout.dpiAlong = page.dpiAlong;
    // A fixed paper is the page: the driver's whole plot area. A custom
    // length asks for its own area, which the driver keeps as requested.
    layout.askMaximum = !layout.roll;
    layout.areaX = length - m0 - m1;
    layout.areaY = width - m2 - m3;
    layout.marginX = m0;
    layout.marginY = m2;
    if (!(layout.areaX > 0) || !(layout.areaY > 0)) {
        error = "The page (" + inchText(page.widthPoints) + " x " + inchText(page.lengthPoints) +
                " in) is smaller than the plot margins.";
        return false;
    }
    layout.cropTop = pixelsOf(m0 - page.originAlong, page.dpiAlong, page.rows);
    layout.cropRows = pixelsOf(layout.areaX, page.dpiAlong, page.rows - layout.cropTop);
    layout.cropLeft = pixelsOf(m2 - page.originAcross, page.dpiAcross, page.pixelsPerRow);
    layout.cropCols = pixelsOf(layout.areaY, page.dpiAcross, page.pixelsPerRow - layout.cropLeft);
    if (layout.cropRows == 0 || layout.cropCols == 0) {
        error = "The page's raster holds nothing inside the plot margins.";
        return false;
    }
    return true;
}

}  // namespace tavix::cups
