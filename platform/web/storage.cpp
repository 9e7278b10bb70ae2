#include "platform/storage.h"

#include <cerrno>

// The page's files live in its memory, and its C library has no such rename.
bool renameWithoutReplacing(const char*, const char*) {
    errno = EINVAL;
    return false;
}
