#include "records/record_store.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr const char* kAppFolder = "vantorel";
constexpr const char* kDataHomeBelowHome = "/.local/share";
constexpr const char* kFileName = "records";
constexpr const char* kTemporaryName = "records.tmp";
constexpr const char* kLockName = "records.lock";
constexpr const char* kBadName = "records.bad";
constexpr const char* kOlderBadName = "records.bad.1";
constexpr mode_t kFileMode = 0644;
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

bool isAbsolute(const char* path) {
    return path != nullptr && path[0] == '/';
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

// The folder's lock: an exclusive flock on its lock file, waited for at most
// `patience` so that a game never stalls behind another. Released when the
// descriptor closes, also when its holder is killed.
class FolderLock {
public:
    FolderLock(const std::string& path, std::chrono::milliseconds patience)
        : file_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kFileMode)) {
        if (!file_.isOpen()) {
            problem_ = reasonOf(errno);
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (::flock(file_.get(), LOCK_EX | LOCK_NB) != 0) {
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

// A rename is on disk once its folder is; a folder that cannot be flushed
// (some file systems refuse) still holds the whole new file.
void flushFolder(const std::string& folder) {
    const FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.isOpen()) {
        ::fsync(directory.get());
    }
}

} // namespace

struct RecordStore::Found {
    ParsedRecords parsed;
    // The file is there and is no record: it is to be moved aside.
    bool damaged = false;
};

std::string recordsFolder() {
    const char* const dataHome = std::getenv("XDG_DATA_HOME");
    if (isAbsolute(dataHome)) {
        return std::string(dataHome) + "/" + kAppFolder;
    }
    const char* const home = std::getenv("HOME");
    if (isAbsolute(home)) {
        return std::string(home) + kDataHomeBelowHome + "/" + kAppFolder;
    }
    return "";
}

RecordStore::RecordStore(std::string folder, std::chrono::milliseconds lockPatience)
    : folder_(std::move(folder)), lockPatience_(lockPatience) {}

std::string RecordStore::filePath() const {
    return pathOf(kFileName);
}

std::string RecordStore::pathOf(const char* name) const {
    return folder_ + "/" + name;
}

bool RecordStore::prepare() const {
    if (folder_.empty()) {
        complain("no folder for the records (neither XDG_DATA_HOME nor HOME is set), "
                 "playing without records");
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) {
        complain("cannot make " + folder_ + " (" + error.message() + "), playing without records");
        return false;
    }
    const FileDescriptor lockFile(
        ::open(pathOf(kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kFileMode));
    if (!lockFile.isOpen() || ::access(folder_.c_str(), W_OK | X_OK) != 0) {
        complain("cannot write in " + folder_ + " (" + reasonOf(errno) +
                 "), playing without records");
        return false;
    }
    return true;
}

RecordStore::Found RecordStore::troubleReading(int error) {
    return Found{ParsedRecords{std::nullopt, reasonOf(error)}, !isPassingTrouble(error)};
}

// Non-blocking, so that a pipe put in the file's place cannot stall the game.
RecordStore::Found RecordStore::find() const {
    const FileDescriptor file(::open(filePath().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.isOpen()) {
        return errno == ENOENT ? Found{ParsedRecords{Records{}, ""}, false} : troubleReading(errno);
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        return troubleReading(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return Found{ParsedRecords{std::nullopt, "not a plain file"}, true};
    }
    std::string text;
    if (!readUpTo(file.get(), kLargestRecordsFile + 1, text)) {
        return troubleReading(errno);
    }
    const ParsedRecords parsed = parseRecords(text);
    return Found{parsed, !parsed.records};
}

ParsedRecords RecordStore::peek() const {
    return find().parsed;
}

Records RecordStore::load() const {
    const Found found = find();
    if (found.parsed.records) {
        return *found.parsed.records;
    }
    const FolderLock lock(pathOf(kLockName), lockPatience_);
    if (!lock.held()) {
        complain("the records in " + filePath() + " could not be read (" + found.parsed.problem +
                 "), playing on with an empty record");
        return Records{};
    }
    return loadUnderLock().value_or(Records{});
}

// Under the lock, so that a file another game has just saved is not taken for
// the bad one it replaced. Nothing when the record cannot be had now.
std::optional<Records> RecordStore::loadUnderLock() const {
    const Found found = find();
    if (found.parsed.records) {
        return found.parsed.records;
    }
    if (!found.damaged) {
        complain("the records in " + filePath() + " cannot be read now (" + found.parsed.problem +
                 ")");
        return std::nullopt;
    }
    if (!moveAside(found.parsed.problem)) {
        return std::nullopt;
    }
    return Records{};
}

bool RecordStore::moveAside(const std::string& problem) const {
    const std::string bad = pathOf(kBadName);
    const bool keptOlder =
        ::rename(bad.c_str(), pathOf(kOlderBadName).c_str()) == 0 || errno == ENOENT;
    if (!keptOlder || ::rename(filePath().c_str(), bad.c_str()) != 0) {
        complain("the records in " + filePath() + " could not be read (" + problem +
                 ") nor moved aside (" + reasonOf(errno) + "), keeping no records");
        return false;
    }
    complain("the records in " + filePath() + " could not be read (" + problem +
             "), moved aside to " + kBadName + ", starting an empty record");
    return true;
}

std::optional<Records> RecordStore::save(const std::vector<FinishedGame>& games) const {
    const FolderLock lock(pathOf(kLockName), lockPatience_);
    if (!lock.held()) {
        complain("could not save the records in " + folder_ + " (lock: " + lock.problem() +
                 "), will try again after the next game");
        return std::nullopt;
    }
    const std::optional<Records> before = loadUnderLock();
    if (!before) {
        return std::nullopt;
    }
    Records after = *before;
    for (const FinishedGame& game : games) {
        after.add(game);
    }
    if (!replaceFile(recordsText(after))) {
        return std::nullopt;
    }
    return before;
}

bool RecordStore::replaceFile(const std::string& text) const {
    const std::string temporary = pathOf(kTemporaryName);
    FileDescriptor file(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kFileMode));
    const bool saved = file.isOpen() && writeAll(file.get(), text) && ::fsync(file.get()) == 0 &&
                       file.close() && ::rename(temporary.c_str(), filePath().c_str()) == 0;
    if (!saved) {
        const int error = errno;
        ::unlink(temporary.c_str());
        complain("could not save the records in " + folder_ + " (" + reasonOf(error) +
                 "), will try again after the next game");
        return false;
    }
    flushFolder(folder_);
    return true;
}
