// `tavix plot` of PDF files, end to end: the program run as users run it,
// its printer stream decoded by hp2xx (which shares nothing with tavix),
// the PDFs written by hand or by cairo with coordinates known in advance.
// At 1:1 a point is 1016 / 72 plotter units, from the plot area's corner.
#include <gtest/gtest.h>

#include <cairo-pdf.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <vector>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::readWholeFile;
using tavix::testing::ScratchDirectory;
using tavix::testing::writeWholeFile;
using testing::Segment;

const std::vector<std::string> A3_COLOUR = {"--defaults", "--model", "tx90", "--paper", "A3", "--colour", "colour"};
constexpr double UNITS_PER_POINT = 1016.0 / 72;
const char* const PREVIOUS = "the previous printer file";

// A one-page PDF of `content` with a correct cross-reference table.
std::string pdfOf(const std::string& content, const std::string& mediaBox = "0 0 400 300",
                  const std::string& trailerExtra = "", const std::string& extraObject = "", int pages = 1) {
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        pages > 0 ? "<< /Type /Pages /Kids [3 0 R] /Count 1 >>" : "<< /Type /Pages /Kids [] /Count 0 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [" + mediaBox + "] /Contents 4 0 R >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream"};
    if (!extraObject.empty()) objects.push_back(extraObject);
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    return pdf + "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R " + trailerExtra +
           " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
}

// A segment in points, in a pen, as plotter units.
Segment inUnits(int pen, double x0, double y0, double x1, double y1) {
    return {pen, x0 * UNITS_PER_POINT, y0 * UNITS_PER_POINT, x1 * UNITS_PER_POINT, y1 * UNITS_PER_POINT, false};
}

// Every expected segment drawn by hp2xx's reading, ends within `reach`
// units, in its pen, and nothing more drawn. Empty when so.
std::string matchSegments(const std::vector<Segment>& expected, const std::vector<Segment>& drawn, double reach) {
    auto close = [reach](const Segment& a, const Segment& b) {
        auto near = [reach](double x0, double y0, double x1, double y1) { return std::hypot(x1 - x0, y1 - y0) <= reach; };
        return a.pen == b.pen && ((near(a.x0, a.y0, b.x0, b.y0) && near(a.x1, a.y1, b.x1, b.y1)) ||
                                  (near(a.x0, a.y0, b.x1, b.y1) && near(a.x1, a.y1, b.x0, b.y0)));
    };
    std::ostringstream out;
    for (const Segment& e : expected) {
        bool found = false;
        for (const Segment& d : drawn) found = found || close(e, d);
        if (!found)
            out << "not drawn: pen " << e.pen << " (" << e.x0 << "," << e.y0 << ")-(" << e.x1 << "," << e.y1 << ")\n";
    }
    if (drawn.size() != expected.size()) out << drawn.size() << " segments drawn, " << expected.size() << " expected\n";
    return out.str();
}

class PdfCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::string messages;
        ASSERT_EQ(0, testing::configure("pdf.cfg", A3_COLOUR, &messages)) << messages;
    }
    std::vector<Segment> plotAndDecode(const std::string& pdfPath, std::vector<std::string> options = {}) {
        std::vector<std::string> args = {"--config", "pdf.cfg", "plot", pdfPath, "-o", "drawing.plt", "-q"};
        args.insert(args.end(), options.begin(), options.end());
        testing::Ran ran = testing::runTavix(args);
        EXPECT_EQ(0, ran.status) << ran.err;
        std::vector<Segment> drawn;
        std::string error;
        EXPECT_TRUE(testing::hp2xxSegments(testing::hpglOnly(readWholeFile("drawing.plt")), drawn, error)) << error;
        return drawn;
    }
    ScratchDirectory scratch;
};

TEST_F(PdfCommand, linesInTheirPensAtFullSize) {
    writeWholeFile("drawing.pdf", pdfOf("1 0 0 RG 72 72 m 300 72 l S 0 0 1 RG 72 144 m 300 200 l S "
                                        "0 G 10 10 m 10 290 l 390 290 l S"));
    std::vector<Segment> drawn = plotAndDecode("drawing.pdf");
    std::vector<Segment> expected = {inUnits(1, 72, 72, 300, 72), inUnits(5, 72, 144, 300, 200),
                                     inUnits(7, 10, 10, 10, 290), inUnits(7, 10, 290, 390, 290)};
    EXPECT_EQ("", matchSegments(expected, drawn, 1));
}

