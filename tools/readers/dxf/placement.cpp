#include "placement.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace tavix::dxf {
namespace {

bool number(std::string_view text, double& out) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    auto r = std::from_chars(text.data(), text.data() + text.size(), out);
    return !text.empty() && r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(out);
}

// The margin a fit keeps on every side, unless the area is too small for it.
double fitMargin(const PlacementOptions& o, double width, double height) {
    double m = std::isfinite(o.fitMargin) ? std::max(0.0, o.fitMargin) : 0;
    return width > 2 * m && height > 2 * m ? m : 0;
}

}  // namespace

void Extents::add(double x, double y, double slack) {
    if (empty) {
        x0 = x - slack, x1 = x + slack, y0 = y - slack, y1 = y + slack;
        empty = false;
        return;
    }
    x0 = std::min(x0, x - slack), x1 = std::max(x1, x + slack);
    y0 = std::min(y0, y - slack), y1 = std::max(y1, y + slack);
}

double millimetresPerUnit(int insunits) {
    // $INSUNITS codes 1..16.
    static constexpr double MM[] = {1, 25.4, 304.8, 1609344, 1, 10, 1000, 1e6, 25.4e-6, 0.0254, 914.4,
                                    1e-7, 1e-6, 1e-3, 100, 10000, 100000};
    return insunits >= 0 && insunits <= 16 ? MM[insunits] : 1;
}

bool placeDrawing(const Extents& extents, const PlacementOptions& o, int insunits, double width, double height,
                  double unitsPerInch, Placement& placement, std::string& error) {
    Extents region = extents;
    if (o.window) {
        region = Extents{};
        region.add(o.windowX0, o.windowY0);
        region.add(o.windowX1, o.windowY1);
        if (region.x1 - region.x0 <= 0 || region.y1 - region.y0 <= 0) {
            error = "the window has zero size: give two opposite corners X0,Y0,X1,Y1";
            return false;
        }
    }
    if (region.empty) {
        error = "the drawing has nothing to plot";
        return false;
    }
    Affine turn = o.rotate ? Affine::rotation(90) : Affine{};
    Extents turned;
    for (auto [x, y] : {std::pair{region.x0, region.y0}, {region.x1, region.y0}, {region.x0, region.y1},
                        {region.x1, region.y1}}) {
        geometry::Point p = turn.apply({x, y});
        turned.add(p.x, p.y);
    }
    double w = turned.x1 - turned.x0, h = turned.y1 - turned.y0;
    double scale = 0;  // host units per drawing unit
    double margin = 0;
    if (o.fit) {
        if (w <= 0 && h <= 0) {
            error = "the drawing's extents have zero size (everything lies at one point), so there is nothing to "
                    "fit to the paper: plot it with --scale";
            return false;
        }
        // Room for the pens: a line on the extents' edge is drawn whole.
        margin = fitMargin(o, width, height);
        double sx = w > 0 ? (width - 2 * margin) / w : INFINITY, sy = h > 0 ? (height - 2 * margin) / h : INFINITY;
        scale = std::min(sx, sy);
    } else {
        scale = millimetresPerUnit(insunits) * o.paperPerReal / 25.4 * unitsPerInch;
    }
    if (!(scale > 0) || !std::isfinite(scale)) {
        error = "the drawing cannot be placed at that scale";
        return false;
    }
    double offsetX = margin, offsetY = margin;
    if (o.centre) {
        offsetX = (width - w * scale) / 2;
        offsetY = (height - h * scale) / 2;
    }
    placement.toPaper = Affine::translation(offsetX, offsetY)
                            .after(Affine::scaling(scale, scale))
                            .after(Affine::translation(-turned.x0, -turned.y0))
                            .after(turn);
    placement.mmPerUnit = scale / unitsPerInch * 25.4;
    placement.window = o.window;
    placement.windowOnPaper = Extents{};
    if (o.window)
        for (auto [x, y] : {std::pair{region.x0, region.y0}, {region.x1, region.y1}}) {
            geometry::Point p = placement.toPaper.apply({x, y});
            placement.windowOnPaper.add(p.x, p.y);
        }
    return true;
}

bool parseScale(const std::string& text, double& paperPerReal) {
    size_t colon = text.find_first_of(":/");
    double a = 0, b = 1;
    if (colon == std::string::npos) {
        if (!number(text, a)) return false;
    } else if (!number(std::string_view(text).substr(0, colon), a) ||
               !number(std::string_view(text).substr(colon + 1), b)) {
        return false;
    }
    if (!(a > 0) || !(b > 0)) return false;
    paperPerReal = a / b;
    return std::isfinite(paperPerReal) && paperPerReal > 0;
}

bool parseWindow(const std::string& text, PlacementOptions& o) {
    std::vector<double> v;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        double x = 0;
        if (!number(std::string_view(text).substr(start, comma - start), x)) return false;
        v.push_back(x);
        start = comma + 1;
    }
    if (v.size() != 4) return false;
    o.window = true;
    o.windowX0 = std::min(v[0], v[2]), o.windowX1 = std::max(v[0], v[2]);
    o.windowY0 = std::min(v[1], v[3]), o.windowY1 = std::max(v[1], v[3]);
    return true;
}

}  // namespace tavix::dxf
