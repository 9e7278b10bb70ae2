#include "app/replay_recorder.h"

#include "app/version.h"
#include "clock/elapsed_time.h"
#include "world/world_digest.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace replay_format;

constexpr int kFlushEveryMs = 1000;
// Each record's length, its tag included, at most.
constexpr std::size_t kPointerLength = 1 + 8;
constexpr std::size_t kButtonLength = 1 + 2 + 8;
constexpr std::size_t kFrameLength = 1 + kLongestVarint;
constexpr std::size_t kCheckpointLength = 1 + kLongestVarint + 8;
constexpr std::size_t kEndLength = 1 + 8;

std::uint32_t bitsOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Why `path` cannot be recorded into, found without opening it.
std::string whyNotWritable(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            return "it is a folder";
        }
        return access(path.c_str(), W_OK) == 0 ? std::string() : std::strerror(errno);
    }
    if (errno != ENOENT) {
        return std::strerror(errno);
    }
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) == 0 ? std::string()
                                                                           : std::strerror(errno);
}

} // namespace

ReplayRecorder::ReplayRecorder(std::size_t longestFile) : longestFile_(longestFile) {}

std::string ReplayRecorder::prepare(const std::string& path) {
    const std::string problem = whyNotWritable(path);
    if (problem.empty()) {
        path_ = path;
    }
    return problem;
}

void ReplayRecorder::start(unsigned seed, int startMs) {
    if (path_.empty()) {
        return;
    }
    file_.reset(std::fopen(path_.c_str(), "wb"));
    if (!file_) {
        std::fprintf(stderr, "%s: cannot record into %s: %s; playing without recording\n",
                     kProgramName, path_.c_str(), std::strerror(errno));
        return;
    }
    written_ = 0;
    writeText(kMagic);
    writeByte(kVersion);
    const std::string version = kProgramVersion;
    writeByte(static_cast<std::uint8_t>(version.size()));
    writeText(version);
    writeLittleEndian(seed, 4);
    writeLittleEndian(static_cast<std::uint32_t>(startMs), 4);
    startMs_ = startMs;
    lastClockMs_ = startMs;
    lastFlushMs_ = startMs;
    lastCheckpointSecond_ = 0;
    flush();
}

void ReplayRecorder::recordPointer(float x, float y) {
    if (recording()) {
        pendingPointer_ = Point{x, y};
    }
}

// The button carries the pointer with it, so a move just before it is not
// written on its own.
void ReplayRecorder::recordButton(int button, int state, float x, float y) {
    if (!beginRecord(kButtonTag, kButtonLength)) {
        return;
    }
    writeByte(static_cast<std::uint8_t>(button));
    writeByte(static_cast<std::uint8_t>(state));
    writePoint(x, y);
    pendingPointer_.reset();
    writtenPointer_ = Point{x, y};
}

void ReplayRecorder::recordFrame(int clockMs) {
    if (!recording()) {
        return;
    }
    writePendingPointer();
    if (!beginRecord(kFrameTag, kFrameLength)) {
        return;
    }
    writeVarint(zigzag(millisecondsBetween(lastClockMs_, clockMs)));
    lastClockMs_ = clockMs;
    if (millisecondsBetween(lastFlushMs_, clockMs) >= kFlushEveryMs) {
        lastFlushMs_ = clockMs;
        flush();
    }
}

void ReplayRecorder::afterFrame(const World& world) {
    if (!recording()) {
        return;
    }
    const int second = millisecondsBetween(startMs_, lastClockMs_) / kCheckpointEveryMs;
    if (second <= lastCheckpointSecond_ || !beginRecord(kCheckpointTag, kCheckpointLength)) {
        return;
    }
    lastCheckpointSecond_ = second;
    writeVarint(static_cast<std::uint64_t>(second));
    writeLittleEndian(worldDigest(world), 8);
}

// Every other record leaves room for this one.
void ReplayRecorder::finish(std::uint64_t stateDigest) {
    if (!recording()) {
        return;
    }
    writePendingPointer();
    if (!recording()) {
        return;
    }
    writeByte(kEndTag);
    writeLittleEndian(stateDigest, 8);
    flush();
    file_.reset();
}

