// The last step before the driver: requests only when the pen, width or
// line type change, pieces clipped at the plot area and measured, and
// fills with holes joined into one polygon that the even-odd rule fills
// as the loops would be.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "paperSink.h"

namespace tavix::dxf {
namespace {

using geometry::Polyline;

// The requests as text, one per line: "pen 3", "width 0.500mm", "move 10 20"...
struct Requests {
    std::vector<std::string> lines;
    RequestSink sink = [this](const host::DrawingRequest& r, std::string&) {
        std::ostringstream o;
        switch (r.op) {
            case host::DrawingOp::Pen: o << "pen " << r.value; break;
            case host::DrawingOp::Width: o << "width " << std::round(r.widthInches * 25400) / 1000 << "mm"; break;
            case host::DrawingOp::LineType: o << "linetype " << r.value; break;
            case host::DrawingOp::Move: o << "move " << r.coords[0] << " " << r.coords[1]; break;
            case host::DrawingOp::Draw: o << "draw " << r.coords[0] << " " << r.coords[1]; break;
            case host::DrawingOp::FillArray:
                o << "fill " << r.value;
                for (double c : r.coords) o << " " << c;
                break;
            default: o << "other"; break;
        }
        lines.push_back(o.str());
        return true;
    };
};

// One drawing unit is ten host units; the area is 1000 by 500 host units.
Placement tenfold() {
    Placement p;
    p.toPaper = Affine::scaling(10, 10);
    p.mmPerUnit = 10 * 25.4 / 1016;
    return p;
}

LineLook look(int colour, int lineweight = -3, int printerLineType = 0) {
    LineLook l;
    l.colour = colour;
    l.lineweight = lineweight;
    l.printerLineType = printerLineType;
    return l;
}

TEST(PaperSink, asksForPenWidthAndLineTypeOnlyWhenTheyChange) {
    Requests r;
    PenMap pens;
    PaperOptions options;
    options.lineweights = true;
    options.printerLinetypes = true;
    PaperSink sink(tenfold(), 1000, 500, pens, options, r.sink);
    std::string why;
    ASSERT_TRUE(sink.stroke(look(1, 50, 2), {{0, 0}, {1, 0}}, 0, why));
    ASSERT_TRUE(sink.stroke(look(1, 50, 2), {{1, 0}, {1, 1}}, 0, why));   // goes on from where the pen is
    ASSERT_TRUE(sink.stroke(look(3, -3, 0), {{5, 5}, {6, 5}}, 0, why));   // default width, solid
    EXPECT_EQ((std::vector<std::string>{"pen 1", "width 0.5mm", "linetype 2", "move 0 0", "draw 10 0", "draw 10 10",
                                        "pen 3", "width 0.25mm", "linetype 0", "move 50 50", "draw 60 50"}),
              r.lines);
}

TEST(PaperSink, aPenFileChangesPensAndWidths) {
    Requests r;
    PenMap pens;
    std::string error;
    ASSERT_TRUE(pens.parse("# colour pen width\n1 9 0.7mm\n2 4\n", error)) << error;
    PaperSink sink(tenfold(), 1000, 500, pens, PaperOptions{}, r.sink);
    std::string why;
    ASSERT_TRUE(sink.stroke(look(1), {{0, 0}, {1, 0}}, 0, why));
    ASSERT_TRUE(sink.stroke(look(2), {{0, 1}, {1, 1}}, 0, why));
    EXPECT_EQ((std::vector<std::string>{"pen 9", "width 0.7mm", "move 0 0", "draw 10 0", "pen 4", "width 0.25mm",
                                        "move 0 10", "draw 10 10"}),
              r.lines);
}

TEST(PaperSink, clipsAtThePlotAreaAndMeasuresWhatIsCut) {
    Requests r;
    PenMap pens;
    PaperSink sink(tenfold(), 1000, 500, pens, PaperOptions{}, r.sink);
    std::string why;
    // From -10 to 110 drawing units along y = 10: 20 units (200 host units) outside.
    ASSERT_TRUE(sink.stroke(look(7), {{-10, 10}, {110, 10}}, 0, why));
    // Wholly outside.
    ASSERT_TRUE(sink.stroke(look(7), {{0, 60}, {10, 60}}, 0, why));
    EXPECT_EQ((std::vector<std::string>{"pen 7", "move 0 100", "draw 1000 100"}), r.lines);
    EXPECT_NEAR((200 + 100) * 25.4 / 1016, sink.clippedMm, 1e-9);
    EXPECT_NEAR(1000 * 25.4 / 1016, sink.drawnMm, 1e-9);
}

TEST(PaperSink, fillsJoinTheirLoopsThroughTheFirstCorner) {
    Requests r;
    PenMap pens;
    PaperSink sink(tenfold(), 1000, 500, pens, PaperOptions{}, r.sink);
    std::string why;
    Polyline outer = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    Polyline hole = {{2, 2}, {4, 2}, {4, 4}};
    ASSERT_TRUE(sink.fill(look(5), {outer, hole}, why));
    EXPECT_EQ((std::vector<std::string>{"fill 5 0 0 100 0 100 100 0 100 0 0 20 20 40 20 40 40 20 20 0 0"}),
              r.lines);
    EXPECT_EQ(0, sink.clippedFills);
}

TEST(PaperSink, fillsAreCutAtThePlotArea) {
    Requests r;
    PenMap pens;
    PaperSink sink(tenfold(), 1000, 500, pens, PaperOptions{}, r.sink);
    std::string why;
    ASSERT_TRUE(sink.fill(look(2), {{{90, 40}, {110, 40}, {110, 60}, {90, 60}}}, why));
    ASSERT_EQ(1u, r.lines.size());
    EXPECT_EQ("fill 2 900 400 1000 400 1000 500 900 500 900 400", r.lines[0]);
    EXPECT_EQ(1, sink.clippedFills);
    ASSERT_TRUE(sink.fill(look(2), {{{200, 200}, {210, 200}, {210, 210}}}, why));
    EXPECT_EQ(1u, r.lines.size());  // nothing of it on the paper
    EXPECT_EQ(2, sink.clippedFills);
}

}  // namespace
}  // namespace tavix::dxf
