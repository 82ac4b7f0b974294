#include "platform/fileReplace.h"

#include <cstdio>

namespace tavix {

// POSIX rename replaces the target in one step.
int replaceFile(const char* source, const char* target) {
    return std::rename(source, target) == 0 ? 0 : -1;
}

}  // namespace tavix
