// The DXF reader: what it hands on for each entity kind, the tables and the
// header values it keeps, and a clear error naming the line for every kind
// of broken file.
#include <gtest/gtest.h>

#include <memory>

#include "dxfReader.h"
#include "dxfText.h"

namespace tavix::dxf {
namespace {

using testing::drawing;
using testing::dxfText;
using testing::Groups;

struct Read {
    bool ok = false;
    DxfReadReport report;
    DxfTables tables;
    std::vector<Entity> entities;
};

Read readText(const std::string& text) {
    Read r;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(text), &std::fclose);
    r.ok = readDxf(file.get(), r.tables, [&r](const Entity& e, std::string&) {
        r.entities.push_back(e);
        return true;
    }, r.report);
    return r;
}

// ---- Broken files: the error names the line ----------------------------

struct Broken {
    const char* name;
    std::string text;
    const char* error;  // the whole message
};

void PrintTo(const Broken& b, std::ostream* os) { *os << b.name; }

class BrokenFile : public ::testing::TestWithParam<Broken> {};

TEST_P(BrokenFile, failsWithTheLine) {
    Read r = readText(GetParam().text);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(GetParam().error, r.report.error);
}

const Groups LINE = {{0, "LINE"}, {8, "0"}, {10, "1"}, {20, "2"}, {11, "3"}, {21, "4"}};

std::string lineWith(int code, const std::string& value) {
    Groups g = LINE;
    for (auto& [c, v] : g)
        if (c == code) v = value;
    return drawing(g);
}

std::string cut(const std::string& text, size_t lines) {
    size_t pos = 0;
    for (size_t i = 0; i < lines; ++i) pos = text.find('\n', pos) + 1;
    return text.substr(0, pos);
}

// In drawing(LINE) the LINE's groups are pairs 3..8: code 10 on line 9, its value on line 10.
INSTANTIATE_TEST_SUITE_P(
    Reader, BrokenFile,
    ::testing::Values(
        Broken{"textForANumber", lineWith(10, "abc"), "line 10: 'abc' is not a number (group code 10)"},
        Broken{"numberWithJunk", lineWith(20, "2.0x"), "line 12: '2.0x' is not a number (group code 20)"},
        Broken{"emptyNumber", lineWith(11, ""), "line 14: '' is not a number (group code 11)"},
        Broken{"notANumber", lineWith(10, "nan"), "line 10: 'nan' is not a finite number (group code 10)"},
        Broken{"infinity", lineWith(21, "-inf"), "line 16: '-inf' is not a finite number (group code 21)"},
        Broken{"hugeCoordinate", lineWith(10, "1e300"),
               "line 10: the value 1e300 is too large for a drawing (at most 1e10, group code 10)"},
        Broken{"beyondDouble", lineWith(10, "1e400"), "line 10: the number 1e400 is out of range (group code 10)"},
        Broken{"textForAColour", drawing({{0, "LINE"}, {62, "red"}}),
               "line 8: 'red' is not a whole number (group code 62)"},
        Broken{"wordForAGroupCode", dxfText({{0, "SECTION"}, {2, "ENTITIES"}}) + "ten\n1\n",
               "line 5: 'ten' is not a group code (a whole number from 0 to 1071)"},
        Broken{"groupCodeOutOfRange", dxfText({{0, "SECTION"}, {2, "ENTITIES"}, {5000, "x"}}),
               "line 5: '5000' is not a group code (a whole number from 0 to 1071)"},
        Broken{"longTokenShortened", lineWith(10, std::string(100000, 'z')),
               "line 10: 'zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz...' is not a number (group code 10)"},
        Broken{"endsAfterACode", cut(drawing(LINE), 9),
               "line 9: the file ends after group code 10 without its value: it is truncated"},
        Broken{"endsWithoutEof", cut(drawing(LINE), 18),
               "line 18: the file ends without its end marker (0, EOF): it is truncated"},
        Broken{"endsInsideABlock",
               dxfText({{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {2, "B"}, {10, "0"}, {20, "0"}}),
               "line 12: the file ends without its end marker (0, EOF): it is truncated"},
        Broken{"badCodePage932Text",
               drawing({{0, "TEXT"}, {10, "0"}, {20, "0"}, {40, "2"}, {1, "\x81"}}, {}, {},
                       {{9, "$ACADVER"}, {1, "AC1015"}, {9, "$DWGCODEPAGE"}, {3, "ANSI_932"}}),
               "line 19: the text of TEXT: the text is not valid CP932 (byte 1)"},
        Broken{"badUtf8In2007Text",
               drawing({{0, "MTEXT"}, {10, "0"}, {20, "0"}, {40, "2"}, {1, "caf\xC3"}}, {}, {},
                       {{9, "$ACADVER"}, {1, "AC1021"}}),
               "line 15: the text of MTEXT: the text is not valid UTF-8"}),
    [](const ::testing::TestParamInfo<Broken>& info) { return std::string(info.param.name); });

// ---- What is read --------------------------------------------------------

TEST(DxfReader, readsLinesWithTheirStyleAndLine) {
    Read r = readText(drawing({{0, "LINE"}, {8, "WALLS"}, {62, "3"}, {370, "35"}, {6, "BYBLOCK"}, {10, "1.5"},
                               {20, "-2"}, {11, "+3"}, {21, "4e1"}}));
    ASSERT_TRUE(r.ok) << r.report.error;
    ASSERT_EQ(1u, r.entities.size());
    const Entity& e = r.entities[0];
    EXPECT_EQ(EntityKind::Line, e.kind);
    EXPECT_EQ(5, e.line);
    EXPECT_EQ("WALLS", r.tables.layers[e.style.layer].name);
    EXPECT_EQ(3, e.style.colour);
    EXPECT_EQ(35, e.style.lineweight);
    EXPECT_EQ(LINETYPE_BYBLOCK, e.style.linetype);
    EXPECT_EQ(1.5, e.vertices[0].x);
    EXPECT_EQ(-2, e.vertices[0].y);
    EXPECT_EQ(3, e.vertices[1].x);
    EXPECT_EQ(40, e.vertices[1].y);
}

TEST(DxfReader, readsPolylinesWithBulgesWidthAndClosure) {
    Read r = readText(drawing({{0, "LWPOLYLINE"}, {90, "3"}, {70, "1"}, {43, "0.5"}, {10, "0"}, {20, "0"},
                               {42, "1"}, {10, "10"}, {20, "0"}, {10, "10"}, {20, "10"},
                               {0, "POLYLINE"}, {66, "1"}, {70, "0"}, {40, "2"}, {41, "2"}, {0, "VERTEX"},
                               {10, "1"}, {20, "1"}, {0, "VERTEX"}, {10, "2"}, {20, "3"}, {42, "-0.5"},
                               {0, "SEQEND"}}));
    ASSERT_TRUE(r.ok) << r.report.error;
    ASSERT_EQ(2u, r.entities.size());
    EXPECT_TRUE(r.entities[0].closed);
    EXPECT_EQ(0.5, r.entities[0].width);
    ASSERT_EQ(3u, r.entities[0].vertices.size());
    EXPECT_EQ(1, r.entities[0].vertices[0].bulge);
    EXPECT_FALSE(r.entities[1].closed);
    EXPECT_EQ(2, r.entities[1].width);
    ASSERT_EQ(2u, r.entities[1].vertices.size());
    EXPECT_EQ(-0.5, r.entities[1].vertices[1].bulge);
}

TEST(DxfReader, keepsBlocksAndHandsOnlyModelSpaceOn) {
    Read r = readText(drawing({{0, "INSERT"}, {2, "door"}, {10, "5"}, {20, "6"}, {41, "-1"}, {42, "2"},
                               {50, "90"}, {70, "3"}, {71, "2"}, {44, "10"}, {45, "20"},
                               {0, "DIMENSION"}, {2, "*D1"}, {70, "0"}},
                              {{0, "BLOCK"}, {2, "DOOR"}, {10, "1"}, {20, "2"}, {0, "CIRCLE"}, {10, "0"},
                               {20, "0"}, {40, "3"}, {0, "ENDBLK"}, {0, "BLOCK"}, {2, "*Paper_Space"},
                               {0, "LINE"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}, {0, "ENDBLK"}}));
    ASSERT_TRUE(r.ok) << r.report.error;
    ASSERT_EQ(2u, r.entities.size());
    const Entity& insert = r.entities[0];
    EXPECT_EQ("door", insert.blockName);
    EXPECT_EQ(-1, insert.scaleX);
    EXPECT_EQ(2, insert.scaleY);
    EXPECT_EQ(90, insert.rotation);
    EXPECT_EQ(3, insert.columns);
    EXPECT_EQ(2, insert.rows);
    EXPECT_EQ(10, insert.columnSpacing);
    EXPECT_EQ(20, insert.rowSpacing);
    EXPECT_EQ("*D1", r.entities[1].blockName);
    ASSERT_EQ(1u, r.tables.blocks.count("DOOR"));
    EXPECT_EQ(1, r.tables.blocks["DOOR"].base.x);
    ASSERT_EQ(1u, r.tables.blocks["DOOR"].entities.size());
    EXPECT_EQ(0u, r.tables.blocks.count("*PAPER_SPACE"));
}

TEST(DxfReader, readsLayerStatesLinetypesAndHeader) {
    Groups tables = {{0, "TABLE"}, {2, "LTYPE"}, {0, "LTYPE"}, {2, "DASHDOT"}, {70, "0"}, {3, "-.-"}, {72, "65"},
                     {73, "3"}, {40, "2"}, {49, "1"}, {74, "0"}, {49, "-0.5"}, {74, "0"}, {49, "0"}, {74, "0"},
                     {0, "ENDTAB"},
                     {0, "TABLE"}, {2, "LAYER"},
                     {0, "LAYER"}, {2, "Off"}, {70, "0"}, {62, "-5"}, {6, "DASHDOT"},
                     {0, "LAYER"}, {2, "Frozen"}, {70, "1"}, {62, "2"}, {6, "CONTINUOUS"},
                     {0, "LAYER"}, {2, "Draft"}, {70, "0"}, {62, "4"}, {6, "CONTINUOUS"}, {290, "0"}, {370, "50"},
                     {0, "ENDTAB"}};
    Groups header = {{9, "$LTSCALE"}, {40, "2.5"}, {9, "$INSUNITS"}, {70, "6"}, {9, "$EXTMIN"}, {10, "1e20"},
                     {20, "1e20"}};
    Read r = readText(drawing({}, {}, tables, header));
    ASSERT_TRUE(r.ok) << r.report.error;
    EXPECT_EQ(2.5, r.tables.ltscale);
    EXPECT_EQ(6, r.tables.insunits);
    ASSERT_EQ(1u, r.tables.linetypeIndex.count("DASHDOT"));
    EXPECT_EQ((std::vector<double>{1, -0.5, 0}), r.tables.linetypes[r.tables.linetypeIndex["DASHDOT"]].pattern);
    const Layer& off = r.tables.layers[r.tables.layerIndex["OFF"]];
    EXPECT_TRUE(off.off);
    EXPECT_EQ(5, off.colour);
    EXPECT_EQ(r.tables.linetypeIndex["DASHDOT"], off.linetype);
    EXPECT_TRUE(r.tables.layers[r.tables.layerIndex["FROZEN"]].frozen);
    const Layer& draft = r.tables.layers[r.tables.layerIndex["DRAFT"]];
    EXPECT_FALSE(draft.plots);
    EXPECT_FALSE(draft.off);
    EXPECT_EQ(50, draft.lineweight);
}

TEST(DxfReader, decodesTextOfItsCodePageAndEscapes) {
    Groups header = {{9, "$ACADVER"}, {1, "AC1015"}, {9, "$DWGCODEPAGE"}, {3, "ANSI_932"}};
    Read r = readText(drawing({{0, "TEXT"}, {10, "0"}, {20, "0"}, {40, "2"}, {1, "\x93\xfa\x96\x7b\\U+00B0"},
                               {0, "MTEXT"}, {10, "0"}, {20, "0"}, {40, "2"}, {3, "\x82\xa0"}, {1, "\\Pz"}},
                              {}, {}, header));
    ASSERT_TRUE(r.ok) << r.report.error;
    ASSERT_EQ(2u, r.entities.size());
    EXPECT_EQ("日本°", r.entities[0].text);
    EXPECT_EQ("あ\\Pz", r.entities[1].text);  // the paragraph reader takes MTEXT's codes
}

TEST(DxfReader, readsHatchBoundariesAndPatternLines) {
    Read r = readText(drawing({{0, "HATCH"}, {10, "0"}, {20, "0"}, {30, "0"}, {2, "ANSI31"}, {70, "0"}, {71, "0"},
                               {91, "2"},
                               {92, "2"}, {72, "1"}, {73, "1"}, {93, "3"}, {10, "0"}, {20, "0"}, {42, "0.5"},
                               {10, "10"}, {20, "0"}, {42, "0"}, {10, "10"}, {20, "10"}, {42, "0"}, {97, "0"},
                               {92, "1"}, {93, "1"}, {72, "2"}, {10, "5"}, {20, "5"}, {40, "1"}, {50, "0"}, {51, "360"},
                               {73, "1"}, {97, "0"},
                               {75, "1"}, {76, "1"}, {52, "0"}, {41, "1"}, {77, "0"}, {78, "1"},
                               {53, "45"}, {43, "0"}, {44, "0"}, {45, "-2"}, {46, "2"}, {79, "2"}, {49, "3"},
                               {49, "-1"}, {98, "1"}, {10, "3"}, {20, "3"}}));
    ASSERT_TRUE(r.ok) << r.report.error;
    ASSERT_EQ(1u, r.entities.size());
    const Entity& h = r.entities[0];
    EXPECT_FALSE(h.solidFill);
    std::vector<const HatchLoop*> loops;
    for (const HatchLoop& l : h.loops)
        if (!l.edges.empty()) loops.push_back(&l);
    ASSERT_EQ(2u, loops.size());
    ASSERT_EQ(EntityKind::Polyline, loops[0]->edges[0].kind);
    ASSERT_EQ(3u, loops[0]->edges[0].vertices.size());
    EXPECT_EQ(0.5, loops[0]->edges[0].vertices[0].bulge);
    EXPECT_EQ(10, loops[0]->edges[0].vertices[2].y);
    ASSERT_EQ(EntityKind::Arc, loops[1]->edges[0].kind);
    EXPECT_EQ(1, loops[1]->edges[0].radius);
    ASSERT_EQ(1u, h.pattern.size());
    EXPECT_EQ(45, h.pattern[0].angle);
    EXPECT_EQ(-2, h.pattern[0].offset.x);
    EXPECT_EQ((std::vector<double>{3, -1}), h.pattern[0].dashes);
}

TEST(DxfReader, countsEachKindItSkipsOnce) {
    Read r = readText(drawing({{0, "REGION"}, {10, "0"}, {0, "3DSOLID"}, {0, "REGION"}, {0, "LINE"}, {10, "0"},
                               {20, "0"}, {11, "1"}, {21, "1"}, {0, "VIEWPORT"}, {67, "1"}}));
    ASSERT_TRUE(r.ok) << r.report.error;
    EXPECT_EQ((std::map<std::string, int>{{"3DSOLID", 1}, {"REGION", 2}}), r.report.skipped);
    EXPECT_EQ(1, r.report.entities);
}

TEST(DxfReader, anEmptyEntitiesSectionReadsAsNothing) {
    Read r = readText(drawing({}));
    ASSERT_TRUE(r.ok) << r.report.error;
    EXPECT_TRUE(r.entities.empty());
}

TEST(DxfReader, stopsWhenTheHandlerSaysSo) {
    DxfTables tables;
    DxfReadReport report;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(testing::memoryFile(drawing(LINE)), &std::fclose);
    EXPECT_FALSE(readDxf(file.get(), tables, [](const Entity&, std::string& why) {
        why = "the driver failed the request";
        return false;
    }, report));
    EXPECT_EQ("line 5: the driver failed the request", report.error);
}

}  // namespace
}  // namespace tavix::dxf
