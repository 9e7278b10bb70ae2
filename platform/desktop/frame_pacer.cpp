#include "platform/desktop/frame_pacer.h"

#include "app/options.h"

namespace {

constexpr double kUnknownRefreshHz = 60.0;

FramePacer::Clock::duration periodOf(double framesPerSecond) {
    if (framesPerSecond <= 0.0) {
        return FramePacer::Clock::duration::zero();
    }
    return std::chrono::duration_cast<FramePacer::Clock::duration>(
        std::chrono::duration<double>(1.0 / framesPerSecond));
}

} // namespace

FramePacer::FramePacer(double framesPerSecond) : period_(periodOf(framesPerSecond)) {}

FramePacer::Clock::time_point FramePacer::nextFrameAt(Clock::time_point now) {
    if (!paced()) {
        return now;
    }
    if (!started_ || now - due_ > period_) {
        // The first frame, or one that fell a whole frame behind (a stall, a slow
        // frame): the schedule starts afresh instead of rushing frames to catch up.
        started_ = true;
        due_ = now;
        return due_;
    }
    due_ += period_;
    return due_;
}

double pacedFramesPerSecond(int maxFps, double screenRefreshHz) {
    if (maxFps == Options::kPacedToScreen) {
        return screenRefreshHz > 0.0 ? screenRefreshHz : kUnknownRefreshHz;
    }
    return maxFps > 0 ? maxFps : 0.0;
}
