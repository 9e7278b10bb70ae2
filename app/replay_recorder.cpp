#include "app/replay_recorder.h"

#include "app/version.h"
#include "clock/elapsed_time.h"
#include "replay/replay_format.h"
#include "world/world_digest.h"

#include <cerrno>
#include <cstring>

namespace {

using namespace replay_format;

constexpr int kFlushEveryMs = 1000;

std::uint64_t zigzag(std::int64_t value) {
    return (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
}

std::uint32_t bitsOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

std::string ReplayRecorder::open(const std::string& path) {
    file_.reset(std::fopen(path.c_str(), "wb"));
    if (!file_) {
        return std::strerror(errno);
    }
    path_ = path;
    return {};
}

void ReplayRecorder::start(unsigned seed, int startMs) {
    if (!recording()) {
        return;
    }
    std::fputs(kMagic, file_.get());
    writeByte(kVersion);
    const std::string version = kProgramVersion;
    writeByte(static_cast<std::uint8_t>(version.size()));
    std::fputs(version.c_str(), file_.get());
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
    if (!recording()) {
        return;
    }
    writeByte(kButtonTag);
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
    writeByte(kFrameTag);
    writeVarint(zigzag(static_cast<std::int64_t>(clockMs) - lastClockMs_));
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
    if (second <= lastCheckpointSecond_) {
        return;
    }
    lastCheckpointSecond_ = second;
    writeByte(kCheckpointTag);
    writeVarint(static_cast<std::uint64_t>(second));
    writeLittleEndian(worldDigest(world), 8);
}

void ReplayRecorder::finish(std::uint64_t stateDigest) {
    if (!recording()) {
        return;
    }
    writePendingPointer();
    writeByte(kEndTag);
    writeLittleEndian(stateDigest, 8);
    flush();
    file_.reset();
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
    writeByte(kPointerTag);
    writePoint(point.x, point.y);
    writtenPointer_ = point;
}

void ReplayRecorder::writePoint(float x, float y) {
    writeLittleEndian(bitsOf(x), 4);
    writeLittleEndian(bitsOf(y), 4);
}

void ReplayRecorder::writeByte(std::uint8_t byte) {
    std::fputc(byte, file_.get());
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

ReplayRecorder& getReplayRecorder() {
    static ReplayRecorder* const recorder = new ReplayRecorder();
    return *recorder;
}
