#pragma once

#include "app/replay.h"

#include <chrono>
#include <cstddef>
#include <string>

// Plays a recorded game back on the real game: the recorded seed, clock
// readings and mouse events, fed in the order they happened, so that every
// frame sees what the recorded one saw. The frames run one after another,
// whatever screen they show, at the recorded pace or, fast, as quickly as they
// draw; the player's mouse plays no part.
class ReplayPlayer {
public:
    using Clock = std::chrono::steady_clock;
    // Where the game stands after the last frame and the events recorded
    // after it, against where the recorded one ended.
    enum class Ending { AsRecorded, Elsewhere, NothingToCompare };

    // Reads the recording from `path`; why it cannot be played, or empty.
    std::string load(const std::string& path, bool fast);
    bool loaded() const { return loaded_; }
    // Set when the recording was cut short and is played to its last whole frame.
    const std::string& notice() const { return notice_; }

    // The recorded seed and start-up clock reading; before the game loads.
    void begin() const;
    // The idle callback: readies the next frame and asks for it to be shown;
    // after the last, says how the game ended (and a fast replay ends the program).
    void advance();
    // The display callback: the readied frame, or the last one drawn again
    // when the window is shown again between frames.
    void show();

private:
    bool prepareNextFrame();
    void waitForFrame();
    void end();
    Ending finish();
    std::string outcome(Ending ending) const;
    void feed(const ReplayStep& step) const;

    Replay replay_;
    bool loaded_ = false;
    bool fast_ = false;
    std::string notice_;
    std::size_t next_ = 0;
    bool frameDue_ = false;
    int frameMs_ = 0;
    bool anchored_ = false;
    Clock::time_point anchor_{};
    int anchorMs_ = 0;
};

ReplayPlayer& getReplayPlayer();
