// The message slots the driver shows: one name per slot of the 80-slot
// message tables (the English text beside each). Slots not named here are
// empty or never shown.
#pragma once

namespace tavix {

// Identification, configuration and plot set-up.
constexpr int MSG_NOT_AUTOCAD = 0;     // "You have tried to call the driver from a non-AutoCAD application."
constexpr int MSG_WRONG_RELEASE = 1;   // "This release of AutoCAD is incorrect; ..."
constexpr int MSG_NO_MEMORY = 2;       // "Insufficient memories for this plotting."
constexpr int MSG_CANNOT_SAVE = 75;    // "Can not save the configuration data."
constexpr int MSG_CANNOT_GET = 76;     // "Can not get the configuration data."
constexpr int MSG_PLOTTING_ERROR = 77; // "Plotting error occured. "

// The line-type legend: the heading, then the patterns 1..7 in the slots
// after it.
constexpr int MSG_LINE_TYPES = 8;      // "Line types  0 = continuous line "

// The settings summary.
constexpr int MSG_DENSITY = 17;        // "Density: "
constexpr int MSG_PLOTTER = 25;        // "Plotter : "
constexpr int MSG_PAPER_SIZE = 26;     // "Paper size : "
constexpr int MSG_COPIES = 27;         // "Number of plots : "
constexpr int MSG_PORT = 28;           // "Plotter port : "
constexpr int MSG_PARALLEL = 29;       // "PARALLEL "
constexpr int MSG_MEDIA_TYPE = 31;     // "Media Type: "
constexpr int MSG_LINE_END = 32;       // "Line End:   "
constexpr int MSG_MIRROR = 33;         // "Mirror Image: "
constexpr int MSG_HALF_TONE = 35;      // "Fill the polygon with half-tone."
constexpr int MSG_BLACK_FILL = 36;     // "Fill the polygon with black."
constexpr int MSG_TRAY = 37;           // "Tray:       "
constexpr int MSG_PORTRAIT = 46;       // "Drawing orientation: Portrait"
constexpr int MSG_LANDSCAPE = 47;      // "Drawing orientation: Landscape"
constexpr int MSG_OUTPUT_OPTION = 51;  // "Output: Option "
constexpr int MSG_OUTPUT_STANDARD = 52;// "Output: Standard "
constexpr int MSG_SYNCHRONOUS_CUT = 54;// "Cut Mode: Synchronous Cut "
constexpr int MSG_FORMAT_CUT = 55;     // "Cut Mode: Formmat Cut "
constexpr int MSG_INVERT_ON = 57;      // "Invert: ON "
constexpr int MSG_INVERT_OFF = 58;     // "Invert: OFF "
constexpr int MSG_MARGIN_ON = 60;      // "Plot Margin: On "
constexpr int MSG_MARGIN_OFF = 61;     // "Plot Margin: Off "
constexpr int MSG_CENTERING_ON = 67;   // "Centering:   ON "
constexpr int MSG_CENTERING_OFF = 68;  // "Centering:   OFF "

// Captions and warnings of the dialogs.
constexpr int MSG_DRIVER_VERSION = 41; // "Driver version", the version box's caption
constexpr int MSG_DENSITY_CAPTION = 44;// "Density"
constexpr int MSG_OFFSET_LEFT = 49;    // "Offset:Left"
constexpr int MSG_OFFSET_TOP = 62;     // "Offset:Top"
constexpr int MSG_GRAY_VALUE = 69;     // "Gray Value"
constexpr int MSG_PEN_WIDTH = 70;      // "Pen Width"
constexpr int MSG_BAD_DENSITY = 71;    // "Input the integer of 1 to 64 in the 'Density'."
constexpr int MSG_BAD_PEN_WIDTH = 72;  // "Value of 'Pen Width' is invalid."
constexpr int MSG_BAD_OFFSET = 73;     // "Offset value is invalid. "
constexpr int MSG_BAD_GRAY = 74;       // "Input the integer of 0 to 100 in the Gray Value of pen. "

}  // namespace tavix
