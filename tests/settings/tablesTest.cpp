#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/cp932.h"
#include "support/recordingHost.h"
#include "support/testSeams.h"
#include "tavix/driverRecord.h"
#include "tavix/driverState.h"
#include "tavix/tables.h"

namespace tavix {
namespace {

struct Paper {
    const char* metric;
    const char* inch;
    double width, height;
};

// The 36-inch list as the printer's paper sizes are published.
const Paper list36[] = {
    {"ARCH E     1219.2mm x 914.4mm ", "ARCH E      48\" x 36\"        ", 48, 36},
    {"ARCH D      914.4mm x 609.6mm ", "ARCH D      36\" x 24\"        ", 36, 24},
    {"ARCH C      609.6mm x 457.2mm ", "ARCH C      24\" x 18\"        ", 24, 18},
    {"ARCH B      457.2mm x 304.8mm ", "ARCH B      18\" x 12\"        ", 18, 12},
    {"ARCH A      304.8mm x 228.6mm ", "ARCH A      12\" x 9\"         ", 12, 9},
    {"ANSI E     1117.6mm x 863.6mm ", "ANSI E      44\" x 34\"        ", 44, 34},
    {"ANSI D      863.6mm x 558.8mm ", "ANSI D      34\" x 22\"        ", 34, 22},
    {"ANSI C      558.8mm x 431.8mm ", "ANSI C      22\" x 17\"        ", 22, 17},
    {"ANSI B      431.8mm x 279.4mm ", "ANSI B      17\" x 11\"        ", 17, 11},
    {"ANSI A      279.4mm x 215.9mm ", "ANSI A      11\" x 8.5\"       ", 11, 8.5},
    {"42 x 30    1066.8mm x 762.0mm ", "42 x 30     42\" x 30\"        ", 42, 30},
    {"US legal    355.6mm x 215.9mm ", "US legal    14\" x 8.5\"       ", 14, 8.5},
    {"A0         1189.0mm x 841.0mm ", "A0       46.81\" x 33.11\"     ", 46.811, 33.11},
    {"A1          841.0mm x 594.0mm ", "A1       33.11\" x 23.38\"     ", 33.11, 23.385},
    {"A2          594.0mm x 420.0mm ", "A2       23.38\" x 16.53\"     ", 23.385, 16.535},
    {"A3          420.0mm x 297.0mm ", "A3       16.53\" x 11.69\"     ", 16.535, 11.692},
    {"A4          297.0mm x 210.0mm ", "A4       11.69\" x 8.26\"      ", 11.692, 8.267},
    {"B1         1030.0mm x 728.0mm ", "B1       40.55\" x 28.66\"     ", 40.551, 28.661},
    {"B2          728.0mm x 515.0mm ", "B2       28.66\" x 20.27\"     ", 28.661, 20.275},
    {"B3          515.0mm x 364.0mm ", "B3       20.27\" x 14.33\"     ", 20.275, 14.33},
    {"B4          364.0mm x 257.0mm ", "B4       14.33\" x 10.11\"     ", 14.33, 10.118},
    {"Long plot  3276.0mm x 914.4mm ", "Long plot  129\" x 36\"       ", 129, 36},
    {"Long plot  6553.0mm x 914.4mm ", "Long plot  258\" x 36\"       ", 258, 36},
    {"Long plot 13106.0mm x 914.4mm ", "Long plot  516\" x 36\"       ", 516, 36},
    {"MAX       15240.0mm x 914.4mm ", "MAX        600\" x 36\"       ", 600, 36},
};

// The four long sizes that close the 24-inch list.
const Paper long24[] = {
    {"Long plot  3276.0mm x 609.6mm ", "Long plot  129\" x 24\"       ", 129, 24},
    {"Long plot  6553.0mm x 609.6mm ", "Long plot  258\" x 24\"       ", 258, 24},
    {"Long plot 13106.0mm x 609.6mm ", "Long plot  516\" x 24\"       ", 516, 24},
    {"MAX       15240.0mm x 609.6mm ", "MAX        600\" x 24\"       ", 600, 24},
};

std::vector<Paper> expectedList(const std::vector<int>& rows36, bool withLong24) {
    std::vector<Paper> out;
    for (int r : rows36) out.push_back(list36[r - 1]);
    if (withLong24)
        for (const Paper& p : long24) out.push_back(p);
    return out;
}

void expectList(const std::vector<Paper>& expected, const PaperSize* list) {
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_BYTES(std::string(expected[i].metric), std::string(list[i].metricLabel));
        EXPECT_BYTES(std::string(expected[i].inch), std::string(list[i].inchLabel));
        EXPECT_EQ(expected[i].width, list[i].width);
        EXPECT_EQ(expected[i].height, list[i].height);
    }
    // The rows after the last entry are all zero.
    static const PaperSize zero = {};
    for (size_t i = expected.size(); i < PAPER_ROWS; ++i)
        EXPECT_EQ(0, std::memcmp(&zero, &list[i], sizeof zero)) << "row " << i + 1;
}

class Tables : public ::testing::Test {
protected:
    void SetUp() override { host.install(); }
    testing::TestSeams seams;
    testing::RecordingHost host;
};

TEST_F(Tables, paperListsOfTheFiveModels) {
    std::vector<int> all36;
    for (int r = 1; r <= 25; ++r) all36.push_back(r);
    std::vector<int> tx70 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17,
                             22, 23, 24, 25};
    std::vector<int> inch24 = {2, 3, 4, 5, 7, 8, 9, 10, 12, 14, 15, 16, 17};

