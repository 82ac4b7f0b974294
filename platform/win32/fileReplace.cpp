#include "platform/fileReplace.h"

#include <windows.h>

namespace tavix {

// The C runtime's rename refuses an existing target on Windows.
int replaceFile(const char* source, const char* target) {
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0
                                                                                            : -1;
}

}  // namespace tavix