// The recording as far as it is written, then the end record it would have
// were the game to end now; under the longest file, as the end always fits.
bool ReplayRecorder::copyEndingNow(const std::string& copyPath, std::uint64_t stateDigest) {
    if (!recording()) {
        return false;
    }
    writePendingPointer();
    flush();
    if (!recording()) {
        return false;
    }
    std::vector<std::uint8_t> bytes(written_);
    std::unique_ptr<std::FILE, FileCloser> recorded(std::fopen(path_.c_str(), "rb"));
    std::unique_ptr<std::FILE, FileCloser> copy(std::fopen(copyPath.c_str(), "wb"));
    bytes.push_back(kEndTag);
    for (int i = 0; i < 8; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(stateDigest >> (8 * i)));
    }
    const bool copied = recorded && copy &&
                        std::fread(bytes.data(), 1, written_, recorded.get()) == written_ &&
                        std::fwrite(bytes.data(), 1, bytes.size(), copy.get()) == bytes.size() &&
                        std::fclose(copy.release()) == 0;
    if (!copied) {
        std::fprintf(stderr, "%s: cannot copy the recording %s into %s: %s\n", kProgramName,
                     path_.c_str(), copyPath.c_str(), std::strerror(errno));
    }
    return copied;
}

// Writes the tag of a record of `length` bytes at most when the file has room
// for it and the end after it; otherwise the recording stops where it is.
bool ReplayRecorder::beginRecord(std::uint8_t tag, std::size_t length) {
    if (!recording()) {
        return false;
    }
    if (written_ + length + kEndLength > longestFile_) {
        stopAtTheLongest();
        return false;
    }
    writeByte(tag);
    return true;
}

void ReplayRecorder::writePendingPointer() {
    if (!pendingPointer_) {
        return;
    }
    const Point point = *pendingPointer_;
    pendingPointer_.reset();
    if (writtenPointer_ && bitsOf(writtenPointer_->x) == bitsOf(point.x) &&
        bitsOf(writtenPointer_->y) == bitsOf(point.y)) {
        return;
    }
    if (!beginRecord(kPointerTag, kPointerLength)) {
        return;
    }
    writePoint(point.x, point.y);
    writtenPointer_ = point;
}

void ReplayRecorder::writePoint(float x, float y) {
    writeLittleEndian(bitsOf(x), 4);
    writeLittleEndian(bitsOf(y), 4);
}

void ReplayRecorder::writeText(const std::string& text) {
    for (const char character : text) {
        writeByte(static_cast<std::uint8_t>(character));
    }
}

void ReplayRecorder::writeByte(std::uint8_t byte) {
    std::fputc(byte, file_.get());
    ++written_;
}

void ReplayRecorder::writeLittleEndian(std::uint64_t value, int length) {
    for (int i = 0; i < length; ++i) {
        writeByte(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void ReplayRecorder::writeVarint(std::uint64_t value) {
    while (value >= 0x80) {
        writeByte(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    writeByte(static_cast<std::uint8_t>(value));
}

void ReplayRecorder::flush() {
    if (std::fflush(file_.get()) != 0 || std::ferror(file_.get())) {
        stopOnWriteError();
    }
}

// A full disk must not stop the game: the recording stops, and says so once.
void ReplayRecorder::stopOnWriteError() {
    std::fprintf(stderr, "%s: cannot write the recording %s: %s; recording stops\n", kProgramName,
                 path_.c_str(), std::strerror(errno));
    file_.reset();
}

// A replay reads its file whole, so a recording may not grow past the longest
// one it reads; what is on disk plays up to its last whole frame.
void ReplayRecorder::stopAtTheLongest() {
    std::fprintf(stderr,
                 "%s: the recording %s has grown as long as a replay can be; "
                 "recording stops\n",
                 kProgramName, path_.c_str());
    flush();
    file_.reset();
}

ReplayRecorder& getReplayRecorder() {
    static ReplayRecorder* const recorder = new ReplayRecorder();
    return *recorder;
}