    expectList(expectedList(all36, false), paperListFor(modelEntry(0)));
    expectList(expectedList(tx70, false), paperListFor(modelEntry(1)));
    expectList(expectedList(inch24, true), paperListFor(modelEntry(2)));
    expectList(expectedList(all36, false), paperListFor(modelEntry(4)));

    // The Lumen Q1 list differs from the TX-30 list by one trailing space.
    std::vector<Paper> lumen = expectedList(inch24, true);
    lumen[16].inch = "MAX        600\" x 24\"        ";
    expectList(lumen, paperListFor(modelEntry(3)));
    EXPECT_EQ(std::strlen(paperListFor(modelEntry(2))[16].inchLabel) + 1,
              std::strlen(paperListFor(modelEntry(3))[16].inchLabel));
}

TEST_F(Tables, paperCountsFollowTheLabelColumnInUse) {
    const int counts[5] = {25, 21, 17, 17, 25};
    for (int m = 0; m < 5; ++m) EXPECT_EQ(counts[m], paperCount(paperListFor(modelEntry(m)))) << m;
    // Before language set-up the inch column is in use.
    EXPECT_STREQ("ARCH E      48\" x 36\"        ", paperLabel(paperListFor(modelEntry(0))[0]));
    std::memcpy(state.languageCode, "ja", 3);
    EXPECT_STREQ("ARCH E     1219.2mm x 914.4mm ", paperLabel(paperListFor(modelEntry(0))[0]));
    for (int m = 0; m < 5; ++m) EXPECT_EQ(counts[m], paperCount(paperListFor(modelEntry(m)))) << m;
    // The TX-70 list goes from A4 straight to the long plots.
    EXPECT_STREQ("Long plot  3276.0mm x 914.4mm ", paperLabel(paperListFor(modelEntry(1))[17]));
}

TEST_F(Tables, twentyFourInchListsHoldNothingHigherThan24Inches) {
    for (int m : {2, 3}) {
        const PaperSize* list = paperListFor(modelEntry(m));
        for (int i = 0; i < paperCount(list); ++i) EXPECT_LE(list[i].height, 24.0) << m << " " << i;
        EXPECT_EQ(36.0, list[0].width);  // ARCH D is the largest fixed size
    }
}

TEST_F(Tables, everyListEndsWithTheLargestPaper) {
    for (int m = 0; m < 5; ++m) {
        const PaperSize* list = paperListFor(modelEntry(m));
        EXPECT_EQ(600.0, list[paperCount(list) - 1].width) << m;
    }
}

TEST_F(Tables, modelIndexOutsideTheTableReadsRowZero) {
    EXPECT_EQ(&modelEntry(0), &modelEntry(5));
    EXPECT_EQ(&modelEntry(0), &modelEntry(-1));
    EXPECT_EQ(&modelEntry(0), &modelEntry(0x7FFFFFFF));
    EXPECT_STREQ("TX Series TAVIX E", modelEntry(4).name);
    state.currentModel = 3;
    EXPECT_STREQ("Lumen Q1-TAVIX E", currentModelEntry().name);
    state.currentModel = 9;
    EXPECT_STREQ("TX-90-TAVIX E", currentModelEntry().name);
}

TEST_F(Tables, injectedTablesReplaceTheShippedOnesUntilRestored) {
    static const ModelEntry models[5] = {
        {"Test plotter", 0, 0, 1}, {"TX-30-TAVIX E", 1, 1, 2}, {}, {}, {}};
    static const PaperSize portrait[PAPER_ROWS] = {{"P", "P", 10, 20}};
    activeTables.models = models;
    activeTables.paperList = [](const ModelEntry&) { return &portrait[0]; };
    EXPECT_EQ(1, modelEntry(0).hpglLevel);
    EXPECT_EQ(portrait, paperListFor(modelEntry(1)));
    EXPECT_EQ(1, paperCount(paperListFor(modelEntry(0))));
    restoreShippedTables();
    EXPECT_STREQ("TX-90-TAVIX E", modelEntry(0).name);
    EXPECT_EQ(25, paperCount(paperListFor(modelEntry(0))));
}

