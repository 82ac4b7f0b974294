// The defaults of the settings block and of the pen data.
#include <cstring>

#include "tavix/penSettingsFile.h"
#include "tavix/driverState.h"
#include "settings/settingsDefaults.h"
#include "tavix/tables.h"

namespace tavix {
namespace {

constexpr float DEFAULT_PEN_WIDTH = 0.254f;  // millimetres
constexpr uint8_t DEFAULT_GRAY = 100;

// Flag byte A: fillStyle (half-tone), eightBitEncoding and centering.
constexpr uint8_t DEFAULT_FLAGS_A = 0x70;
constexpr uint8_t DEFAULT_FLAGS_B = 0x00;
// Flag byte C: plotMargin, and outputOption except on the Lumen Q1.
constexpr uint8_t DEFAULT_FLAGS_C = 0x03;
constexpr uint8_t DEFAULT_FLAGS_C_LUMEN_Q1 = 0x02;
constexpr uint8_t DEFAULT_FLAGS_D = 0x00;

}  // namespace

int16_t defaultDensity(const ModelEntry& model) {
    if (modelNameEquals(model, MODEL_TX30)) return 16;
    if (modelNameEquals(model, MODEL_TX_SERIES)) return 20;
    return 15;
}

void applySettingsDefaults() {
    const ModelEntry& model = modelEntry(state.selectedModel);
    PlotSettings& s = state.settings;
    // In this order; modelIndex and the reserved field at 26 stay as they are.
    s.setCopies(1);
    s.setPaperSize(1);
    s.setStampFontSize(DEFAULT_STAMP_FONT_SIZE);
    s.setLineEnd(DEFAULT_LINE_END);
    s.setMediaType(DEFAULT_MEDIA_TYPE);
    s.setReserved14(0);
    s.setStampPosition(DEFAULT_STAMP_POSITION);
    s.setTray(DEFAULT_TRAY);
    s.setDensity(defaultDensity(model));
    s.setStampOffsetX(0.0f);
    s.setStampOffsetY(0.0f);
    s.setFlagByte(2, modelNameEquals(model, MODEL_LUMEN_Q1) ? DEFAULT_FLAGS_C_LUMEN_Q1
                                                             : DEFAULT_FLAGS_C);
    s.setFlagByte(3, DEFAULT_FLAGS_D);
    s.setFlagByte(0, DEFAULT_FLAGS_A);
    s.setFlagByte(1, DEFAULT_FLAGS_B);
    loadPenSettingsOrDefaults();
}

void applyPenDefaults() {
    for (int i = 0; i < PEN_COUNT; ++i) {
        state.penGrayList[i] = DEFAULT_GRAY;
        state.penTable[i].penWidth = DEFAULT_PEN_WIDTH;
        state.penTable[i].penGray = DEFAULT_GRAY;
    }
    std::memset(state.drawName, 0, sizeof state.drawName);
    std::memset(state.comment, 0, sizeof state.comment);
    state.penDataValid = true;
}

void loadPenSettingsOrDefaults() {
    if (readPenSettingsFile() != 0) applyPenDefaults();
}

void bringIndicesIntoRange() {
    const ModelEntry& model = modelEntry(state.currentModel);
    PlotSettings& s = state.settings;
    if (optionRow(mediaTypeTable, s.mediaType()) == nullptr) s.setMediaType(DEFAULT_MEDIA_TYPE);
    if (optionRow(trayTableFor(model), s.tray()) == nullptr) s.setTray(DEFAULT_TRAY);
    if (optionRow(stampPlacementTable, s.stampPosition()) == nullptr)
        s.setStampPosition(DEFAULT_STAMP_POSITION);
    if (optionRow(stampFontSizeTable, s.stampFontSize()) == nullptr)
        s.setStampFontSize(DEFAULT_STAMP_FONT_SIZE);
    if (optionRow(lineEndTable, s.lineEnd()) == nullptr) s.setLineEnd(DEFAULT_LINE_END);
}

}  // namespace tavix
