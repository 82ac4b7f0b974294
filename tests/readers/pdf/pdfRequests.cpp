#include "pdfRequests.h"

#include <png.h>

#include <cstdio>
#include <memory>

#include "pdfFiles.h"

namespace tavix::pdf::testing {

Plotted plot(const std::string& pdf, PdfPlotOptions options, double areaInches) {
    Plotted out;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(fileOf(pdf), std::fclose);
    PdfPlotArea area{areaInches * UPI, areaInches * UPI, UPI};
    dxf::RequestSink send = [&](const host::DrawingRequest& r, std::string&) {
        out.requests.push_back(r);
        if (r.op == host::DrawingOp::Image) {
            png_image png{};
            png.version = PNG_IMAGE_VERSION;
            Plotted::Image image;
            if (png_image_begin_read_from_file(&png, r.file.c_str())) {
                png.format = PNG_FORMAT_RGB;
                image.width = static_cast<int>(png.width), image.height = static_cast<int>(png.height);
                image.rgb.resize(PNG_IMAGE_SIZE(png));
                if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) image.rgb.clear();
            }
            out.images.push_back(std::move(image));
        }
        return true;
    };
    out.ok = plotPdf(file.get(), options, area, send, out.report, out.error);
    return out;
}

std::vector<Line> linesOf(const Plotted& p) {
    std::vector<Line> lines;
    double x = 0, y = 0;
    for (const auto& r : p.requests) {
        if (r.op == host::DrawingOp::Move) x = r.coords[0], y = r.coords[1];
        if (r.op == host::DrawingOp::Draw) {
            lines.push_back({x, y, r.coords[0], r.coords[1]});
            x = r.coords[0], y = r.coords[1];
        }
    }
    return lines;
}

const host::DrawingRequest* first(const Plotted& p, host::DrawingOp op) {
    for (const auto& r : p.requests)
        if (r.op == op) return &r;
    return nullptr;
}

}  // namespace tavix::pdf::testing
