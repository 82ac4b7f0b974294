// HP RTL as the driver writes it between "ESC%1A" and "ESC%0B": image
// configuration (ESC*v6W), palettes, raster size and resolution, row
// transfers (raw, run-length, PackBits), Y offsets, palette push and pop.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "escapeReader.h"
#include "pageBuilder.h"
#include "rasterBuilder.h"
#include "streamContext.h"
#include "streamModel.h"

namespace tavix::preview {

// Where HP RTL's own axes lie on the page: printer pixels advance along
// xAxis within a row and rows advance along yAxis (unit vectors in plotter
// units); origin is the raster frame's (0, 0).
struct RtlFrame {
    Point origin;
    Point xAxis{0, 1};
    Point yAxis{1, 0};
    Rect clip;
};

class RtlReader {
public:
    RtlReader(StreamContext& ctx, PageBuilder& pages);

    // Entering HP RTL ("ESC%#A"): with atPen the cursor is put at `pen`.
    void enter(const RtlFrame& frame, Point pen, bool atPen);
    Point cursor() const { return cursor_; }

    void command(const EscCommand& command);
    // Bytes outside any escape sequence while in HP RTL.
    void strayBytes();
    // Leaving HP RTL, a reset or the end of data: an open raster is ended.
    void endRaster(size_t offset, bool warnIfOpen);
    void reset();

private:
    bool imageData(const EscCommand& command);
    bool paletteStack(const EscCommand& command);
    bool rasterControl(const EscCommand& command);
    bool rowData(const EscCommand& command);
    bool resolution(const EscCommand& command);
    void configure(const EscCommand& command);
    void defaultPalette();
    void startRaster(size_t offset, bool atLeftEdge);
    void transfer(const EscCommand& command, bool lastPlane);
    void completeRow(size_t offset);
    void skipRows(int64_t rows, size_t offset);
    int planesPerRow() const;
    size_t bytesPerPlane() const;
    void warnOnce(int key, size_t offset, const std::string& text);

    StreamContext& ctx_;
    PageBuilder& pages_;
    RtlFrame frame_;
    Point cursor_;

    // Image configuration.
    int pixelEncoding_ = 0;
    int bitsPerIndex_ = 1;
    int bitsPerPrimary_[3] = {8, 8, 8};
    std::array<Rgb, 256> palette_{};
    std::vector<std::array<Rgb, 256>> paletteStack_;
    int pending_[3] = {0, 0, 0};
    int width_ = 0;    // *r#S, 0 when not given
    int height_ = 0;   // *r#T, 0 when not given
    int method_ = 0;
    int dpi_ = 300;
    bool sourceTransparent_ = true;  // ESC*v#N: 0 transparent white, 1 opaque

    // The raster being received.
    bool active_ = false;
    size_t imageIndex_ = 0;
    RasterBuilder builder_;
    int rowWidth_ = 0;
    int rowsLeft_ = 0;        // rows the declared height still allows; -1 unlimited
    std::vector<std::vector<uint8_t>> planes_;
    std::vector<size_t> planeCoverage_;  // decoded bytes per plane
    int planeCount_ = 0;
    std::vector<Rgb> rowPixels_;
    std::vector<uint8_t> rowPrinted_;
    std::vector<uint8_t> scratch_;
    uint64_t warned_ = 0;
};

}  // namespace tavix::preview
