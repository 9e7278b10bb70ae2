#include "audio/limiter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kLookAheadSeconds = 0.002f; // room to ease down, too short to hear as delay
constexpr float kRecoverySeconds = 0.15f;   // slow enough not to pump on a sound's own cycles
constexpr float kRecoveredWithin = 0.001f;  // 0.009 dB: this close, the gain has arrived

int framesIn(float seconds, int framesPerSecond) {
    return std::max(1,
                    static_cast<int>(std::lround(seconds * static_cast<float>(framesPerSecond))));
}

} // namespace

Limiter::Limiter(int framesPerSecond, int channels)
    : channels_(channels), lookAhead_(framesIn(kLookAheadSeconds, framesPerSecond)),
      recovery_(1.0f - std::exp(-1.0f / (kRecoverySeconds * static_cast<float>(framesPerSecond)))),
      waiting_(static_cast<std::size_t>(lookAhead_ * channels), 0.0f),
      needs_(static_cast<std::size_t>(lookAhead_ + 1), 1.0f),
      recoveredGains_(static_cast<std::size_t>(lookAhead_), 1.0f), recoveredSum_(lookAhead_) {}

void Limiter::process(float* samples, int frames) {
    for (int frame = 0; frame < frames; ++frame) {
        limitFrame(samples + frame * channels_);
    }
}

// The frame goes in to wait, and the one that has waited longest leaves in its
// place with a gain no higher than any frame within the look-ahead of it needs.
void Limiter::limitFrame(float* frame) {
    const float need = gainNeededBy(frame);
    const float easedGain = eased(recovered(lowestNeedAhead(need)));
    const float leavingNeed = needs_[(newestNeed_ + 1) % needs_.size()];
    gain_ = std::min(easedGain, leavingNeed); // only ever a rounding step lower
    float* const leaving = &waiting_[slot_ * static_cast<std::size_t>(channels_)];
    for (int channel = 0; channel < channels_; ++channel) {
        const float arriving = frame[channel];
        frame[channel] = leaving[channel] * gain_;
        leaving[channel] = arriving;
    }
    slot_ = (slot_ + 1) % recoveredGains_.size();
}

float Limiter::gainNeededBy(const float* frame) const {
    float loudest = 0.0f;
    for (int channel = 0; channel < channels_; ++channel) {
        loudest = std::max(loudest, std::fabs(frame[channel]));
    }
    return loudest > kCeiling ? kCeiling / loudest : 1.0f;
}

// The lowest need among the frames waiting and the one arriving. It is held
// while it stays in the window, and looked for again only once it has left.
float Limiter::lowestNeedAhead(float need) {
    newestNeed_ = (newestNeed_ + 1) % needs_.size();
    needs_[newestNeed_] = need;
    --lowestNeedStays_;
    if (need <= lowestNeed_) {
        lowestNeed_ = need;
        lowestNeedStays_ = lookAhead_;
    } else if (lowestNeedStays_ < 0) {
        findLowestNeed();
    }
    return lowestNeed_;
}

// The youngest of equal needs stays longest.
void Limiter::findLowestNeed() {
    lowestNeed_ = needs_[newestNeed_];
    lowestNeedStays_ = lookAhead_;
    for (int age = 1; age <= lookAhead_; ++age) {
        const std::size_t at =
            (newestNeed_ + needs_.size() - static_cast<std::size_t>(age)) % needs_.size();
        if (needs_[at] < lowestNeed_) {
            lowestNeed_ = needs_[at];
            lowestNeedStays_ = lookAhead_ - age;
        }
    }
}

// Down at once, back up smoothly, and all the way.
float Limiter::recovered(float lowestAhead) {
    if (lowestAhead < recovered_) {
        recovered_ = lowestAhead;
        return recovered_;
    }
    recovered_ += (lowestAhead - recovered_) * recovery_;
    if (lowestAhead - recovered_ < kRecoveredWithin) {
        recovered_ = lowestAhead;
    }
    return recovered_;
}

// The average of the last lookAhead_ recovered gains: a drop becomes a ramp over
// the look-ahead, which ends no higher than the drop by the time its frame leaves.
float Limiter::eased(float recoveredGain) {
    float& oldest = recoveredGains_[slot_];
    recoveredSum_ += static_cast<double>(recoveredGain) - static_cast<double>(oldest);
    recoveredBelowFull_ += (recoveredGain < 1.0f ? 1 : 0) - (oldest < 1.0f ? 1 : 0);
    oldest = recoveredGain;
    if (recoveredBelowFull_ == 0) {
        recoveredSum_ = lookAhead_; // what the sum drifted by goes with it
        return 1.0f;
    }
    return static_cast<float>(recoveredSum_ / lookAhead_);
}
