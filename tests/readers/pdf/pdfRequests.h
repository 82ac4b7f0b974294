// A PDF plotted through the reader into a list of requests, and the lines
// those requests draw, for the reader's tests. The plot area is square,
// 1016 units per inch.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pdfPlot.h"

namespace tavix::pdf::testing {

constexpr double UPI = 1016;
constexpr double UNITS_PER_POINT = UPI / 72;

struct Plotted {
    bool ok = false;
    std::string error;
    std::vector<host::DrawingRequest> requests;
    PdfPlotReport report;
    // The pixels of each image request's file, read when it was sent
    // (the reader removes the file after): width, height, RGB top row first.
    struct Image {
        int width = 0, height = 0;
        std::vector<uint8_t> rgb;
    };
    std::vector<Image> images;
};

Plotted plot(const std::string& pdf, PdfPlotOptions options = {}, double areaInches = 20);

struct Line {
    double x0, y0, x1, y1;
};

// The pen-down lines, in host units.
std::vector<Line> linesOf(const Plotted& p);

const host::DrawingRequest* first(const Plotted& p, host::DrawingOp op);

}  // namespace tavix::pdf::testing
