#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "tavix/penSettingsFile.h"
#include "support/cp932.h"
#include "support/recordingHost.h"
#include "support/scratchDirectory.h"
#include "tavix/driverState.h"
#include "settings/settingsDefaults.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace tavix {
namespace {

namespace fs = std::filesystem;

// The file as the driver writes it, with every pen's values from the given
// functions.
template <typename GrayList, typename Width, typename Gray>
std::string penFile(GrayList grayList, const std::string& comment, const std::string& drawName,
                    Width width, Gray gray) {
    std::string out;
    for (int pen = 1; pen <= 255; ++pen)
        out += "PenGray" + std::to_string(pen) + "=" + std::to_string(grayList(pen)) + "\r\n";
    out += "Comment=" + comment + "\r\n";
    out += "DrawName=" + drawName + "\r\n";
    for (int pen = 1; pen <= 255; ++pen) {
        out += "LumenWide" + std::to_string(pen) + "=" + width(pen) + "\r\n";
        out += "LumenGray" + std::to_string(pen) + "=" + std::to_string(gray(pen)) + "\r\n";
    }
    return out;
}

std::string defaultFile() {
    return penFile([](int) { return 100; }, "", "", [](int) { return std::string("0.254"); },
                   [](int) { return 100; });
}

// A valid file with one line replaced (line numbers from 1).
std::string withLine(std::string file, int lineNumber, const std::string& line) {
    size_t begin = 0;
    for (int i = 1; i < lineNumber; ++i) begin = file.find("\r\n", begin) + 2;
    size_t end = file.find("\r\n", begin);
    return file.replace(begin, end - begin, line);
}

// Line numbers of the file.
constexpr int COMMENT_LINE = 256;
constexpr int DRAW_NAME_LINE = 257;
constexpr int lumenWideLine(int pen) { return 258 + 2 * (pen - 1); }

class PenSettingsFile : public ::testing::Test {
protected:
    void SetUp() override { host.install(); }

    void expectPenDefaults() {
        for (int i = 0; i < PEN_COUNT; ++i) {
            ASSERT_EQ(100, state.penGrayList[i]) << i;
            ASSERT_EQ(0.254f, state.penTable[i].penWidth) << i;
            ASSERT_EQ(100, state.penTable[i].penGray) << i;
        }
        EXPECT_STREQ("", state.comment);
        EXPECT_STREQ("", state.drawName);
        EXPECT_TRUE(state.penDataValid);
    }

    // Pen data that differs from the defaults everywhere.
    void setCustomPens() {
        for (int i = 0; i < PEN_COUNT; ++i) {
            state.penGrayList[i] = static_cast<uint8_t>(i % 101);
            state.penTable[i].penWidth = 0.1f + 0.0137f * static_cast<float>(i);
            state.penTable[i].penGray = static_cast<uint8_t>((i * 7) % 101);
        }
        std::strcpy(state.comment, "Floor plan, rev. 3");
        std::strcpy(state.drawName, "B-204");
        state.penDataValid = true;
    }

