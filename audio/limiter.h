#pragma once

#include <cstddef>
#include <vector>

// Keeps the mixed output below full scale without flattening its peaks. Sound
// leaves a couple of milliseconds after it comes in, so the gain can ease down
// ahead of a peak and reach what the peak needs just as it passes, rather than
// clamp each rising sample to the ceiling. Afterwards the gain recovers
// smoothly, back to exactly 1: the balance between the sounds holds, and a mix
// that fits passes untouched, only later.
class Limiter {
public:
    // No sample leaves louder than this: -1 dBFS, headroom for the converters after us.
    static constexpr float kCeiling = 0.891f;

    Limiter(int framesPerSecond, int channels);

    // Limits `frames` interleaved frames in place; each leaves latencyFrames() later.
    void process(float* samples, int frames);
    int latencyFrames() const { return lookAhead_; }
    // The gain given to the frame that left last.
    float gain() const { return gain_; }

private:
    void limitFrame(float* frame);
    float gainNeededBy(const float* frame) const;
    float lowestNeedAhead(float need);
    void findLowestNeed();
    float recovered(float lowestAhead);
    float eased(float recoveredGain);

    int channels_;
    int lookAhead_;              // frames between a frame's arrival and its leaving
    float recovery_;             // share of the way back up made per frame
    std::vector<float> waiting_; // the last lookAhead_ frames, leaving in turn
    std::vector<float> needs_;   // gains needed by the last lookAhead_ + 1 frames
    std::size_t newestNeed_ = 0;
    float lowestNeed_ = 1.0f;
    int lowestNeedStays_ = 0; // frames before the lowest need leaves the window
    float recovered_ = 1.0f;
    std::vector<float> recoveredGains_; // the last lookAhead_, averaged into the gain
    double recoveredSum_;
    int recoveredBelowFull_ = 0;
    std::size_t slot_ = 0; // of the frame and the recovered gain that go next
    float gain_ = 1.0f;
};