// A pen file's RGB lines choose pens by the PDF's own colours and, where
// given, by the width of the line on paper: two widths of one red take two
// pens, a darker red a third, though all three are nearest colour 1.
TEST_F(PdfCommand, penFileRgbColoursAndWidthsChooseThePens) {
    writeWholeFile("drawing.pdf", pdfOf("1 0 0 RG 0.5 w 72 72 m 300 72 l S 2 w 72 144 m 300 144 l S "
                                        "0.8 0 0 RG 1 w 72 200 m 300 200 l S"));
    writeWholeFile("pens.txt", "# red by width, then a darker red\n255,0,0:0-0.3 3 0.18\n255,0,0:0.3-1mm 4 0.7\n"
                               "204,0,0 5\n");
    std::vector<Segment> drawn = plotAndDecode("drawing.pdf", {"--pens", "pens.txt"});
    std::vector<Segment> expected = {inUnits(3, 72, 72, 300, 72), inUnits(4, 72, 144, 300, 144),
                                     inUnits(5, 72, 200, 300, 200)};
    EXPECT_EQ("", matchSegments(expected, drawn, 1));
    std::string stream = readWholeFile("drawing.plt");
    EXPECT_NE(stream.find("PW0.18"), std::string::npos) << "the first red's width";
    EXPECT_NE(stream.find("PW0.7"), std::string::npos) << "the second red's width";

    // A colour that is not R,G,B in 0..255, or a range that is not LOW-HIGH.
    for (const char* bad : {"256,0,0 3\n", "255,0 3\n", "255,0,0:0.5 3\n", "255,0,0:0.6-0.2 3\n"}) {
        writeWholeFile("pens.txt", bad);
        testing::Ran ran = testing::runTavix({"--config", "pdf.cfg", "plot", "drawing.pdf", "-o", "bad.plt", "--pens",
                                              "pens.txt", "-q"});
        EXPECT_NE(0, ran.status) << bad;
        EXPECT_TRUE(testing::contains(ran.err, "pens.txt: line 1: the ")) << bad << ran.err;
    }
}

