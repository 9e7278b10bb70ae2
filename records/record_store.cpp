#include "records/record_store.h"

#include "platform/storage.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* kAppFolder = "vantorel";
constexpr const char* kFileName = "records";
constexpr const char* kLockName = "records.lock";
constexpr const char* kTemporarySuffix = ".tmp";
constexpr const char* kMovedAsideSuffix = ".bad";
// Owner-only, as the XDG base directory rules ask of the folders, and as a new
// file is made: a player who wants more opens it up, and a save keeps that.
constexpr mode_t kFolderMode = 0700;
constexpr mode_t kNewFileMode = 0600;
constexpr mode_t kPermissionBits = 0777;
constexpr auto kLockRetryInterval = std::chrono::milliseconds(10);

void complain(const std::string& text) {
    std::fprintf(stderr, "vantorel: %s\n", text.c_str());
}

std::string reasonOf(int error) {
    return std::strerror(error);
}

// Troubles of the moment, not of the file: it is left where it is, to be read later.
bool isPassingTrouble(int error) {
    return error == EMFILE || error == ENFILE || error == ENOMEM || error == EINTR ||
           error == EAGAIN;
}

// An open file descriptor, closed on every path out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int get() const { return fd_; }
    // Closes now, for a writer that must know the data reached the file.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// The folder's lock: an exclusive lock on its lock file, waited for at most
// `patience` so that a game never stalls behind another. Released when the
// descriptor closes.
class FolderLock {
public:
    FolderLock(const std::string& path, std::chrono::milliseconds patience)
        : file_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kNewFileMode)) {
        if (!file_.isOpen()) {
            problem_ = reasonOf(errno);
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!tryLockFile(file_.get())) {
            if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
                problem_ = errno == EWOULDBLOCK ? "held by another game" : reasonOf(errno);
                return;
            }
            std::this_thread::sleep_for(kLockRetryInterval);
        }
        held_ = true;
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool held() const { return held_; }
    const std::string& problem() const { return problem_; }

private:
    FileDescriptor file_;
    bool held_ = false;
    std::string problem_;
};

bool writeAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(count);
    }
    return true;
}

// Up to `limit` bytes of an open file; false on a read error.
bool readUpTo(int fd, std::size_t limit, std::string& text) {
    char buffer[1024];
    while (text.size() < limit) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return false;
        }
        if (count == 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return true;
}

// Makes `path` and every folder above it that is missing; 0, or the error of
// the step that failed.
int makeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        if (::mkdir(path.substr(0, slash).c_str(), kFolderMode) != 0 && errno != EEXIST) {
            return errno;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat made {};
    if (::stat(path.c_str(), &made) != 0) {
        return errno;
    }
    return S_ISDIR(made.st_mode) ? 0 : ENOTDIR;
}

