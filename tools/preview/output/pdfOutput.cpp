// The PDF preview: one page at 72 units per inch (the paper at its true
// size). The page's content is written as it is drawn, compressed, in
// content streams; an image closes the current stream, follows it as an
// object of its own and a new stream goes on, so nothing waits in memory.
// The objects' places are kept for the cross-reference table at the end.
#include <cairo.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "previewRenderer.h"
#include "vectorOutput.h"

namespace tavix::preview {
namespace {

constexpr int PAGES_OBJECT = 2, PAGE_OBJECT = 3, FIRST_FREE_OBJECT = 4;
constexpr double PANEL_SCALE = 2;
constexpr size_t CONTENT_PIECE = 1 << 16;  // panel pixels per picture pixel: its text stays sharp

class PdfOutput : public VectorOutput {
public:
    PdfOutput(const std::string& path, int width, int height) : VectorOutput(path), width_(width), height_(height) {
        file().write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
        beginObject(1);
        file().write("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
        openContent();
        // Picture pixels, Y down, as everywhere else.
        content("1 0 0 -1 0 " + std::to_string(height) + " cm\n");
    }
    ~PdfOutput() override {
        if (deflating_) deflateEnd(&zip_);
    }
    bool opened() { return file().opened(); }

protected:
    void beginStrokes(const VectorPen& pen, const PixelBox& clip) override {
        static const int caps[] = {0, 2, 1, 0};  // butt, square, round; triangles are filled
        int join = pen.join == LineJoin::Mitered || pen.join == LineJoin::MiteredBeveled ? 0
                   : pen.join == LineJoin::Beveled                                        ? 2
                                                                                          : 1;
        content("q " + clipText(clip) + colour(pen.colour, "RG") + number(pen.width) + " w " +
                std::to_string(caps[static_cast<int>(pen.cap)]) + " J " + std::to_string(join) + " j\n");
        points_ = 0;
    }
    void moveTo(Px p) override { point(p, " m"); }
    void lineTo(Px p) override { point(p, " l"); }
    void endStrokes() override { content("S Q\n"); }

    void fillRings(Rgb c, const PixelBox* clip, const std::vector<std::vector<Px>>& rings, bool evenOdd) override {
        content("q " + (clip ? clipText(*clip) : std::string()) + colour(c, "rg"));
        points_ = 0;
        for (const auto& ring : rings) {
            for (size_t i = 0; i < ring.size(); ++i) point(ring[i], i == 0 ? " m" : " l");
            content("h\n");
        }
        content(evenOdd ? "f* Q\n" : "f Q\n");
    }

    void circle(Rgb c, const PixelBox& clip, Px p, double r) override {
        // Four Bezier quarters; k places the control points.
        const double k = 0.5522847498 * r;
        content("q " + clipText(clip) + colour(c, "rg") + number(p.x + r) + " " + number(p.y) + " m " +
                curve(p.x + r, p.y + k, p.x + k, p.y + r, p.x, p.y + r) +
                curve(p.x - k, p.y + r, p.x - r, p.y + k, p.x - r, p.y) +
                curve(p.x - r, p.y - k, p.x - k, p.y - r, p.x, p.y - r) +
                curve(p.x + k, p.y - r, p.x + r, p.y - k, p.x + r, p.y) + "f Q\n");
    }

    void placeImage(const PixelBox& clip, const uint8_t* argb, int width, int height, int stride,
                    const ImagePlacement& m, bool smooth) override {
        int name = writeImage(argb, width, height, stride, smooth);
        // The image fills the unit square from its last row up; the map
        // takes its pixels (rows down) to picture pixels.
        double w = width, h = height;
        content("q " + clipText(clip) + exact(m.xx * w) + " " + exact(m.yx * w) + " " + exact(-m.xy * h) + " " +
                exact(-m.yy * h) + " " + exact(m.xy * h + m.x0) + " " + exact(m.yy * h + m.y0) + " cm /Im" +
                std::to_string(name) + " Do Q\n");
    }

    // The panel as an image of its own: its text in any script, drawn by
    // the same code as the PNG's panel.
    void writePanel(const PanelText& text) override {
        int w = static_cast<int>(std::ceil(text.width * PANEL_SCALE));
        int h = static_cast<int>(std::ceil(text.height * PANEL_SCALE));
        if (w <= 0 || h <= 0) return;
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            return;
        }
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, PANEL_SCALE, PANEL_SCALE);
        cairo_translate(cr, -text.x, 0);
        RenderPlan plan;
        plan.panelX = static_cast<int>(text.x);
        plan.panelWidth = static_cast<int>(text.width);
        plan.height = static_cast<int>(text.height);
        plan.fontSize = text.fontSize;
        plan.lineHeight = text.lineHeight;
        plan.geometry.margin = text.top - text.fontSize;
        plan.panel = text.lines;
        drawPanel(cr, plan);
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        ImagePlacement place{1 / PANEL_SCALE, 0, 0, 1 / PANEL_SCALE, text.x, 0};
        placeImage({text.x, 0, text.x + text.width, text.height}, cairo_image_surface_get_data(surface), w, h,
                   cairo_image_surface_get_stride(surface), place, true);
        cairo_surface_destroy(surface);
    }

