// Colour-dependent plot style tables written by ezdxf's acadctb add-on
// (tests/dxf/oracle/plotStyleOracle.py), read back: every colour's physical
// pen, lineweight, colour and screening as ezdxf itself reads the table,
// and the pen each gives. Damaged tables are refused with a reason.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "dxf/oracleRun.h"
#include "penMap.h"
#include "plotStyleTable.h"
#include "tavix/colorIndexPalette.h"

namespace tavix::dxf {
namespace {

struct Expected {
    int pen = 0, colour = -1, screen = 100;
    double lineweight = 0;
};


class PlotStyleTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        base = testing::temporaryFile();
        ASSERT_FALSE(base.empty());
        std::string out;
        ASSERT_TRUE(testing::runOracleScript("plotStyleOracle.py", base, out)) << out;
        std::istringstream lines(out);
        int aci = 0;
        Expected e;
        while (lines >> aci >> e.pen >> e.lineweight >> e.colour >> e.screen) expected[aci] = e;
        ASSERT_EQ(255u, expected.size());
    }
    void TearDown() override {
        for (const char* end : {"", "-ezdxf.ctb", "-cad.ctb"}) std::remove((base + end).c_str());
    }
    std::string base;
    std::map<int, Expected> expected;
};

TEST_F(PlotStyleTableTest, readsEveryColourAsEzdxfDoes) {
    for (const char* file : {"-ezdxf.ctb", "-cad.ctb"}) {
        PlotStyleTable table;
        std::string error;
        ASSERT_TRUE(loadPlotStyleTable(base + file, table, error)) << file << ": " << error;
        ASSERT_TRUE(table.colourDependent);
        ASSERT_EQ(255u, table.styles.size());
        for (const auto& [aci, e] : expected) {
            const PlotStyle& s = table.styles[static_cast<size_t>(aci - 1)];
            SCOPED_TRACE(std::string(file) + " colour " + std::to_string(aci));
            EXPECT_EQ(e.pen, s.physicalPen);
            EXPECT_NEAR(e.lineweight, s.lineweightMm, 1e-6);
            EXPECT_EQ(e.colour, s.colour);
            EXPECT_EQ(e.screen, s.screen);
        }
    }
}

// The physical pen wins; else the style's colour (or the object's) with
// the screening's white mixed in picks the nearest colour number; a
// lineweight sets the pen's width.
TEST_F(PlotStyleTableTest, givesThePensTheCadHostApplies) {
    PlotStyleTable table;
    std::string error;
    ASSERT_TRUE(loadPlotStyleTable(base + "-cad.ctb", table, error)) << error;
    PenMap pens = penMapOf(table);
    EXPECT_TRUE(pens.setsWidths());
    EXPECT_EQ(9, pens.forColour(1).pen);
    EXPECT_DOUBLE_EQ(0.5, pens.forColour(1).widthMm);
    EXPECT_EQ(nearestColourNumber(0x0000FF), pens.forColour(2).pen);   // blue
    EXPECT_EQ(200, pens.forColour(6).pen);                             // the pen wins over the colour
    EXPECT_DOUBLE_EQ(2.11, pens.forColour(7).widthMm);
    EXPECT_EQ(nearestColourNumber(0xFFFFFF), pens.forColour(8).pen);   // screen 0: paper white
    EXPECT_EQ(9, pens.forColour(9).pen);                               // untouched: its own pen, no width
    EXPECT_EQ(-1, pens.forColour(9).widthMm);
    EXPECT_EQ(1, pens.forColour(250).pen);
    // Screen 50 of colour 3's own colour; screen 30 of (200, 100, 0).
    const uint8_t* c3 = colorIndexPalette[3];
    auto half = [](int c) { return static_cast<int>(std::lround(255 - (255 - c) * 0.5)); };
    EXPECT_EQ(nearestColourNumber((half(c3[0]) << 16) | (half(c3[1]) << 8) | half(c3[2])), pens.forColour(3).pen);
    EXPECT_NE(3, pens.forColour(3).pen);
    auto thirty = [](int c) { return static_cast<int>(std::lround(255 - (255 - c) * 0.3)); };
    EXPECT_EQ(nearestColourNumber((thirty(200) << 16) | (thirty(100) << 8) | thirty(0)), pens.forColour(4).pen);
}

// A table with its compressed text replaced by `text`.
std::string tableOf(const std::string& text) {
    uLongf size = compressBound(text.size());
    std::string z(size, '\0');
    compress(reinterpret_cast<Bytef*>(z.data()), &size, reinterpret_cast<const Bytef*>(text.data()), text.size());
    z.resize(size);
    std::string counts(12, '\0');
    return "PIAFILEVERSION_2.0,CTBVER1,compress\r\npmzlibcodec" + counts + z;
}

TEST(PlotStyleTableErrors, damagedTablesAreRefusedWithTheirReason) {
    const std::string good = "aci_table_available=TRUE\nplot_style{\n 0{\n  name=\"Color_1\n  lineweight=1\n }\n}\n"
                             "custom_lineweight_table{\n 0=0.00\n 1=0.25\n}\n";
    PlotStyleTable table;
    std::string error;
    ASSERT_TRUE(readPlotStyleTable(tableOf(good), table, error)) << error;
    EXPECT_DOUBLE_EQ(0.25, table.styles[0].lineweightMm);

    std::string cut = tableOf(good);
    cut.resize(cut.size() - 10);
    std::string flipped = tableOf(good);
    flipped[70] = static_cast<char>(flipped[70] ^ 0x55);
    const struct {
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"", "not a plot style table"},
        {"PK\x03\x04 a zip file", "not a plot style table"},
        {"PIAFILEVERSION_2.0,CTBVER1,compress\r\npmzlibcodec" + std::string(12, '\0') + "plain text", "missing or damaged"},
        {cut, "damaged"},
        {flipped, "damaged"},
        {tableOf("plot_style{\n 0{\n  lineweight=7\n }\n}\n"), "not in the lineweight table"},
        {tableOf("plot_style{\n 0{\n  screen=150\n }\n}\n"), "screen 150"},
        {tableOf("plot_style{\n 0{\n  physical_pen_number=x\n }\n}\n"), "not a number"},
        {tableOf("plot_style{\n 0{\n"), "ends inside a group"},
        {tableOf("}\n"), "not open"},
        {tableOf("just words\n"), "not key=value"},
        {tableOf("description=\"nothing\n"), "no plot_style"},
    };
    for (const auto& c : cases) {
        std::string why;
        PlotStyleTable t;
        EXPECT_FALSE(readPlotStyleTable(c.bytes, t, why)) << c.reason;
        EXPECT_NE(std::string::npos, why.find(c.reason)) << why;
    }
}

}  // namespace
}  // namespace tavix::dxf
