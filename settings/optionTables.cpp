// The option tables: a label for the dialog list (Shift-JIS at run time,
// padded with spaces to the width each list is drawn with) and the text the
// option writes into the job ticket or the HP-GL/2 output. Every table ends
// with an all-zero row.
#include "tavix/tables.h"

namespace tavix {
namespace {

// Label widths in bytes (Shift-JIS), spaces included.
constexpr int MEDIA_LABEL_WIDTH = 17;
constexpr int TRAY_LABEL_WIDTH = 13;
constexpr int SHORT_LABEL_WIDTH = 9;  // placement, font size, line end

// Builds a row at compile time; a label or text too long for its field
// stops the build.
constexpr OptionRow row(const char* label, int width, const char* ticketLine) {
    OptionRow r{};
    int n = 0;
    for (; label[n] != '\0'; ++n) r.label[n] = label[n];
    for (; n < width; ++n) r.label[n] = ' ';
    for (int i = 0; ticketLine[i] != '\0'; ++i) r.ticketLine[i] = ticketLine[i];
    return r;
}

constexpr OptionRow media(const char* label, const char* text) {
    return row(label, MEDIA_LABEL_WIDTH, text);
}
constexpr OptionRow shortRow(const char* label, const char* text) {
    return row(label, SHORT_LABEL_WIDTH, text);
}
constexpr OptionRow tray(const char* label, const char* text) {
    return row(label, TRAY_LABEL_WIDTH, text);
}

constexpr OptionRow TRAY_AUTO = tray("自動給紙選択", "Tray=Auto\r\n");
constexpr OptionRow TRAY_1 = tray("給紙1", "Tray=Tray1\r\n");
constexpr OptionRow TRAY_2 = tray("給紙2", "Tray=Tray2\r\n");
constexpr OptionRow TRAY_3 = tray("給紙3", "Tray=Tray3\r\n");
constexpr OptionRow TRAY_4 = tray("給紙4", "Tray=Tray4\r\n");
constexpr OptionRow TRAY_SHEET = tray("手差し", "Tray=SheetPaper\r\n");

constexpr OptionRow trayTableTx30[TRAY_ROWS_MAX + 1] = {TRAY_AUTO, TRAY_1, TRAY_2};
constexpr OptionRow trayTableTx70[TRAY_ROWS_MAX + 1] = {TRAY_AUTO, TRAY_1, TRAY_2, TRAY_SHEET};
constexpr OptionRow trayTableTx90[TRAY_ROWS_MAX + 1] = {TRAY_AUTO, TRAY_1, TRAY_2, TRAY_3,
                                                        TRAY_SHEET};
constexpr OptionRow trayTableFull[TRAY_ROWS_MAX + 1] = {TRAY_AUTO, TRAY_1, TRAY_2,
                                                        TRAY_3,    TRAY_4, TRAY_SHEET};

}  // namespace

constexpr OptionRow mediaTypeTable[MEDIA_TYPE_ROWS + 1] = {
    media("指定なし", "MediaType=Any\r\n"),                  // not specified
    media("普通紙", "MediaType=Paper\r\n"),                  // plain paper
    media("ﾄﾚｰｼﾝｸﾞ･ﾍﾟｰﾊﾟｰ", "MediaType=Transparent\r\n"),  // tracing paper
    media("ﾌｨﾙﾑ", "MediaType=Film\r\n"),                    // film
};

constexpr OptionRow stampPlacementTable[STAMP_PLACEMENT_ROWS + 1] = {
    shortRow("左上", "Placement=0\r\n"),  // top left
    shortRow("上中", "Placement=1\r\n"),  // top centre
    shortRow("右上", "Placement=2\r\n"),  // top right
    shortRow("左中", "Placement=3\r\n"),  // middle left
    shortRow("中央", "Placement=4\r\n"),  // centre
    shortRow("右中", "Placement=5\r\n"),  // middle right
    shortRow("左下", "Placement=6\r\n"),  // bottom left
    shortRow("下中", "Placement=7\r\n"),  // bottom centre
    shortRow("右下", "Placement=8\r\n"),  // bottom right
};

constexpr OptionRow stampFontSizeTable[STAMP_FONT_SIZE_ROWS + 1] = {
    shortRow("8", "FontSize=8\r\n"),   shortRow("9", "FontSize=9\r\n"),
    shortRow("10", "FontSize=10\r\n"), shortRow("11", "FontSize=11\r\n"),
    shortRow("12", "FontSize=12\r\n"), shortRow("14", "FontSize=14\r\n"),
    shortRow("16", "FontSize=16\r\n"), shortRow("18", "FontSize=18\r\n"),
    shortRow("20", "FontSize=20\r\n"), shortRow("22", "FontSize=22\r\n"),
    shortRow("24", "FontSize=24\r\n"), shortRow("26", "FontSize=26\r\n"),
    shortRow("28", "FontSize=28\r\n"), shortRow("36", "FontSize=36\r\n"),
    shortRow("48", "FontSize=48\r\n"), shortRow("72", "FontSize=72\r\n"),
};

// The whole text goes into the HP-GL/2 set-up.
constexpr OptionRow lineEndTable[LINE_END_ROWS + 1] = {
    shortRow("角", "LA1,1,2,6SP7RF"),    // butt
    shortRow("四角", "LA1,2,2,6SP7RF"),  // square
    shortRow("三角", "LA1,3,2,6SP7RF"),  // triangular
    shortRow("丸", "LA1,4,2,6SP7RF"),    // rounded
};

const OptionRow* trayTableFor(const ModelEntry& model) {
    // The order of the comparisons is the one the dialogs and the job ticket
    // share.
    if (modelNameEquals(model, MODEL_TX30)) return trayTableTx30;
    if (modelNameEquals(model, MODEL_TX70)) return trayTableTx70;
    if (modelNameEquals(model, MODEL_TX90)) return trayTableTx90;
    return trayTableFull;
}

int optionRowCount(const OptionRow* table) {
    int count = 0;
    // No table has more rows than the font sizes; the bound only guards
    // against a table without its end row.
    while (count < STAMP_FONT_SIZE_ROWS && table[count].label[0] != '\0') ++count;
    return count;
}

const OptionRow* optionRow(const OptionRow* table, int32_t index) {
    if (table == nullptr || index < 0 || index >= optionRowCount(table)) return nullptr;
    return &table[index];
}

namespace {

const OptionRow* rowOrDefault(const OptionRow* table, int32_t index, int32_t fallback) {
    const OptionRow* row = optionRow(table, index);
    return row != nullptr ? row : optionRow(table, fallback);
}

}  // namespace

const char* optionLabel(const OptionRow* table, int32_t index, int32_t fallback) {
    const OptionRow* row = rowOrDefault(table, index, fallback);
    return row != nullptr ? row->label : "";
}

const char* optionTicketLine(const OptionRow* table, int32_t index, int32_t fallback) {
    const OptionRow* row = rowOrDefault(table, index, fallback);
    return row != nullptr ? row->ticketLine : "";
}

}  // namespace tavix
