#include "replay/replay_reader.h"

#include "replay/replay_format.h"
#include "world/field_bounds.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace replay_format;

// Reads the file's bytes in order; every read says whether the bytes were there.
class ByteCursor {
public:
    explicit ByteCursor(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    bool atEnd() const { return at_ == bytes_.size(); }
    std::size_t offset() const { return at_; }
    std::size_t remaining() const { return bytes_.size() - at_; }

    std::optional<std::uint8_t> byte() {
        if (atEnd()) {
            return std::nullopt;
        }
        return bytes_[at_++];
    }

    std::optional<std::uint64_t> littleEndian(int length) {
        if (bytes_.size() - at_ < static_cast<std::size_t>(length)) {
            return std::nullopt;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < length; ++i) {
            value |= static_cast<std::uint64_t>(bytes_[at_++]) << (8 * i);
        }
        return value;
    }

    std::optional<float> floatValue() {
        const std::optional<std::uint64_t> bits = littleEndian(sizeof(float));
        if (!bits) {
            return std::nullopt;
        }
        const std::uint32_t narrow = static_cast<std::uint32_t>(*bits);
        float value = 0.0f;
        std::memcpy(&value, &narrow, sizeof value);
        return value;
    }

    std::optional<std::string> text(std::size_t length) {
        if (bytes_.size() - at_ < length) {
            return std::nullopt;
        }
        const auto start = bytes_.begin() + static_cast<std::ptrdiff_t>(at_);
        at_ += length;
        return std::string(start, start + static_cast<std::ptrdiff_t>(length));
    }

    // An unsigned LEB128 number, as the frame's clock step is written; one
    // longer than a clock reading can need reads as kOverlongVarint.
    std::optional<std::uint64_t> varint() {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < kLongestVarint; ++i) {
            const std::optional<std::uint8_t> next = byte();
            if (!next) {
                return std::nullopt;
            }
            value |= static_cast<std::uint64_t>(*next & 0x7F) << (7 * i);
            if ((*next & 0x80) == 0) {
                return value;
            }
        }
        return kOverlongVarint;
    }

    static constexpr std::uint64_t kOverlongVarint = std::numeric_limits<std::uint64_t>::max();

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t at_ = 0;
};

bool onTheField(float x, float y) {
    return std::isfinite(x) && std::isfinite(y) && x >= kFieldLeft - kPointerSlack &&
           x <= kFieldRight + kPointerSlack && y >= kFieldBottom - kPointerSlack &&
           y <= kFieldTop + kPointerSlack;
}

std::string pointText(float x, float y) {
    char text[96];
    std::snprintf(text, sizeof text, "(%g, %g)", static_cast<double>(x), static_cast<double>(y));
    return text;
}

// Why the header cannot be read, or empty.
std::string readHeader(ByteCursor& cursor, const std::string& gameVersion, Replay& replay) {
    const std::optional<std::string> magic = cursor.text(kMagicLength);
    if (cursor.atEnd() && cursor.offset() == 0) {
        return "it is empty";
    }
    if (!magic) {
        const std::optional<std::string> start = cursor.text(cursor.remaining());
        return std::string(kMagic).rfind(*start, 0) == 0 ? "it ends inside its header"
                                                         : "it is not a vantorel replay";
    }
    if (*magic != kMagic) {
        return "it is not a vantorel replay";
    }
    const std::optional<std::uint8_t> version = cursor.byte();
    if (version && (*version < kOldestVersion || *version > kVersion)) {
        return "it is a replay of format " + std::to_string(*version) +
               "; this game reads formats " + std::to_string(kOldestVersion) + " to " +
               std::to_string(kVersion);
    }
    const std::optional<std::uint8_t> length = cursor.byte();
    const std::optional<std::string> recordedBy = length ? cursor.text(*length) : std::nullopt;
    if (recordedBy && *recordedBy != gameVersion) {
        return "it was recorded by version " + *recordedBy + " of the game; this is version " +
               gameVersion;
    }
    const std::optional<std::uint64_t> seed = cursor.littleEndian(4);
    const std::optional<std::uint64_t> start = cursor.littleEndian(4);
    if (!version || !recordedBy || !seed || !start) {
        return "it ends inside its header";
    }
    replay.format = *version;
    replay.gameVersion = *recordedBy;
    replay.seed = static_cast<unsigned>(*seed);
    replay.startMs = static_cast<std::int32_t>(static_cast<std::uint32_t>(*start));
    if (replay.startMs < 0) {
        return "its clock starts before zero";
    }
    return {};
}

