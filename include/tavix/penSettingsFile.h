// The pen settings file "tavixdrv.def": the pen widths and grays and the
// stamp texts, which do not fit the host's settings block.
#pragma once

namespace tavix {

// The pen settings file, in the host process's current directory, and the
// name a new one is written under before it takes the old one's place.
inline constexpr char PEN_SETTINGS_FILE[] = "tavixdrv.def";
inline constexpr char PEN_SETTINGS_FILE_NEW[] = "tavixdrv.def.new";

// 0 when the whole file was read and accepted, -1 otherwise (the caller then
// applies the pen defaults).
int readPenSettingsFile();

// 0 when the file was written (a new file replaces the old one only when
// complete), -1 otherwise. Pen data that was never loaded or defaulted is
// not written.
int writePenSettingsFile();

}  // namespace tavix
