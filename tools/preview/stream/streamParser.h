// The stream reader's entry: takes the bytes of a printer stream and gives
// the pages of drawing operations, the job ticket and the warnings. It never
// fails: whatever it cannot read is skipped with a warning at its offset.
#pragma once

#include <string_view>

#include "streamContext.h"
#include "streamModel.h"

namespace tavix::preview {

ParsedStream parseStream(std::string_view bytes, const ParseLimits& limits = {});
// The same in one pass over a file or pipe: only the bytes being read are
// held, whatever the stream's size.
ParsedStream parseStream(StreamSource source, const ParseLimits& limits = {});

}  // namespace tavix::preview
