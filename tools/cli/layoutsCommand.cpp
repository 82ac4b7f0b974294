#include "layoutsCommand.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "drawingKind.h"
#include "layoutPlot.h"

namespace tavix::host {

void addLayoutsOptions(CLI::App& command, std::string& drawing) {
    command.add_option("drawing", drawing, "The DXF drawing")->required();
    command.footer("Each line: the layout's name, its paper (width x height as the printer takes it), the\n"
                   "scale it plots at and its viewports. 'tavix plot FILE --layout NAME' plots one.");
}

int listLayouts(const std::string& drawing) {
    std::FILE* file = drawing == "-" ? stdin : std::fopen(drawing.c_str(), "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "tavix: cannot read %s: %s\n", drawing.c_str(), std::strerror(errno));
        return 1;
    }
    // Only a DXF drawing has layouts: say what the file is instead.
    std::string head(4096, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), file));
    dxf::DrawingKind kind = dxf::sniffDrawing(head);
    if (kind != dxf::DrawingKind::AsciiDxf) {
        std::string advice = dxf::unreadableDrawingAdvice(kind);
        std::fprintf(stderr, "tavix: %s is not an ASCII DXF drawing%s%s\n", drawing.c_str(),
                     advice.empty() ? "" : ": ", advice.c_str());
        if (file != stdin) std::fclose(file);
        return 1;
    }
    if (file == stdin) {
        std::fprintf(stderr, "tavix: layouts reads a named DXF file, not standard input\n");
        return 1;
    }
    std::rewind(file);
    std::vector<dxf::Layout> layouts;
    std::vector<dxf::Viewport> viewports;
    std::string error;
    bool ok = readLayouts(file, layouts, viewports, error);
    if (file != stdin) std::fclose(file);
    if (!ok) {
        std::fprintf(stderr, "tavix: %s: %s\n", drawing.c_str(), error.c_str());
        return 1;
    }
    if (layouts.empty()) {
        std::printf("%s has no paper-space layouts: 'tavix plot' plots its model space\n", drawing.c_str());
        return 0;
    }
    for (const dxf::Layout& l : layouts) {
        int count = 0;
        for (const dxf::Viewport& v : viewports)
            if (v.space == l.space && v.id >= 2 && v.status >= 1) ++count;
        char paper[96];
        if (l.paperWidth > 0 && l.paperHeight > 0)
            std::snprintf(paper, sizeof paper, "%.0f x %.0f mm", l.paperWidth, l.paperHeight);
        else
            std::snprintf(paper, sizeof paper, "no paper size");
        std::string scale = "fit";
        if (!l.fitted() && l.scale() > 0) {
            char text[64];
            bool standard = (l.plotFlags & 16) != 0 && l.standardFactor > 0;
            if (standard && l.scale() >= 1) std::snprintf(text, sizeof text, "%g:1", l.scale());
            else if (standard) std::snprintf(text, sizeof text, "1:%g", 1 / l.scale());
            else std::snprintf(text, sizeof text, "%g:%g", l.numerator, l.denominator);
            scale = text;
        }
        std::printf("%s\t%s%s%s\t%s\t%d viewport%s\n", l.name.c_str(), paper, l.paperName.empty() ? "" : " ",
                    l.paperName.empty() ? "" : ("(" + l.paperName + ")").c_str(), scale.c_str(), count,
                    count == 1 ? "" : "s");
    }
    return 0;
}

}  // namespace tavix::host