struct OptionText {
    const char* label;  // UTF-8
    const char* ticketLine;
};

void expectOptionTable(const std::vector<OptionText>& expected, size_t width,
                       const OptionRow* table) {
    ASSERT_EQ(static_cast<int>(expected.size()), optionRowCount(table));
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].ticketLine);
        EXPECT_BYTES(testing::cp932Padded(expected[i].label, width), std::string(table[i].label));
        EXPECT_BYTES(std::string(expected[i].ticketLine), std::string(table[i].ticketLine));
    }
    static const OptionRow zero = {};
    EXPECT_EQ(0, std::memcmp(&zero, &table[expected.size()], sizeof zero));
}

TEST_F(Tables, optionTablesWithTheirPaddedLabels) {
    expectOptionTable({{"指定なし", "MediaType=Any\r\n"},
                       {"普通紙", "MediaType=Paper\r\n"},
                       {"ﾄﾚｰｼﾝｸﾞ･ﾍﾟｰﾊﾟｰ", "MediaType=Transparent\r\n"},
                       {"ﾌｨﾙﾑ", "MediaType=Film\r\n"}},
                      17, mediaTypeTable);
    expectOptionTable({{"左上", "Placement=0\r\n"},
                       {"上中", "Placement=1\r\n"},
                       {"右上", "Placement=2\r\n"},
                       {"左中", "Placement=3\r\n"},
                       {"中央", "Placement=4\r\n"},
                       {"右中", "Placement=5\r\n"},
                       {"左下", "Placement=6\r\n"},
                       {"下中", "Placement=7\r\n"},
                       {"右下", "Placement=8\r\n"}},
                      9, stampPlacementTable);
    expectOptionTable({{"角", "LA1,1,2,6SP7RF"},
                       {"四角", "LA1,2,2,6SP7RF"},
                       {"三角", "LA1,3,2,6SP7RF"},
                       {"丸", "LA1,4,2,6SP7RF"}},
                      9, lineEndTable);
    std::vector<OptionText> sizes;
    static const char* numbers[] = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                    "20", "22", "24", "26", "28", "36", "48", "72"};
    static std::string texts[16];
    for (int i = 0; i < 16; ++i) {
        texts[i] = std::string("FontSize=") + numbers[i] + "\r\n";
        sizes.push_back({numbers[i], texts[i].c_str()});
    }
    expectOptionTable(sizes, 9, stampFontSizeTable);
    // Half-width katakana are one byte each: 14 bytes and three spaces.
    EXPECT_EQ(' ', mediaTypeTable[2].label[14]);
    EXPECT_EQ('\xC4', mediaTypeTable[2].label[0]);
}

TEST_F(Tables, trayVariantsFollowTheModelName) {
    const OptionText autoFeed = {"自動給紙選択", "Tray=Auto\r\n"};
    const OptionText tray1 = {"給紙1", "Tray=Tray1\r\n"};
    const OptionText tray2 = {"給紙2", "Tray=Tray2\r\n"};
    const OptionText tray3 = {"給紙3", "Tray=Tray3\r\n"};
    const OptionText tray4 = {"給紙4", "Tray=Tray4\r\n"};
    const OptionText sheet = {"手差し", "Tray=SheetPaper\r\n"};
    expectOptionTable({autoFeed, tray1, tray2, tray3, sheet}, 13, trayTableFor(modelEntry(0)));
    expectOptionTable({autoFeed, tray1, tray2, sheet}, 13, trayTableFor(modelEntry(1)));
    expectOptionTable({autoFeed, tray1, tray2}, 13, trayTableFor(modelEntry(2)));
    const std::vector<OptionText> six = {autoFeed, tray1, tray2, tray3, tray4, sheet};
    expectOptionTable(six, 13, trayTableFor(modelEntry(3)));
    expectOptionTable(six, 13, trayTableFor(modelEntry(4)));
    ModelEntry longer = modelEntry(2);
    std::strcpy(longer.name, "TX-30-TAVIX E2");
    expectOptionTable(six, 13, trayTableFor(longer));
}

TEST_F(Tables, optionRowOutsideTheTableIsNull) {
    EXPECT_EQ(&trayTableFor(modelEntry(4))[5], optionRow(trayTableFor(modelEntry(4)), 5));
    EXPECT_EQ(nullptr, optionRow(trayTableFor(modelEntry(2)), 3));  // TX-30 ends at 2
    EXPECT_NE(nullptr, optionRow(trayTableFor(modelEntry(2)), 2));
    EXPECT_EQ(nullptr, optionRow(mediaTypeTable, 4));
    EXPECT_EQ(nullptr, optionRow(mediaTypeTable, -1));
    EXPECT_EQ(nullptr, optionRow(nullptr, 0));
    EXPECT_EQ(&stampFontSizeTable[15], optionRow(stampFontSizeTable, 15));
}

}  // namespace
}  // namespace tavix
