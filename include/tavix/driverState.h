// DriverState: the driver's one global record. Every piece of state lives
// here for as long as the library is loaded, grouped by the subsystem that
// owns it. Fields start at zero unless an initialiser says otherwise.
#pragma once

#include <cstdint>

#include "platform/hostAddress.h"
#include "tavix/driverRecord.h"
#include "tavix/plotSettings.h"
#include "tavix/tableTypes.h"

namespace tavix {

// Pen states of the Polyline Encoded sequence.
constexpr int16_t PEN_OUTSIDE = 1;     // no PE sequence open
constexpr int16_t PEN_UP_FLAGGED = 2;  // "<" written, the next pair moves
constexpr int16_t PEN_DOWN = 4;        // the last pair drew
constexpr int16_t PEN_MOVED = 8;       // the last pair moved

// The error latch (errorLatch) is how every request fails. A configuration
// step that fails sets LATCH_CONFIG; a write the host refuses, or a plot
// that gets no OutputBuffer, sets LATCH_OUTPUT. From then on every output
// operation writes nothing and answers -1, what is staged is dropped and the
// extra copies are cancelled, and latched requests are refused at once (the
// fills answer 0); only identification (code 49) clears it. The failure is shown to the user once,
// where it happens. So a caller in the middle of the plot path may ignore a
// return value on purpose: nothing after a failed write can reach the port,
// and the request's answer comes from the latch.
//
// Return values: operations answer 0 done, -1 failed; request handlers write
// their answer into the packet instead (refuseRequest). moveTo and drawTo
// answer 0 for a point dropped as redundant too and report the drop through
// their dropped flag.
constexpr uint8_t LATCH_CONFIG = 137;  // a configuration step failed
constexpr uint8_t LATCH_OUTPUT = 0xFF; // an output step failed

constexpr int32_t OUTPUT_BUFFER_SIZE = 2097160;  // 0x200008
constexpr int32_t OUTPUT_LIMIT = 2097152;        // staged bytes stay below this
constexpr int STAGING_TEXT_SIZE = 256;
constexpr int RESTORE_TEXT_SIZE = 64;
constexpr int OUTLINE_CAPACITY = 1000;
constexpr uint32_t IMAGE_PENDING = 0x5A5A;

constexpr int RASTER_ROW_PIXELS = 30000;   // replicated pixels per row
constexpr int TONE_ROW_SIZE = 90000;
constexpr int PACK_INPUT_SIZE = 60000;
constexpr int PACK_OUTPUT_SIZE = 90000;
constexpr int IMAGE_REQUEST_SIZE = 124;
constexpr int ROW_QUERY_SIZE = 144;

struct OutlinePoint {
    int32_t x;
    int32_t y;
};

// The texts re-sent after an image so that vector output goes on unchanged.
struct RestoreTexts {
    char peIntro[RESTORE_TEXT_SIZE];
    char pen[RESTORE_TEXT_SIZE];        // last "SP"
    char lineType[RESTORE_TEXT_SIZE];   // last "LT"
    char penWidth[RESTORE_TEXT_SIZE];   // last "PW"
    char window[RESTORE_TEXT_SIZE];     // "IW" of the preamble
};

// Raster encoder state, set by beginRaster for each image.
struct RasterState {
    int32_t mode;        // 0 dithered planes, 2 continuous tone
    int32_t colour;      // 1 colour, 0 monochrome
    int32_t keyEnabled;
    int32_t keyRed, keyGreen, keyBlue;
    int32_t magnify;
    int32_t width, height;  // pixels before replication
    int32_t ditherRowIndex;
    int32_t pendingSkip;
    uint8_t red[RASTER_ROW_PIXELS], green[RASTER_ROW_PIXELS], blue[RASTER_ROW_PIXELS];
    uint8_t yellow[RASTER_ROW_PIXELS], magenta[RASTER_ROW_PIXELS], cyan[RASTER_ROW_PIXELS];
    uint8_t toneRow[TONE_ROW_SIZE];
    int32_t packRuns[PACK_INPUT_SIZE];
    uint8_t packOutput[PACK_OUTPUT_SIZE];
};

// The image kept by code 52 until the next plot request prints it.
struct PendingImageState {
    uint8_t request[IMAGE_REQUEST_SIZE];  // packet bytes 0..123
    int32_t x0, y0, widthHost, x1, y1;
    int32_t sourceWidth, sourceHeight;
    int16_t transparency;
    int32_t bitonal;
    int32_t bitonalColor[3];
    uint8_t rowQuery[ROW_QUERY_SIZE];
    int32_t nonWhitePixels;
};

struct DriverState {
    // Host interface.
    const uint8_t* hostServices = nullptr;  // the table DERIZ was given
    uint8_t* currentPacket = nullptr;
    int32_t selectedModel = 0;
    int32_t currentModel = 0;
    HostAddress hostWindow = 0;
    void* moduleInstance = nullptr;

