#include "platform/storage.h"

#include <cerrno>

// The page's kept files live in its memory, copied from the browser's storage
// for the site before the program starts and copied back after each change
// (web_storage.js, which mounts them at this folder).
namespace {

constexpr const char* kKeptFolder = "/kept";

} // namespace

extern "C" void vantorel_keep_changes();

std::string keptFilesRoot() {
    return kKeptFolder;
}

// The program is the page's one thread, and no other program sees its copy
// of the files until the browser's storage has it.
bool tryLockFile(int) {
    return true;
}

void keepChangesIn(const std::string&) {
    vantorel_keep_changes();
}

// The page's C library has no such rename.
bool renameWithoutReplacing(const char*, const char*) {
    errno = EINVAL;
    return false;
}
