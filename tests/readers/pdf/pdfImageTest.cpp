// Images of a PDF become the driver's image requests: the image's pixels in
// the rectangle its transformation gives, mirrored images turned back,
// images the request cannot carry left out with a warning.
#include <gtest/gtest.h>

#include <filesystem>

#include "pdfFiles.h"
#include "pdfRequests.h"

namespace tavix::pdf {
namespace {

using testing::first;
using testing::onePagePdf;
using testing::plot;
using testing::Plotted;
using testing::UNITS_PER_POINT;

// A 2 x 2 inline image, rows top first: red green / blue white.
const std::string PIXELS("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\xFF\xFF\xFF", 12);

std::string imagePage(const std::string& matrix) {
    return onePagePdf(testing::page("q " + matrix + " cm BI /W 2 /H 2 /CS /RGB /BPC 8 ID " + PIXELS + " EI Q",
                                    "0 0 400 300"));
}

TEST(PdfImage, anImageIsSentInItsRectangleWithItsPixels) {
    Plotted p = plot(imagePage("100 0 0 50 20 30"));
    ASSERT_TRUE(p.ok) << p.error;
    const host::DrawingRequest* image = first(p, host::DrawingOp::Image);
    ASSERT_NE(nullptr, image);
    ASSERT_EQ(4u, image->coords.size());
    double u = UNITS_PER_POINT;
    EXPECT_NEAR(20 * u, image->coords[0], 1e-6);
    EXPECT_NEAR(30 * u, image->coords[1], 1e-6);
    EXPECT_NEAR(120 * u, image->coords[2], 1e-6);
    EXPECT_NEAR(80 * u, image->coords[3], 1e-6);
    ASSERT_EQ(1u, p.images.size());
    EXPECT_EQ(2, p.images[0].width);
    EXPECT_EQ(2, p.images[0].height);
    EXPECT_EQ(std::vector<uint8_t>(PIXELS.begin(), PIXELS.end()), p.images[0].rgb);
    // The file is gone once the driver has it.
    EXPECT_FALSE(std::filesystem::exists(image->file));
}

TEST(PdfImage, aMirroredImageIsTurnedBackIntoItsUprightRectangle) {
    // d < 0: the first row lies at the bottom of the rectangle.
    Plotted p = plot(imagePage("100 0 0 -50 20 80"));
    ASSERT_TRUE(p.ok) << p.error;
    const host::DrawingRequest* image = first(p, host::DrawingOp::Image);
    ASSERT_NE(nullptr, image);
    EXPECT_NEAR(30 * UNITS_PER_POINT, image->coords[1], 1e-6);
    EXPECT_NEAR(80 * UNITS_PER_POINT, image->coords[3], 1e-6);
    ASSERT_EQ(1u, p.images.size());
    std::string bottomFirst = PIXELS.substr(6) + PIXELS.substr(0, 6);
    EXPECT_EQ(std::vector<uint8_t>(bottomFirst.begin(), bottomFirst.end()), p.images[0].rgb);
}

TEST(PdfImage, anImageTurnedByAQuarterIsResampledUpright) {
    // Turned counter-clockwise: the image's rows run up the page, its first
    // row (red green) the left column, red at the bottom.
    Plotted p = plot(imagePage("0 100 -50 0 120 30"));
    ASSERT_TRUE(p.ok) << p.error;
    const host::DrawingRequest* image = first(p, host::DrawingOp::Image);
    ASSERT_NE(nullptr, image);
    double u = UNITS_PER_POINT;
    EXPECT_NEAR(70 * u, image->coords[0], 1e-6);
    EXPECT_NEAR(30 * u, image->coords[1], 1e-6);
    EXPECT_NEAR(120 * u, image->coords[2], 1e-6);
    EXPECT_NEAR(130 * u, image->coords[3], 1e-6);
    ASSERT_EQ(1u, p.images.size());
    EXPECT_EQ(2, p.images[0].width);
    EXPECT_EQ(2, p.images[0].height);
    // Top row: green then white; bottom row: red then blue.
    std::string upright = PIXELS.substr(3, 3) + PIXELS.substr(9, 3) + PIXELS.substr(0, 3) + PIXELS.substr(6, 3);
    EXPECT_EQ(std::vector<uint8_t>(upright.begin(), upright.end()), p.images[0].rgb);
}

TEST(PdfImage, aShearedImageBesideLinesIsLeftOutWithAWarning) {
    std::string pdf = onePagePdf(testing::page("0 0 m 100 0 l S q 100 0 30 50 20 30 cm BI /W 2 /H 2 /CS /RGB "
                                               "/BPC 8 ID " + PIXELS + " EI Q",
                                               "0 0 400 300"));
    Plotted p = plot(pdf);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(nullptr, first(p, host::DrawingOp::Image));
    ASSERT_EQ(1u, p.report.warnings.size());
    EXPECT_EQ(0u, p.report.warnings[0].find("left out 1 image ")) << p.report.warnings[0];
}

TEST(PdfImage, aPageOfOneShearedImageIsRefused) {
    Plotted p = plot(imagePage("100 0 30 50 20 30"));
    ASSERT_FALSE(p.ok);
    EXPECT_NE(std::string::npos, p.error.find("nothing on page 1 plots")) << p.error;
}

}  // namespace
}  // namespace tavix::pdf
