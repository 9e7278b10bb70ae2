#pragma once

#include "replay/replay.h"

#include <cstddef>
#include <optional>
#include <string>

class GameRules;
class World;

// A recorded game played through the rules: the recorded seed and start, then
// the recorded mouse events fed in the order they came between the frames, and
// each frame's clock reading. Whoever runs the frames (the game's window, or
// the checker with no window) runs them between the calls. The state after
// each frame the recording has a checkpoint for is compared with it.
class ReplayRun {
public:
    // Where the game stands after the last frame and the events recorded
    // after it, against where the recorded one ended.
    enum class Ending { AsRecorded, Elsewhere, NothingToCompare };

    ReplayRun(const Replay& replay, GameRules& rules);

    // The recorded seed and start-up clock reading, then the rules start.
    void begin() const;
    // Compares the frame just run with its checkpoint, feeds the events
    // recorded before the next frame and takes that frame's clock reading;
    // false when no frame is left.
    bool prepareNextFrame();
    int frameMs() const { return frameMs_; }
    // Whether the recording holds another frame after the one readied.
    bool hasFrameAfter() const { return framesRun_ < replay_.frames; }
    // Feeds what was recorded after the last frame and compares the state
    // the world is in with the recorded one.
    Ending finish();
    // The first second whose checkpoint the game did not reach; none so far.
    std::optional<int> firstDifferingSecond() const { return firstDifferingSecond_; }

private:
    void compareCheckpoints();
    void feed(const ReplayStep& step) const;

    const Replay& replay_;
    GameRules& rules_;
    ReplaySteps::Iterator next_;
    std::size_t nextCheckpoint_ = 0;
    int framesRun_ = 0;
    int frameMs_ = 0;
    std::optional<int> firstDifferingSecond_;
};

// "won", "lost" or "unfinished": what the world's end picture shows.
const char* outcomeName(const World& world);

// Where the game stands: "won: 12 planets formed in 87.62 s of game time".
std::string outcomeText(const World& world);
// How that stands against the recording: "the final state is the recorded one",
// or where it parted from it.
std::string comparisonText(ReplayRun::Ending ending, std::optional<int> firstDifferingSecond);
