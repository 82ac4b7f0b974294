// Putting a completely written file in the place of another one: a reader
// finds either the old file or the whole new one, never a part.
#pragma once

namespace tavix {

// Renames `source` to `target`, replacing a file of that name. 0 on
// success; on failure both files stay as they were.
int replaceFile(const char* source, const char* target);

}  // namespace tavix