// Reads the records after the header; why they cannot be played, or empty.
class RecordReader {
public:
    RecordReader(ByteCursor& cursor, Replay& replay)
        : cursor_(cursor), replay_(replay), clockMs_(replay.startMs) {}

    std::string readAll() {
        while (!cursor_.atEnd() && !ended_) {
            const std::size_t start = cursor_.offset();
            const std::uint8_t tag = *cursor_.byte();
            const std::string problem = readRecord(tag);
            if (problem.empty()) {
                continue;
            }
            if (cutShort_) {
                break;
            }
            return problem + " (byte " + std::to_string(start) + ")";
        }
        if (ended_ && !cursor_.atEnd()) {
            return "it goes on after its end";
        }
        if (!ended_) {
            // Cut short: what came after the last whole frame no frame saw.
            replay_.steps.dropAfterLastFrame();
        }
        return {};
    }

    bool cutShort() const { return !ended_; }

private:
    std::string readRecord(std::uint8_t tag) {
        switch (tag) {
        case kPointerTag:
            return readPointer();
        case kButtonTag:
            return readButton();
        case kFrameTag:
            return readFrame();
        case kCheckpointTag:
            if (replay_.format >= kFirstVersionWithCheckpoints) {
                return readCheckpoint();
            }
            break;
        case kEndTag:
            return readEnd();
        default:
            break;
        }
        return "it holds a record of unknown kind " + std::to_string(tag);
    }

    std::string readPointer() {
        const std::optional<float> x = cursor_.floatValue();
        const std::optional<float> y = cursor_.floatValue();
        if (!x || !y) {
            return stopsShort();
        }
        ReplayStep step;
        step.kind = ReplayStep::Kind::Pointer;
        return addEvent(step, *x, *y);
    }

    std::string readButton() {
        const std::optional<std::uint8_t> button = cursor_.byte();
        const std::optional<std::uint8_t> state = cursor_.byte();
        const std::optional<float> x = cursor_.floatValue();
        const std::optional<float> y = cursor_.floatValue();
        if (!button || !state || !x || !y) {
            return stopsShort();
        }
        if (*button > kHighestButton) {
            return "button " + std::to_string(*button) + frameName() + " is out of range";
        }
        if (*state != kButtonDown && *state != kButtonUp) {
            return "button state " + std::to_string(*state) + frameName() +
                   " is neither down nor up";
        }
        ReplayStep step;
        step.kind = ReplayStep::Kind::Button;
        step.button = *button;
        step.state = *state;
        return addEvent(step, *x, *y);
    }

    std::string readFrame() {
        const std::optional<std::uint64_t> step = cursor_.varint();
        if (!step) {
            return stopsShort();
        }
        if (*step == ByteCursor::kOverlongVarint) {
            return overlong("its clock step");
        }
        const std::int64_t change = unzigzag(*step);
        if (change < 0) {
            return "its clock runs backwards" + frameName();
        }
        if (change > std::numeric_limits<std::int32_t>::max() - clockMs_) {
            return "its clock runs past 24 days" + frameName();
        }
        clockMs_ += change;
        ReplayStep frame;
        frame.kind = ReplayStep::Kind::Frame;
        frame.clockMs = static_cast<int>(clockMs_);
        replay_.steps.add(frame);
        ++replay_.frames;
        return {};
    }

    // A checkpoint follows the frame it was taken after, and names a later
    // second than the one before it.
    std::string readCheckpoint() {
        const std::optional<std::uint64_t> second = cursor_.varint();
        const std::optional<std::uint64_t> digest = cursor_.littleEndian(8);
        if (!second || !digest) {
            return stopsShort();
        }
        if (*second == ByteCursor::kOverlongVarint) {
            return overlong("its checkpoint's second");
        }
        const std::uint64_t lastSecond =
            replay_.checkpoints.empty()
                ? 0
                : static_cast<std::uint64_t>(replay_.checkpoints.back().second);
        const int lastFrame = replay_.checkpoints.empty() ? 0 : replay_.checkpoints.back().frame;
        if (replay_.frames == 0 || replay_.frames == lastFrame || *second <= lastSecond ||
            *second > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
            return "it holds a checkpoint out of order" + frameName();
        }
        replay_.checkpoints.push_back(
            ReplayCheckpoint{replay_.frames, static_cast<int>(*second), *digest});
        return {};
    }