    void writeEnd() override {
        closeContent();
        // The images' names, the page and the page tree.
        beginObject(resources_ = nextObject_++);
        std::string xobjects;
        for (size_t i = 0; i < images_.size(); ++i)
            xobjects += " /Im" + std::to_string(i) + " " + std::to_string(images_[i]) + " 0 R";
        file().write("<< /XObject <<" + xobjects + " >> >>\nendobj\n");
        beginObject(PAGE_OBJECT);
        std::string contents;
        for (int c : contents_) contents += " " + std::to_string(c) + " 0 R";
        file().write("<< /Type /Page /Parent 2 0 R /MediaBox [ 0 0 " + std::to_string(width_) + " " +
                     std::to_string(height_) + " ] /Resources " + std::to_string(resources_) + " 0 R /Contents [" +
                     contents + " ] >>\nendobj\n");
        beginObject(PAGES_OBJECT);
        file().write("<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n");
        long long xref = file().offset();
        int count = nextObject_;
        std::string table = "xref\n0 " + std::to_string(count) + "\n0000000000 65535 f \n";
        for (int i = 1; i < count; ++i) {
            char entry[24];
            std::snprintf(entry, sizeof entry, "%010lld 00000 n \n", i < static_cast<int>(offsets_.size()) ? offsets_[i] : 0LL);
            table += entry;
        }
        table += "trailer\n<< /Size " + std::to_string(count) + " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) +
                 "\n%%EOF\n";
        file().write(table);
    }

private:
    static std::string exact(double v) {
        char text[64];
        std::snprintf(text, sizeof text, "%.6f", std::isfinite(v) ? v : 0.0);
        return text;
    }
    std::string colour(Rgb c, const char* op) {
        return number(c.r / 255.0) + " " + number(c.g / 255.0) + " " + number(c.b / 255.0) + " " + op + " ";
    }
    std::string clipText(const PixelBox& c) {
        return number(c.x0) + " " + number(c.y0) + " " + number(std::max(0.0, c.x1 - c.x0)) + " " +
               number(std::max(0.0, c.y1 - c.y0)) + " re W n ";
    }
    std::string curve(double x1, double y1, double x2, double y2, double x3, double y3) {
        return number(x1) + " " + number(y1) + " " + number(x2) + " " + number(y2) + " " + number(x3) + " " +
               number(y3) + " c ";
    }
    void point(Px p, const char* op) {
        std::string text = number(p.x) + " " + number(p.y) + op;
        text += ++points_ % 8 == 0 ? '\n' : ' ';
        content(text);
    }

    void beginObject(int number) {
        if (offsets_.size() <= static_cast<size_t>(number)) offsets_.resize(static_cast<size_t>(number) + 1, 0);
        offsets_[static_cast<size_t>(number)] = file().offset();
        file().write(std::to_string(number) + " 0 obj\n");
    }

    void openContent() {
        int number = nextObject_;
        nextObject_ += 2;  // the stream and its length
        contents_.push_back(number);
        beginObject(number);
        file().write("<< /Length " + std::to_string(number + 1) + " 0 R /Filter /FlateDecode >>\nstream\n");
        streamStart_ = file().offset();
        zip_ = {};
        deflating_ = deflateInit(&zip_, 6) == Z_OK;
    }