// --pages: each chosen page is a plot of its own in the one printer file,
// and the printer returns to the job level (the universal exit) before
// each later plot's job ticket.
TEST_F(PdfCommand, pagesAreEachAPlotOfTheirOwn) {
    cairo_surface_t* surface = cairo_pdf_surface_create("pages.pdf", 400, 300);
    cairo_t* cr = cairo_create(surface);
    for (int k = 1; k <= 3; ++k) {
        cairo_move_to(cr, 50, 50 + 50 * k);
        cairo_line_to(cr, 350, 50 + 50 * k);
        cairo_stroke(cr);
        cairo_show_page(cr);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    testing::Ran ran = testing::runTavix({"--config", "pdf.cfg", "plot", "pages.pdf", "-o", "pages.plt", "--pages", "2-"});
    ASSERT_EQ(0, ran.status) << ran.err;
    EXPECT_TRUE(testing::contains(ran.err, "2 pages, ")) << ran.err;
    const std::string stream = readWholeFile("pages.plt");
    const std::string enter = "\x1b%-1B", exit = "\x1b%-12345X", ticket = "##DOZ START";
    size_t second = stream.find(ticket, stream.find(ticket) + 1);
    ASSERT_NE(second, std::string::npos) << "one job ticket only";
    EXPECT_EQ(stream.rfind(exit, second), second - exit.size()) << "no universal exit before the second ticket";
    // Each plot's HP-GL/2, read by hp2xx: the line of its page.
    std::vector<std::string> plots;
    for (size_t at = stream.find(enter); at != std::string::npos; at = stream.find(enter, at + 1)) {
        size_t end = stream.find(exit, at);
        plots.push_back(stream.substr(at, end == std::string::npos ? std::string::npos : end - at));
    }
    ASSERT_EQ(plots.size(), 2u);
    for (int k = 2; k <= 3; ++k) {
        std::vector<Segment> drawn;
        std::string error;
        ASSERT_TRUE(testing::hp2xxSegments(testing::hpglOnly(plots[k - 2]), drawn, error)) << error;
        double y = 300 - (50 + 50 * k);
        EXPECT_EQ("", matchSegments({inUnits(7, 50, y, 350, y)}, drawn, 1)) << "page " << k;
    }

    struct Refused {
        std::vector<std::string> args;
        int status;
        const char* says;
    } refused[] = {
        {{"pages.pdf", "--pages", "5-9"}, 1, "the PDF has 3 pages: none is in --pages 5-9"},
        {{"pages.pdf", "--pages", "two"}, 2, "--pages two: give pages such as 2-5 or 1,3,8-"},
        {{"pages.pdf", "--pages", "2", "--page", "3"}, 2, "--page"},
    };
    for (const Refused& r : refused) {
        std::vector<std::string> args = {"--config", "pdf.cfg", "plot", "-o", "refused.plt"};
        args.insert(args.end(), r.args.begin(), r.args.end());
        testing::Ran no = testing::runTavix(args);
        EXPECT_EQ(r.status, no.status) << r.args[2];
        EXPECT_TRUE(testing::contains(no.err, r.says)) << no.err;
        EXPECT_FALSE(std::filesystem::exists("refused.plt")) << r.args[2];
    }
}

TEST_F(PdfCommand, aQuarterTurnOnRequest) {
    // Turned counter-clockwise: (x, y) goes to (300 - y, x) on a 400 x 300 page.
    writeWholeFile("drawing.pdf", pdfOf("72 72 m 300 72 l S"));
    std::vector<Segment> drawn = plotAndDecode("drawing.pdf", {"--rotate", "90"});
    EXPECT_EQ("", matchSegments({inUnits(7, 228, 72, 228, 300)}, drawn, 1));
}

// cairo, a PDF writer nobody here wrote, draws in y-down coordinates from
// the top left corner of its page; PDF y = height - cairo y.
TEST_F(PdfCommand, aPdfThatCairoWroteWithWidthsDashesAndColours) {
    const double W = 400, H = 300;
    cairo_surface_t* surface = cairo_pdf_surface_create("cairo.pdf", W, H);
    cairo_t* cr = cairo_create(surface);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_source_rgb(cr, 0, 1, 0);  // green: colour number 3
    cairo_set_line_width(cr, 3);
    cairo_move_to(cr, 50, 50);
    cairo_line_to(cr, 350, 50);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 1, 0, 1);  // magenta: 6
    cairo_set_line_width(cr, 1);
    const double dashes[] = {20, 10};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_move_to(cr, 50, 100);
    cairo_line_to(cr, 150, 100);
    cairo_stroke(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(surface));
    cairo_surface_destroy(surface);

    std::vector<Segment> drawn = plotAndDecode("cairo.pdf");
    std::vector<Segment> expected = {inUnits(3, 50, H - 50, 350, H - 50)};
    for (double x = 50; x < 150; x += 30) expected.push_back(inUnits(6, x, H - 100, std::min(x + 20, 150.0), H - 100));
    EXPECT_EQ("", matchSegments(expected, drawn, 1));
    // 3 points wide, 1.058 mm; hp2xx does not report widths: read the stream.
    std::string hpgl = testing::hpglOnly(readWholeFile("drawing.plt"));
    EXPECT_NE(std::string::npos, hpgl.find("PW1.058")) << hpgl.substr(0, 400);
}

// ---- Look: poppler's rendering against the preview of our stream -------

// Ink: a pixel darker than a light grey in any channel.
std::vector<bool> inkOf(const testing::Picture& p, int x0, int y0, int x1, int y1, int& w, int& h) {
    w = x1 - x0, h = y1 - y0;
    std::vector<bool> ink(static_cast<size_t>(w) * h);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* c = p.at(x, y);
            ink[static_cast<size_t>(y - y0) * w + (x - x0)] = std::min({c[0], c[1], c[2]}) < 160;
        }
    return ink;
}

struct Ink {
    std::vector<bool> at;
    int w = 0, h = 0;
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1;  // bounding box of the ink
};

