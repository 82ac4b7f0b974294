// What a host program may ask of the driver's settings defaults: the whole
// settings block for the selected model, or the pen data alone. The rest of
// the defaults is the core's own (settings/settingsDefaults.h).
#pragma once

namespace tavix {

// Every defaulted block field for the selected model, then the pen settings
// file (or the pen defaults when it cannot be read).
void applySettingsDefaults();

// Every penGrayList entry 100, every pen 0.254 mm and gray 100, drawName and
// comment empty.
void applyPenDefaults();

}  // namespace tavix
