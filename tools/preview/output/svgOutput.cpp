// The SVG preview: the picture at its true size in millimetres (a viewBox
// in picture pixels), one <path> per run of strokes of one pen and clip,
// clips as <clipPath> rectangles, images as embedded PNG, the panel as text.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "vectorOutput.h"

namespace tavix::preview {
namespace {

constexpr size_t PATH_BREAK = 100;  // points per line of a path's data, for readers that read by lines

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // XML 1.0 takes no control characters but tab, line feed and return.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t') out += ' ';
            else out += c;
        }
    }
    return out;
}

const char* capName(PixelCap cap) {
    switch (cap) {
    case PixelCap::Butt: return "butt";
    case PixelCap::Square: return "square";
    default: return "round";
    }
}

const char* joinName(LineJoin join) {
    switch (join) {
    case LineJoin::Mitered:
    case LineJoin::MiteredBeveled: return "miter";
    case LineJoin::Beveled: return "bevel";
    default: return "round";
    }
}

// Base64 of PNG bytes, written as they come.
struct Base64Sink {
    PictureFile* file;
    unsigned char held[3];
    int count = 0;
    std::string line;
    void put(unsigned char c) {
        held[count++] = c;
        if (count == 3) emit(3);
    }
    void emit(int n) {
        static const char table[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        unsigned v = (held[0] << 16) | ((n > 1 ? held[1] : 0) << 8) | (n > 2 ? held[2] : 0);
        line += table[(v >> 18) & 63];
        line += table[(v >> 12) & 63];
        line += n > 1 ? table[(v >> 6) & 63] : '=';
        line += n > 2 ? table[v & 63] : '=';
        count = 0;
        if (line.size() >= 76) {
            line += '\n';
            file->write(line);
            line.clear();
        }
    }
    void end() {
        if (count > 0) emit(count);
        file->write(line);
        line.clear();
    }
};

cairo_status_t toBase64(void* closure, const unsigned char* data, unsigned int length) {
    auto* sink = static_cast<Base64Sink*>(closure);
    for (unsigned i = 0; i < length; ++i) sink->put(data[i]);
    return CAIRO_STATUS_SUCCESS;
}

class SvgOutput : public VectorOutput {
public:
    SvgOutput(const std::string& path, int width, int height, double dpi) : VectorOutput(path) {
        double mm = 25.4 / dpi;
        file().write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                     "width=\"" + number(width * mm) + "mm\" height=\"" + number(height * mm) + "mm\" viewBox=\"0 0 " +
                     std::to_string(width) + " " + std::to_string(height) + "\">\n");
    }
    bool opened() { return file().opened(); }

protected:
    // Each pen and clip is a class, written once in a style sheet of its
    // own where first used: a path then carries only its points.
    void beginStrokes(const VectorPen& pen, const PixelBox& clip) override {
        std::string id = clipId(clip);
        std::string style = "clip-path:url(#" + id + ");fill:none;stroke:" + hexColour(pen.colour) +
                            ";stroke-width:" + number(pen.width) + ";stroke-linecap:" + capName(pen.cap) +
                            ";stroke-linejoin:" + joinName(pen.join);
        auto known = classes_.find(style);
        if (known == classes_.end()) {
            known = classes_.emplace(style, "s" + std::to_string(classes_.size() + 1)).first;
            file().write("<style>." + known->second + "{" + style + "}</style>\n");
        }
        file().write("<path class=\"" + known->second + "\" d=\"");
        points_ = 0;
    }
    void moveTo(Px p) override { point('M', p); }
    void lineTo(Px p) override { point('L', p); }
    void endStrokes() override { file().write("\"/>\n"); }

    void fillRings(Rgb colour, const PixelBox* clip, const std::vector<std::vector<Px>>& rings, bool evenOdd) override {
        std::string clipping = clip ? " clip-path=\"url(#" + clipId(*clip) + ")\"" : "";
        file().write("<path" + clipping + " fill=\"" + hexColour(colour) + "\" fill-rule=\"" +
                     (evenOdd ? "evenodd" : "nonzero") + "\" d=\"");
        points_ = 0;
        for (const auto& ring : rings) {
            for (size_t i = 0; i < ring.size(); ++i) point(i == 0 ? 'M' : 'L', ring[i]);
            file().write("Z");
        }
        file().write("\"/>\n");
    }

