#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/cp932.h"
#include "support/recordingHost.h"
#include "tavix/messages.h"

namespace tavix {
namespace {

struct MessageText {
    int slot;
    const char* japanese;  // UTF-8, as the texts are written
    const char* english;
};

// Every slot in use, both sets, trailing blanks included.
const MessageText messageTexts[] = {
    {0, "AutoCAD でないｱﾌﾟﾘｹｰｼｮﾝから呼ぼうとしました。",
     "You have tried to call the driver from a non-AutoCAD application."},
    {1, "AutoCAD のﾊﾞｰｼﾞｮﾝが不正です。R14を使用してください。",
     "This release of AutoCAD is incorrect; you must use AutoCAD R14."},
    {2, "作業に必要なﾒﾓﾘが確保できません。 ",
     "Insufficient memories for this plotting."},
    {8, "線種番号     0 = 実線 ",
     "Line types  0 = continuous line "},
    {9, " = ････････････････････････････････",
     " = ................................"},
    {10, " = ----    ----    ----    ----    ",
     " = ----    ----    ----    ----    "},
    {11, " = -----   -----   -----   -----   ",
     " = -----   -----   -----   -----   "},
    {12, " = ------・------・------・------・",
     " = ------. ------. ------. ------. "},
    {13, " = ---- -  ---- -  ---- -  ---- -  ",
     " = ---- -  ---- -  ---- -  ---- -  "},
    {14, " = --- - - --- - - --- - - --- - - ",
     " = --- - - --- - - --- - - --- - - "},
    {15, " = ------・・------・・------・・",
     " = ------ . . ------ . . ------ . ."},
    {17, "印刷濃度： ",
     "Density: "},
    {25, "ﾌﾟﾛｯﾀ： ",
     "Plotter : "},
    {26, "用紙ｻｲｽﾞ： ",
     "Paper size : "},
    {27, "ｺﾋﾟｰ枚数： ",
     "Number of plots : "},
    {28, "ﾌﾟﾛｯﾀﾎﾟｰﾄ： ",
     "Plotter port : "},
    {29, "ﾊﾟﾗﾚﾙ ",
     "PARALLEL "},
    {31, "用紙の種類： ",
     "Media Type: "},
    {32, "ﾍﾟﾝ終端処理：",
     "Line End:   "},
    {33, "ﾐﾗｰ出力：    ",
     "Mirror Image: "},
    {35, "多角形をﾊｰﾌﾄｰﾝで塗りつぶします。 ",
     "Fill the polygon with half-tone."},
    {36, "多角形をべたで塗りつぶします。 ",
     "Fill the polygon with black."},
    {37, "ﾄﾚｲ選択：  ",
     "Tray:       "},
    {41, "ﾄﾞﾗｲﾊﾞ･ﾊﾞｰｼﾞｮﾝ",
     "Driver version"},
    {44, "印刷濃度",
     "Density"},
    {46, "図面方向： 縦 ",
     "Drawing orientation: Portrait"},
    {47, "図面方向： 横 ",
     "Drawing orientation: Landscape"},
    {49, "ｵﾌｾｯﾄ:左",
     "Offset:Left"},
    {51, "出力方式： 追加機能出力 ",
     "Output: Option "},
    {52, "出力方式： 標準出力 ",
     "Output: Standard "},
    {54, "用紙ｶｯﾄﾓｰﾄﾞ： ｼﾝｸﾛｶｯﾄ ",
     "Cut Mode: Synchronous Cut "},
    {55, "用紙ｶｯﾄﾓｰﾄﾞ： 定形ｶｯﾄ ",
     "Cut Mode: Formmat Cut "},
    {57, "白黒反転：  ON",
     "Invert: ON "},
    {58, "白黒反転：  OFF",
     "Invert: OFF "},
    {60, "ﾏｰｼﾞﾝ：あり ",
     "Plot Margin: On "},
    {61, "ﾏｰｼﾞﾝ：なし ",
     "Plot Margin: Off "},
    {62, "ｵﾌｾｯﾄ:上",
     "Offset:Top"},
    {64, "用紙に対する画像位置： 左上",
     "Image Position: Upper left "},
    {65, "用紙に対する画像位置： 中央",
     "Image Position: Center "},
    {67, "ｾﾝﾀﾘﾝｸﾞ： ON ",
     "Centering:   ON "},
    {68, "ｾﾝﾀﾘﾝｸﾞ： OFF ",
     "Centering:   OFF "},
    {69, "ｸﾞﾚｲ率",
     "Gray Value"},
    {70, "ﾍﾟﾝ幅",
     "Pen Width"},
    {71, "印刷濃度は、1～64の整数を入力して下さい。",
     "Input the integer of 1 to 64 in the 'Density'."},
    {72, "ﾍﾟﾝ幅の入力が正しくありません。",
     "Value of 'Pen Width' is invalid."},
    {73, "ｵﾌｾｯﾄの入力が正しくありません。",
     "Offset value is invalid. "},
    {74, "ﾍﾟﾝ･ｸﾞﾚｲ率は、0～100の整数を入力して下さい。",
     "Input the integer of 0 to 100 in the Gray Value of pen. "},
    {75, "config情報を保存できません。 ",
     "Can not save the configuration data."},
    {76, "config情報を取得できません。 ",
     "Can not get the configuration data."},
    {77, "プロッタへ出力中、エラーが発生しました。 ",
     "Plotting error occured. "},
};

std::string slotBytes(const char (&slot)[MESSAGE_SIZE]) {
    size_t n = 0;
    while (n < MESSAGE_SIZE && slot[n] != '\0') ++n;
    return std::string(slot, n);
}

TEST(MessageTexts, japaneseSlotsAreTheCodePage932BytesOfTheirTexts) {
    for (const MessageText& m : messageTexts) {
        SCOPED_TRACE(m.slot);
        EXPECT_BYTES(testing::cp932(m.japanese), slotBytes(japaneseMessages[m.slot]));
    }
}

TEST(MessageTexts, englishSlotsCarryTheSameNumbering) {
    for (const MessageText& m : messageTexts) {
        SCOPED_TRACE(m.slot);
        EXPECT_BYTES(std::string(m.english), slotBytes(englishMessages[m.slot]));
    }
    EXPECT_STREQ("Cut Mode: Formmat Cut ", englishMessages[55]);
    EXPECT_STREQ("Insufficient memories for this plotting.", englishMessages[2]);
    EXPECT_STREQ("Plotting error occured. ", englishMessages[77]);
}

TEST(MessageTexts, slotsNotInUseAreEmptyAndEverySlotIsTerminated) {
    bool used[MESSAGE_COUNT] = {};
    for (const MessageText& m : messageTexts) used[m.slot] = true;
    for (int slot = 0; slot < MESSAGE_COUNT; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_NE(nullptr, std::memchr(japaneseMessages[slot], 0, MESSAGE_SIZE));
        EXPECT_NE(nullptr, std::memchr(englishMessages[slot], 0, MESSAGE_SIZE));
        EXPECT_EQ(used[slot], japaneseMessages[slot][0] != '\0');
        EXPECT_EQ(used[slot], englishMessages[slot][0] != '\0');
    }
}

// Bytes that a plain Shift-JIS table or a source written in Shift-JIS gets
// wrong: the wave dash of code page 932, the trail byte 0x5C, half-width
// katakana as single bytes.
TEST(MessageTexts, codePage932BytesThatAreEasyToGetWrong) {
    const std::string density(japaneseMessages[71]);
    EXPECT_NE(std::string::npos, density.find("1\x81\x60" "64"));
    const std::string gray(japaneseMessages[74]);
    EXPECT_NE(std::string::npos, gray.find("0\x81\x60" "100"));
    const std::string option(japaneseMessages[51]);
    EXPECT_NE(std::string::npos, option.find("\x8B\x40\x94\x5C"));  // 機能
    EXPECT_EQ(std::string("\xCA\xDF\xD7\xDA\xD9 "), std::string(japaneseMessages[29]));
}

// Each slot the driver names holds the text its name promises.
TEST(MessageTexts, namedSlotsHoldTheirTexts) {
    const struct {
        int slot;
        const char* english;
    } named[] = {
        {MSG_NOT_AUTOCAD, "You have tried to call the driver from a non-AutoCAD application."},
        {MSG_WRONG_RELEASE, "This release of AutoCAD is incorrect; you must use AutoCAD R14."},
        {MSG_NO_MEMORY, "Insufficient memories for this plotting."},
        {MSG_CANNOT_SAVE, "Can not save the configuration data."},
        {MSG_CANNOT_GET, "Can not get the configuration data."},
        {MSG_PLOTTING_ERROR, "Plotting error occured. "},
        {MSG_LINE_TYPES, "Line types  0 = continuous line "},
        {MSG_DENSITY, "Density: "},
        {MSG_PLOTTER, "Plotter : "},
        {MSG_PAPER_SIZE, "Paper size : "},
        {MSG_COPIES, "Number of plots : "},
        {MSG_PORT, "Plotter port : "},
        {MSG_PARALLEL, "PARALLEL "},
        {MSG_MEDIA_TYPE, "Media Type: "},
        {MSG_LINE_END, "Line End:   "},
        {MSG_MIRROR, "Mirror Image: "},
        {MSG_HALF_TONE, "Fill the polygon with half-tone."},
        {MSG_BLACK_FILL, "Fill the polygon with black."},
        {MSG_TRAY, "Tray:       "},
        {MSG_PORTRAIT, "Drawing orientation: Portrait"},
        {MSG_LANDSCAPE, "Drawing orientation: Landscape"},
        {MSG_OUTPUT_OPTION, "Output: Option "},
        {MSG_OUTPUT_STANDARD, "Output: Standard "},
        {MSG_SYNCHRONOUS_CUT, "Cut Mode: Synchronous Cut "},
        {MSG_FORMAT_CUT, "Cut Mode: Formmat Cut "},
        {MSG_INVERT_ON, "Invert: ON "},
        {MSG_INVERT_OFF, "Invert: OFF "},
        {MSG_MARGIN_ON, "Plot Margin: On "},
        {MSG_MARGIN_OFF, "Plot Margin: Off "},
        {MSG_CENTERING_ON, "Centering:   ON "},
        {MSG_CENTERING_OFF, "Centering:   OFF "},
        {MSG_DRIVER_VERSION, "Driver version"},
        {MSG_DENSITY_CAPTION, "Density"},
        {MSG_OFFSET_LEFT, "Offset:Left"},
        {MSG_OFFSET_TOP, "Offset:Top"},
        {MSG_GRAY_VALUE, "Gray Value"},
        {MSG_PEN_WIDTH, "Pen Width"},
        {MSG_BAD_DENSITY, "Input the integer of 1 to 64 in the 'Density'."},
        {MSG_BAD_PEN_WIDTH, "Value of 'Pen Width' is invalid."},
        {MSG_BAD_OFFSET, "Offset value is invalid. "},
        {MSG_BAD_GRAY, "Input the integer of 0 to 100 in the Gray Value of pen. "},
    };
    for (const auto& n : named) {
        SCOPED_TRACE(n.english);
        ASSERT_GE(n.slot, 0);
        ASSERT_LT(n.slot, MESSAGE_COUNT);
        EXPECT_EQ(std::string(n.english), std::string(englishMessages[n.slot]));
    }
}

TEST(DensityHints, sixTextsPerStandardDensity) {
    const char (*tables[3])[20] = {densityHints15, densityHints16, densityHints20};
    const char* numbers[3] = {"15", "16", "20"};
    for (int t = 0; t < 3; ++t) {
        SCOPED_TRACE(numbers[t]);
        const std::string n = numbers[t];
        EXPECT_BYTES(testing::cp932("標準値：  " + n), std::string(tables[t][0]));
        for (int row = 1; row <= 4; ++row) EXPECT_EQ("Standard: " + n, std::string(tables[t][row]));
        EXPECT_BYTES("Est\xE1ndar: " + n, std::string(tables[t][5]));
    }
}

}  // namespace
}  // namespace tavix