bool canWriteIn(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// Renames `from` to `to` unless something is there already (EEXIST). Where the
// file system cannot rename that way, the name is looked at first: under the
// lock only the player could take it in between.
bool renameUnlessTaken(const std::string& from, const std::string& to) {
    if (renameWithoutReplacing(from.c_str(), to.c_str())) {
        return true;
    }
    if (errno != EINVAL) {
        return false;
    }
    struct stat taken {};
    if (::lstat(to.c_str(), &taken) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

// The mode a new file takes: that of the file it replaces, else owner-only.
mode_t modeToKeep(const std::string& path) {
    struct stat kept {};
    return ::stat(path.c_str(), &kept) == 0 ? (kept.st_mode & kPermissionBits) : kNewFileMode;
}

// Where the records are read and written: the file in the records folder or,
// when that is a symbolic link, the file the link leads to, in its own folder.
struct Place {
    std::string folder;
    std::string name;

    std::string path() const { return folder + "/" + name; }
    std::string withSuffix(const std::string& suffix) const { return path() + suffix; }
};

Place placeOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return Place{path.substr(0, slash), path.substr(slash + 1)};
}

// The file a link leads to, every link on the way followed; nothing (errno
// says why) when it leads to none.
std::optional<std::string> linkedPath(const std::string& link) {
    char* const resolved = ::realpath(link.c_str(), nullptr);
    if (!resolved) {
        return std::nullopt;
    }
    const std::string path(resolved);
    std::free(resolved);
    return path;
}

std::string brokenLinkProblem(int error) {
    if (error == ENOENT) {
        return "a link to a missing file";
    }
    if (error == ELOOP) {
        return "a link that loops";
    }
    return "a link that cannot be followed: " + reasonOf(error);
}

// The records as found at their place.
struct Found {
    enum class State {
        readable,      // parsed.records holds them: an empty record where there is no file yet
        unreadableNow, // a trouble of the moment: left where it is, to be read later
        damaged,       // no record: to be moved aside
        leftAlone,     // a newer version's file, or a link to no file: never changed
    };

    State state;
    ParsedRecords parsed;
    Place place;
};

Found readable(Records records, Place place) {
    return Found{Found::State::readable, ParsedRecords{records, ""}, std::move(place)};
}

Found refused(Found::State state, std::string problem, Place place) {
    return Found{state, ParsedRecords{std::nullopt, std::move(problem)}, std::move(place)};
}

Found troubleReading(int error, Place place) {
    return refused(isPassingTrouble(error) ? Found::State::unreadableNow : Found::State::damaged,
                   reasonOf(error), std::move(place));
}

// Non-blocking, so that a pipe put in the file's place cannot stall the game.
// Behind a link only a plain file is the records': anything else is the
// player's own, and never moved.
Found readAt(Place place, bool behindLink) {
    const FileDescriptor file(::open(place.path().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.isOpen()) {
        return errno == ENOENT ? readable(Records{}, std::move(place))
                               : troubleReading(errno, std::move(place));
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        return troubleReading(errno, std::move(place));
    }
    if (!S_ISREG(status.st_mode)) {
        return behindLink ? refused(Found::State::leftAlone, "a link to something not a file",
                                    std::move(place))
                          : refused(Found::State::damaged, "not a plain file", std::move(place));
    }
    std::string text;
    if (!readUpTo(file.get(), kLargestRecordsFile + 1, text)) {
        return troubleReading(errno, std::move(place));
    }
    ParsedRecords parsed = parseRecords(text);
    const Found::State state = parsed.records ? Found::State::readable
                               : parsed.newer ? Found::State::leftAlone
                                              : Found::State::damaged;
    return Found{state, std::move(parsed), std::move(place)};
}

Found find(const std::string& folder) {
    Place own{folder, kFileName};
    struct stat entry {};
    if (::lstat(own.path().c_str(), &entry) != 0) {
        return errno == ENOENT ? readable(Records{}, std::move(own))
                               : troubleReading(errno, std::move(own));
    }
    if (!S_ISLNK(entry.st_mode)) {
        return readAt(std::move(own), false);
    }
    const std::optional<std::string> linked = linkedPath(own.path());
    if (!linked) {
        return refused(Found::State::leftAlone, brokenLinkProblem(errno), std::move(own));
    }
    return readAt(placeOf(*linked), true);
}

std::string leftAloneLine(const Found& found, const std::string& consequence) {
    return "the records in " + found.place.path() + " are left as they are (" +
           found.parsed.problem + "), " + consequence;
}

// Writes the whole file aside and renames it over the old one. Whatever
// carries the temporary name is a leftover of a save killed before its rename
// (saves hold the lock) or was put there: it is removed, never written through.
bool replaceFile(const Place& place, const std::string& text) {
    const std::string temporary = place.withSuffix(kTemporarySuffix);
    ::unlink(temporary.c_str());
    FileDescriptor file(::open(temporary.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kNewFileMode));
    const bool saved = file.isOpen() && ::fchmod(file.get(), modeToKeep(place.path())) == 0 &&
                       writeAll(file.get(), text) && ::fsync(file.get()) == 0 && file.close() &&
                       ::rename(temporary.c_str(), place.path().c_str()) == 0;
    if (!saved) {
        const int error = errno;
        ::unlink(temporary.c_str());
        complain("could not save the records in " + place.folder + " (" + reasonOf(error) +
                 "), will try again after the next game");
        return false;
    }
    keepChangesIn(place.folder);
    return true;
}

std::string movedAsideName(const Place& place, int number) {
    const std::string name = place.name + kMovedAsideSuffix;
    return number == 0 ? name : name + "." + std::to_string(number);
}

// Moves the damaged file to the first free name, so that none moved aside
// before is ever lost, and begins a new record in its place.
bool moveAside(const Found& found) {
    const Place& place = found.place;
    const std::string couldNotRead =
        "the records in " + place.path() + " could not be read (" + found.parsed.problem + ")";
    std::string trouble = movedAsideName(place, 0) + " to " +
                          movedAsideName(place, RecordStore::kLastMovedAsideNumber) +
                          " are all taken";
    for (int number = 0; number <= RecordStore::kLastMovedAsideNumber; ++number) {
        const std::string name = movedAsideName(place, number);
        if (renameUnlessTaken(place.path(), place.folder + "/" + name)) {
            complain(couldNotRead + ", moved aside to " + name + ", starting an empty record");
            replaceFile(place, recordsText(Records{}));
            return true;
        }
        if (errno != EEXIST) {
            trouble = reasonOf(errno);
            break;
        }
    }
    complain(couldNotRead + " nor moved aside (" + trouble + "), keeping no records");
    return false;
}

// Under the lock, so that a file another game has just saved is not taken for
// the bad one it replaced. Nothing when the record cannot be had now.
std::optional<Records> recordUnderLock(const Found& found) {
    switch (found.state) {
    case Found::State::readable:
        return found.parsed.records;
    case Found::State::unreadableNow:
        complain("the records in " + found.place.path() + " cannot be read now (" +
                 found.parsed.problem + ")");
        return std::nullopt;
    case Found::State::leftAlone:
        complain(leftAloneLine(found, "not saving"));
        return std::nullopt;
    case Found::State::damaged:
        break;
    }
    return moveAside(found) ? std::optional<Records>(Records{}) : std::nullopt;
}

} // namespace

std::string recordsFolder() {
    const std::string root = keptFilesRoot();
    return root.empty() ? root : root + "/" + kAppFolder;
}

RecordStore::RecordStore(std::string folder, std::chrono::milliseconds lockPatience)
    : folder_(std::move(folder)), lockPatience_(lockPatience) {}

std::string RecordStore::filePath() const {
    return folder_ + "/" + kFileName;
}

bool RecordStore::prepare() const {
    constexpr const char* kWithout = "playing without records";
    if (folder_.empty()) {
        complain("no folder for the records (neither XDG_DATA_HOME nor HOME is set), " +
                 std::string(kWithout));
        return false;
    }
    if (const int error = makeFolders(folder_)) {
        complain("cannot make " + folder_ + " (" + reasonOf(error) + "), " + kWithout);
        return false;
    }
    const FileDescriptor lockFile(
        ::open((folder_ + "/" + kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kNewFileMode));
    if (!lockFile.isOpen() || !canWriteIn(folder_)) {
        complain("cannot write in " + folder_ + " (" + reasonOf(errno) + "), " + kWithout);
        return false;
    }
    const Found found = find(folder_);
    if (found.state == Found::State::leftAlone) {
        complain(leftAloneLine(found, kWithout));
        return false;
    }
    if (!canWriteIn(found.place.folder)) {
        complain("cannot write in " + found.place.folder + " (" + reasonOf(errno) + "), " +
                 kWithout);
        return false;
    }
    return true;
}

ParsedRecords RecordStore::peek() const {
    return find(folder_).parsed;
}

Records RecordStore::load() const {
    const Found found = find(folder_);
    if (found.parsed.records) {
        return *found.parsed.records;
    }
    if (found.state == Found::State::leftAlone) {
        complain(leftAloneLine(found, "playing on with an empty record"));
        return Records{};
    }
    const FolderLock lock(folder_ + "/" + kLockName, lockPatience_);
    if (!lock.held()) {
        complain("the records in " + found.place.path() + " could not be read (" +
                 found.parsed.problem + "), playing on with an empty record");
        return Records{};
    }
    return recordUnderLock(find(folder_)).value_or(Records{});
}

std::optional<Records> RecordStore::save(const std::vector<FinishedGame>& games) {
    const FolderLock lock(folder_ + "/" + kLockName, lockPatience_);
    if (!lock.held()) {
        complain("could not save the records in " + folder_ + " (lock: " + lock.problem() +
                 "), will try again after the next game");
        return std::nullopt;
    }
    const Found found = find(folder_);
    if (found.state == Found::State::leftAlone) {
        if (!leftAloneTold_) {
            complain(leftAloneLine(found, "not saving while they are"));
        }
        leftAloneTold_ = true;
        return std::nullopt;
    }
    leftAloneTold_ = false;
    const std::optional<Records> before = recordUnderLock(found);
    if (!before) {
        return std::nullopt;
    }
    Records after = *before;
    for (const FinishedGame& game : games) {
        after.add(game);
    }
    if (!replaceFile(found.place, recordsText(after))) {
        return std::nullopt;
    }
    return before;
}
