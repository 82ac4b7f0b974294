// Pens, line types, pen widths and the 255-pen palette of the preamble.
// Each instruction is kept in restoreTexts as it was written, so that the
// image output can send it again.
#include <cmath>
#include <cstring>

#include "plot/penStateMachine.h"
#include "plot/pens.h"
#include "tavix/driverState.h"
#include "tavix/outputBuffer.h"
#include "plot/palette.h"
#include "runtime/textFormat.h"

namespace tavix {

// Pattern lengths of the adaptive line types 1..8, in the plotter's default
// unit (percent of the P1-P2 diagonal). Entry 0 (solid) is never written.
const double lineTypeLengths[LINE_TYPE_TABLE_SIZE] = {0.0, 1.0, 1.0, 2.0, 2.0, 2.0, 2.0, 2.0, 2.0};

namespace {

// Pen widths are limited to the widest the printers draw.
constexpr double MAX_PEN_WIDTH_MM = 297.0;

int writeAndKeep(const char* text, char (&kept)[RESTORE_TEXT_SIZE]) {
    std::strncpy(kept, text, RESTORE_TEXT_SIZE - 1);
    kept[RESTORE_TEXT_SIZE - 1] = '\0';
    return writeText(text);
}

}  // namespace

int selectPen(int16_t pen) {
    if (leavePe() != 0) return -1;
    // Monochrome output draws every line with the one black pen.
    if (!state.settings.get(flags::colorMode)) pen = MONO_PEN;
    state.currentPen = pen;
    char text[16];
    TextBuilder(text, sizeof text).text("SP").integer(pen);
    return writeAndKeep(text, state.restoreTexts.pen);
}

int setLineType(uint16_t type) {
    if (leavePe() != 0) return -1;
    char text[32];
    TextBuilder b(text, sizeof text);
    // The count is compared as an unsigned 16-bit value. Types beyond the
    // length table have no pattern of ours and are drawn solid.
    uint16_t count = static_cast<uint16_t>(state.lineTypeCount);
    if (type != 0 && type <= count && type < LINE_TYPE_TABLE_SIZE)
        b.text("LT-").integer(type).character(',').fixed(lineTypeLengths[type], 1);
    else
        b.text("LT");
    return writeAndKeep(text, state.restoreTexts.lineType);
}

int setPenWidth(double inches) {
    if (leavePe() != 0) return -1;
    double mm = inches * 25.4;
    // Negative, too wide or not a number at all: the widest pen.
    if (std::isnan(mm) || inches < 0 || mm > MAX_PEN_WIDTH_MM) mm = MAX_PEN_WIDTH_MM;
    if (mm == 0) mm = 0.0;  // no "-0.000"
    char text[32];
    TextBuilder(text, sizeof text).text("PW").fixed(mm, 3);
    return writeAndKeep(text, state.restoreTexts.penWidth);
}

int writePalette() {
    bool colour = state.settings.get(flags::colorMode);
    for (int pen = 1; pen <= 255; ++pen) {
        char text[PEN_COLOUR_TEXT_SIZE];
        formatPenColour(text, pen, colour);
        if (writeText(text) != 0) return -1;
    }
    return 0;
}

}  // namespace tavix
