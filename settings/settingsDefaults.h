// The defaults of the settings block and of the pen data.
#pragma once

#include <cstdint>

#include "tavix/driverRecord.h"
#include "tavix/settingsDefaults.h"

namespace tavix {

// The rows the defaults choose in the option tables.
constexpr int16_t DEFAULT_MEDIA_TYPE = 0;       // any
constexpr int16_t DEFAULT_TRAY = 0;             // automatic
constexpr int16_t DEFAULT_STAMP_POSITION = 0;
constexpr int16_t DEFAULT_STAMP_FONT_SIZE = 4;  // 12 points
constexpr int16_t DEFAULT_LINE_END = 3;         // rounded

// The model's standard density: 16 TX-30, 20 TX Series, else 15.
int16_t defaultDensity(const ModelEntry& model);



// Loads the pen file, or applies the pen defaults when it cannot be read.
void loadPenSettingsOrDefaults();

// A stored block may carry any value: a table index (mediaType, tray for
// the current model, stampPosition, stampFontSize, lineEnd) outside its
// table takes its default.
void bringIndicesIntoRange();

}  // namespace tavix
