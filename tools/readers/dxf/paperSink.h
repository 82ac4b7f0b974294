// The last step before the driver: strokes and fills placed on the paper,
// clipped to the plot area (what is cut off is measured for the warning),
// and sent as the host's drawing requests, with the pen, width and line type
// requested only when they change.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "drawingFile.h"
#include "penMap.h"
#include "placement.h"
#include "primitives.h"

namespace tavix::dxf {

// Takes one request; false when the plot must stop (`why` set).
using RequestSink = std::function<bool(const host::DrawingRequest&, std::string& why)>;

struct PaperOptions {
    bool printerLinetypes = false;   // linetypes as the printer's line types 1..8
    bool lineweights = false;        // the drawing has lineweights or band widths: send widths
    double defaultLineweightMm = 0.25;
    std::string drawingFolder;       // where image files named without a folder are looked for
};

class PaperSink : public PrimitiveSink {
public:
    PaperSink(const Placement& placement, double width, double height, const PenMap& pens,
              const PaperOptions& options, const RequestSink& send);

    bool stroke(const LineLook& look, const geometry::Polyline& points, double slack, std::string& why) override;
    bool fill(const LineLook& look, const std::vector<geometry::Polyline>& loops, std::string& why) override;
    // After a request sent past this sink (an image), the pen is not where it was.
    void forgetPenPosition() { penAtKnown = false; }

    // What was cut off at the plot area's edges.
    double clippedMm = 0;       // length of lines
    double drawnMm = 0;         // length of lines drawn
    int clippedFills = 0;       // fills partly or wholly outside
    long long strokes = 0, fills = 0;
    int oversizeFills = 0;      // fills with more vertices than a request carries
    long long images = 0;
    std::map<std::string, int> imagesLeftOut;  // why, naming the file, with its count

    bool image(const LineLook& look, const std::string& file, const geometry::Polyline& corners,
               std::string& why) override;

private:
    bool select(const LineLook& look, std::string& why);
    bool send(host::DrawingRequest& r, std::string& why);
    bool moveOrDraw(host::DrawingOp op, geometry::Point p, int line, std::string& why);

    Placement placement;
    double width, height;
    const PenMap& pens;
    PaperOptions options;
    const RequestSink& sink;
    int pen = -1;
    double widthMm = -2;
    int lineType = -1;
    bool penAtKnown = false;
    geometry::Point penAt{0, 0};
    host::DrawingRequest request;  // reused, so a segment costs no allocation
};

}  // namespace tavix::dxf
