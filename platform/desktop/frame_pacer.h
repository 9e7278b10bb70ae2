#pragma once

#include <chrono>

// When the next frame of play is due. The loop sleeps until then, so that where
// a swap does not wait for the screen (Xvfb, software rendering, vertical sync
// off in the driver) no frames are drawn that the screen never shows. Where the
// swap does wait, frames come late enough on their own and nothing sleeps.
class FramePacer {
public:
    // GLUT's whole milliseconds would turn a 60 Hz period of 16.67 ms into
    // alternating 16 and 17 ms frames: the schedule runs on a finer clock.
    using Clock = std::chrono::steady_clock;

    // At 0 frames per second nothing is paced: every frame is due at once.
    explicit FramePacer(double framesPerSecond = 0.0);

    // The moment the next frame is due, for a loop ready to start one at `now`.
    Clock::time_point nextFrameAt(Clock::time_point now);
    bool paced() const { return period_ != Clock::duration::zero(); }

private:
    Clock::duration period_;
    Clock::time_point due_{};
    bool started_ = false;
};

// The rate asked for with --max-fps (Options::maxFps): the screen's refresh,
// 60 Hz when it is unknown (0); none for Options::kUnpaced; or the player's own.
double pacedFramesPerSecond(int maxFps, double screenRefreshHz);
