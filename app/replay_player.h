#pragma once

#include "replay/replay.h"
#include "replay/replay_run.h"

#include <chrono>
#include <optional>
#include <string>

// Plays a recorded game back on the real game: the recorded seed, clock
// readings and mouse events, fed in the order they happened, so that every
// frame sees what the recorded one saw. The frames run one after another,
// whatever screen they show, at the recorded pace (running late frames without
// drawing them) or, fast, as quickly as they draw; the player's mouse plays
// no part.
class ReplayPlayer {
public:
    using Clock = std::chrono::steady_clock;

    // Reads the recording from `path`; why it cannot be played, or empty.
    std::string load(const std::string& path, bool fast);
    bool loaded() const { return loaded_; }
    // Set when the recording was cut short and is played to its last whole frame.
    const std::string& notice() const { return notice_; }

    // The recorded seed and start-up clock reading; before the game loads.
    void begin();
    // The idle callback: readies the next frame and asks for it to be shown
    // once it is due; after the last, says how the game ended (and a fast
    // replay ends the program). Never blocks for longer than a short slice, so
    // that the window redraws and closes at once while a frame is waited for.
    void advance();
    // The display callback: the readied frame, or the last one drawn again
    // when the window is shown again between frames.
    void show();

private:
    bool readyNextFrame();
    bool catchUp();
    bool isBehind() const;
    static bool waitedASliceFor(Clock::time_point due);
    Clock::time_point dueTime(Clock::time_point now);
    void startSchedule(Clock::time_point at, int frameMs);
    void sayWaitsAreShortened(int recordedWaitMs);
    void end();

    Replay replay_;
    std::optional<ReplayRun> run_;
    bool loaded_ = false;
    bool fast_ = false;
    std::string notice_;
    std::string path_;
    // A frame readied and waited for, until it is due.
    bool waiting_ = false;
    Clock::time_point dueAt_{};
    // A frame asked to be shown, until it is.
    bool frameDue_ = false;
    // Frames run without being drawn since the last one drawn.
    int undrawnFrames_ = 0;
    int framesReadied_ = 0;
    // The clock reading of the frame readied before.
    int readiedMs_ = 0;
    bool saidWaitsAreShortened_ = false;
    bool anchored_ = false;
    Clock::time_point anchor_{};
    int anchorMs_ = 0;
};

ReplayPlayer& getReplayPlayer();
