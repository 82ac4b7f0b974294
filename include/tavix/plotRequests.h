// The plot requests behind PlotEntry: the pen state machine, the job frame,
// pens and palette, polygon fills and the plot set-up requests.
//
// Operations that write output return 0 on success and -1 as soon as a write
// fails; the dispatcher then answers -1 at packet offset 0. Request handlers
// take the packet being served (it is also in state.currentPacket).
#pragma once

#include <cstdint>

namespace tavix {

// --- Pen state machine (penStateMachine.cpp) -------------------------------

// Closes an open PE sequence with ";" and leaves penState at PEN_OUTSIDE.
int leavePe();

// Codes 3, 4 and 8. moveTo and drawTo answer 1 when the point was dropped as
// redundant (nothing written, nothing changed).
int moveTo(uint32_t x, uint32_t y);
int drawTo(uint32_t x, uint32_t y);
int liftPen();

// Code 3 as a whole request: the move, -1 at offset 0 when it fails.
void moveRequest(uint8_t* packet);

// Code 4 as a whole request: pen re-selection, the draw, outline capture.
void drawRequest(uint8_t* packet);

// --- Job frame (jobFrame.cpp, preamble.cpp) --------------------------------

void beginPlot(uint8_t* packet);  // code 30
void endPlot();                   // code 2
void abortPlot();                 // code 9
void initialisePlotDriver(uint8_t* packet);  // code 49

// The preamble of begin plot, from the device-control strings to "TR0".
int writePreamble();

// ";PUSP0;PG;" and, for two copies or more, "RP" with the extra copies.
int writeTrailer();

// The plot numbers of the preamble, plotter units (A, B, C, D, E0..E3).
struct PlotFrame {
    int64_t plotX, plotY;      // A, B
    int64_t deviceX, deviceY;  // C, D
    int64_t offset[4];         // E0..E3
};
PlotFrame computePlotFrame();

// --- Pens, line types, widths, palette (pens.cpp) --------------------------

constexpr int16_t MONO_PEN = 7;
constexpr int LINE_TYPE_TABLE_SIZE = 9;  // lengths for line types 0..8
extern const double lineTypeLengths[LINE_TYPE_TABLE_SIZE];

int selectPen(int16_t pen);        // code 5
int setLineType(uint16_t type);    // code 7
int setPenWidth(double inches);    // code 41 (the packet's 0 is the caller's)
int writePalette();                // preamble step: "PC" for pens 1..255

// --- Polygon fill (polygonFill.cpp) ----------------------------------------

// Each returns 0 on success (or when there are fewer than 2 vertices) and -1
// when a write fails.
int fillPolygonArray();              // code 54, from state.currentPacket
int fillPolygonInline();             // code 33, from state.currentPacket
int fillPolygonOutline(int16_t restorePen);  // closed outline, pen 255

// Code 33 and 54 as whole requests (latch, count, penReselect).
void fillArrayRequest(uint8_t* packet);
void fillInlineRequest(uint8_t* packet);

// --- Plot set-up and information (plotSetup.cpp, plotInfo.cpp) ------------

void loadPlotSettings(uint8_t* packet);   // code 29
void configurePlot(uint8_t* packet);      // code 46
void setPlotArea(uint8_t* packet);        // code 47
void queryPlotArea(uint8_t* packet);      // code 48
void showLineTypes();                     // code 15
void showSettingsSummary();               // code 31

// Ends outline capture and forgets the points collected, so that an outline
// that never closed does not start the next one.
void clearOutlineCapture();

}  // namespace tavix