    // Gathered and compressed in pieces: deflate is slow on a few bytes at a time.
    void content(const std::string& text) {
        pendingText_ += text;
        if (pendingText_.size() >= CONTENT_PIECE) {
            compress(pendingText_.data(), pendingText_.size(), Z_NO_FLUSH);
            pendingText_.clear();
        }
    }

    void compress(const char* data, size_t size, int flush) {
        if (!deflating_) return;
        zip_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        zip_.avail_in = static_cast<uInt>(size);
        unsigned char out[16384];
        do {
            zip_.next_out = out;
            zip_.avail_out = sizeof out;
            deflate(&zip_, flush);
            file().write(out, sizeof out - zip_.avail_out);
        } while (zip_.avail_out == 0 || (flush == Z_FINISH && zip_.avail_in > 0));
    }

    void closeContent() {
        compress(pendingText_.data(), pendingText_.size(), Z_FINISH);
        pendingText_.clear();
        if (deflating_) deflateEnd(&zip_);
        deflating_ = false;
        long long length = file().offset() - streamStart_;
        file().write("\nendstream\nendobj\n");
        beginObject(contents_.back() + 1);
        file().write(std::to_string(length) + "\nendobj\n");
    }

    // One compressed stream object of raw bytes.
    void streamObject(int number, const std::string& dictionary, const std::vector<uint8_t>& rows) {
        beginObject(number);
        uLongf size = compressBound(static_cast<uLong>(rows.size()));
        std::vector<uint8_t> packed(size);
        if (compress2(packed.data(), &size, rows.data(), static_cast<uLong>(rows.size()), 6) != Z_OK) size = 0;
        file().write("<< " + dictionary + " /Length " + std::to_string(size) + " /Filter /FlateDecode >>\nstream\n");
        file().write(packed.data(), size);
        file().write("\nendstream\nendobj\n");
    }

    // The image and its alpha as objects between two content streams;
    // returns its number among the page's images.
    int writeImage(const uint8_t* argb, int width, int height, int stride, bool smooth) {
        closeContent();
        int object = nextObject_, mask = nextObject_ + 1;
        nextObject_ += 2;
        std::vector<uint8_t> rgb, alpha;
        rgb.reserve(static_cast<size_t>(width) * height * 3);
        alpha.reserve(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            const uint32_t* row = reinterpret_cast<const uint32_t*>(argb + static_cast<size_t>(y) * stride);
            for (int x = 0; x < width; ++x) {
                uint32_t v = row[x], a = v >> 24;
                // Premultiplied in cairo's format; the PDF wants the colour itself.
                auto un = [a](uint32_t c) { return static_cast<uint8_t>(a ? std::min<uint32_t>(255, c * 255 / a) : 0); };
                rgb.push_back(un((v >> 16) & 255));
                rgb.push_back(un((v >> 8) & 255));
                rgb.push_back(un(v & 255));
                alpha.push_back(static_cast<uint8_t>(a));
            }
        }
        std::string size = "/Width " + std::to_string(width) + " /Height " + std::to_string(height) +
                           " /BitsPerComponent 8 /Interpolate " + (smooth ? "true" : "false");
        streamObject(object, "/Type /XObject /Subtype /Image " + size + " /ColorSpace /DeviceRGB /SMask " +
                                 std::to_string(mask) + " 0 R",
                     rgb);
        streamObject(mask, "/Type /XObject /Subtype /Image " + size + " /ColorSpace /DeviceGray", alpha);
        images_.push_back(object);
        openContent();
        return static_cast<int>(images_.size()) - 1;
    }

    int width_, height_;
    int nextObject_ = FIRST_FREE_OBJECT;
    int resources_ = 0;
    std::vector<long long> offsets_;
    std::vector<int> contents_, images_;
    z_stream zip_{};
    bool deflating_ = false;
    long long streamStart_ = 0;
    size_t points_ = 0;
    std::string pendingText_;
};

}  // namespace

std::unique_ptr<VectorOutput> pdfOutput(const std::string& path, int width, int height, std::string& error) {
    auto out = std::make_unique<PdfOutput>(path, width, height);
    if (!out->opened()) {
        std::string why;
        out->finish(why);
        error = why;
        return nullptr;
    }
    return out;
}

}  // namespace tavix::preview