    void circle(Rgb colour, const PixelBox& clip, Px c, double r) override {
        file().write("<circle clip-path=\"url(#" + clipId(clip) + ")\" fill=\"" + hexColour(colour) + "\" cx=\"" +
                     number(c.x) + "\" cy=\"" + number(c.y) + "\" r=\"" + number(r) + "\"/>\n");
    }

    void placeImage(const PixelBox& clip, const uint8_t* argb, int width, int height, int stride,
                    const ImagePlacement& m, bool smooth) override {
        cairo_surface_t* surface = cairo_image_surface_create_for_data(const_cast<uint8_t*>(argb), CAIRO_FORMAT_ARGB32,
                                                                       width, height, stride);
        // Six decimals: the map scales the image's pixels down to picture pixels.
        auto exact = [](double v) {
            char text[64];
            std::snprintf(text, sizeof text, "%.6f", std::isfinite(v) ? v : 0.0);
            return std::string(text);
        };
        file().write("<g clip-path=\"url(#" + clipId(clip) + ")\"><image transform=\"matrix(" + exact(m.xx) + " " +
                     exact(m.yx) + " " + exact(m.xy) + " " + exact(m.yy) + " " + exact(m.x0) + " " + exact(m.y0) +
                     ")\" width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) +
                     "\" preserveAspectRatio=\"none\"" +
                     (smooth ? "" : " style=\"image-rendering:pixelated\" image-rendering=\"optimizeSpeed\"") +
                     " xlink:href=\"data:image/png;base64,\n");
        Base64Sink sink{&file(), {}, 0, {}};
        cairo_surface_write_to_png_stream(surface, toBase64, &sink);
        sink.end();
        cairo_surface_destroy(surface);
        file().write("\"/></g>\n");
    }

    void writePanel(const PanelText& text) override {
        file().write("<rect x=\"" + number(text.x) + "\" y=\"0\" width=\"" + number(text.width) + "\" height=\"" +
                     number(text.height) + "\" fill=\"#f7f7f2\"/>\n<g font-family=\"DejaVu Sans Mono, monospace\" "
                     "font-size=\"" + number(text.fontSize) + "\" fill=\"#1a1a1a\" xml:space=\"preserve\">\n");
        double y = text.top;
        for (const std::string& line : text.lines) {
            file().write("<text x=\"" + number(text.x + 10) + "\" y=\"" + number(y) + "\">" + escaped(line) +
                         "</text>\n");
            y += text.lineHeight;
        }
        file().write("</g>\n");
    }

    void writeEnd() override { file().write("</svg>\n"); }

private:
    void point(char command, Px p) {
        std::string text(1, command);
        text += number(p.x) + " " + number(p.y);
        if (++points_ % PATH_BREAK == 0) text += '\n';
        file().write(text);
    }

    // The clip rectangle's id, defined when it is new (the last one is
    // remembered: strokes come in runs with one clip).
    std::string clipId(const PixelBox& clip) {
        if (clips_ > 0 && clip.x0 == lastClip_.x0 && clip.y0 == lastClip_.y0 && clip.x1 == lastClip_.x1 &&
            clip.y1 == lastClip_.y1)
            return "c" + std::to_string(clips_);
        ++clips_;
        lastClip_ = clip;
        std::string id = "c" + std::to_string(clips_);
        file().write("<clipPath id=\"" + id + "\"><rect x=\"" + number(clip.x0) + "\" y=\"" + number(clip.y0) +
                     "\" width=\"" + number(std::max(0.0, clip.x1 - clip.x0)) + "\" height=\"" +
                     number(std::max(0.0, clip.y1 - clip.y0)) + "\"/></clipPath>\n");
        return id;
    }

    size_t points_ = 0;
    // Pens and clips met so far: as many as the stream's distinct pens and
    // clip windows, which a page has few of.
    std::map<std::string, std::string> classes_;
    int clips_ = 0;
    PixelBox lastClip_{};
};

}  // namespace

std::unique_ptr<VectorOutput> svgOutput(const std::string& path, int width, int height, double dpi,
                                        std::string& error) {
    auto out = std::make_unique<SvgOutput>(path, width, height, dpi);
    if (!out->opened()) {
        std::string why;
        out->finish(why);
        error = why;
        return nullptr;
    }
    return out;
}

}  // namespace tavix::preview
