#include "pagePlacement.h"

#include <cmath>
#include <cstdio>

namespace tavix::pdf {
namespace {

constexpr double POINTS_PER_INCH = 72;

std::string size(double w, double h) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f x %.0f mm", w, h);
    return text;
}

}  // namespace

bool placePage(double pageWidth, double pageHeight, const PagePlacementOptions& options, double areaWidth,
               double areaHeight, double unitsPerInch, geometry::Affine& toPaper, std::string& error) {
    if (!(pageWidth > 0) || !(pageHeight > 0) || !std::isfinite(pageWidth) || !std::isfinite(pageHeight)) {
        error = "the page has no size (its crop box is empty)";
        return false;
    }
    // Points to host units, then the quarter turn, which keeps the page in
    // the positive quadrant.
    double unitsPerPoint = unitsPerInch / POINTS_PER_INCH;
    geometry::Affine map = geometry::Affine::scaling(unitsPerPoint, unitsPerPoint);
    double w = pageWidth * unitsPerPoint, h = pageHeight * unitsPerPoint;
    if (options.rotate) {
        map = geometry::Affine::translation(h, 0).after(geometry::Affine::rotation(90)).after(map);
        std::swap(w, h);
    }
    double scale = 1;
    if (options.fit) {
        scale = std::min(areaWidth / w, areaHeight / h);
    } else if (options.paper) {
        const PaperFrame& paper = *options.paper;
        if (w > paper.width + 0.5 || h > paper.height + 0.5) {
            double mmPerUnit = 25.4 / unitsPerInch;
            error = "the page is " + size(w * mmPerUnit, h * mmPerUnit) + ", larger than the paper (" +
                    size(paper.width * mmPerUnit, paper.height * mmPerUnit) + ")";
            return false;
        }
    } else if (w > areaWidth + 0.5 || h > areaHeight + 0.5) {
        double mmPerUnit = 25.4 / unitsPerInch;
        error = "the page is " + size(w * mmPerUnit, h * mmPerUnit) + ", larger than the plot area of the " +
                "configured paper (" + size(areaWidth * mmPerUnit, areaHeight * mmPerUnit) +
                "): configure a larger paper, plot with --fit to scale it down" +
                (options.rotate ? std::string() : ", or turn it with --rotate 90");
        return false;
    }
    map = geometry::Affine::scaling(scale, scale).after(map);
    if (options.centre)
        map = geometry::Affine::translation((areaWidth - w * scale) / 2, (areaHeight - h * scale) / 2).after(map);
    else if (options.paper && !options.fit)
        map = geometry::Affine::translation(options.paper->x, options.paper->y).after(map);
    toPaper = map;
    return true;
}

}  // namespace tavix::pdf
