#pragma once
// The stroke font beyond ASCII: Greek and Cyrillic from the Hershey sets
// of those alphabets, accented Latin letters (Latin-1, Latin Extended-A)
// composed of their base letter and stroked marks, and a few signs built
// from the font's own glyphs.
#include <string>

#include "strokeFont.h"

namespace tavix::geometry {

// Adds what `font` (ASCII, with its capital height set) lacks of those
// sets; the Greek and Cyrillic fonts are read from `folder` (greek.jhf,
// cyrillic.jhf). A set whose file can not be read is left out.
void addAlphabets(StrokeFont& font, const std::string& folder);

}  // namespace tavix::geometry
