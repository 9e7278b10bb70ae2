#include "platform/storage.h"

#include <cstdio>
#include <fcntl.h>

bool renameWithoutReplacing(const char* from, const char* to) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0;
}
