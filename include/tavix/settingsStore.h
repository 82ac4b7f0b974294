// Settings defaults and the pen settings file "tavixdrv.def".
#pragma once

namespace tavix {

// Every defaulted block field for the selected model, then the pen settings
// file (or the pen defaults when it cannot be read).
void applySettingsDefaults();

// Every penGrayList entry 100, every pen 0.254 mm and gray 100, drawName and
// comment empty.
void applyPenDefaults();

// 0 when the whole file was read and accepted, 1 otherwise (the caller then
// applies the pen defaults).
int readPenSettingsFile();

// 0 when the file was written (a new file replaces the old one only when
// complete), 1 otherwise. Pen data that was never loaded or defaulted is
// not written.
int writePenSettingsFile();

// Loads the pen file, or applies the pen defaults when it cannot be read.
void loadPenSettingsOrDefaults();

}  // namespace tavix