Ink inkBox(std::vector<bool> at, int w, int h) {
    Ink ink{std::move(at), w, h, w, h, -1, -1};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ink.at[static_cast<size_t>(y) * w + x])
                ink.x0 = std::min(ink.x0, x), ink.y0 = std::min(ink.y0, y), ink.x1 = std::max(ink.x1, x),
                ink.y1 = std::max(ink.y1, y);
    return ink;
}

bool inkAt(const Ink& ink, int x, int y) {
    return x >= 0 && y >= 0 && x < ink.w && y < ink.h && ink.at[static_cast<size_t>(y) * ink.w + x];
}

// Intersection over union of the two inks after a one-pixel dilation of
// each, the second moved so that the boxes' corners meet.
double dilatedIoU(const Ink& a, const Ink& b) {
    auto dilated = [](const Ink& ink, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (inkAt(ink, x + dx, y + dy)) return true;
        return false;
    };
    int ox = b.x0 - a.x0, oy = b.y0 - a.y0;
    long both = 0, either = 0;
    for (int y = a.y0 - 2; y <= a.y1 + 2; ++y)
        for (int x = a.x0 - 2; x <= a.x1 + 2; ++x) {
            bool ia = dilated(a, x, y), ib = dilated(b, x + ox, y + oy);
            both += ia && ib;
            either += ia || ib;
        }
    return either == 0 ? 0 : static_cast<double>(both) / static_cast<double>(either);
}

// The preview of `pdf`'s printer stream (plotted with configuration
// `config`) against poppler's rendering of the PDF at the same resolution:
// the same ink box to two pixels, and the ink's intersection over union
// after a one-pixel dilation at least `minIoU`.
void expectLooksLikePoppler(const std::string& config, const std::string& pdf, int dpi, double minIoU) {
    const std::string resolution = std::to_string(dpi);
    testing::Ran ran = testing::runTavix({"--config", config, "plot", pdf, "-o", "look.plt", "--preview", "look.png",
                                          "--no-panel", "--dpi", resolution, "-q"});
    ASSERT_EQ(0, ran.status) << ran.err;
    ran = testing::runProgram("pdftoppm", {"-r", resolution, "-png", "-singlefile", pdf, "poppler"});
    ASSERT_EQ(0, ran.status) << ran.err;
    testing::Picture ours, theirs;
    std::string error;
    ASSERT_TRUE(testing::readPicture("look.png", ours, error)) << error;
    ASSERT_TRUE(testing::readPicture("poppler.png", theirs, error)) << error;
    // The preview's paper is its white area; its frame and surround are left out.
    int px0 = ours.width, py0 = ours.height, px1 = 0, py1 = 0;
    for (int y = 0; y < ours.height; ++y)
        for (int x = 0; x < ours.width; ++x) {
            const uint8_t* c = ours.at(x, y);
            if (c[0] == 255 && c[1] == 255 && c[2] == 255)
                px0 = std::min(px0, x), py0 = std::min(py0, y), px1 = std::max(px1, x), py1 = std::max(py1, y);
        }
    ASSERT_LT(px0, px1);
    int w = 0, h = 0;
    std::vector<bool> oursInk = inkOf(ours, px0 + 2, py0 + 2, px1 - 1, py1 - 1, w, h);
    Ink a = inkBox(std::move(oursInk), w, h);
    std::vector<bool> theirInk = inkOf(theirs, 0, 0, theirs.width, theirs.height, w, h);
    Ink b = inkBox(std::move(theirInk), w, h);
    ASSERT_GE(a.x1, a.x0);
    ASSERT_GE(b.x1, b.x0);
    EXPECT_NEAR(b.x1 - b.x0, a.x1 - a.x0, 2);
    EXPECT_NEAR(b.y1 - b.y0, a.y1 - a.y0, 2);
    EXPECT_GE(dilatedIoU(b, a), minIoU);
}

