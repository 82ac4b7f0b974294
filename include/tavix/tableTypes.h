// Row types of the constant model, paper and option tables.
#pragma once

namespace tavix {

constexpr int PAPER_ROWS = 28;       // room per model paper list
constexpr int PAPER_LABEL_SIZE = 50; // 49 characters and the NUL
constexpr int OPTION_LABEL_SIZE = 30;
constexpr int OPTION_TICKET_SIZE = 40;
constexpr int MESSAGE_COUNT = 80;
constexpr int MESSAGE_SIZE = 80;

// One paper of a model's list. A list ends at the first row whose label in
// the column in use is empty.
struct PaperSize {
    char metricLabel[PAPER_LABEL_SIZE];
    char inchLabel[PAPER_LABEL_SIZE];
    double width;   // inches
    double height;  // inches
};

// One row of an option table: the label of a dialog list (Shift-JIS, padded
// with spaces) and the text written to the output. A table ends with a row
// whose label is empty.
struct OptionRow {
    char label[OPTION_LABEL_SIZE];
    char ticketLine[OPTION_TICKET_SIZE];
};

constexpr int MEDIA_TYPE_ROWS = 4;
constexpr int STAMP_PLACEMENT_ROWS = 9;
constexpr int STAMP_FONT_SIZE_ROWS = 16;
constexpr int LINE_END_ROWS = 4;
constexpr int TRAY_ROWS_MAX = 6;

}  // namespace tavix
