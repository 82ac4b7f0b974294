// HP-GL/2 as the driver writes it: set-up (BP IN PS IP IR SC IW), pens and
// palette (SP NP CR PC PW WU), line attributes (LA LT), vectors (PU PD PA
// PR and Polyline Encoded PE in its 7-bit and 8-bit forms), polygons (PM
// FP EP FT), pages (PG RP). Other instructions are skipped with a warning.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "pageBuilder.h"
#include "rtlReader.h"
#include "streamContext.h"
#include "streamModel.h"
#include "ticketPens.h"

namespace tavix::preview {

class HpglReader {
public:
    HpglReader(StreamContext& ctx, PageBuilder& pages);

    // Reads instructions until an escape sequence or the end of the data.
    void run();
    // The data ends in HP-GL/2 or it is left for another language.
    void leave() { pages_.breakLine(); }

    Point pen() const { return pen_; }
    void setPen(Point p) { pen_ = p; pages_.breakLine(); }
    // HP RTL's frame on this page: on a page whose PS length is not above
    // its width the plotter turns the HP-GL/2 axes, and raster rows then run
    // along Y with pixels towards smaller X; otherwise pixels run along Y
    // and rows along X.
    RtlFrame rtlFrame() const;

private:
    struct Params {
        size_t offset = 0;
        std::vector<double> values;
        size_t count() const { return values.size(); }
        double operator[](size_t i) const { return values[i]; }
    };
    struct Transform {
        double sx = 1, sy = 1, ox = 0, oy = 0;
    };

    void instruction();
    bool textInstruction(int name, size_t offset);
    bool setUpInstruction(int name, const Params& p);
    bool drawingInstruction(int name, const Params& p);
    void otherInstruction(int name, size_t offset);
    void setDefaults(size_t offset);
    Params readParams(size_t offset);
    void skipLabel(size_t offset);

    void initialize();
    void defaultPalette();
    void updateTransform(size_t offset);
    Point toPlotter(double ux, double uy) const;
    Point deltaToPlotter(double dx, double dy) const;
    Rect clip() const;
    StrokeStyle style();
    const TicketPens& ticketPens();
    int mapPen(int pen) const;
    Rgb fillColour();
    double diagonal() const;

    void moveTo(Point target, bool down, size_t offset);
    void plotPairs(const Params& p, bool absolute, size_t offset);
    // The reading state of one PE instruction.
    struct PeState {
        bool sevenBit = false;
        int fractionBits = 0;
        bool upNext = false, absoluteNext = false;
        bool haveX = false;
        double x = 0;
        enum class Expect { Coordinate, Pen, Fraction } expect = Expect::Coordinate;
        bool warnedByte = false, warnedLarge = false;
        bool isDigit(int c) const;
    };
    void polylineEncoded(size_t offset);
    void peFlag(PeState& pe, int c);
    bool peNumber(PeState& pe, double& value);
    void peValue(PeState& pe, double value, size_t numberStart);
    void selectPen(double value, size_t offset);
    void fillPolygon(const Params& p, size_t offset);
    void edgePolygon(size_t offset);

    void paperSize(const Params& p);
    void inputP1P2(const Params& p, bool relative);
    void scale(const Params& p);
    void inputWindow(const Params& p);
    void penColour(const Params& p);
    void colourRange(const Params& p);
    void penWidth(const Params& p);
    void lineAttributes(const Params& p);
    void lineType(const Params& p);
    void numberOfPens(const Params& p);
    void polygonMode(const Params& p);
    void fillType(const Params& p);

    void warnCount(const Params& p, const char* name);

    StreamContext& ctx_;
    PageBuilder& pages_;

    Point pen_;
    bool penDown_ = false;
    bool absolute_ = true;

    bool hasPaper_ = false;
    double psLength_ = 0, psWidth_ = 0;
    Rect hardClip_;
    Point p1_, p2_;
    bool scaling_ = false;
    int scaleType_ = 0;
    double sc_[4] = {0, 1, 0, 1};
    double scLeft_ = 50, scBottom_ = 50;
    Transform transform_;
    bool window_ = false;
    Rect windowRect_;

    int numPens_ = 8;
    std::array<Rgb, 256> colours_{};
    std::array<double, 256> widths_{};
    std::array<bool, 256> widthGiven_{};  // PW gave the pen a width of its own
    TicketPens ticketPens_;
    size_t ticketLinesRead_ = 0;
    bool widthRelative_ = false;
    double range_[6] = {0, 255, 0, 255, 0, 255};
    int currentPen_ = 1;

    LineCap cap_ = LineCap::Butt;
    LineJoin join_ = LineJoin::Mitered;
    bool solid_ = true;
    int lineType_ = 0;
    double lineLength_ = 4;
    int lineMode_ = 0;
    int savedLineType_ = 0;
    bool savedSolid_ = true;

    bool polygonMode_ = false;
    bool newRing_ = false;
    std::vector<std::vector<Point>> polygon_;
    int fillType_ = 1;
    double shading_ = 100;

    char labelTerminator_ = 3;
};

}  // namespace tavix::preview
