// The paper lists of the five models. W and H are in inches and alone drive
// the plot area; the labels are what the paper lists show (metric when the
// language is "ja", inch otherwise), trailing spaces included.
#include "host/languageTables.h"
#include "tavix/driverRecord.h"
#include "tavix/tables.h"

namespace tavix {
namespace {

// Each row: metric label, inch label, W, H. Row names follow the 36-inch list.
constexpr PaperSize ARCH_E = {"ARCH E     1219.2mm x 914.4mm ", "ARCH E      48\" x 36\"        ", 48, 36};
constexpr PaperSize ARCH_D = {"ARCH D      914.4mm x 609.6mm ", "ARCH D      36\" x 24\"        ", 36, 24};
constexpr PaperSize ARCH_C = {"ARCH C      609.6mm x 457.2mm ", "ARCH C      24\" x 18\"        ", 24, 18};
constexpr PaperSize ARCH_B = {"ARCH B      457.2mm x 304.8mm ", "ARCH B      18\" x 12\"        ", 18, 12};
constexpr PaperSize ARCH_A = {"ARCH A      304.8mm x 228.6mm ", "ARCH A      12\" x 9\"         ", 12, 9};
constexpr PaperSize ANSI_E = {"ANSI E     1117.6mm x 863.6mm ", "ANSI E      44\" x 34\"        ", 44, 34};
constexpr PaperSize ANSI_D = {"ANSI D      863.6mm x 558.8mm ", "ANSI D      34\" x 22\"        ", 34, 22};
constexpr PaperSize ANSI_C = {"ANSI C      558.8mm x 431.8mm ", "ANSI C      22\" x 17\"        ", 22, 17};
constexpr PaperSize ANSI_B = {"ANSI B      431.8mm x 279.4mm ", "ANSI B      17\" x 11\"        ", 17, 11};
constexpr PaperSize ANSI_A = {"ANSI A      279.4mm x 215.9mm ", "ANSI A      11\" x 8.5\"       ", 11, 8.5};
constexpr PaperSize SIZE_42X30 = {"42 x 30    1066.8mm x 762.0mm ", "42 x 30     42\" x 30\"        ", 42, 30};
constexpr PaperSize US_LEGAL = {"US legal    355.6mm x 215.9mm ", "US legal    14\" x 8.5\"       ", 14, 8.5};
constexpr PaperSize A0 = {"A0         1189.0mm x 841.0mm ", "A0       46.81\" x 33.11\"     ", 46.811, 33.11};
constexpr PaperSize A1 = {"A1          841.0mm x 594.0mm ", "A1       33.11\" x 23.38\"     ", 33.11, 23.385};
constexpr PaperSize A2 = {"A2          594.0mm x 420.0mm ", "A2       23.38\" x 16.53\"     ", 23.385, 16.535};
constexpr PaperSize A3 = {"A3          420.0mm x 297.0mm ", "A3       16.53\" x 11.69\"     ", 16.535, 11.692};
constexpr PaperSize A4 = {"A4          297.0mm x 210.0mm ", "A4       11.69\" x 8.26\"      ", 11.692, 8.267};
constexpr PaperSize B1 = {"B1         1030.0mm x 728.0mm ", "B1       40.55\" x 28.66\"     ", 40.551, 28.661};
constexpr PaperSize B2 = {"B2          728.0mm x 515.0mm ", "B2       28.66\" x 20.27\"     ", 28.661, 20.275};
constexpr PaperSize B3 = {"B3          515.0mm x 364.0mm ", "B3       20.27\" x 14.33\"     ", 20.275, 14.33};
constexpr PaperSize B4 = {"B4          364.0mm x 257.0mm ", "B4       14.33\" x 10.11\"     ", 14.33, 10.118};
constexpr PaperSize LONG_129 = {"Long plot  3276.0mm x 914.4mm ", "Long plot  129\" x 36\"       ", 129, 36};
constexpr PaperSize LONG_258 = {"Long plot  6553.0mm x 914.4mm ", "Long plot  258\" x 36\"       ", 258, 36};
constexpr PaperSize LONG_516 = {"Long plot 13106.0mm x 914.4mm ", "Long plot  516\" x 36\"       ", 516, 36};
constexpr PaperSize MAX_600 = {"MAX       15240.0mm x 914.4mm ", "MAX        600\" x 36\"       ", 600, 36};
constexpr PaperSize LONG_129_24 = {"Long plot  3276.0mm x 609.6mm ", "Long plot  129\" x 24\"       ", 129, 24};
constexpr PaperSize LONG_258_24 = {"Long plot  6553.0mm x 609.6mm ", "Long plot  258\" x 24\"       ", 258, 24};
constexpr PaperSize LONG_516_24 = {"Long plot 13106.0mm x 609.6mm ", "Long plot  516\" x 24\"       ", 516, 24};
constexpr PaperSize MAX_600_24 = {"MAX       15240.0mm x 609.6mm ", "MAX        600\" x 24\"       ", 600, 24};
// The 24-inch list of the Lumen Q1 carries one more trailing space in the
// inch label of its last row than that of the TX-30.
constexpr PaperSize MAX_600_24_LUMEN = {"MAX       15240.0mm x 609.6mm ", "MAX        600\" x 24\"        ", 600, 24};

// Rows after the last entry are all zero: the lists end there.
constexpr PaperSize papers36[PAPER_ROWS] = {
    ARCH_E, ARCH_D, ARCH_C, ARCH_B, ARCH_A, ANSI_E, ANSI_D, ANSI_C, ANSI_B,
    ANSI_A, SIZE_42X30, US_LEGAL, A0, A1, A2, A3, A4, B1, B2, B3, B4,
    LONG_129, LONG_258, LONG_516, MAX_600,
};

// The TX-70 has no B1 to B4.
constexpr PaperSize papersTx70[PAPER_ROWS] = {
    ARCH_E, ARCH_D, ARCH_C, ARCH_B, ARCH_A, ANSI_E, ANSI_D, ANSI_C, ANSI_B,
    ANSI_A, SIZE_42X30, US_LEGAL, A0, A1, A2, A3, A4,
    LONG_129, LONG_258, LONG_516, MAX_600,
};

// The 24-inch models: nothing higher than 24 inches.
constexpr PaperSize papersTx30[PAPER_ROWS] = {
    ARCH_D, ARCH_C, ARCH_B, ARCH_A, ANSI_D, ANSI_C, ANSI_B, ANSI_A, US_LEGAL,
    A1, A2, A3, A4, LONG_129_24, LONG_258_24, LONG_516_24, MAX_600_24,
};

constexpr PaperSize papersLumenQ1[PAPER_ROWS] = {
    ARCH_D, ARCH_C, ARCH_B, ARCH_A, ANSI_D, ANSI_C, ANSI_B, ANSI_A, US_LEGAL,
    A1, A2, A3, A4, LONG_129_24, LONG_258_24, LONG_516_24, MAX_600_24_LUMEN,
};

}  // namespace

const PaperSize* shippedPaperList(const ModelEntry& model) {
    if (modelNameEquals(model, MODEL_TX70)) return papersTx70;
    if (modelNameEquals(model, MODEL_TX30)) return papersTx30;
    if (modelNameEquals(model, MODEL_LUMEN_Q1)) return papersLumenQ1;
    // "TX-90-TAVIX E", "TX Series TAVIX E" and any name we do not know.
    return papers36;
}

const PaperSize* paperListFor(const ModelEntry& model) {
    const PaperSize* list = activeTables.paperList ? activeTables.paperList(model) : nullptr;
    return list ? list : shippedPaperList(model);
}

const char* paperLabel(const PaperSize& row) {
    return languageIsJapanese() ? row.metricLabel : row.inchLabel;
}

int paperCount(const PaperSize* list) {
    int count = 0;
    while (count < PAPER_ROWS && paperLabel(list[count])[0] != '\0') ++count;
    return count;
}

}  // namespace tavix
