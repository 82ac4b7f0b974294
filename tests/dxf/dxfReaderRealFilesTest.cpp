// What drawings from CAD programs hold that small hand-made ones do not:
// MTEXT of AutoCAD 2018 with its embedded object, rotations in degrees,
// lines of thousands of characters, extended data of any size, a UTF-8
// byte-order mark. Each read must finish and give the drawing's own values.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <memory>

#include "dxfReader.h"
#include "dxfText.h"

namespace tavix::dxf {
namespace {

using testing::drawing;
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

// The read run in a child process that an alarm stops: a reader that loops
// for ever fails the test instead of hanging it.
bool finishesWithin(const std::string& text, unsigned seconds) {
    pid_t child = fork();
    if (child == 0) {
        alarm(seconds);
        Read r = readText(text);
        _exit(r.ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status);
}

const Groups HEADER_2018 = {{9, "$ACADVER"}, {1, "AC1032"}};

// An MTEXT as AutoCAD 2018 writes it: its own groups, then after group 101
// the embedded object's, which repeat 10, 11, 40, 41 and more with other meanings.
Groups mtext2018(const std::string& text) {
    return {{0, "MTEXT"}, {100, "AcDbEntity"}, {8, "0"}, {100, "AcDbMText"}, {10, "1657.9"}, {20, "2717.7"},
            {30, "0"}, {40, "100"}, {41, "86.5"}, {46, "0"}, {71, "5"}, {72, "5"}, {1, text}, {73, "1"},
            {44, "1.5"}, {11, "0"}, {21, "1"}, {31, "0"},
            {101, "Embedded Object"}, {70, "1"}, {10, "1"}, {20, "0"}, {30, "0"}, {11, "1657.9"},
            {21, "2717.7"}, {31, "0"}, {40, "86.5"}, {41, "0"}, {42, "66.7"}, {43, "100"}, {71, "2"}, {72, "1"},
            {44, "86.5"}, {45, "500"}, {73, "0"}, {74, "0"}, {46, "0"}};
}

TEST(DxfReaderRealFiles, mtextOf2018KeepsItsOwnPlaceAndSize) {
    Read r = readText(drawing(mtext2018("X"), {}, {}, HEADER_2018));
    ASSERT_TRUE(r.ok) << r.report.error;
    ASSERT_EQ(1u, r.entities.size());
    const Entity& e = r.entities[0];
    EXPECT_EQ("X", e.text);
    EXPECT_EQ(1657.9, e.insertion.x);
    EXPECT_EQ(2717.7, e.insertion.y);
    EXPECT_EQ(100, e.height);
    EXPECT_EQ(86.5, e.boxWidth);
    EXPECT_EQ(5, e.attachment);
    EXPECT_EQ(1.5, e.lineSpacing);
    EXPECT_NEAR(90, e.rotation, 1e-12);  // direction (0, 1)
}

struct Rotation {
    const char* name;
    Groups groups;
    double degrees;
    std::string comment = "";  // the writer's comment before the first section
};

void PrintTo(const Rotation& r, std::ostream* os) { *os << r.name; }

class MTextRotation : public ::testing::TestWithParam<Rotation> {};

TEST_P(MTextRotation, isInDegrees) {
    Groups g = {{0, "MTEXT"}, {10, "0"}, {20, "0"}, {40, "2"}, {1, "A"}};
    g.insert(g.end(), GetParam().groups.begin(), GetParam().groups.end());
    std::string file = drawing(g);
    if (!GetParam().comment.empty()) file = "999\n" + GetParam().comment + "\n" + file;
    Read r = readText(file);
    ASSERT_TRUE(r.ok) << r.report.error;
    ASSERT_EQ(1u, r.entities.size());
    EXPECT_NEAR(GetParam().degrees, r.entities[0].rotation, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Reader, MTextRotation,
    ::testing::Values(Rotation{"none", {}, 0}, Rotation{"groupFifty", {{50, "90"}}, 90},
                      Rotation{"groupFiftySmall", {{50, "1.5"}}, 1.5},
                      Rotation{"groupFiftyFromLibreCad", {{50, "90"}}, 90, "dxfrw 0.6.3"},
                      Rotation{"groupFiftyFromOldDxflib", {{50, "90"}}, 90, "dxflib 2.0.1.0"},
                      Rotation{"directionVector", {{11, "-1"}, {21, "0"}}, 180},
                      Rotation{"directionWinsOverFifty", {{50, "30"}, {11, "0"}, {21, "-2"}}, -90},
                      Rotation{"zeroDirectionLeavesFifty", {{50, "45"}, {11, "0"}, {21, "0"}}, 45}),
    [](const ::testing::TestParamInfo<Rotation>& info) { return std::string(info.param.name); });

// ---- Long lines ------------------------------------------------------------

struct LongLine {
    const char* name;
    size_t length;
};

void PrintTo(const LongLine& l, std::ostream* os) { *os << l.name; }

class LongLines : public ::testing::TestWithParam<LongLine> {};

// dxflib's own line reader stops at 1,023 characters; the text must come
// through whole at every length around and far beyond that.
TEST_P(LongLines, readWholeWithoutHanging) {
    const size_t n = GetParam().length;
    std::string words;
    while (words.size() < n) words += "word\\P";
    words.resize(n);
    const std::string mtextText = words;
    std::string textText(n, 'T');
    textText[0] = ' ';  // leading spaces of a TEXT are its own
    const std::string comment(n, 'c');
    const std::string number = "1." + std::string(n, '0') + "5";
    const std::string layer(n, 'L');
    Groups g = {{999, comment},
                {0, "MTEXT"}, {8, layer}, {10, number}, {20, "0"}, {40, "2"}, {3, "chunk "}, {1, mtextText},
                {0, "TEXT"}, {10, "0"}, {20, "-" + number}, {40, "2"}, {1, textText},
                {0, "LINE"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}, {1000, std::string(n, 'x')}};
    const std::string file = drawing(g);
    ASSERT_TRUE(finishesWithin(file, 20)) << "the read did not finish";
    Read r = readText(file);
    ASSERT_TRUE(r.ok) << r.report.error;
    ASSERT_EQ(3u, r.entities.size());
    EXPECT_EQ("chunk " + mtextText, r.entities[0].text);
    EXPECT_EQ(1.0, r.entities[0].insertion.x);
    // Names are at most 255 characters in CAD programs; a longer one may be cut.
    EXPECT_EQ(layer.substr(0, 255), r.tables.layers[r.entities[0].style.layer].name.substr(0, 255));
    EXPECT_EQ(textText, r.entities[1].text);
    EXPECT_EQ(-1.0, r.entities[1].insertion.y);
    EXPECT_EQ(EntityKind::Line, r.entities[2].kind);
}

INSTANTIATE_TEST_SUITE_P(Reader, LongLines,
                         ::testing::Values(LongLine{"justShort", 1000}, LongLine{"atTheLibraryLimit", 1023},
                                           LongLine{"oneBeyond", 1024}, LongLine{"long", 5000},
                                           LongLine{"veryLong", 300000}),
                         [](const ::testing::TestParamInfo<LongLine>& info) { return std::string(info.param.name); });

// ---- Values the plot does not use, and what comes before the first group ---

TEST(DxfReaderRealFiles, extendedDataOfAnySizeIsNotGeometry) {
    Read r = readText(drawing({{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}, {1001, "ACAD"},
                               {1010, "1e300"}, {1020, "0"}, {1021, "8.796093022208E+12"}, {1040, "-1e15"},
                               {1071, "2147483647"}}));
    ASSERT_TRUE(r.ok) << r.report.error;
    EXPECT_EQ(1u, r.entities.size());
}

TEST(DxfReaderRealFiles, aByteOrderMarkBeforeTheFirstGroupIsSkipped) {
    for (const std::string code : {"0", "  0"}) {
        std::string file = drawing({{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}});
        file = "\xEF\xBB\xBF" + code + file.substr(file.find('\n'));
        Read r = readText(file);
        ASSERT_TRUE(r.ok) << r.report.error;
        EXPECT_EQ(1u, r.entities.size());
    }
}

TEST(DxfReaderRealFiles, anEscapeOfNoCharacterIsABoxAndAWarning) {
    Read r = readText(drawing({{0, "TEXT"}, {10, "0"}, {20, "0"}, {40, "2"}, {1, "A\\U+D800B"},
                               {0, "MTEXT"}, {10, "0"}, {20, "0"}, {40, "2"}, {1, "C\\U+0000"},
                               {0, "TEXT"}, {10, "0"}, {20, "0"}, {40, "2"}, {1, "\\U+dfff"}}));
    ASSERT_TRUE(r.ok) << r.report.error;
    ASSERT_EQ(3u, r.entities.size());
    EXPECT_EQ("A\xEF\xBF\xBD" "B", r.entities[0].text);
    EXPECT_EQ("C\\U+0000", r.entities[1].text);  // the paragraph reader draws MTEXT's escapes
    EXPECT_EQ("\xEF\xBF\xBD", r.entities[2].text);
    EXPECT_EQ((std::vector<std::string>{"line 5: the text of TEXT: \\U+D800 is not a character: drawn as a box "
                                        "(and in 2 more texts escapes of no character)"}),
              r.report.warnings);
}

}  // namespace
}  // namespace tavix::dxf