    testing::ScratchDirectory scratch;
    testing::RecordingHost host;
};

TEST_F(PenSettingsFile, defaultsAreWrittenAs767CrLfLines) {
    applyPenDefaults();
    ASSERT_EQ(0, writePenSettingsFile());
    std::string written = testing::readWholeFile(PEN_SETTINGS_FILE);
    EXPECT_BYTES(defaultFile(), written);
    size_t lines = 0;
    for (size_t at = written.find("\r\n"); at != std::string::npos; at = written.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(767u, lines);
    EXPECT_EQ("<missing>", testing::readWholeFile(PEN_SETTINGS_FILE_NEW));
}

TEST_F(PenSettingsFile, roundTripKeepsEverythingWithWidthsToThreeDecimals) {
    setCustomPens();
    std::strcpy(state.comment, "\x90\x7d\x96\xca \\ 5C");  // 図面, a trail byte 0x5C
    ASSERT_EQ(0, writePenSettingsFile());
    PenEntry written[PEN_COUNT];
    std::memcpy(written, state.penTable, sizeof written);
    uint8_t grays[PEN_COUNT];
    std::memcpy(grays, state.penGrayList, sizeof grays);

    host.install();  // a fresh process
    ASSERT_EQ(0, readPenSettingsFile());
    EXPECT_TRUE(state.penDataValid);
    EXPECT_EQ(0, std::memcmp(grays, state.penGrayList, sizeof grays));
    for (int i = 0; i < PEN_COUNT; ++i) {
        EXPECT_NEAR(written[i].penWidth, state.penTable[i].penWidth, 0.0005) << i;
        EXPECT_EQ(written[i].penGray, state.penTable[i].penGray) << i;
    }
    EXPECT_STREQ("\x90\x7d\x96\xca \\ 5C", state.comment);
    EXPECT_STREQ("B-204", state.drawName);
    // Pen 2: 0.1137 is written as 0.114.
    EXPECT_NE(std::string::npos,
              testing::readWholeFile(PEN_SETTINGS_FILE).find("\r\nLumenWide2=0.114\r\n"));
    EXPECT_EQ(0.114f, state.penTable[1].penWidth);
}

// What the driver writes it must be able to read back: a width too small
// for three decimals and a stamp text with a line break would otherwise make
// the next read fail and every pen take its default.
TEST_F(PenSettingsFile, whatIsWrittenCanAlwaysBeReadBack) {
    setCustomPens();
    state.penTable[0].penWidth = 0.0001f;
    state.penTable[1].penWidth = 0.0004f;
    state.penTable[2].penWidth = 0.0006f;
    std::strcpy(state.comment, "two\r\nlines");
    std::strcpy(state.drawName, "A\nB");
    ASSERT_EQ(0, writePenSettingsFile());
    const std::string written = testing::readWholeFile(PEN_SETTINGS_FILE);
    EXPECT_NE(std::string::npos, written.find("\r\nLumenWide1=0.001\r\nLumenGray1="));
    EXPECT_NE(std::string::npos, written.find("\r\nLumenWide2=0.001\r\nLumenGray2="));
    EXPECT_NE(std::string::npos, written.find("\r\nLumenWide3=0.001\r\nLumenGray3="));
    EXPECT_NE(std::string::npos, written.find("\r\nComment=two  lines\r\nDrawName=A B\r\n"));

    host.install();  // a fresh process
    ASSERT_EQ(0, readPenSettingsFile());
    EXPECT_EQ(0.001f, state.penTable[0].penWidth);
    EXPECT_EQ(0.001f, state.penTable[1].penWidth);
    EXPECT_STREQ("two  lines", state.comment);
    EXPECT_STREQ("A B", state.drawName);
    EXPECT_EQ(7, state.penTable[1].penGray);  // the pens after them were read too
}

TEST_F(PenSettingsFile, aMissingFileFails) {
    EXPECT_EQ(-1, readPenSettingsFile());
    EXPECT_FALSE(state.penDataValid);
    loadPenSettingsOrDefaults();
    expectPenDefaults();
}

TEST_F(PenSettingsFile, aGrayAbove100FailsAndEveryPenTakesItsDefault) {
    testing::writeWholeFile(
        PEN_SETTINGS_FILE,
        withLine(penFile([](int) { return 40; }, "c", "d",
                         [](int) { return std::string("1.000"); }, [](int) { return 30; }),
                 5, "PenGray5=101"));
    EXPECT_EQ(-1, readPenSettingsFile());
    loadPenSettingsOrDefaults();
    expectPenDefaults();  // the first four grays included
}

TEST_F(PenSettingsFile, aFailedReadLeavesThePenDataAsItWas) {
    setCustomPens();
    PenEntry before[PEN_COUNT];
    std::memcpy(before, state.penTable, sizeof before);
    testing::writeWholeFile(PEN_SETTINGS_FILE, withLine(defaultFile(), 300, "LumenGray22=101"));
    EXPECT_EQ(-1, readPenSettingsFile());
    EXPECT_EQ(0, std::memcmp(before, state.penTable, sizeof before));
    EXPECT_STREQ("Floor plan, rev. 3", state.comment);
}

TEST_F(PenSettingsFile, integersReadAsTheirLeadingDigits) {
    std::string file = withLine(defaultFile(), 1, "PenGray1=abc");
    file = withLine(file, 2, "PenGray2=  +42xyz");
    file = withLine(file, lumenWideLine(1) + 1, "LumenGray1=-0");
    testing::writeWholeFile(PEN_SETTINGS_FILE, file);
    ASSERT_EQ(0, readPenSettingsFile());
    EXPECT_EQ(0, state.penGrayList[0]);
    EXPECT_EQ(42, state.penGrayList[1]);
    EXPECT_EQ(0, state.penTable[0].penGray);

    testing::writeWholeFile(PEN_SETTINGS_FILE, withLine(defaultFile(), 3, "PenGray3=-1"));
    EXPECT_EQ(-1, readPenSettingsFile());
}

TEST_F(PenSettingsFile, widthsMustBeAbove0AndAtMost25Point4) {
    struct Case {
        const char* value;
        bool accepted;
        float width;
    } cases[] = {
        {"0", false, 0},         {"0.000", false, 0},   {"-1", false, 0},
        {"25.4", true, 25.4f},   {"25.5", false, 0},    {"25.40000001", true, 25.4f},
        {"1e1", true, 10.0f},    {" +0.5mm", true, 0.5f}, {".25", true, 0.25f},
        {"abc", false, 0},       {"inf", false, 0},     {"nan", false, 0},
        {"0x1p2", false, 0},     {"1e999", false, 0},   {"1,5", true, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        testing::writeWholeFile(PEN_SETTINGS_FILE,
                                withLine(defaultFile(), lumenWideLine(1),
                                         std::string("LumenWide1=") + c.value));
        EXPECT_EQ(c.accepted ? 0 : -1, readPenSettingsFile());
        if (c.accepted) {
            EXPECT_EQ(c.width, state.penTable[0].penWidth);
        }
    }
}

TEST_F(PenSettingsFile, linesOutOfOrderFail) {
    std::string file = defaultFile();
    // LumenGray1 before LumenWide1.
    file = withLine(file, lumenWideLine(1), "LumenGray1=100");
    file = withLine(file, lumenWideLine(1) + 1, "LumenWide1=0.254");
    testing::writeWholeFile(PEN_SETTINGS_FILE, file);
    EXPECT_EQ(-1, readPenSettingsFile());

    testing::writeWholeFile(PEN_SETTINGS_FILE, withLine(defaultFile(), 2, "PenGray3=100"));
    EXPECT_EQ(-1, readPenSettingsFile());
    testing::writeWholeFile(PEN_SETTINGS_FILE, withLine(defaultFile(), 10, "pengray10=100"));
    EXPECT_EQ(-1, readPenSettingsFile());
    testing::writeWholeFile(PEN_SETTINGS_FILE,
                            withLine(defaultFile(), DRAW_NAME_LINE, "Comment=x"));
    EXPECT_EQ(-1, readPenSettingsFile());
}

TEST_F(PenSettingsFile, aShortFileFailsAndLinesAfterTheLastAreNotRead) {
    std::string file = defaultFile();
    testing::writeWholeFile(PEN_SETTINGS_FILE, file.substr(0, file.size() - 2 - 16));
    EXPECT_EQ(-1, readPenSettingsFile());
    testing::writeWholeFile(PEN_SETTINGS_FILE, "");
    EXPECT_EQ(-1, readPenSettingsFile());
    testing::writeWholeFile(PEN_SETTINGS_FILE, file + "anything\r\nat all");
    EXPECT_EQ(0, readPenSettingsFile());
    // The last line needs no line end.
    testing::writeWholeFile(PEN_SETTINGS_FILE, file.substr(0, file.size() - 2));
    EXPECT_EQ(0, readPenSettingsFile());
}

TEST_F(PenSettingsFile, lineFeedOnlyLinesReadAsWell) {
    std::string file = defaultFile();
    std::string unix;
    for (char c : file)
        if (c != '\r') unix += c;
    testing::writeWholeFile(PEN_SETTINGS_FILE, unix);
    EXPECT_EQ(0, readPenSettingsFile());
}

TEST_F(PenSettingsFile, aTooLongPenLineIsSplitAndFails) {
    // 9 + 71 characters: the line is cut after 79 and its rest is read as
    // the line of pen 2.
    testing::writeWholeFile(PEN_SETTINGS_FILE,
                            withLine(defaultFile(), 1, "PenGray1=" + std::string(71, '0')));
    EXPECT_EQ(-1, readPenSettingsFile());
    // 79 characters with the line feed still fit.
    testing::writeWholeFile(PEN_SETTINGS_FILE,
                            withLine(defaultFile(), 1, "PenGray1=" + std::string(68, '0') + "7"));
    ASSERT_EQ(0, readPenSettingsFile());
    EXPECT_EQ(7, state.penGrayList[0]);
}

TEST_F(PenSettingsFile, longTextsAreCutToTheirFieldsOnACharacterBoundary) {
    std::string comment90(90, 'c');
    std::string name89(89, 'n');
    std::string file = withLine(defaultFile(), COMMENT_LINE, "Comment=" + comment90);
    file = withLine(file, DRAW_NAME_LINE, "DrawName=" + name89);
    testing::writeWholeFile(PEN_SETTINGS_FILE, file);
    ASSERT_EQ(0, readPenSettingsFile());
    EXPECT_EQ(std::string(80, 'c'), std::string(state.comment));
    EXPECT_EQ(std::string(40, 'n'), std::string(state.drawName));

    // A two-byte character across the limit is left out whole.
    std::string kanji = "\x90\x7d";  // 図
    file = withLine(defaultFile(), COMMENT_LINE, "Comment=" + std::string(79, 'a') + kanji + "zz");
    file = withLine(file, DRAW_NAME_LINE, "DrawName=" + std::string(39, 'b') + kanji + kanji);
    testing::writeWholeFile(PEN_SETTINGS_FILE, file);
    ASSERT_EQ(0, readPenSettingsFile());
    EXPECT_EQ(std::string(79, 'a'), std::string(state.comment));
    EXPECT_EQ(std::string(39, 'b'), std::string(state.drawName));
    file = withLine(defaultFile(), DRAW_NAME_LINE, "DrawName=" + std::string(38, 'b') + kanji + kanji);
    testing::writeWholeFile(PEN_SETTINGS_FILE, file);
    ASSERT_EQ(0, readPenSettingsFile());
    EXPECT_EQ(std::string(38, 'b') + kanji, std::string(state.drawName));

    // More than 99 characters: the line is split and the drawing name line
    // is not where it should be.
    file = withLine(defaultFile(), COMMENT_LINE, "Comment=" + std::string(91, 'c'));
    testing::writeWholeFile(PEN_SETTINGS_FILE, file);
    EXPECT_EQ(-1, readPenSettingsFile());
}

TEST_F(PenSettingsFile, emptyTextsReadAsEmpty) {
    setCustomPens();
    testing::writeWholeFile(PEN_SETTINGS_FILE, defaultFile());
    ASSERT_EQ(0, readPenSettingsFile());
    EXPECT_STREQ("", state.comment);
    EXPECT_STREQ("", state.drawName);
}

TEST_F(PenSettingsFile, penDataNeverLoadedOrDefaultedIsNotWritten) {
    testing::writeWholeFile(PEN_SETTINGS_FILE, "the user's file");
    EXPECT_FALSE(state.penDataValid);
    EXPECT_EQ(-1, writePenSettingsFile());
    EXPECT_EQ("the user's file", testing::readWholeFile(PEN_SETTINGS_FILE));
}

TEST_F(PenSettingsFile, aFileThatCannotBeCreatedLeavesTheOldOne) {
    applyPenDefaults();
    testing::writeWholeFile(PEN_SETTINGS_FILE, "old");
    fs::create_directory(PEN_SETTINGS_FILE_NEW);  // the new file cannot be created
    EXPECT_EQ(-1, writePenSettingsFile());
    EXPECT_EQ("old", testing::readWholeFile(PEN_SETTINGS_FILE));
}

TEST_F(PenSettingsFile, aFailedReplaceRemovesTheNewFile) {
    applyPenDefaults();
    fs::create_directory(PEN_SETTINGS_FILE);
    fs::create_directory(fs::path(PEN_SETTINGS_FILE) / "inside");
    EXPECT_EQ(-1, writePenSettingsFile());
    EXPECT_TRUE(fs::is_directory(PEN_SETTINGS_FILE));
    EXPECT_FALSE(fs::exists(PEN_SETTINGS_FILE_NEW));
}

TEST_F(PenSettingsFile, anExistingFileIsReplacedWhole) {
    testing::writeWholeFile(PEN_SETTINGS_FILE, std::string(40000, 'x'));
    applyPenDefaults();
    ASSERT_EQ(0, writePenSettingsFile());
    EXPECT_BYTES(defaultFile(), testing::readWholeFile(PEN_SETTINGS_FILE));
}

#if !defined(_WIN32)
TEST_F(PenSettingsFile, aFullDiskKeepsTheOldFileAndReportsFailure) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    testing::writeWholeFile(PEN_SETTINGS_FILE, "old");
    fs::create_symlink("/dev/full", PEN_SETTINGS_FILE_NEW);
    applyPenDefaults();
    EXPECT_EQ(-1, writePenSettingsFile());
    EXPECT_EQ("old", testing::readWholeFile(PEN_SETTINGS_FILE));
    EXPECT_FALSE(fs::is_symlink(PEN_SETTINGS_FILE_NEW));
}

TEST_F(PenSettingsFile, aReadOnlyDirectoryKeepsTheOldFile) {
    testing::writeWholeFile(PEN_SETTINGS_FILE, "old");
    fs::permissions(".", fs::perms::owner_read | fs::perms::owner_exec);
    if (access(".", W_OK) == 0) {
        fs::permissions(".", fs::perms::owner_all);
        GTEST_SKIP() << "running with rights that ignore permissions";
    }
    applyPenDefaults();
    EXPECT_EQ(-1, writePenSettingsFile());
    fs::permissions(".", fs::perms::owner_all);
    EXPECT_EQ("old", testing::readWholeFile(PEN_SETTINGS_FILE));
}
#endif

// The line of the pen settings file that begins with `key`.
std::string lineOf(const std::string& file, const std::string& key) {
    size_t at = file.find("\r\n" + key);
    if (at == std::string::npos) return "<none>";
    at += 2;
    return file.substr(at, file.find("\r\n", at) - at);
}

// The stamp texts are fixed fields that a dialog or a reader fills; one
// that has lost its terminating NUL is written up to its field's end, not
// on into the fields after it.
TEST_F(PenSettingsFile, stampTextsWithoutTheirNulAreWrittenUpToTheField) {
    applyPenDefaults();
    std::memset(state.comment, 'c', sizeof state.comment);
    std::memset(state.drawName, 'n', sizeof state.drawName);
    ASSERT_EQ(0, writePenSettingsFile());
    const std::string file = testing::readWholeFile(PEN_SETTINGS_FILE);
    EXPECT_EQ("Comment=" + std::string(COMMENT_SIZE - 1, 'c'), lineOf(file, "Comment="));
    EXPECT_EQ("DrawName=" + std::string(DRAW_NAME_SIZE - 1, 'n'), lineOf(file, "DrawName="));
    EXPECT_EQ(767u * 2, static_cast<size_t>(std::count(file.begin(), file.end(), '\r')) +
                            static_cast<size_t>(std::count(file.begin(), file.end(), '\n')));

    // And it reads back as the texts cut to their fields.
    applyPenDefaults();
    ASSERT_EQ(0, readPenSettingsFile());
    EXPECT_EQ(std::string(COMMENT_SIZE - 1, 'c'), std::string(state.comment));
    EXPECT_EQ(std::string(DRAW_NAME_SIZE - 1, 'n'), std::string(state.drawName));
}

}  // namespace
}  // namespace tavix
