// The constant model, paper and option tables, and how the driver reads
// them. Model-specific rows are always chosen by the model's name.
#pragma once

#include <cstdint>

#include "tavix/driverRecord.h"
#include "tavix/tableTypes.h"

namespace tavix {

// The model row for an index; an index outside 0..4 reads row 0 (a stored
// block may carry any value).
const ModelEntry& modelEntry(int32_t index);

// modelEntry(state.currentModel).
const ModelEntry& currentModelEntry();

// The model's paper list (ends at the first row whose label in the column in
// use is empty), chosen by name.
const PaperSize* paperListFor(const ModelEntry& model);

// The shipped paper list of a model, chosen by name: "TX-70-TAVIX E",
// "TX-30-TAVIX E" and "Lumen Q1-TAVIX E" have lists of their own; every other
// name takes the 36-inch list.
const PaperSize* shippedPaperList(const ModelEntry& model);

// The label of a paper row in the column in use: metric when the language
// code is "ja", inch otherwise.
const char* paperLabel(const PaperSize& row);

// Rows of a paper list before its end (the first row whose label in the
// column in use is empty), at most PAPER_ROWS.
int paperCount(const PaperSize* list);

// The model's tray table variant, chosen by name in the order TX-30, TX-70,
// TX-90; any other name takes the six-row table.
const OptionRow* trayTableFor(const ModelEntry& model);

extern const OptionRow mediaTypeTable[MEDIA_TYPE_ROWS + 1];
extern const OptionRow stampPlacementTable[STAMP_PLACEMENT_ROWS + 1];
extern const OptionRow stampFontSizeTable[STAMP_FONT_SIZE_ROWS + 1];
extern const OptionRow lineEndTable[LINE_END_ROWS + 1];

// Rows before the end row of an option table.
int optionRowCount(const OptionRow* table);

// The row at index, or null when the table has no such row.
const OptionRow* optionRow(const OptionRow* table, int32_t index);

// The label and the output text of the row at index; a stored index beyond
// the table (a tray kept from a model with more trays, a damaged block)
// takes the row at fallback, the one the defaults would have chosen. Empty
// when neither is a row.
const char* optionLabel(const OptionRow* table, int32_t index, int32_t fallback);
const char* optionTicketLine(const OptionRow* table, int32_t index, int32_t fallback);

// Test seam: the model table and paper lists the driver reads. They point at
// the shipped tables; tests may point them at tables of their own to reach
// branches that no shipped row takes (portrait paper, hpglLevel 1, a model
// without the Option output).
struct DriverTables {
    const ModelEntry* models;  // five rows
    const PaperSize* (*paperList)(const ModelEntry& model);
};
extern DriverTables activeTables;
void restoreShippedTables();

}  // namespace tavix