    // Load notification (recorded, read by nothing else).
    int32_t platformKind = 0;
    void* loadInstance = nullptr;
    int32_t attachCount = 0;
    uint32_t threadSlot = 0xFFFFFFFFu;
    bool threadSlotReserved = false;

    // Language and message texts.
    char languageCode[9] = {};
    int32_t languageIndex = 0;
    char messages[MESSAGE_COUNT][MESSAGE_SIZE] = {};
    OptionRow mediaTypeWork[MEDIA_TYPE_ROWS + 1] = {};
    OptionRow stampPlacementWork[STAMP_PLACEMENT_ROWS + 1] = {};
    OptionRow lineEndWork[LINE_END_ROWS + 1] = {};
    OptionRow trayWork[TRAY_ROWS_MAX + 1] = {};

    // Plot area, margins and scale (inches unless stated).
    double plotWidth = 0, plotHeight = 0;
    double deviceWidth = 0, deviceHeight = 0;
    uint8_t paperPortrait = 0;
    int32_t scaleDivisor = 1;
    double stepsPerInchX = 1016, stepsPerInchY = 1016;
    double hostMargins[4] = {};
    double deviceMargins[4] = {};
    double offsetMargins[4] = {};

    // Plot requests and the pen state machine. The first five fields stay
    // side by side in this order, without gaps: PlotEntry reads them as two
    // words to decide whether a move or draw takes the common path
    // (plot/requestGate.h). errorLatch (the comment above LATCH_CONFIG) sits
    // among them for that reason.
    alignas(8) int16_t penState = PEN_OUTSIDE;
    uint8_t penReselect = 0;
    uint8_t errorLatch = 0;
    int32_t outlineCapture = 0;
    uint32_t imageMarker = 0;
    int16_t previousPenState = PEN_OUTSIDE;
    uint8_t somethingDrawn = 0;
    int32_t copiesToPlot = 1;
    int16_t currentPen = 7;
    int32_t exchangeToken = -1;
    int32_t lineTypeCount = 0;
    int32_t outlineCount = 0;
    OutlinePoint outlinePoints[OUTLINE_CAPACITY] = {};
    OutlinePoint outlineOrigin = {};
    char peIntro[4] = {};
    RestoreTexts restoreTexts = {};

    // Output staging and the pen position (plotter units).
    uint8_t* outputBuffer = nullptr;
    int32_t outputCount = 0;
    char stagingText[STAGING_TEXT_SIZE] = {};
    int32_t currentX = 0, currentY = 0;
    int32_t previousX = 0, previousY = 0;
    int32_t lastHostX = 0, lastHostY = 0;

    // Plot set-up.
    uint32_t hostOptions = 0;
    uint8_t firstQuery = 0;
    char paperLabels[PAPER_ROWS][PAPER_LABEL_SIZE] = {};
    int32_t paperCount = 0;

    // Raster images.
    PendingImageState image = {};
    RasterState raster = {};

    // Settings and pen data.
    PlotSettings settings = {};
    PenEntry penTable[PEN_COUNT] = {};
    uint8_t penGrayList[PEN_COUNT] = {};
    char drawName[DRAW_NAME_SIZE] = {};
    char comment[COMMENT_SIZE] = {};
    bool penDataValid = false;  // loaded from the pen file or defaulted

    // Dialog working copies.
    PlotSettings deviceDialogSettings = {};
    PenEntry deviceDialogPens[PEN_COUNT] = {};
    uint8_t deviceDialogGrays[PEN_COUNT] = {};
    PlotSettings optionDialogSettings = {};
    PenEntry optionDialogPens[PEN_COUNT] = {};
    PlotSettings stampDialogSettings = {};
    PenEntry penDialogPens[PEN_COUNT] = {};
    int32_t penSelection[PEN_COUNT] = {};  // selected pen list rows, ascending
    int32_t penSelectionCount = 0;
    int32_t focusPen = 0;
    uint8_t dialogFieldWrite = 0;  // a dialog is writing one of its own fields
    uint8_t penWidthEdited = 0;    // the user changed the pen width field since the dialog wrote it
};

extern DriverState state;

// Puts the whole record back to its load-time values (tests, and the host
// program between independent runs). The host service table is kept.
void resetDriverState();

}  // namespace tavix