    std::string readEnd() {
        const std::optional<std::uint64_t> digest = cursor_.littleEndian(8);
        if (!digest) {
            return stopsShort();
        }
        replay_.finalDigest = *digest;
        ended_ = true;
        return {};
    }

    std::string addEvent(ReplayStep step, float x, float y) {
        if (!onTheField(x, y)) {
            return "the pointer at " + pointText(x, y) + frameName() + " is off the field";
        }
        step.x = x;
        step.y = y;
        replay_.steps.add(step);
        return {};
    }

    // More bytes than any number of the format needs.
    std::string overlong(const std::string& what) const {
        return what + frameName() + " is written in more than " + std::to_string(kLongestVarint) +
               " bytes";
    }

    std::string stopsShort() {
        cutShort_ = true;
        return "cut short";
    }

    std::string frameName() const { return " before frame " + std::to_string(replay_.frames + 1); }

    ByteCursor& cursor_;
    Replay& replay_;
    std::int64_t clockMs_;
    bool ended_ = false;
    bool cutShort_ = false;
};

// Closes the file it was given on every way out.
class OpenFile {
public:
    explicit OpenFile(int descriptor) : descriptor_(descriptor) {}
    ~OpenFile() {
        if (descriptor_ >= 0) {
            close(descriptor_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int descriptor() const { return descriptor_; }

private:
    int descriptor_;
};

constexpr std::size_t kReadChunk = 16 * 1024;

std::string tooLong() {
    return "it is longer than " + std::to_string(kLongestFile / (1024 * 1024)) +
           " MiB, the most a replay can be";
}

// A pipe or a device could hand out bytes for ever, and a folder has none.
std::string notAFile(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "it is a folder, not a file";
    }
    if (S_ISFIFO(mode)) {
        return "it is a pipe, not a file";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "it is a device, not a file";
    }
    return "it is not a regular file";
}

// Appends what is left of the file, stopping once it is longer than any
// replay; the system's reason it cannot be read, or empty.
std::string readToEnd(int descriptor, std::vector<std::uint8_t>& bytes) {
    std::uint8_t chunk[kReadChunk];
    while (bytes.size() <= kLongestFile) {
        const ssize_t got = read(descriptor, chunk, sizeof chunk);
        if (got == 0) {
            return {};
        }
        if (got < 0 && errno != EINTR) {
            return std::strerror(errno);
        }
        bytes.insert(bytes.end(), chunk, chunk + std::max<ssize_t>(got, 0));
    }
    return {};
}

// A regular file of at most kLongestFile bytes, whole; why not, or empty. It is
// opened without waiting, so that a pipe with no writer is refused at once.
std::string readWhole(const std::string& path, std::vector<std::uint8_t>& bytes) {
    const OpenFile file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (file.descriptor() < 0 || fstat(file.descriptor(), &status) != 0) {
        return std::strerror(errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return notAFile(status.st_mode);
    }
    if (static_cast<std::uintmax_t>(status.st_size) > kLongestFile) {
        return tooLong();
    }
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    return readToEnd(file.descriptor(), bytes);
}

} // namespace

ReplayReading readReplay(const std::vector<std::uint8_t>& bytes, const std::string& gameVersion) {
    ReplayReading reading;
    if (bytes.size() > kLongestFile) {
        reading.problem = tooLong();
        return reading;
    }
    ByteCursor cursor(bytes);
    reading.problem = readHeader(cursor, gameVersion, reading.replay);
    if (!reading.problem.empty()) {
        return reading;
    }
    // The steps take no more room than the records they are read from.
    reading.replay.steps.reserve(cursor.remaining() + kLongestVarint);
    RecordReader records(cursor, reading.replay);
    reading.problem = records.readAll();
    if (reading.problem.empty() && reading.replay.frames == 0) {
        reading.problem = "it holds no frame";
    }
    if (reading.problem.empty() && records.cutShort()) {
        reading.notice = "it was cut short, and is played up to its last whole frame, frame " +
                         std::to_string(reading.replay.frames);
    }
    return reading;
}

ReplayReading readReplayFile(const std::string& path, const std::string& gameVersion) {
    ReplayReading refused;
    try {
        std::vector<std::uint8_t> bytes;
        refused.problem = readWhole(path, bytes);
        if (refused.problem.empty()) {
            return readReplay(bytes, gameVersion);
        }
    } catch (const std::bad_alloc&) {
        refused = ReplayReading{};
        refused.problem = "it does not fit in the memory the game may use";
    }
    return refused;
}
