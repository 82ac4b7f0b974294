// The job ticket block, line by line in its fixed order:
//
//   ##DOZ START / OutputSize=Original / MediaType= / Tray= / Copies= /
//   FormatCut= / Mirror= / Invert= / Density= /
//   Stamp=Off, or Stamp=On and its [Stamp Setting] section /
//   [HPGL Setting] with Width= and Gray= (only with the pen setting on) /
//   [Image Placement] / Basis= / OffsetX=0mm / OffsetY=0mm / ##DOZ END / ===
//
// Every line ends in CR LF except the closing "===", which the PJL universal
// exit follows directly. The rows of the option tables are taken from the
// constant tables of the model in use when the ticket is written.
#include "settings/jobTicket.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "tavix/driverState.h"
#include "runtime/hostNumbers.h"
#include "tavix/outputBuffer.h"
#include "settings/settingsDefaults.h"
#include "tavix/tables.h"
#include "runtime/textFormat.h"

namespace tavix {
namespace {

// Copies outside 1..999 are one copy.
int32_t ticketCopies() {
    int32_t copies = state.settings.copies();
    return (copies < 1 || copies > 999) ? 1 : copies;
}

TextBuilder staging() { return TextBuilder(state.stagingText, STAGING_TEXT_SIZE); }

// A fixed text field as a NUL-terminated text, cut at the field's end.
template <size_t N>
void copyField(char (&to)[N], const char* from) {
    std::memcpy(to, from, N - 1);
    to[N - 1] = '\0';
}

class Ticket {
public:
    bool ok() const { return ok_; }

    Ticket& line(const char* text) {
        if (ok_ && writeText(text) != 0) ok_ = false;
        return *this;
    }
    Ticket& staged() { return line(state.stagingText); }

private:
    bool ok_ = true;
};

void writeStamp(Ticket& t) {
    const PlotSettings& s = state.settings;
    t.line("Stamp=On\r\n").line("[Stamp Setting]\r\n");
    if (s.get(flags::orientation)) t.line("PortraitData=1\r\n");
    t.line(s.get(flags::stampMode) ? "MargeType=Transparent\r\n" : "MargeType=Opaque\r\n");
    t.line(optionTicketLine(stampPlacementTable, s.stampPosition(), DEFAULT_STAMP_POSITION));
    staging().text("OffsetX=").fixed(s.stampOffsetX(), 2).text("mm\r\n");
    t.staged();
    staging().text("OffsetY=").fixed(s.stampOffsetY(), 2).text("mm\r\n");
    t.staged();
    t.line(optionTicketLine(stampFontSizeTable, s.stampFontSize(), DEFAULT_STAMP_FONT_SIZE));

    char drawName[DRAW_NAME_SIZE];
    char comment[COMMENT_SIZE];
    copyField(drawName, state.drawName);
    copyField(comment, state.comment);
    // The first text shares the "Text=" line; the second has its own.
    bool written = false;
    if (s.get(flags::dateStamp)) {
        t.line("Text=<%Date%><%Time%>\r\n");
        written = true;
    } else {
        t.line("Text=");
    }
    for (const char* text : {static_cast<const char*>(drawName), static_cast<const char*>(comment)}) {
        if (text[0] == '\0') continue;
        staging().text(text).text("\r\n");
        t.staged();
        written = true;
    }
    if (!written) t.line("\r\n");
    t.line("TextEnd\r\n");
}

// 255 values, one write each: "%d," and "%d\r\n" for the last.
template <typename ValueOf>
void writePenValues(Ticket& t, const char* key, ValueOf valueOf) {
    t.line(key);
    for (int pen = 0; pen < PEN_COUNT; ++pen) {
        staging().integer(valueOf(state.penTable[pen])).text(pen + 1 < PEN_COUNT ? "," : "\r\n");
        t.staged();
    }
}

}  // namespace

int penWidthHundredths(float millimetres) {
    double x = static_cast<double>(millimetres) * 100.0;
    if (std::isnan(x)) return 0;
    double f = std::floor(x);
    return floorToInt32(x - f >= 0.5 ? f + 1 : f);
}

int writeJobTicket() {
    const PlotSettings& s = state.settings;
    const ModelEntry& model = currentModelEntry();
    Ticket t;
    t.line("##DOZ START\r\n").line("OutputSize=Original\r\n");
    t.line(optionTicketLine(mediaTypeTable, s.mediaType(), DEFAULT_MEDIA_TYPE));
    t.line(optionTicketLine(trayTableFor(model), s.tray(), DEFAULT_TRAY));
    staging().text("Copies=").integer(ticketCopies()).text("\r\n");
    t.staged();
    // A set formatCut bit is the synchronous cut: the printer's format cut off.
    t.line(s.get(flags::formatCut) ? "FormatCut=Off\r\n" : "FormatCut=On\r\n");
    t.line(s.get(flags::mirror) ? "Mirror=On\r\n" : "Mirror=Off\r\n");
    t.line(s.get(flags::invert) ? "Invert=On\r\n" : "Invert=Off\r\n");
    staging().text("Density=").integer(s.density()).text("\r\n");
    t.staged();

    if (s.get(flags::stampOn))
        writeStamp(t);
    else
        t.line("Stamp=Off\r\n");

    if (s.get(flags::penSettingOn)) {
        t.line("[HPGL Setting]\r\n");
        writePenValues(t, "Width=", [](const PenEntry& p) { return penWidthHundredths(p.penWidth); });
        writePenValues(t, "Gray=", [](const PenEntry& p) { return static_cast<int>(p.penGray); });
    }

    t.line("[Image Placement]\r\n");
    t.line(s.get(flags::centering) ? "Basis=4\r\n" : "Basis=6\r\n");
    t.line("OffsetX=0mm\r\n").line("OffsetY=0mm\r\n");
    t.line("##DOZ END\r\n===");
    return t.ok() ? 0 : -1;
}

}  // namespace tavix
