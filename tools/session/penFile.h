// The driver's pen settings file as the host program looks after it. The
// driver reads and writes "tavixdrv.def" in the current directory and falls
// back to default pens without a word when it cannot read it; the program
// checks the file before it hands over, says what will happen, keeps the
// previous file before a configuration rewrites it, and notices when a new
// one was not written.
#pragma once

#include <cstdint>
#include <string>

namespace tavix::host {

// Where the driver will find its pen file: the folder the program runs the
// driver in, and the name the user knows it by.
struct PenFilePlace {
    std::string folder;   // "" for the current directory
    std::string shown;    // "./tavixdrv.def", or the --pen-file given
};

// The place named by --pen-file (a path ending in tavixdrv.def, or a
// folder), or the current directory when `option` is empty; false with an
// error for any other name.
bool penFilePlace(const std::string& option, PenFilePlace& place, std::string& error);

// Moves into the place's folder (the driver opens its file by a relative
// name); false with an error. Paths given by the user must be made absolute
// before.
bool enterPenFileFolder(const PenFilePlace& place, std::string& error);

enum class PenFileState { Missing, Readable, Unreadable };

struct PenFileCheck {
    PenFileState state = PenFileState::Missing;
    std::string problem;  // for Unreadable: "line 5: PenGray5=101", where found
    // Identity of the file as it was, to tell a rewritten one.
    uint64_t device = 0, inode = 0;
    int64_t modified = 0;
};

// Checks the pen file in the current directory as the driver reads it.
PenFileCheck checkPenFile();

// True when the file in the current directory is not the one checked
// before: the driver wrote a new one.
bool penFileRewritten(const PenFileCheck& before);

// Copies the pen file to "tavixdrv.def.bak" beside it; false with an error.
bool backUpPenFile(std::string& error);

// The warnings before a run: an unreadable file, and a pen file beside the
// configuration that the driver will not read. Written to standard error.
// `configGiven` as the user wrote it, `configAbsolute` usable from the pen
// file's folder.
void warnAboutPenFile(const PenFilePlace& place, const PenFileCheck& check, const std::string& configGiven,
                      const std::string& configAbsolute, bool configuring);

}  // namespace tavix::host
