#include "platform/storage.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr const char* kDataHomeBelowHome = "/.local/share";

bool isAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

} // namespace

// $XDG_DATA_HOME, else $HOME/.local/share, as the XDG base directory rules say.
std::string keptFilesRoot() {
    const char* const dataHome = std::getenv("XDG_DATA_HOME");
    if (isAbsolute(dataHome)) {
        return dataHome;
    }
    const char* const home = std::getenv("HOME");
    if (isAbsolute(home)) {
        return std::string(home) + kDataHomeBelowHome;
    }
    return "";
}

// An flock, released when the descriptor closes, also when its holder is killed.
bool tryLockFile(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

// A rename is on disk once its folder is; a folder that cannot be flushed
// (some file systems refuse) still holds the whole new file.
void keepChangesIn(const std::string& folder) {
    const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory >= 0) {
        ::fsync(directory);
        ::close(directory);
    }
}

bool renameWithoutReplacing(const char* from, const char* to) {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0;
}
