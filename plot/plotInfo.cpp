// The two texts the host may ask for before a plot: the line-type legend
// (code 15) and the settings summary (code 31), both shown through
// hostShowMessage in the installed language.
#include <cstring>

#include "plot/plotInfo.h"
#include "tavix/driverState.h"
#include "tavix/hostServices.h"
#include "tavix/messageSlots.h"
#include "settings/settingsDefaults.h"
#include "tavix/tables.h"

namespace tavix {
namespace {

const char* msg(int slot) { return state.messages[slot]; }

// The chosen paper's label from the list code 48 built; empty when there
// is no such entry.
const char* paperLabel() {
    int32_t index = state.settings.paperSize() - 1;
    if (index < 0 || index >= state.paperCount || index >= PAPER_ROWS) return "";
    return state.paperLabels[index];
}

}  // namespace

void showLineTypes() {
    hostShowMessage("\n%s", msg(MSG_LINE_TYPES));
    for (int n = 1; n <= 7; ++n) {
        // "\n", sixteen blanks, the pattern number, its legend.
        hostShowMessage("\n                %d%s", n, msg(MSG_LINE_TYPES + n));
    }
    hostShowMessage("\n");
}

void showSettingsSummary() {
    const PlotSettings& s = state.settings;
    const ModelEntry& model = currentModelEntry();
    char modelName[sizeof model.name + 1];
    std::memcpy(modelName, model.name, sizeof model.name);
    modelName[sizeof model.name] = '\0';

    hostShowMessage(" %s", msg(MSG_PLOTTER));
    hostShowMessage("%s", modelName);
    hostShowMessage("\n %s%s ", msg(MSG_PAPER_SIZE), paperLabel());
    hostShowMessage("\n %s", msg(s.get(flags::plotMargin) ? MSG_MARGIN_ON : MSG_MARGIN_OFF));
    hostShowMessage("\n %s", msg(s.get(flags::fillStyle) ? MSG_HALF_TONE : MSG_BLACK_FILL));
    hostShowMessage("\n %s%s ", msg(MSG_LINE_END),
                    optionLabel(lineEndTable, s.lineEnd(), DEFAULT_LINE_END));
    hostShowMessage("\n %s%2d ", msg(MSG_COPIES), static_cast<int>(state.copiesToPlot));
    bool option = s.get(flags::outputOption);
    hostShowMessage("\n %s", msg(option ? MSG_OUTPUT_OPTION : MSG_OUTPUT_STANDARD));
    if (option) {
        hostShowMessage("\n %s%s ", msg(MSG_MEDIA_TYPE),
                        optionLabel(mediaTypeTable, s.mediaType(), DEFAULT_MEDIA_TYPE));
        hostShowMessage("\n %s%s ", msg(MSG_TRAY),
                        optionLabel(trayTableFor(model), s.tray(), DEFAULT_TRAY));
        hostShowMessage("\n %s", msg(s.get(flags::orientation) ? MSG_PORTRAIT : MSG_LANDSCAPE));
        hostShowMessage("\n %s",
                        msg(s.get(flags::formatCut) ? MSG_SYNCHRONOUS_CUT : MSG_FORMAT_CUT));
        hostShowMessage("\n %s%s", msg(MSG_MIRROR), s.get(flags::mirror) ? "ON" : "OFF");
        hostShowMessage("\n %s", msg(s.get(flags::centering) ? MSG_CENTERING_ON : MSG_CENTERING_OFF));
        hostShowMessage("\n %s", msg(s.get(flags::invert) ? MSG_INVERT_ON : MSG_INVERT_OFF));
        hostShowMessage("\n %s%2d ", msg(MSG_DENSITY), static_cast<int>(s.density()));
    }
    hostShowMessage("\n %s", msg(MSG_PORT));
    if (!s.get(flags::serialHandshake)) hostShowMessage("%s", msg(MSG_PARALLEL));
    hostShowMessage("\n");
}

}  // namespace tavix
