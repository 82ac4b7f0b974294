// Paper-space layouts plotted through the driver, against ezdxf's drawing
// add-on (tests/dxf/oracle/layoutOracle.py): ezdxf writes each drawing and
// draws its layout with matplotlib; hp2xx decodes our printer stream. The
// measure is the ink of the two pictures at 4 pixels a millimetre: every
// outline pixel of ezdxf's picture (ink beside paper; fills count by their
// edges, as hp2xx gives our fills as outlines) must lie within 0.5 mm of our
// vectors, and every pixel of our vectors within 0.5 mm of ezdxf's ink. Both
// shares must reach 99%. A picture of another case must fall short, so the
// measure tells layouts apart.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "e2eSupport.h"
#include "support/scratchDirectory.h"

namespace tavix::host {
namespace {

using tavix::testing::ScratchDirectory;
using testing::Picture;
using testing::Segment;

constexpr double UNITS_PER_MM = 1016 / 25.4;
constexpr double PX_PER_MM = 4;
constexpr int REACH_PX = 2;  // 0.5 mm
constexpr double SHEET_W = 420, SHEET_H = 297;
constexpr double THRESHOLD = 0.99;

using Mask = std::vector<uint8_t>;
const int W = static_cast<int>(SHEET_W * PX_PER_MM), H = static_cast<int>(SHEET_H * PX_PER_MM);

Mask inkOf(const Picture& p) {
    Mask m(static_cast<size_t>(W) * H, 0);
    for (int y = 0; y < std::min(H, p.height); ++y)
        for (int x = 0; x < std::min(W, p.width); ++x) {
            const uint8_t* c = p.at(x, y);
            m[static_cast<size_t>(y) * W + x] = std::min({c[0], c[1], c[2]}) < 200;
        }
    return m;
}

// A square of 2r + 1 pixels around every set pixel.
Mask dilated(const Mask& m, int r) {
    Mask rows(m.size(), 0), out(m.size(), 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (m[static_cast<size_t>(y) * W + x])
                for (int dx = std::max(0, x - r); dx <= std::min(W - 1, x + r); ++dx) rows[static_cast<size_t>(y) * W + dx] = 1;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (rows[static_cast<size_t>(y) * W + x])
                for (int dy = std::max(0, y - r); dy <= std::min(H - 1, y + r); ++dy) out[static_cast<size_t>(dy) * W + x] = 1;
    return out;
}

// Ink pixels with paper beside them: the lines, and the edges of fills.
Mask outlineOf(const Mask& ink) {
    Mask paper(ink.size());
    for (size_t i = 0; i < ink.size(); ++i) paper[i] = !ink[i];
    Mask nearPaper = dilated(paper, 1);
    Mask out(ink.size());
    for (size_t i = 0; i < ink.size(); ++i) out[i] = ink[i] && nearPaper[i];
    return out;
}

Mask rasterised(const std::vector<Segment>& segments) {
    Mask m(static_cast<size_t>(W) * H, 0);
    for (const Segment& s : segments) {
        double x0 = s.x0 / UNITS_PER_MM * PX_PER_MM, y0 = s.y0 / UNITS_PER_MM * PX_PER_MM;
        double x1 = s.x1 / UNITS_PER_MM * PX_PER_MM, y1 = s.y1 / UNITS_PER_MM * PX_PER_MM;
        int steps = static_cast<int>(std::ceil(2 * std::hypot(x1 - x0, y1 - y0))) + 1;
        for (int k = 0; k <= steps; ++k) {
            double t = static_cast<double>(k) / steps;
            int x = static_cast<int>(std::floor(x0 + t * (x1 - x0)));
            int y = H - 1 - static_cast<int>(std::floor(y0 + t * (y1 - y0)));
            if (x >= 0 && x < W && y >= 0 && y < H) m[static_cast<size_t>(y) * W + x] = 1;
        }
    }
    return m;
}

// The share of `of`'s pixels that lie within reach of `near`.
double shareNear(const Mask& of, const Mask& near) {
    Mask reach = dilated(near, REACH_PX);
    size_t total = 0, hit = 0;
    for (size_t i = 0; i < of.size(); ++i)
        if (of[i]) ++total, hit += reach[i];
    return total == 0 ? 0 : static_cast<double>(hit) / static_cast<double>(total);
}

bool python(const std::vector<std::string>& args, std::string& out) {
    testing::Ran ran = testing::runProgram(TAVIX_SYSTEM_PYTHON, args);
    out = ran.status == 0 ? ran.out : ran.err;
    return ran.status == 0;
}

struct Case {
    const char* name;   // the oracle's case
    const char* layout;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class DxfLayoutOracle : public ::testing::TestWithParam<Case> {
protected:
    ScratchDirectory scratch;
    std::string oracle = testing::sourcePath("tests/dxf/oracle/layoutOracle.py");

    // Our vectors and ezdxf's ink of the case's layout.
    void draw(const Case& c, Mask& ours, Picture& theirs) {
        std::string out, error;
        ASSERT_EQ(0, testing::configure("layout.cfg", {"--defaults", "--model", "tx90", "--paper", "A2", "--colour", "colour"},
                                        &out)) << out;
        std::string dxf = std::string(c.name) + ".dxf", png = std::string(c.name) + ".png";
        ASSERT_TRUE(python({oracle, "make", c.name, dxf}, out)) << out;
        ASSERT_TRUE(python({oracle, "render", dxf, c.layout, png, "4"}, out)) << out;
        ASSERT_TRUE(testing::readPicture(png, theirs, error)) << error;
        testing::Ran ran = testing::runTavix({"--config", "layout.cfg", "plot", dxf, "--layout", c.layout, "--scale",
                                              "1:1", "-o", "layout.plt", "-q"});
        ASSERT_EQ(0, ran.status) << ran.err;
        std::vector<Segment> drawn;
        ASSERT_TRUE(testing::hp2xxSegments(testing::hpglOnly(tavix::testing::readWholeFile("layout.plt")), drawn,
                                           error)) << error;
        ours = rasterised(drawn);
    }
};

TEST_P(DxfLayoutOracle, inkAgreesWithEzdxf) {
    Mask ours;
    Picture theirs;
    ASSERT_NO_FATAL_FAILURE(draw(GetParam(), ours, theirs));
    Mask ink = inkOf(theirs);
    double found = shareNear(outlineOf(ink), ours), expected = shareNear(ours, ink);
    std::printf("ink shares: ezdxf's outline near ours %.4f, ours near ezdxf's ink %.4f\n", found, expected);
    EXPECT_GE(found, THRESHOLD) << "share of ezdxf's outline ink within 0.5 mm of our vectors";
    EXPECT_GE(expected, THRESHOLD) << "share of our vectors within 0.5 mm of ezdxf's ink";
}

const Case CASES[] = {
    {"scale", "Layout1"},   // 1:2 and 2:1 viewports, cut by their rectangles
    {"twist", "Plot twist"},
    {"frozen", "Plot frozen"},  // layer HIDDEN frozen in the right viewport only
    {"clip", "Plot clip"},      // clipped by a pentagon on the sheet
};

INSTANTIATE_TEST_SUITE_P(Layouts, DxfLayoutOracle, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

// The measure fails a layout drawn otherwise: our frozen-layer plot
// against ezdxf's picture of the same sheet with the layer thawed (the
// scale case's left viewport differs in view, and the twist in angle).
TEST(DxfLayoutOracleMeasure, tellsDifferentLayoutsApart) {
    ScratchDirectory scratch;
    std::string oracle = testing::sourcePath("tests/dxf/oracle/layoutOracle.py"), out, error;
    ASSERT_EQ(0, testing::configure("layout.cfg", {"--defaults", "--model", "tx90", "--paper", "A2", "--colour", "colour"},
                                    &out)) << out;
    ASSERT_TRUE(python({oracle, "make", "frozen", "frozen.dxf"}, out)) << out;
    ASSERT_TRUE(python({oracle, "make", "thawed", "thawed.dxf"}, out)) << out;
    ASSERT_TRUE(python({oracle, "render", "thawed.dxf", "Plot thawed", "thawed.png", "4"}, out)) << out;
    Picture thawed;
    ASSERT_TRUE(testing::readPicture("thawed.png", thawed, error)) << error;
    testing::Ran ran = testing::runTavix({"--config", "layout.cfg", "plot", "frozen.dxf", "--layout", "Plot frozen",
                                          "--scale", "1:1", "-o", "layout.plt", "-q"});
    ASSERT_EQ(0, ran.status) << ran.err;
    std::vector<Segment> drawn;
    ASSERT_TRUE(testing::hp2xxSegments(testing::hpglOnly(tavix::testing::readWholeFile("layout.plt")), drawn, error))
        << error;
    double found = shareNear(outlineOf(inkOf(thawed)), rasterised(drawn));
    std::printf("ink share of the thawed sheet near the frozen plot: %.4f\n", found);
    EXPECT_LT(found, THRESHOLD);
}

}  // namespace
}  // namespace tavix::host