// A PDF written by hand; it asks for round line ends, as the
// configuration's pens draw them.
TEST_F(PdfCommand, thePreviewLooksLikePopplersRendering) {
    writeWholeFile("look.pdf",
                   pdfOf("1 J 1 j 2 w 20 20 m 280 20 l 280 180 l S [6 4] 0 d 40 160 m 260 160 l S [] 0 d "
                         "40 40 m 120 40 l 80 120 l h f 150 40 m 250 40 l 250 140 l 150 140 l h "
                         "175 65 m 225 65 l 225 115 l 175 115 l h f* 0.5 w 1 J 200 60 m 200 60 l S",
                         "0 0 300 200"));
    expectLooksLikePoppler("pdf.cfg", "look.pdf", 144, 0.97);
}

// The floor plan as LibreCAD exports it (an A3 page of thin lines, arcs,
// hatches and text as glyph outlines), on A1 paper at 1:1. Its hairlines
// print at the pens' width, a pixel wider than poppler draws them at this
// resolution: the agreement is 0.92 (the ink box sizes checked to two
// pixels besides).
TEST_F(PdfCommand, librecadsFloorPlanLooksLikePopplersRendering) {
    std::string messages;
    ASSERT_EQ(0, testing::configure("a1.cfg", {"--defaults", "--model", "tx90", "--paper", "A1", "--colour", "colour"},
                                    &messages))
        << messages;
    expectLooksLikePoppler("a1.cfg", testing::sourcePath("examples/floor-plan.pdf"), 100, 0.9);
}

struct Refused {
    const char* name;
    std::string pdf;
    std::vector<std::string> options;
    int status;
    const char* message;
};

void PrintTo(const Refused& r, std::ostream* os) { *os << r.name; }

class PdfRefused : public ::testing::TestWithParam<Refused> {
protected:
    ScratchDirectory scratch;
};

TEST_P(PdfRefused, saysWhyAndLeavesThePrinterFileAlone) {
    const Refused& r = GetParam();
    std::string messages;
    ASSERT_EQ(0, testing::configure("pdf.cfg", A3_COLOUR, &messages)) << messages;
    writeWholeFile("drawing.pdf", r.pdf);
    for (bool existing : {false, true}) {
        std::filesystem::remove("out.plt");
        if (existing) writeWholeFile("out.plt", PREVIOUS);
        std::vector<std::string> args = {"--config", "pdf.cfg", "plot", "drawing.pdf", "-o", "out.plt"};
        args.insert(args.end(), r.options.begin(), r.options.end());
        testing::Ran ran = testing::runTavix(args);
        EXPECT_EQ(r.status, ran.status) << ran.err;
        EXPECT_NE(std::string::npos, ran.err.find(r.message)) << ran.err;
        EXPECT_EQ(existing, std::filesystem::exists("out.plt"));
        if (existing) {
            EXPECT_EQ(PREVIOUS, readWholeFile("out.plt"));
        }
        EXPECT_FALSE(std::filesystem::exists("out.plt.part"));
    }
}

const std::string A_LINE = "0 0 m 100 0 l S";

INSTANTIATE_TEST_SUITE_P(
    Plot, PdfRefused,
    ::testing::Values(
        Refused{"damaged", "%PDF-1.7\n1 0 obj << /Type /Catalog", {}, 1, "drawing.pdf: the PDF is damaged"},
        Refused{"encrypted",
                pdfOf(A_LINE, "0 0 400 300", "/Encrypt 5 0 R /ID [<00> <00>]",
                      "<< /Filter /Standard /V 1 /R 2 /P -4 /O <" + std::string(64, 'a') + "> /U <" +
                          std::string(64, 'b') + "> >>"),
                {}, 1, "drawing.pdf: the PDF is encrypted and needs a password"},
        Refused{"noPages", pdfOf(A_LINE, "0 0 400 300", "", "", 0), {}, 1, "drawing.pdf: the PDF has no pages"},
        Refused{"noSuchPage", pdfOf(A_LINE), {"--page", "3"}, 1, "the PDF has 1 page: there is no page 3"},
        Refused{"pageLargerThanA3", pdfOf(A_LINE, "0 0 2384 3370"), {}, 1,
                "the page is 841 x 1189 mm, larger than the plot area"},
        Refused{"nothingOnThePage", pdfOf("0 0 m S"), {}, 1, "nothing on page 1 plots"},
        Refused{"scaleIsForDxf", pdfOf(A_LINE), {"--scale", "1:2"}, 2, "--scale and --window apply to DXF"}),
    [](const ::testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavix::host
