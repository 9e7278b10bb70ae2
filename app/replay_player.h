#pragma once

#include "app/replay.h"

#include <chrono>
#include <cstddef>
#include <string>

// Plays a recorded game back on the real game: the recorded seed, clock
// readings and mouse events, fed in the order they happened, so that every
// frame sees what the recorded one saw.
class ReplayPlayer {
public:
    using Clock = std::chrono::steady_clock;

    // Reads the recording from `path`; why it cannot be played, or empty.
    std::string load(const std::string& path);
    bool loaded() const { return loaded_; }
    // Set when the recording was cut short and is played to its last whole frame.
    const std::string& notice() const { return notice_; }

    // The recorded seed and start-up clock reading; before the game loads.
    void begin() const;
    // Feeds the events recorded before the next frame and drives the clock to
    // its reading; false when every frame has been played.
    bool prepareNextFrame();
    // Sleeps until the prepared frame is due at the recorded pace.
    void waitForFrame();
    // Runs the prepared frame and keeps the time of the game it plays.
    void playFrame();
    // Where the game stands after the last frame and the events recorded
    // after it, against where the recorded one ended.
    enum class Ending { AsRecorded, Elsewhere, NothingToCompare };
    Ending finish();
    // One line: won or lost, planets formed, game time, and the ending.
    std::string outcome(Ending ending) const;

private:
    void feed(const ReplayStep& step) const;

    Replay replay_;
    bool loaded_ = false;
    std::string notice_;
    std::size_t next_ = 0;
    int frameMs_ = 0;
    double gameSeconds_ = 0.0;
    bool anchored_ = false;
    Clock::time_point anchor_{};
    int anchorMs_ = 0;
};

ReplayPlayer& getReplayPlayer();
