#include "drawingFile.h"

#include <gtest/gtest.h>

namespace tavix::host {
namespace {

TEST(DrawingFile, readsEveryRequestKind) {
    Drawing d;
    std::string error;
    ASSERT_TRUE(parseDrawing("# a comment\n"
                             "pen 3\n"
                             "move 100 100   # trailing comment\n"
                             "draw 300 100\n"
                             "lift\n"
                             "linetype 2\n"
                             "linetypes 8\n"
                             "width 0.35mm\n"
                             "width 0.01\n"
                             "fill 5 100 300 200 300 200 400\n"
                             "fillarray 2 1 1 2 2\n"
                             "image a.png 10 20 30 40 bitonal colour 1 outline\n"
                             "abort\n",
                             d, error))
        << error;
    ASSERT_EQ(12u, d.requests.size());
    EXPECT_EQ(DrawingOp::Pen, d.requests[0].op);
    EXPECT_EQ(3, d.requests[0].value);
    EXPECT_EQ(3, d.requests[1].line);
    EXPECT_EQ((std::vector<double>{100, 100}), d.requests[1].coords);
    EXPECT_NEAR(0.35 / 25.4, d.requests[6].widthInches, 1e-12);
    EXPECT_DOUBLE_EQ(0.01, d.requests[7].widthInches);
    EXPECT_EQ(DrawingOp::Fill, d.requests[8].op);
    EXPECT_EQ(5, d.requests[8].value);
    EXPECT_EQ(6u, d.requests[8].coords.size());
    const DrawingRequest& image = d.requests[10];
    EXPECT_EQ("a.png", image.file);
    EXPECT_TRUE(image.image.bitonal);
    EXPECT_EQ(1, image.image.colourIndex);
    EXPECT_EQ(1, image.image.transparency);
    EXPECT_EQ(DrawingOp::Abort, d.requests[11].op);
}

TEST(DrawingFile, unitsApplyToTheLinesAfterThem) {
    Drawing d;
    std::string error;
    ASSERT_TRUE(parseDrawing("move 1 1\nunits mm\nmove 25.4 0\nunits in\ndraw 2 1\n", d, error));
    uint16_t v;
    ASSERT_TRUE(toHostUnits(d.requests[1].coords[0], d.requests[1].unit, 508, v));
    EXPECT_EQ(508, v);
    ASSERT_TRUE(toHostUnits(d.requests[2].coords[0], d.requests[2].unit, 1016, v));
    EXPECT_EQ(2032, v);
    EXPECT_FALSE(toHostUnits(65535.6, Unit::Host, 1016, v));
    EXPECT_FALSE(toHostUnits(100, Unit::Inch, 1016, v));  // 101600 units
}

TEST(DrawingFile, errorsNameTheLine) {
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"move 1\n", "line 1: move takes X and Y"},
        {"\n\ndraw a 2\n", "line 3: 'a' is not a number"},
        {"move -1 2\n", "line 1: coordinates cannot be negative"},
        {"pen 1\nfrobnicate\n", "line 2: unknown request 'frobnicate'"},
        {"fill 1 2 3 4\n", "line 1: vertices come in X Y pairs"},
        {"units feet\n", "line 1: unknown unit 'feet' (host, mm or in)"},
        {"image x.png 1 2 3\n", "line 1: image takes FILE X0 Y0 X1 Y1 [options]"},
        {"image x.png 1 2 3 4 colour 9\n", "line 1: colour takes an index 0..7"},
        {"width thick\n", "line 1: width takes a width in inches, or with mm / in"},
        {"move nan 1\n", "line 1: 'nan' is not a number"},
        {"pen 99999\n", "line 1: pen takes a pen number 1..255"},
    };
    for (const Case& c : cases) {
        Drawing d;
        std::string error;
        EXPECT_FALSE(parseDrawing(c.text, d, error)) << c.text;
        EXPECT_EQ(c.error, error) << c.text;
    }
}

TEST(DrawingFile, emptyAndCommentOnlyTextsAreEmptyDrawings) {
    Drawing d;
    std::string error;
    EXPECT_TRUE(parseDrawing("", d, error));
    EXPECT_TRUE(d.requests.empty());
    EXPECT_TRUE(parseDrawing("# nothing\n\r\n   \n", d, error));
    EXPECT_TRUE(d.requests.empty());
    EXPECT_TRUE(parseDrawing("move 1 2", d, error));  // no final line end
    EXPECT_EQ(1u, d.requests.size());
}

}  // namespace
}  // namespace tavix::host
