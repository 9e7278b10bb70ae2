#pragma once

#include "replay/replay_format.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Writes the game into a replay file as it is played (see replay/replay_format.h):
// the pointer in field units and every button event as the input manager gets
// them, and each frame's clock reading. What is written is flushed at least
// once a second of the game's clock, so that a crash or a kill loses at most
// the last second. A recording stops, cut short, before it grows longer than a
// replay may be. Until the file is made, every call does nothing.
class World;

class ReplayRecorder {
public:
    explicit ReplayRecorder(std::size_t longestFile = replay_format::kLongestFile);

    // Checks that `path` can be recorded into, without touching a file already
    // there: the file is made only once the game has a window. Why it cannot
    // be, or empty.
    std::string prepare(const std::string& path);
    bool recording() const { return file_ != nullptr; }

    // Makes the file and writes the header: the game's version, the random
    // seed and the clock reading the game starts with.
    void start(unsigned seed, int startMs);
    void recordPointer(float x, float y);
    void recordButton(int button, int state, float x, float y);
    void recordFrame(int clockMs);
    // After the frame has run: the first frame at or past a whole second of
    // the clock since the start leaves the world's digest, so that a replay
    // that parts from its recording is caught to the second.
    void afterFrame(const World& world);
    // The end of the recording: the state the game ended in, then the file is closed.
    void finish(std::uint64_t stateDigest);
    // Writes into `copyPath` the recording so far, ended at the state the game
    // is in now, `stateDigest`, while this recording goes on; false when
    // nothing is being recorded or the copy cannot be written (said on stderr).
    bool copyEndingNow(const std::string& copyPath, std::uint64_t stateDigest);

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    struct Point {
        float x, y;
    };

    bool beginRecord(std::uint8_t tag, std::size_t length);
    void writePendingPointer();
    void writePoint(float x, float y);
    void writeText(const std::string& text);
    void writeByte(std::uint8_t byte);
    void writeLittleEndian(std::uint64_t value, int length);
    void writeVarint(std::uint64_t value);
    void flush();
    void stopOnWriteError();
    void stopAtTheLongest();

    const std::size_t longestFile_;
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::string path_;
    std::size_t written_ = 0;
    // Several moves between two frames leave only the last one that matters.
    std::optional<Point> pendingPointer_;
    std::optional<Point> writtenPointer_;
    int startMs_ = 0;
    int lastClockMs_ = 0;
    int lastFlushMs_ = 0;
    int lastCheckpointSecond_ = 0;
};

ReplayRecorder& getReplayRecorder();
